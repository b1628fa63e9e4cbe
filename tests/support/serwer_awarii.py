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

Signed replies (RFC 9421, ecdsa-p256-sha256). Every 2xx reply above carries
a Repr-Digest of the body it means to send (unless its scenario sets one) and
a signature over ("repr-digest" "@path";req) with RFC 9421's published test
key test-key-ecc-p256 (rfc9421-test-key-ecc-p256.key beside this file), which
the tests pin. Forged and malformed signatures:
  forged-N           body and digest replaced together (zeros), the original signature
  unsigned-N         a good digest, no signature
  foreignkey-N       signed by a key made at start, keyid "obcy-klucz"
  wrongkey-N         signed by that key under the pinned keyid
  otherpath-N        signed over another path
  replay-N           another file's whole signed reply (another body, its own path)
  nodigestcover-N    the signature covers ("@status" "@path";req) only
  oldsig-N           created=1000000000
  morecover-N        covers "@status", "content-type" and more: valid
  zeror-N, zeros-N   valid signatures whose r (s) begins with a zero byte
  twosigs-N          a foreign signature, then a valid one
  badsig-KIND-N      a malformed signature field, KIND one of BADSIG below
Bounds:
  huge               Content-Length 10^15, 64 KiB of body, then 5 s of silence
  endless            chunked, 64 KiB chunks for up to 20 s
  endlessclose       neither length nor chunks, 64 KiB pieces for up to 20 s
  trickle-N-MS       announces N bytes, sends one every MS ms (up to 60 s)
  continue-MS        "100 Continue" every MS ms for up to 30 s, never a reply
  dupcl-N            Content-Length twice, the same value
  dupcldiff-N        Content-Length twice, N and 2N
  badcl-N            Content-Length "N0x"
  obsfold-N          a field continued on a folded line
  more-N             announces N, sends N + 42 (signed digest of all N + 42)

The body of a Repr-Digest "bad" reply is still the pattern; the digest is
that of N bytes of zeros.

/_dziennik/<id> lists the requests of <id> seen so far, one a line:
path, a tab, the Authorization header (empty when absent).

