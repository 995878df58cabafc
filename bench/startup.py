#!/usr/bin/env python3
"""Start-up time and memory of Velmora Messenger, measured from outside.

For each of --runs runs: starts the program signed in directly against a small loopback
server and measures the time from process start until its registration (NICK and USER)
arrives; the room window is shown before the connection is opened, so this bounds both. The
last run then joins a room with a names list of --members members and receives --lines room
lines; the program's peak memory (VmHWM) is read once it has answered a PING after them.

Usage: bench/startup.py [--program build/src/velmora] [--runs 5] [--members 5000] [--lines 10000]
Needs a display (DISPLAY) or Xvfb on the PATH.
"""
import argparse
import os
import random
import socket
import statistics
import subprocess
import time


def read_until(conn, needle, buf=b"", timeout=30.0):
    conn.settimeout(timeout)
    while needle not in buf:
        chunk = conn.recv(65536)
        if not chunk:
            raise RuntimeError("connection closed")
        buf += chunk
    return buf


def peak_kb(pid):
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith("VmHWM:"):
                return int(line.split()[1])
    return 0


def main():
    ap = argparse.ArgumentParser()
    here = os.path.dirname(os.path.abspath(__file__))
    ap.add_argument("--program", default=os.path.join(here, "..", "build", "src", "velmora"))
    ap.add_argument("--runs", type=int, default=5)
    ap.add_argument("--members", type=int, default=5000)
    ap.add_argument("--lines", type=int, default=10000)
    a = ap.parse_args()

    xvfb = None
    env = dict(os.environ)
    if not env.get("DISPLAY"):
        display = f":{random.randint(300, 700)}"
        xvfb = subprocess.Popen(["Xvfb", display, "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        env["DISPLAY"] = display
        time.sleep(1)

    listener = socket.socket()
    listener.bind(("127.0.0.1", 0))
    listener.listen(1)
    port = listener.getsockname()[1]
    times = []
    peak = None
    try:
        for run in range(a.runs):
            started = time.monotonic()
            proc = subprocess.Popen([a.program, "--server", f"127.0.0.1:{port}", "--nick", "bench",
                                     "--room", "#bench"], env=env,
                                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            conn, _ = listener.accept()
            buf = read_until(conn, b"\r\n")  # NICK ends in LF, USER in CR LF
            times.append(time.monotonic() - started)
            if run == a.runs - 1:
                conn.sendall(b":srv 001 bench :Welcome\r\n:srv 376 bench :End of MOTD\r\n")
                read_until(conn, b"JOIN #bench\n", buf)
                names = [f"member{i}" for i in range(a.members)]
                out = [b":bench!b@h JOIN :#bench\r\n"]
                for i in range(0, len(names), 40):
                    out.append(b":srv 353 bench = #bench :" + " ".join(names[i:i + 40]).encode() + b"\r\n")
                out.append(b":srv 366 bench #bench :End of /NAMES list.\r\n")
                for i in range(a.lines):
                    out.append(f":member{i % a.members}!m@h PRIVMSG #bench :line {i} \x02with\x02 "
                               f"\x034some colour\x03 and a bit more text\r\n".encode())
                out.append(b"PING :done\r\n")
                conn.sendall(b"".join(out))
                read_until(conn, b"PONG :done\n", timeout=120)
                time.sleep(1)  # let it paint what it got
                peak = peak_kb(proc.pid)
            proc.terminate()
            proc.wait(10)
            conn.close()
    finally:
        if xvfb:
            xvfb.terminate()
    print(f"registration sent after start: median {statistics.median(times) * 1000:.0f} ms "
          f"(runs: {', '.join(f'{t * 1000:.0f}' for t in times)} ms)")
    print(f"peak memory after {a.members} members and {a.lines} lines: {peak / 1024:.1f} MB")


if __name__ == "__main__":
    main()
