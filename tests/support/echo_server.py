#!/usr/bin/python3
"""An address echo service on loopback for the tests: answers every GET with the text given
(--status for another HTTP status), on a free port that it prints on standard output. It ends
when its standard input closes, so it never outlives the test that started it."""

import argparse
import http.server
import os
import sys
import threading


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--body", default="")
    parser.add_argument("--status", type=int, default=200)
    args = parser.parse_args()
    body = args.body.encode()

    class Echo(http.server.BaseHTTPRequestHandler):
        def do_GET(self):
            self.send_response(args.status)
            self.send_header("Content-Type", "text/plain")
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body)

        def log_message(self, *_):
            pass

    server = http.server.HTTPServer(("127.0.0.1", 0), Echo)
    print(server.server_address[1], flush=True)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    sys.stdin.read()
    os._exit(0)


main()