The pattern body: byte i is i % 251.
"""
import base64
import hashlib
import os
import socket
import struct
import sys
import threading
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

from cryptography.hazmat.primitives import hashes, serialization
from cryptography.hazmat.primitives.asymmetric import ec, utils

KLUCZ_ID = "test-key-ecc-p256"
with open(os.path.join(os.path.dirname(os.path.abspath(__file__)),
                       "rfc9421-test-key-ecc-p256.key"), "rb") as _plik:
    KLUCZ = serialization.load_pem_private_key(_plik.read(), password=None)
OBCY = ec.generate_private_key(ec.SECP256R1())
UTWORZONY = 1765300000
ALG = 'alg="ecdsa-p256-sha256"'

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


def podpis_rs(klucz, baza, warunek=lambda rs: True):
    """r||s, each zero-padded to 32 bytes; signs again until `warunek` holds."""
    while True:
        r, s_ = utils.decode_dss_signature(klucz.sign(baza.encode(), ec.ECDSA(hashes.SHA256())))
        rs = r.to_bytes(32, "big") + s_.to_bytes(32, "big")
        if warunek(rs):
            return rs


def podpisz(sciezka, digest, klucz=None, keyid=KLUCZ_ID, skladniki=('"repr-digest"', '"@path";req'),
            wartosci=None, utworzony=UTWORZONY, warunek=lambda rs: True, etykieta="kavrostel"):
    """Signature-Input and Signature of a reply (RFC 9421 section 2.5)."""
    wartosci = dict(wartosci or {})
    wartosci.setdefault('"repr-digest"', digest)
    wartosci.setdefault('"@path";req', sciezka)
    parametry = "(" + " ".join(skladniki) + ");created=%d;keyid=\"%s\";%s" % (utworzony, keyid, ALG)
    baza = "".join("%s: %s\n" % (s, wartosci[s]) for s in skladniki)
    baza += '"@signature-params": ' + parametry
    rs = podpis_rs(klucz or KLUCZ, baza, warunek)
    return [("Signature-Input", etykieta + "=" + parametry),
            ("Signature", etykieta + "=:" + base64.b64encode(rs).decode() + ":")]


def podpisane(sciezka, tresc, **kw):
    """The Repr-Digest of `tresc` and its signature."""
    digest = "sha-256=" + sha256(tresc)
    return [("Repr-Digest", digest)] + podpisz(sciezka, digest, **kw)


# Malformed signature fields of badsig-KIND: (Signature-Input, Signature),
# with {p} the signed parameters and {s} the valid signature's value.
BADSIG = {
    "unterminated": ('kavrostel=("repr-digest" "@path";req', "kavrostel={s}"),
    "decimal": ('kavrostel={p};expires=1.5', "kavrostel={s}"),
    "trailingcomma": ("kavrostel={p},", "kavrostel={s}"),
    "badstring": ('kavrostel=("repr-digest\x01" "@path";req)', "kavrostel={s}"),
    "otherlabel": ("kavrostel={p}", "inna={s}"),
    "len63": ("kavrostel={p}", "kavrostel=:" + base64.b64encode(bytes(63)).decode() + ":"),
    "len65": ("kavrostel={p}", "kavrostel=:" + base64.b64encode(bytes(65)).decode() + ":"),
    "base64": ("kavrostel={p}", "kavrostel=:ab$d:"),
    "sigstring": ("kavrostel={p}", 'kavrostel="abc"'),
    "noalg": ('kavrostel=("repr-digest" "@path";req);created=1765300000;keyid="test-key-ecc-p256"',
              "kavrostel={s}"),
    "otheralg": ('kavrostel=("repr-digest" "@path";req);created=1765300000;keyid="test-key-ecc-p256"'
                 ';alg="ed25519"', "kavrostel={s}"),
    "nocreated": ('kavrostel=("repr-digest" "@path";req);keyid="test-key-ecc-p256";' + ALG, "kavrostel={s}"),
    "authority": ('kavrostel=("repr-digest" "@path";req "@authority");created=1765300000'
                  ';keyid="test-key-ecc-p256";' + ALG, "kavrostel={s}"),
    "pathnoreq": ('kavrostel=("repr-digest" "@path");created=1765300000;keyid="test-key-ecc-p256";' + ALG,
                  "kavrostel={s}"),
    "twice": ('kavrostel=("repr-digest" "repr-digest" "@path";req);created=1765300000'
              ';keyid="test-key-ecc-p256";' + ALG, "kavrostel={s}"),
    "toolong": ("kavrostel={p}" + ", x=?1" * 2000, "kavrostel={s}"),
}


class Obsluga(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def naglowki(self, kod, dlugosc=None, dodatkowe=(), tresc=None):
        """`tresc`: the body the reply means to send; a 2xx reply gets its
        signed Repr-Digest unless `dodatkowe` sets one or a signature."""
        self.send_response(kod, POWODY.get(kod))
        if dlugosc is not None:
            self.send_header("Content-Length", str(dlugosc))
        nazwy = {k.lower() for k, _ in dodatkowe}
        if 200 <= kod < 300 and "signature" not in nazwy and kod != 204:
            if "repr-digest" in nazwy:
                digest = ", ".join(v for k, v in dodatkowe if k.lower() == "repr-digest")
                dodatkowe = list(dodatkowe) + podpisz(self.sciezka(), digest)
            else:
                dodatkowe = list(dodatkowe) + podpisane(self.sciezka(), tresc if tresc is not None else b"")
        for k, v in dodatkowe:
            self.send_header(k, v)
        self.send_header("Connection", "close")
        self.end_headers()
        self.wfile.flush()

    def sciezka(self):
        return self.path.split("?")[0]

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
            self.naglowki(200, len(cialo), tresc=cialo)
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
            self.naglowki(200, n[0], tresc=wzorzec(0, n[0]))
            self.tresc(0, n[0])
        elif nazwa == "chunked":
            self.naglowki(200, None, [("Transfer-Encoding", "chunked")], tresc=wzorzec(0, n[0]))
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
            self.naglowki(200, None, [("Transfer-Encoding", "chunked")], tresc=wzorzec(0, n[0] + 4096))
            calosc = n[0] - n[0] % 4096
            self.porcje(wzorzec(0, calosc), ostatnia=False)
            if n[0] > calosc:
                self.surowo(b"1000\r\n" + wzorzec(calosc, n[0] - calosc))
        elif nazwa == "badchunk":
            self.naglowki(200, None, [("Transfer-Encoding", "chunked")], tresc=wzorzec(0, n[0]))
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
            self.naglowki(200, 2 * n[0], tresc=wzorzec(0, 2 * n[0]))
            self.tresc(0, n[0])
            time.sleep(0.1)
            # SO_LINGER with a zero timeout: close() sends RST instead of FIN.
            self.connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER,
                                       struct.pack("ii", 1, 0))
            self.connection.close()
        elif nazwa == "short":
            self.naglowki(200, 2 * n[0], tresc=wzorzec(0, 2 * n[0]))
            self.tresc(0, n[0])
        elif nazwa == "stall":
            time.sleep(n[0] / 1000.0)
            self.naglowki(200, 10, tresc=wzorzec(0, 10))
            self.tresc(0, 10)
        elif nazwa == "stallbody":
            self.naglowki(200, 2 * n[0], tresc=wzorzec(0, 2 * n[0]))
            self.tresc(0, n[0])
            time.sleep(n[1] / 1000.0)
            self.tresc(n[0], n[0])
        elif nazwa == "close":
            self.connection.shutdown(socket.SHUT_RDWR)
        elif self.podpisy(nazwa, n, slowa) or self.granice(nazwa, n):
            pass
        else:
            self.naglowki(404, 0)


    def podpisy(self, nazwa, n, slowa):
        """The forged and malformed signatures; False for another scenario."""
        if nazwa not in ("forged", "unsigned", "foreignkey", "wrongkey", "otherpath", "replay",
                         "nodigestcover", "oldsig", "morecover", "zeror", "zeros", "twosigs", "badsig"):
            return False
        tresc = wzorzec(0, n[0])
        sciezka = self.sciezka()
        digest = "sha-256=" + sha256(tresc)
        if nazwa == "forged":
            inna = bytes(n[0])
            pola = [("Repr-Digest", "sha-256=" + sha256(inna))] + podpisz(sciezka, digest)
            tresc = inna
        elif nazwa == "unsigned":
            pola = [("Repr-Digest", digest)]
        elif nazwa == "foreignkey":
            pola = podpisane(sciezka, tresc, klucz=OBCY, keyid="obcy-klucz")
        elif nazwa == "wrongkey":
            pola = podpisane(sciezka, tresc, klucz=OBCY)
        elif nazwa == "otherpath":
            pola = podpisane("/programy/wersja8/aktualne/_Inny._exe", tresc)
        elif nazwa == "replay":
            tresc = wzorzec(7, n[0])
            pola = podpisane(sciezka.rsplit("/", 1)[0] + "/_Kavrostel._hlp", tresc)
        elif nazwa == "nodigestcover":
            pola = [("Repr-Digest", digest)] + podpisz(
                sciezka, digest, skladniki=('"@status"', '"@path";req'), wartosci={'"@status"': "200"})
        elif nazwa == "oldsig":
            pola = podpisane(sciezka, tresc, utworzony=1000000000)
        elif nazwa == "morecover":
            pola = [("Content-Type", "application/octet-stream"), ("Repr-Digest", digest)] + podpisz(
                sciezka, digest, skladniki=('"@status"', '"content-type"', '"repr-digest"', '"@path";req'),
                wartosci={'"@status"': "200", '"content-type"': "application/octet-stream"})
        elif nazwa in ("zeror", "zeros"):
            bajt = 0 if nazwa == "zeror" else 32
            pola = podpisane(sciezka, tresc, warunek=lambda rs: rs[bajt] == 0)
        elif nazwa == "twosigs":
            obce = podpisz(sciezka, digest, klucz=OBCY, keyid="obcy-klucz", etykieta="pierwszy")
            dobre = podpisz(sciezka, digest)
            pola = [("Repr-Digest", digest), obce[0], dobre[0], obce[1], dobre[1]]
        else:
            wejscie, podpis = BADSIG[slowa[0]]
            wzor = podpisz(sciezka, digest)
            parametry = wzor[0][1].split("=", 1)[1]
            wartosc = wzor[1][1].split("=", 1)[1]
            pola = [("Repr-Digest", digest),
                    ("Signature-Input", wejscie.replace("{p}", parametry)),
                    ("Signature", podpis.replace("{s}", wartosc))]
        if not any(k == "Signature" for k, _ in pola):
            pola.append(("X-Bez-Podpisu", "1"))
        self.naglowki_surowe(200, len(tresc), pola)
        self.surowo(tresc)
        return True

    def naglowki_surowe(self, kod, dlugosc, pola):
        """A head exactly as given: no signature added."""
        linie = ["HTTP/1.1 %d %s" % (kod, POWODY.get(kod, "OK"))]
        if dlugosc is not None:
            linie.append("Content-Length: %d" % dlugosc)
        linie += ["%s: %s" % (k, v) for k, v in pola]
        linie.append("Connection: close")
        self.surowo(("\r\n".join(linie) + "\r\n\r\n").encode("latin-1"))

    def granice(self, nazwa, n):
        """The bounds' scenarios; False for another one."""
        sciezka = self.sciezka()
        if nazwa == "huge":
            self.naglowki_surowe(200, 10 ** 15, podpisane(sciezka, bytes(10)))
            self.surowo(bytes(64 * 1024))
            time.sleep(5)
        elif nazwa in ("endless", "endlessclose"):
            pola = podpisane(sciezka, bytes(10))
            if nazwa == "endless":
                pola = [("Transfer-Encoding", "chunked")] + pola
            self.naglowki_surowe(200, None, pola)
            kawalek = bytes(64 * 1024)
            koniec = time.monotonic() + 20
            while time.monotonic() < koniec:
                if nazwa == "endless":
                    self.wfile.write(b"%x\r\n" % len(kawalek) + kawalek + b"\r\n")
                else:
                    self.wfile.write(kawalek)
            self.wfile.flush()
        elif nazwa == "trickle":
            self.naglowki_surowe(200, n[0], podpisane(sciezka, wzorzec(0, n[0])))
            koniec = time.monotonic() + 60
            for i in range(n[0]):
                if time.monotonic() > koniec:
                    break
                self.surowo(wzorzec(i, 1))
                time.sleep(n[1] / 1000.0)
        elif nazwa == "continue":
            koniec = time.monotonic() + 30
            while time.monotonic() < koniec:
                self.surowo(b"HTTP/1.1 100 Continue\r\n\r\n")
                time.sleep(n[0] / 1000.0)
        elif nazwa in ("dupcl", "dupcldiff", "badcl", "obsfold"):
            tresc = wzorzec(0, n[0])
            pola = podpisane(sciezka, tresc)
            if nazwa == "dupcl":
                pola.insert(0, ("Content-Length", str(n[0])))
            elif nazwa == "dupcldiff":
                pola.insert(0, ("Content-Length", str(2 * n[0])))
            elif nazwa == "obsfold":
                pola.insert(0, ("X-Opis", "pierwszy wiersz\r\n drugi wiersz"))
            dlugosc = n[0]
            if nazwa == "badcl":
                pola.insert(0, ("Content-Length", "%d0x" % n[0]))
                dlugosc = None
            self.naglowki_surowe(200, dlugosc, pola)
            self.surowo(tresc)
        elif nazwa == "more":
            tresc = wzorzec(0, n[0] + 42)
            self.naglowki_surowe(200, n[0], podpisane(sciezka, tresc))
            self.surowo(tresc)
        else:
            return False
        return True


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
