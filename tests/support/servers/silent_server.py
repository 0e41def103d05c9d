#!/usr/bin/python3
"""A listening socket that accepts connections and never answers: a mail
server that hangs. Prints its port and stops after --lifetime seconds."""
import argparse
import socket
import time

parser = argparse.ArgumentParser()
parser.add_argument("--lifetime", type=float, default=30)
args = parser.parse_args()
sock = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
sock.bind(("127.0.0.1", 0))
sock.listen(8)
print(sock.getsockname()[1], flush=True)
held = []
deadline = time.time() + args.lifetime
while time.time() < deadline:
    try:
        sock.settimeout(max(0.1, deadline - time.time()))
        held.append(sock.accept()[0])
    except socket.timeout:
        break
