#!/usr/bin/env python3
"""A quiet room for the idle figure: signs the program in on loopback, says twenty lines and then
only answers PINGs, for SECONDS seconds. Prints the port to connect to.

    python3 bench/quiet_room.py 90 > port &
    build/src/velmora --server 127.0.0.1:$(cat port) --nick idler --room '#quiet' &
    # after start-up, read utime + stime (fields 14 and 15) of /proc/PID/stat twice, 40 s apart
"""
import socket
import sys
import time

seconds = float(sys.argv[1]) if len(sys.argv) > 1 else 90
server = socket.socket()
server.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
server.bind(("127.0.0.1", 0))
server.listen(1)
print(server.getsockname()[1], flush=True)
client, _ = server.accept()
received = b""
while b"USER" not in received:
    received += client.recv(4096)
client.sendall(b":srv 001 idler :Welcome\r\n")
time.sleep(0.5)
client.sendall(b":idler!u@h JOIN #quiet\r\n:srv 353 idler = #quiet :idler @op alice bob\r\n"
               b":srv 366 idler #quiet :End\r\n:srv 332 idler #quiet :quiet topic\r\n")
for i in range(20):
    client.sendall(b":alice!a@h PRIVMSG #quiet :hello there %d\r\n" % i)
client.settimeout(1)
end = time.time() + seconds
while time.time() < end:
    try:
        data = client.recv(4096)
        if not data:
            break
        for line in data.split(b"\r\n"):
            if line.startswith(b"PING"):
                client.sendall(b"PONG" + line[4:] + b"\r\n")
    except socket.timeout:
        pass
