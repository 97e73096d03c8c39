#!/usr/bin/python3
"""A real FTP server on loopback for the tests, on a free port that it prints on standard
output. With --silent it only accepts connections and never says a word, like a server that
hangs. It ends when its standard input closes, so it never outlives the test that started it.

--tls explicit|implicit with --cert (certificate chain and key in one PEM file) serves FTP over
TLS, required for the control and the data connection. --log names a file that gets every
command line the server receives (the password masked). The other switches make the server
misbehave the way real ones do: --without CMD (repeatable) answers 500 to CMD, --truncate
keeps only the first half of each stored file, --disk-limit N fails a store with "no space
left" after N bytes, --drop-after N closes the connection after N bytes of one store.
--throttle N takes stores at N bytes a second. --perm gives the user pyftpdlib's permission
letters (a restricted hosting account: without "f" no rename, without "r" and "l" no RETR and
no SIZE). --reply CMD=TEXT answers CMD with the reply line TEXT, in which backslash escapes
stand for control characters, as a hostile server might. --reply-delay S waits S seconds
before every reply. --require-session-reuse refuses a TLS data connection that does not resume
the control connection's TLS session, as vsftpd and FileZilla Server do. --bind ::1 listens on
IPv6 loopback instead of 127.0.0.1."""

import argparse
import errno
import logging
import os
import socket
import sys
import threading
import time


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


class LimitedFile:
    """A file being stored that runs out of room, or loses its client, after `limit` bytes."""

    def __init__(self, file, limit, on_limit):
        self._file = file
        self._room = limit
        self._on_limit = on_limit

    def write(self, data):
        if len(data) > self._room:
            self._file.write(data[: self._room])
            self._room = 0
            return self._on_limit()
        self._room -= len(data)
        return self._file.write(data)

    def __getattr__(self, name):
        return getattr(self._file, name)


def handler_class(args):
    from pyftpdlib.filesystems import AbstractedFS
    from pyftpdlib.handlers import FTPHandler, TLS_DTPHandler, TLS_FTPHandler

    if args.tls:
        from OpenSSL._util import lib as ssl_lib

    base = TLS_FTPHandler if args.tls else FTPHandler
    replies = {}
    for reply in args.reply:
        cmd, text = reply.split("=", 1)
        replies[cmd] = text.encode("latin-1").decode("unicode_escape")

    class DataHandler(TLS_DTPHandler):
        # Clients such as curl start the data connection's handshake before the transfer
        # command; the handshake has to be served then.
        def readable(self):
            return self._ssl_accepting or super().readable()

        def handle_ssl_established(self):
            if args.require_session_reuse and not ssl_lib.SSL_session_reused(self.socket._ssl):
                self.cmd_channel.respond("522 The data connection must reuse the TLS session.")
                self.close()

    class Handler(base):
        proto_cmds = {
            name: entry for name, entry in base.proto_cmds.items() if name not in args.without
        }

        def handle(self):
            if args.tls == "implicit":
                self.secure_connection(self.ssl_context)
            super().handle()

        def pre_process_command(self, line, cmd, arg):
            if args.log:
                with open(args.log, "a", encoding="utf-8") as log:
                    print("PASS ******" if cmd == "PASS" else line, file=log)
            if cmd in replies:
                return self.respond(replies[cmd])
            return super().pre_process_command(line, cmd, arg)

        def respond(self, resp, logfun=None):
            if args.reply_delay:
                time.sleep(args.reply_delay)
            return super().respond(resp, logfun) if logfun else super().respond(resp)

        def on_file_received(self, file):
            if args.truncate:
                os.truncate(file, os.path.getsize(file) // 2)

    class FileSystem(AbstractedFS):
        def open(self, filename, mode):
            file = super().open(filename, mode)
            if "r" in mode:
                return file
            if args.disk_limit is not None:
                return LimitedFile(file, args.disk_limit, self.disk_full)
            if args.drop_after is not None:
                return LimitedFile(file, args.drop_after, self.drop)
            return file

        def disk_full(self):
            raise OSError(errno.ENOSPC, os.strerror(errno.ENOSPC))

        def drop(self):
            handler = self.cmd_channel
            handler.ioloop.call_later(0, handler.close)

    Handler.abstracted_fs = FileSystem
    if args.throttle:
        from pyftpdlib.handlers import ThrottledDTPHandler

        class SlowDataHandler(ThrottledDTPHandler):
            read_limit = args.throttle

        Handler.dtp_handler = SlowDataHandler
    if args.tls:
        Handler.dtp_handler = DataHandler
        Handler.certfile = args.cert
        Handler.tls_control_required = True
        Handler.tls_data_required = True
    return Handler


def ftp(args):
    from pyftpdlib.authorizers import DummyAuthorizer
    from pyftpdlib.servers import FTPServer

    logging.basicConfig(level=logging.DEBUG if os.environ.get("FTP_DEBUG") else logging.WARNING, stream=sys.stderr)
    authorizer = DummyAuthorizer()
    authorizer.add_user(args.user, args.password, args.home, perm=args.perm)
    handler = handler_class(args)
    handler.authorizer = authorizer
    handler.auth_failed_timeout = 0.1
    server = FTPServer((args.bind, 0), handler)
    print(server.address[1], flush=True)
    server.serve_forever()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--home")
    parser.add_argument("--user")
    parser.add_argument("--password")
    parser.add_argument("--silent", action="store_true")
    parser.add_argument("--bind", default="127.0.0.1")
    parser.add_argument("--tls", choices=["explicit", "implicit"])
    parser.add_argument("--cert")
    parser.add_argument("--require-session-reuse", action="store_true")
    parser.add_argument("--log")
    parser.add_argument("--without", action="append", default=[])
    parser.add_argument("--truncate", action="store_true")
    parser.add_argument("--disk-limit", type=int)
    parser.add_argument("--drop-after", type=int)
    parser.add_argument("--throttle", type=int)
    parser.add_argument("--perm", default="elradfmwMT")
    parser.add_argument("--reply", action="append", default=[])
    parser.add_argument("--reply-delay", type=float)
    args = parser.parse_args()
    threading.Thread(target=end_with_parent, daemon=True).start()
    if args.silent:
        silent()
    else:
        ftp(args)


main()
