#!/usr/bin/env python3
"""An HTTP server that misbehaves on request, for the download tests.

Listens on 127.0.0.1 on a port chosen by the system and prints that port as
its first line on stdout. Each request path reads /<id>/<scenario>/<rest>:
<id> groups the requests of one test, <scenario> picks the reply:

  ok-N               200 with Content-Length, N bytes of the pattern body
  chunked-N          200, chunked, no length
  empty              200 with Content-Length 0
  emptychunked       200, chunked, nothing but the last chunk
  emptyclose         200 with neither length nor chunks, closed at once
  partial-N          206 Partial Content: the first N bytes of a 2N-byte file
  nocontent          204 No Content
  status-C           reply status C (301, 302 with a Location, 401, 404, 500)
  reset-N            announces 2N bytes, sends N, then resets the connection
  short-N            announces 2N bytes, sends N, then closes cleanly
  chunkedcut-N       chunked, N bytes, then closes without the last chunk
                     (inside a chunk when N is not a multiple of 4096)
  badchunk-N         chunked, N bytes, then a chunk header that is not hex
  badstatus          a status line without a status code, then a body
  garbage            a line that is not HTTP at all, then closes
  stall-MS           waits MS milliseconds before the status line
  stallbody-N-MS     sends headers and N bytes, waits MS ms, sends N more
  close              closes the connection without replying
  digest-KIND-N      200 with Content-Length and N bytes, and a Repr-Digest:
                     good      sha-256 of the body
                     bad       sha-256 of another body
                     malformed sha-256 with a value that is not Base64
                     short     sha-256 with a 16-byte value
                     bare      sha-256 named without a value
                     unknown   only algorithms other than sha-256
                     mixed     an unknown algorithm, then sha-256 of the body
                     twolines  sha-512 and sha-256 on two field lines
  digestchunked-KIND-N  the same, chunked

The body of a Repr-Digest "bad" reply is still the pattern; the digest is
that of N bytes of zeros.

/_dziennik/<id> lists the requests of <id> seen so far, one a line:
path, a tab, the Authorization header (empty when absent).

The pattern body: byte i is i % 251.
"""
import base64
import hashlib
import socket
import struct
import sys
import threading
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

dziennik = []
blokada = threading.Lock()

POWODY = {204: "No Content", 206: "Partial Content", 301: "Moved Permanently", 302: "Found",
          401: "Unauthorized", 404: "Not Found", 500: "Internal Server Error"}


def wzorzec(od, ile):
    return bytes((i % 251) for i in range(od, od + ile))


def sha256(dane):
    return ":" + base64.b64encode(hashlib.sha256(dane).digest()).decode() + ":"


def repr_digest(rodzaj, tresc):
    """The Repr-Digest field lines of a digest-KIND reply."""
    inny = ":" + base64.b64encode(hashlib.sha512(tresc).digest()).decode() + ":"
    return {
        "good": ["sha-256=" + sha256(tresc)],
        "bad": ["sha-256=" + sha256(bytes(len(tresc)))],
        "malformed": ["sha-256=:to nie jest base64!:"],
        "short": ["sha-256=:" + base64.b64encode(bytes(16)).decode() + ":"],
        "bare": ["sha-256"],
        "unknown": ["sha-512=" + inny + ", md5=:AAAAAAAAAAAAAAAAAAAAAA==:"],
        "mixed": ["sha-512=" + inny + ", sha-256=" + sha256(tresc)],
        "twolines": ["sha-512=" + inny, "sha-256=" + sha256(tresc)],
    }[rodzaj]


