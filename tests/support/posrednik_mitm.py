#!/usr/bin/env python3
"""A man in the middle for the end-to-end tests: an HTTP proxy on loopback
that passes every request on to the real server and, in the reply of the
program file, puts another body and that body's own Repr-Digest, keeping
the rest (the maker's Signature-Input and Signature included), as an
attacker on the path would.

    posrednik_mitm.py LISTEN_PORT UPSTREAM_HOST:PORT FOREIGN_FILE

Prints "ready" once it listens; serves until killed, at most 600 s.
"""
import base64
import hashlib
import http.client
import http.server
import sys
import threading

PORT = int(sys.argv[1])
GORA_HOST, GORA_PORT = sys.argv[2].rsplit(":", 1)
with open(sys.argv[3], "rb") as plik:
    OBCY = plik.read()
SUMA_OBCEGO = "sha-256=:" + base64.b64encode(hashlib.sha256(OBCY).digest()).decode() + ":"
POMIJANE = {"connection", "keep-alive", "transfer-encoding", "content-length", "repr-digest"}


class Posrednik(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def do_GET(self):
        gora = http.client.HTTPConnection(GORA_HOST, int(GORA_PORT), timeout=30)
        naglowki = {k: v for k, v in self.headers.items() if k.lower() not in ("connection", "proxy-connection")}
        gora.request("GET", self.path, headers=naglowki)
        odp = gora.getresponse()
        tresc = odp.read()
        podmiana = odp.status == 200 and self.path.endswith("/_Kavrostel._exe")
        if podmiana:
            tresc = OBCY
        self.send_response(odp.status, odp.reason)
        for k, v in odp.getheaders():
            if k.lower() in POMIJANE:
                continue
            self.send_header(k, v)
        if podmiana:
            self.send_header("Repr-Digest", SUMA_OBCEGO)
        elif odp.getheader("Repr-Digest"):
            self.send_header("Repr-Digest", odp.getheader("Repr-Digest"))
        self.send_header("Content-Length", str(len(tresc)))
        self.send_header("Connection", "close")
        self.end_headers()
        self.wfile.write(tresc)
        gora.close()

    def log_message(self, format, *args):
        sys.stderr.write("mitm: " + (format % args) + "\n")


serwer = http.server.ThreadingHTTPServer(("127.0.0.1", PORT), Posrednik)
zegar = threading.Timer(600, serwer.shutdown)
zegar.daemon = True
zegar.start()
print("ready", flush=True)
serwer.serve_forever()
