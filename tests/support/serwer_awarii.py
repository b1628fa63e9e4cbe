#!/usr/bin/env python3
"""An HTTP server that misbehaves on request, for the download tests.

Listens on 127.0.0.1 on a port chosen by the system and prints that port as
its first line on stdout. Each request path reads /<id>/<scenario>/<rest>:
<id> groups the requests of one test, <scenario> picks the reply:

  ok-N               200 with Content-Length, N bytes of the pattern body
  chunked-N          200, chunked, no length
  empty              200 with Content-Length 0
  status-C           reply status C (301, 302 with a Location, 401, 404, 500)
  reset-N            announces 2N bytes, sends N, then resets the connection
  short-N            announces 2N bytes, sends N, then closes cleanly
  stall-MS           waits MS milliseconds before the status line
  stallbody-N-MS     sends headers and N bytes, waits MS ms, sends N more
  close              closes the connection without replying

/_dziennik/<id> lists the requests of <id> seen so far, one a line:
path, a tab, the Authorization header (empty when absent).

The pattern body: byte i is i % 251.
"""
import socket
import struct
import sys
import threading
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

dziennik = []
blokada = threading.Lock()

POWODY = {301: "Moved Permanently", 302: "Found", 401: "Unauthorized",
          404: "Not Found", 500: "Internal Server Error"}


def wzorzec(od, ile):
    return bytes((i % 251) for i in range(od, od + ile))


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
        try:
            self.odpowiedz(nazwa, liczby)
        except (BrokenPipeError, ConnectionResetError):
            pass

    def odpowiedz(self, nazwa, n):
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
