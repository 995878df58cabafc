#!/usr/bin/env python3
"""Hostile input against Velmora Messenger: what a server, or any user on it, can send to make
the program grow. Starts the program against a scripted server on loopback, sends one
scenario, and reports the program's peak memory, its open descriptors and log files, and how
long the next PING took to be answered.

Scenarios:
  kick N    N KICK lines that throw the user out of the room (each raises a message box)
  ctcp N    N different nicks each send a CTCP VERSION request in private
  privates N  N different nicks each send one private line
  noread N  the server stops reading and sends N PINGs with 60 KB tokens

Usage: bench/hostile.py SCENARIO [N] [--program build/src/velmora]
The program runs on the offscreen platform unless DISPLAY is set (then it is drawn there).
Result: one JSON line on stdout.
"""
import argparse
import json
import os
import socket
import subprocess
import sys
import tempfile
import time

NICK = "victim"
ROOM = "#bench"


def status_kb(pid, field):
    try:
        with open(f"/proc/{pid}/status") as status:
            for line in status:
                if line.startswith(field + ":"):
                    return int(line.split()[1])
    except FileNotFoundError:
        pass
    return None


def open_descriptors(pid):
    try:
        return len(os.listdir(f"/proc/{pid}/fd"))
    except FileNotFoundError:
        return None


def read_until(conn, needle, timeout, buffer=b""):
    deadline = time.monotonic() + timeout
    while needle not in buffer:
        left = deadline - time.monotonic()
        if left <= 0:
            return buffer, False
        conn.settimeout(left)
        try:
            data = conn.recv(65536)
        except (socket.timeout, ConnectionResetError):
            return buffer, False
        if not data:
            return buffer, False
        buffer += data
    return buffer, True


def register(conn):
    buffer, ok = read_until(conn, b"USER ", 10)
    if not ok:
        sys.exit("the program did not register")
    conn.sendall(
        f":srv 001 {NICK} :Welcome\r\n:srv 376 {NICK} :End of MOTD\r\n".encode())
    buffer, ok = read_until(conn, b"JOIN", 10, buffer)
    conn.sendall(f":{NICK}!u@h JOIN :{ROOM}\r\n:srv 353 {NICK} = {ROOM} :@op {NICK}\r\n"
                 f":srv 366 {NICK} {ROOM} :End\r\n".encode())


def scenario_lines(name, size):
    if name == "kick":
        return (f":op!o@h KICK {ROOM} {NICK} :out\r\n" for _ in range(size))
    if name == "ctcp":
        return (f":ctcp{i}!u@h PRIVMSG {NICK} :\x01VERSION\x01\r\n" for i in range(size))
    if name == "privates":
        return (f":stranger{i}!u@h PRIVMSG {NICK} :hello {i}\r\n" for i in range(size))
    raise SystemExit(f"unknown scenario {name}")


def send_all(conn, lines):
    batch = []
    for line in lines:
        batch.append(line)
        if len(batch) == 500:
            conn.sendall("".join(batch).encode())
            batch.clear()
    if batch:
        conn.sendall("".join(batch).encode())


def probe(conn, timeout=600):
    started = time.monotonic()
    conn.sendall(b"PING :probe\r\n")
    _, ok = read_until(conn, b"PONG :probe", timeout)
    return round(time.monotonic() - started, 3) if ok else None


def flood_without_reading(conn, size):
    token = "x" * 60000
    conn.setblocking(False)
    sent = 0
    closed_by_program = False
    for _ in range(size):
        line = f"PING :{token}\r\n".encode()
        view = memoryview(line)
        deadline = time.monotonic() + 5
        while view:
            try:
                view = view[conn.send(view):]
            except BlockingIOError:
                if time.monotonic() > deadline:
                    break
                time.sleep(0.001)
            except (BrokenPipeError, ConnectionResetError):
                closed_by_program = True
                break
        if closed_by_program or view:
            break
        sent += 1
    # A program that closed the connection shows it as end of file once we read.
    if not closed_by_program:
        conn.setblocking(True)
        conn.settimeout(5)
        try:
            while conn.recv(1 << 20):
                pass
            closed_by_program = True
        except (socket.timeout, ConnectionResetError):
            closed_by_program = False
    return sent, closed_by_program


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("scenario", choices=["kick", "ctcp", "privates", "noread"])
    parser.add_argument("size", nargs="?", type=int)
    parser.add_argument("--program", default=os.path.join(
        os.path.dirname(__file__), "..", "build", "src", "velmora"))
    args = parser.parse_args()
    size = args.size or {"kick": 10000, "ctcp": 5000, "privates": 2000, "noread": 3000}[
        args.scenario]

    listener = socket.socket()
    listener.bind(("127.0.0.1", 0))
    listener.listen(1)
    port = listener.getsockname()[1]
    logs = tempfile.TemporaryDirectory()
    env = dict(os.environ)
    if not env.get("DISPLAY"):
        env["QT_QPA_PLATFORM"] = "offscreen"
    program = subprocess.Popen(
        [args.program, "--server", f"127.0.0.1:{port}", "--nick", NICK, "--room", ROOM,
         "--log-dir", logs.name],
        env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        listener.settimeout(20)
        conn, _ = listener.accept()
        register(conn)
        if probe(conn, 20) is None:
            sys.exit("the program did not answer after joining")
        rss_start = status_kb(program.pid, "VmRSS")
        fds_start = open_descriptors(program.pid)
        result = {"scenario": args.scenario, "n": size, "rss_start_kb": rss_start,
                  "fds_start": fds_start}
        started = time.monotonic()
        if args.scenario == "noread":
            sent, closed = flood_without_reading(conn, size)
            result.update(pings_sent=sent, closed_by_program=closed)
        else:
            send_all(conn, scenario_lines(args.scenario, size))
            result["pong_after_s"] = probe(conn)
        result["elapsed_s"] = round(time.monotonic() - started, 3)
        result["peak_rss_kb"] = status_kb(program.pid, "VmHWM")
        result["fds_end"] = open_descriptors(program.pid)
        result["log_files"] = len(os.listdir(logs.name))
        if program.poll() is not None:
            result["program_died_with"] = program.returncode
        print(json.dumps(result))
    finally:
        program.kill()
        program.wait()


if __name__ == "__main__":
    main()
