#!/usr/bin/env bash
# A caching proxy in front of the server kit, standing in for a CDN or a
# mirror: nginx with proxy_cache on loopback, keyed by the path only, every
# 200 reply kept for an hour whatever its headers say. Its cache entries
# can be poisoned: the body changed with a Repr-Digest to match, the
# maker's signature left as it was.
#
#   tests/support/pamiec_posrednia.sh start WORK_DIR PORT UPSTREAM_HOST:PORT
#   tests/support/pamiec_posrednia.sh zatruj WORK_DIR PATH_SUFFIX
#   tests/support/pamiec_posrednia.sh stop WORK_DIR
#
# Replies carry X-Pamiec: MISS, HIT... (nginx's $upstream_cache_status).
set -euo pipefail
polecenie=$1
W=$2
case $polecenie in
  start)
    port=$3 gora=$4
    mkdir -p "$W/tmp" "$W/pamiec"
    W=$(cd "$W" && pwd -P)
    uzytkownik=""
    if [ "$(id -u)" -eq 0 ]; then
      uzytkownik="user nobody $(id -gn nobody);"
      chown -R nobody "$W"
    fi
    cat >"$W/nginx.conf" <<CONF
$uzytkownik
daemon on;
worker_processes 1;
pid "$W/nginx.pid";
error_log "$W/error.log" notice;
events { worker_connections 128; }
http {
    access_log "$W/access.log";
    client_body_temp_path "$W/tmp/client";
    proxy_temp_path "$W/tmp/proxy";
    fastcgi_temp_path "$W/tmp/fastcgi";
    uwsgi_temp_path "$W/tmp/uwsgi";
    scgi_temp_path "$W/tmp/scgi";
    proxy_cache_path "$W/pamiec" levels=1 keys_zone=kv:1m max_size=1g inactive=1h use_temp_path=off;
    server {
        listen 127.0.0.1:$port;
        location / {
            proxy_pass http://$gora;
            proxy_http_version 1.1;
            proxy_cache kv;
            proxy_cache_key \$uri;
            proxy_cache_valid 200 1h;
            proxy_ignore_headers Cache-Control Expires Set-Cookie;
            add_header X-Pamiec \$upstream_cache_status always;
        }
    }
}
CONF
    nginx -q -t -p "$W/" -c "$W/nginx.conf" -e "$W/error.log"
    nginx -p "$W/" -c "$W/nginx.conf" -e "$W/error.log"
    for _ in $(seq 1 100); do [ -s "$W/nginx.pid" ] && exit 0; sleep 0.05; done
    echo "$0: the caching proxy did not start; $W/error.log" >&2
    exit 1
    ;;
  zatruj)
    python3 - "$W/pamiec" "$3" <<'PY'
import base64, hashlib, os, re, sys
folder, koncowka = sys.argv[1], sys.argv[2].encode()
for korzen, _, pliki in os.walk(folder):
    for nazwa in pliki:
        sciezka = os.path.join(korzen, nazwa)
        with open(sciezka, "rb") as f:
            dane = bytearray(f.read())
        klucz = re.search(rb"\nKEY: ([^\n]*)\n", dane)
        if not klucz or not klucz.group(1).endswith(koncowka):
            continue
        poczatek = dane.index(b"\r\n\r\n", klucz.end()) + 4
        dane[poczatek + (len(dane) - poczatek) // 2] ^= 0x5A
        suma = base64.b64encode(hashlib.sha256(bytes(dane[poczatek:])).digest())
        naglowki = bytes(dane[klucz.end():poczatek])
        nowe = re.sub(rb"(Repr-Digest: sha-256=:)[A-Za-z0-9+/=]+(:)", rb"\g<1>" + suma + rb"\g<2>", naglowki)
        assert nowe != naglowki and len(nowe) == len(naglowki)
        dane[klucz.end():poczatek] = nowe
        with open(sciezka, "r+b") as f:
            f.write(dane)
        print("poisoned " + sciezka)
        sys.exit(0)
sys.exit("no cache entry for " + sys.argv[2])
PY
    ;;
  stop)
    [ -s "$W/nginx.pid" ] || exit 0
    pid=$(cat "$W/nginx.pid")
    kill -TERM "$pid" 2>/dev/null || true
    for _ in $(seq 1 100); do kill -0 "$pid" 2>/dev/null || exit 0; sleep 0.05; done
    ;;
esac
