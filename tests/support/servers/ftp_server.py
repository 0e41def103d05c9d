#!/usr/bin/python3
"""A real FTP server on 127.0.0.1 for the upload tests.

Usage: ftp_server.py ROOT USER PASSWORD [SECONDS] [--record FILE] [--stall quit] [--cert C --key K]
Serves ROOT (with a subfolder "sub" created) to one user with full rights,
prints the chosen port on the first line of standard output and ends by
itself after SECONDS (default 60), so a crashed test never leaves it behind.
Files are stored with the bytes as they came, whatever the transfer type
(pyftpdlib would turn CR LF into LF in ASCII mode, undoing what an ASCII
client did and hiding it). With --record, every upload is written to FILE
as a JSON line: {"event": "stor", "path": path under ROOT, "type": "a" or
"i", "time": seconds since the epoch}. With --stall quit, QUIT is never
answered (what was stored stays stored). With --cert and --key, explicit TLS
(AUTH TLS) is required before the log-in and on every data connection, whose
handshake ends 0.3 s late, as on a busy server.
"""
import argparse
import json
import logging
import os
import threading
import time

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import DTPHandler, FTPHandler, TLS_DTPHandler, TLS_FTPHandler
from pyftpdlib.servers import FTPServer


def as_sent(base):
    class AsSentDTPHandler(base):
        def enable_receiving(self, type, cmd):
            super().enable_receiving("i", cmd)

        # curl begins the data connection's TLS before the transfer command;
        # pyftpdlib would take that early handshake for a hang-up.
        def readable(self):
            return getattr(self, "_ssl_accepting", False) or super().readable()

        # A busy server: the handshake's last step comes late, after a client
        # may have sent everything and hung up; TLS 1.3 sends tickets then.
        handshake_reads = 0

        def handle_read_event(self):
            if getattr(self, "_ssl_accepting", False):
                self.handshake_reads += 1
                if self.handshake_reads == 2:
                    # Past pyftpdlib's bookkeeping, so that a transfer command does not end the wait.
                    self.ioloop.modify(self._fileno, 0)
                    self.call_later(0.3, self.ioloop.modify, self._fileno, self.ioloop.READ)
                    return
            super().handle_read_event()

    return AsSentDTPHandler


def recording_handler(root, record_path, stall, tls):
    class Handler(TLS_FTPHandler if tls else FTPHandler):
        dtp_handler = as_sent(TLS_DTPHandler if tls else DTPHandler)

        def ftp_QUIT(self, line):
            if stall != "quit":
                super().ftp_QUIT(line)

        def ftp_STOR(self, file, mode="w"):
            if record_path:
                entry = {"event": "stor", "path": os.path.relpath(file, root), "type": self._current_type,
                         "time": time.time()}
                with open(record_path, "a", encoding="utf-8") as out:
                    out.write(json.dumps(entry) + "\n")
            return super().ftp_STOR(file, mode)

    return Handler


def main():
    logging.basicConfig(level=logging.WARNING)
    parser = argparse.ArgumentParser()
    parser.add_argument("root")
    parser.add_argument("user")
    parser.add_argument("password")
    parser.add_argument("seconds", nargs="?", type=float, default=60.0)
    parser.add_argument("--record")
    parser.add_argument("--stall", choices=["quit"])
    parser.add_argument("--cert")
    parser.add_argument("--key")
    args = parser.parse_args()
    root, lifetime = os.path.realpath(args.root), args.seconds
    os.makedirs(os.path.join(root, "sub"), exist_ok=True)

    authorizer = DummyAuthorizer()
    authorizer.add_user(args.user, args.password, root, perm="elradfmwMT")
    handler = recording_handler(root, args.record, args.stall, bool(args.cert))
    if args.cert:
        handler.certfile, handler.keyfile = args.cert, args.key
        handler.tls_control_required = handler.tls_data_required = True
    handler.authorizer = authorizer
    handler.auth_failed_timeout = 0.1

    server = FTPServer(("127.0.0.1", 0), handler)
    print(server.socket.getsockname()[1], flush=True)
    threading.Timer(lifetime, server.close_all).start()
    server.serve_forever(timeout=0.2, blocking=True, handle_exit=True)


if __name__ == "__main__":
    main()