class Obsluga(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def naglowki(self, kod, dlugosc=None, dodatkowe=()):
        self.send_response(kod, POWODY.get(kod))
        if dlugosc is not None:
            self.send_header("Content-Length", str(dlugosc))
        for k, v in dodatkowe:
            self.send_header(k, v)
        self.send_header("Connection", "close")
        self.end_headers()
        self.wfile.flush()

    def tresc(self, od, ile):
        self.wfile.write(wzorzec(od, ile))
        self.wfile.flush()

    def do_GET(self):
        self.close_connection = True
        czesci = self.path.split("/")
        if len(czesci) >= 3 and czesci[1] == "_dziennik":
            ident = "/" + czesci[2] + "/"
            with blokada:
                linie = [p + "\t" + a for p, a in dziennik if p.startswith(ident)]
            cialo = "".join(l + "\n" for l in linie).encode()
            self.naglowki(200, len(cialo))
            self.wfile.write(cialo)
            return
        with blokada:
            dziennik.append((self.path, self.headers.get("Authorization", "")))
        scenariusz = czesci[2] if len(czesci) >= 3 else ""
        nazwa, *arg = scenariusz.split("-")
        liczby = [int(a) for a in arg if a.isdigit()]
        slowa = [a for a in arg if not a.isdigit()]
        try:
            self.odpowiedz(nazwa, liczby, slowa)
        except (BrokenPipeError, ConnectionResetError):
            pass

    def porcje(self, tresc, ostatnia=True):
        for od in range(0, len(tresc), 4096):
            kawalek = tresc[od:od + 4096]
            self.wfile.write(b"%x\r\n" % len(kawalek) + kawalek + b"\r\n")
        if ostatnia:
            self.wfile.write(b"0\r\n\r\n")
        self.wfile.flush()

    def surowo(self, dane):
        self.wfile.write(dane)
        self.wfile.flush()

    def odpowiedz(self, nazwa, n, slowa):
        if nazwa == "ok":
            self.naglowki(200, n[0])
            self.tresc(0, n[0])
        elif nazwa == "chunked":
            self.naglowki(200, None, [("Transfer-Encoding", "chunked")])
            wyslane = 0
            while wyslane < n[0]:
                ile = min(4096, n[0] - wyslane)
                self.wfile.write(b"%x\r\n" % ile + wzorzec(wyslane, ile) + b"\r\n")
                wyslane += ile
            self.wfile.write(b"0\r\n\r\n")
            self.wfile.flush()
        elif nazwa == "empty":
            self.naglowki(200, 0)
        elif nazwa == "emptychunked":
            self.naglowki(200, None, [("Transfer-Encoding", "chunked")])
            self.porcje(b"")
        elif nazwa == "emptyclose":
            self.naglowki(200)
        elif nazwa == "partial":
            self.naglowki(206, n[0], [("Content-Range", "bytes 0-%d/%d" % (n[0] - 1, 2 * n[0]))])
            self.tresc(0, n[0])
        elif nazwa == "nocontent":
            self.naglowki(204)
        elif nazwa == "chunkedcut":
            # Whole chunks of 4096, then one announced whole but cut short.
            self.naglowki(200, None, [("Transfer-Encoding", "chunked")])
            calosc = n[0] - n[0] % 4096
            self.porcje(wzorzec(0, calosc), ostatnia=False)
            if n[0] > calosc:
                self.surowo(b"1000\r\n" + wzorzec(calosc, n[0] - calosc))
        elif nazwa == "badchunk":
            self.naglowki(200, None, [("Transfer-Encoding", "chunked")])
            self.porcje(wzorzec(0, n[0]), ostatnia=False)
            self.surowo(b"zz\r\n" + wzorzec(0, 100) + b"\r\n0\r\n\r\n")
        elif nazwa == "badstatus":
            self.surowo(b"HTTP/1.1 OK\r\nContent-Length: 10\r\nConnection: close\r\n\r\n" +
                        wzorzec(0, 10))
        elif nazwa == "garbage":
            self.surowo(b"SSH-2.0-OpenSSH_9.2p1 Debian-2\r\n")
        elif nazwa in ("digest", "digestchunked"):
            tresc = wzorzec(0, n[0])
            linie = [("Repr-Digest", v) for v in repr_digest(slowa[0], tresc)]
            if nazwa == "digest":
                self.naglowki(200, n[0], linie)
                self.surowo(tresc)
            else:
                self.naglowki(200, None, [("Transfer-Encoding", "chunked")] + linie)
                self.porcje(tresc)
        elif nazwa == "status":
            kod = n[0]
            cialo = b"<html>status</html>"
            dodatkowe = []
            if kod in (301, 302):
                dodatkowe.append(("Location", "/x/ok-10/przekierowany"))
            if kod == 401:
                dodatkowe.append(("WWW-Authenticate", 'Basic realm="Kavrostel"'))
            self.naglowki(kod, len(cialo), dodatkowe)
            self.wfile.write(cialo)
        elif nazwa == "reset":
            self.naglowki(200, 2 * n[0])
            self.tresc(0, n[0])
            time.sleep(0.1)
            # SO_LINGER with a zero timeout: close() sends RST instead of FIN.
            self.connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER,
                                       struct.pack("ii", 1, 0))
            self.connection.close()
        elif nazwa == "short":
            self.naglowki(200, 2 * n[0])
            self.tresc(0, n[0])
        elif nazwa == "stall":
            time.sleep(n[0] / 1000.0)
            self.naglowki(200, 10)
            self.tresc(0, 10)
        elif nazwa == "stallbody":
            self.naglowki(200, 2 * n[0])
            self.tresc(0, n[0])
            time.sleep(n[1] / 1000.0)
            self.tresc(n[0], n[0])
        elif nazwa == "close":
            self.connection.shutdown(socket.SHUT_RDWR)
        else:
            self.naglowki(404, 0)


class Serwer(ThreadingHTTPServer):
    daemon_threads = True
    allow_reuse_address = True


def main():
    serwer = Serwer(("127.0.0.1", 0), Obsluga)
    print(serwer.server_address[1], flush=True)
    try:
        serwer.serve_forever(poll_interval=0.05)
    except KeyboardInterrupt:
        pass


if __name__ == "__main__":
    main()
