"""An FTP server for the tests: user kelvane, password secret, on 127.0.0.1 and a port the
system picks (printed on the first line), serving the folder given. It ends when the test
program that started it goes, or after the time limit given in seconds."""
import logging
import os
import sys
import time

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer


def main():
    root, limit = sys.argv[1], float(sys.argv[2])
    # Only warnings: the server logs a line each time it is polled, which would fill the
    # pipe of a test that does not read it.
    logger = logging.getLogger("pyftpdlib")
    logger.addHandler(logging.StreamHandler())
    logger.setLevel(logging.WARNING)
    parent = os.getppid()
    authorizer = DummyAuthorizer()
    authorizer.add_user("kelvane", "secret", root, perm="elradfmwMT")
    handler = FTPHandler
    handler.authorizer = authorizer
    handler.auth_failed_timeout = 0.05
    server = FTPServer(("127.0.0.1", 0), handler)
    print(server.address[1], flush=True)
    deadline = time.monotonic() + limit
    while time.monotonic() < deadline and os.getppid() == parent:
        server.serve_forever(timeout=0.1, blocking=False)
    server.close_all()


if __name__ == "__main__":
    main()
