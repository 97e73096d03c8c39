#!/usr/bin/python3
"""A real FTP server on loopback for the tests, on a free port that it prints on standard
output. With --silent it only accepts connections and never says a word, like a server that
hangs. It ends when its standard input closes, so it never outlives the test that started it."""

import argparse
import logging
import os
import socket
import sys
import threading


def end_with_parent():
    sys.stdin.read()
    os._exit(0)


def silent():
    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.bind(("127.0.0.1", 0))
    listener.listen(16)
    print(listener.getsockname()[1], flush=True)
    held = []
    while True:
        connection, _ = listener.accept()
        held.append(connection)


def ftp(home, user, password):
    from pyftpdlib.authorizers import DummyAuthorizer
    from pyftpdlib.handlers import FTPHandler
    from pyftpdlib.servers import FTPServer

    logging.basicConfig(level=logging.WARNING, stream=sys.stderr)
    authorizer = DummyAuthorizer()
    authorizer.add_user(user, password, home, perm="elradfmwMT")
    handler = FTPHandler
    handler.authorizer = authorizer
    handler.auth_failed_timeout = 0.1
    server = FTPServer(("127.0.0.1", 0), handler)
    print(server.address[1], flush=True)
    server.serve_forever()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--home")
    parser.add_argument("--user")
    parser.add_argument("--password")
    parser.add_argument("--silent", action="store_true")
    args = parser.parse_args()
    threading.Thread(target=end_with_parent, daemon=True).start()
    if args.silent:
        silent()
    else:
        ftp(args.home, args.user, args.password)


main()
