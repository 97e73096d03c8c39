#!/usr/bin/python3
"""An HTTP proxy on loopback that only tunnels (CONNECT), for the tests. Prints its port on
standard output and writes one line for each tunnel it opens into the file given as its
argument. Ends when its standard input closes."""

import os
import socket
import sys
import threading


def pipe(source, target):
    try:
        while True:
            data = source.recv(65536)
            if not data:
                break
            target.sendall(data)
    except OSError:
        pass
    finally:
        for end in (source, target):
            try:
                end.shutdown(socket.SHUT_RDWR)
            except OSError:
                pass


def tunnel(client):
    request = b""
    while b"\r\n\r\n" not in request:
        data = client.recv(4096)
        if not data:
            client.close()
            return
        request += data
    words = request.split(b"\r\n", 1)[0].split()
    if len(words) < 2 or words[0] != b"CONNECT":
        client.sendall(b"HTTP/1.1 405 Method Not Allowed\r\n\r\n")
        client.close()
        return
    host, port = words[1].rsplit(b":", 1)
    if host not in (b"127.0.0.1", b"localhost"):
        client.sendall(b"HTTP/1.1 403 Forbidden\r\n\r\n")
        client.close()
        return
    upstream = socket.create_connection((host.decode(), int(port)))
    with open(sys.argv[1], "a") as log:
        print("tunnel", int(port), file=log)
    client.sendall(b"HTTP/1.1 200 Connection established\r\n\r\n")
    threading.Thread(target=pipe, args=(client, upstream), daemon=True).start()
    threading.Thread(target=pipe, args=(upstream, client), daemon=True).start()


def end_with_parent():
    sys.stdin.read()
    os._exit(0)


threading.Thread(target=end_with_parent, daemon=True).start()
listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
listener.bind(("127.0.0.1", 0))
listener.listen(16)
print(listener.getsockname()[1], flush=True)
while True:
    connection, _ = listener.accept()
    threading.Thread(target=tunnel, args=(connection,), daemon=True).start()
