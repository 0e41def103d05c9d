#!/usr/bin/python3
"""A real FTP server on 127.0.0.1 for the upload tests.

Usage: ftp_server.py ROOT USER PASSWORD [SECONDS]
Serves ROOT (with a subfolder "sub" created) to one user with full rights,
prints the chosen port on the first line of standard output and ends by
itself after SECONDS (default 60), so a crashed test never leaves it behind.
"""
import logging
import os
import sys
import threading

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer


def main():
    logging.basicConfig(level=logging.WARNING)
    root, user, password = sys.argv[1:4]
    lifetime = float(sys.argv[4]) if len(sys.argv) > 4 else 60.0
    os.makedirs(os.path.join(root, "sub"), exist_ok=True)

    authorizer = DummyAuthorizer()
    authorizer.add_user(user, password, root, perm="elradfmwMT")
    handler = FTPHandler
    handler.authorizer = authorizer
    handler.auth_failed_timeout = 0.1

    server = FTPServer(("127.0.0.1", 0), handler)
    print(server.socket.getsockname()[1], flush=True)
    threading.Timer(lifetime, server.close_all).start()
    server.serve_forever(timeout=0.2, blocking=True, handle_exit=True)


if __name__ == "__main__":
    main()
