"""Starts the program against a scripted server, then walks the accessibility tree of its room
window and prints the conversation's text and the input box's name. Run through ./run."""
import socket
import subprocess
import sys
import time

import pyatspi

LINES = ["Hello from the bot", "\x02Bold\x02 and \x034red\x03 words"]


def serve(listener):
    conn, _ = listener.accept()
    buffer = b""
    while b"USER " not in buffer:
        buffer += conn.recv(4096)
    conn.sendall(b":srv 001 reader :Welcome\r\n:srv 376 reader :End\r\n")
    while b"JOIN" not in buffer:
        buffer += conn.recv(4096)
    conn.sendall(b":reader!u@h JOIN :#velmora\r\n:srv 353 reader = #velmora :@bot reader\r\n"
                 b":srv 366 reader #velmora :End\r\n")
    for line in LINES:
        conn.sendall(f":bot!b@h PRIVMSG #velmora :{line}\r\n".encode())
    return conn


def find(node, predicate, depth=0):
    if node is None or depth > 40:
        return None
    try:
        if predicate(node):
            return node
        for child in node:
            found = find(child, predicate, depth + 1)
            if found is not None:
                return found
    except Exception:
        return None
    return None


def main():
    program = sys.argv[1]
    subprocess.Popen(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"])
    time.sleep(1)
    listener = socket.socket()
    listener.bind(("127.0.0.1", 0))
    listener.listen(1)
    port = listener.getsockname()[1]
    client = subprocess.Popen([program, "--server", f"127.0.0.1:{port}", "--nick", "reader"],
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        listener.settimeout(30)
        conn = serve(listener)
        deadline = time.time() + 30
        room = entry = None
        while time.time() < deadline and (room is None or entry is None):
            time.sleep(1)
            desktop = pyatspi.Registry.getDesktop(0)
            app = find(desktop, lambda n: n.getRole() == pyatspi.ROLE_APPLICATION
                       and "velmora" in (n.name or "").lower())
            room = find(app, lambda n: n.name == "Room conversation")
            entry = find(app, lambda n: n.name == "Message to the room")
        if room is None or entry is None:
            sys.exit("the room window did not show on the accessibility bus")
        text = room.queryText()
        print(f"room view: role {room.getRoleName()}, {text.characterCount} characters")
        print(text.getText(0, -1))
        print(f"input box: role {entry.getRoleName()}, name \"{entry.name}\"")
        conn.close()
    finally:
        client.kill()


if __name__ == "__main__":
    main()
