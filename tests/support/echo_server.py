#!/usr/bin/python3
"""An address echo service on loopback for the tests: answers every GET with the text given
(--status for another HTTP status, --repeat N to send it N times over, --no-length to leave its
length unannounced), on a free port
of 127.0.0.1 (::1 with --ipv6) that it prints on standard output; over TLS with --tls PEM (the
certificate followed by its key). --requests FILE appends a line per GET: the path, the
Authorization header and the User-Agent, separated by tabs. It ends when its standard input
closes, so it never outlives the test that started it."""

import argparse
import http.server
import os
import socket
import ssl
import sys
import threading


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--body", default="")
    parser.add_argument("--status", type=int, default=200)
    parser.add_argument("--no-length", action="store_true")
    parser.add_argument("--ipv6", action="store_true")
    parser.add_argument("--tls")
    parser.add_argument("--requests")
    parser.add_argument("--repeat", type=int, default=1)
    args = parser.parse_args()
    body = args.body.encode() * args.repeat

    class Echo(http.server.BaseHTTPRequestHandler):
        def do_GET(self):
            if args.requests:
                with open(args.requests, "a") as log:
                    log.write("\t".join([self.path, self.headers.get("Authorization", ""),
                                         self.headers.get("User-Agent", "")]) + "\n")
            self.send_response(args.status)
            self.send_header("Content-Type", "text/plain")
            if not args.no_length:
                self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body)

        def log_message(self, *_):
            pass

    class Server(http.server.HTTPServer):
        address_family = socket.AF_INET6 if args.ipv6 else socket.AF_INET

    server = Server(("::1" if args.ipv6 else "127.0.0.1", 0), Echo)
    if args.tls:
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(args.tls)
        server.socket = context.wrap_socket(server.socket, server_side=True)
    print(server.server_address[1], flush=True)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    sys.stdin.read()
    os._exit(0)


main()
