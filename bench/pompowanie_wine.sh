#!/usr/bin/env bash
# The WinHTTP client's throughput and pump cadence under Wine, printed, not
# a test: a file of SIZE MiB (with its digest) from the nginx kit on
# loopback, unthrottled and at the kit's rate limit, fetched by
#  - the curl tool (the baseline of the same run, same server, same file),
#  - pompowanie_bench: the client alone on a page that only times its pumps,
#  - pompowanie_okna_bench: the installer's real window on an idle display
#    of its own (Xvfb), its bar and its pump, as the install button does;
# plus the client's pump cadence while a server stalls for 3 s. Ratios to
# curl and to the time the rate allows are printed at the end.
#
#   bash bench/pompowanie_wine.sh [SIZE_MIB] [ROUNDS]
#
# KV_BUDOWA: the build folder (default build); the cross build is
# KV_BUDOWA/windows, made by scripts/testy-windows.sh. KV_LIMIT: the rate
# limit of the throttled runs (default 8m, nginx's limit_rate). KV_PRZED: a
# folder with an earlier build's pompowanie_bench.exe and
# pompowanie_okna_bench.exe, run in turn with this build's on the
# unthrottled road (before, after, before, after), so that a change is
# judged against a baseline of the same minutes on a machine whose load
# changes. KV_DROGI: the roads measured first (default "bez_limitu limit";
# empty: the comparison alone).
set -euo pipefail
cd "$(dirname "$0")/.."
ZRODLA=$PWD
BUDOWA=${KV_BUDOWA:-$ZRODLA/build}
ROZMIAR=${1:-48}
RUNDY=${2:-3}
LIMIT=${KV_LIMIT:-8m}
WINDOWS=$BUDOWA/windows
[ -f "$WINDOWS/CMakeCache.txt" ] || { echo "no cross build in $WINDOWS (bash scripts/testy-windows.sh)" >&2; exit 1; }
cmake --build "$WINDOWS" -j2 --target pompowanie_bench pompowanie_okna_bench sufit_winhttp_bench >/dev/null
# The Linux build's client on the same server, where that build has it.
LINUX_POBIERZ=$BUDOWA/native/tests/kv_pobierz
. tests/support/xvfb.sh
. tests/support/wine.sh

T=$(mktemp -d "${TMPDIR:-/tmp}/kv-pompowanie.XXXXXX")
chmod 0755 "$T"  # run as root, the kit's workers ("nobody") read the tree
wolny_port() { python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])'; }
PORT=$(wolny_port)
PORT_LIMIT=$(wolny_port)
SERWER_PID=""
pid_x=""
sprzatanie() {
  bash "$ZRODLA/server/serwer.sh" -w "$T/praca" -l "127.0.0.1:$PORT" stop >/dev/null 2>&1 || true
  bash "$ZRODLA/server/serwer.sh" -w "$T/praca-limit" -l "127.0.0.1:$PORT_LIMIT" stop >/dev/null 2>&1 || true
  if [ -n "$SERWER_PID" ]; then kill "$SERWER_PID" 2>/dev/null || true; wait "$SERWER_PID" 2>/dev/null || true; fi
  wine_zakoncz
  xvfb_zatrzymaj
  rm -rf "$T"
}
trap sprzatanie EXIT
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY all_proxy ALL_PROXY

mkdir -p "$T/wydanie"
head -c $((ROZMIAR << 20)) /dev/urandom >"$T/wydanie/_Kavrostel.exe"
# Signed with the cross build's key, as the installer would demand.
KLUCZ=${KV_KLUCZ_PRYWATNY:-$WINDOWS/klucze/kavrostel-test.key}
[ -f "$KLUCZ" ] || { echo "no signing key $KLUCZ (set KV_KLUCZ_PRYWATNY and KV_KLUCZ_ID)" >&2; exit 1; }
bash "$ZRODLA/server/pakuj.sh" -k "$KLUCZ" -i "${KV_KLUCZ_ID:-kavrostel-test}" "$T/wydanie" "$T/drzewo" >/dev/null
rm -rf "$T/wydanie"
bash "$ZRODLA/server/serwer.sh" -t "$T/drzewo" -w "$T/praca" -l "127.0.0.1:$PORT" start >/dev/null
bash "$ZRODLA/server/serwer.sh" -t "$T/drzewo" -w "$T/praca-limit" -l "127.0.0.1:$PORT_LIMIT" -r "$LIMIT" \
  start >/dev/null

python3 tests/support/serwer_awarii.py >"$T/port" &
SERWER_PID=$!
for _ in $(seq 100); do [ -s "$T/port" ] && break; sleep 0.1; done
export KV_SERWER_AWARII="127.0.0.1:$(head -n1 "$T/port")"

xvfb_uruchom "$T/xvfb.log" $(seq 190 209)
wine_prefiks "$T"
SCIEZKA=programy/wersja8/aktualne/_Kavrostel._exe

# curl's seconds for the file, best of ROUNDS.
curl_s() {
  local port=$1 najlepszy="" t
  for _ in $(seq "$RUNDY"); do
    t=$(curl -s -o /dev/null -u tamrix4:lorven905 -w '%{time_total}' "http://127.0.0.1:$port/$SCIEZKA")
    najlepszy=$(awk -v a="${najlepszy:-1e9}" -v b="$t" 'BEGIN { print (b < a ? b : a) }')
  done
  echo "$najlepszy"
}
# The best "in X s" of a bench's output lines starting with PREFIX.
najlepszy_czas() { grep "^$1" | sed -n 's/.* in \([0-9.]*\) s .*/\1/p' | sort -g | head -n1; }

echo "WinHTTP under Wine: $ROZMIAR MiB on loopback, load average $(cut -d' ' -f1-3 /proc/loadavg)"
for road in ${KV_DROGI-bez_limitu limit}; do
  if [ $road = limit ]; then port=$PORT_LIMIT; echo "== at the kit's rate limit ($LIMIT)"; else port=$PORT; echo "== unthrottled"; fi
  c=$(curl_s "$port")
  echo "curl: best of $RUNDY: $c s"
  s=0
  if [ $road = bez_limitu ]; then
    # The ceiling: Wine's WinHTTP with no window, no receiver, no disk.
    wine "$WINDOWS/tests/sufit_winhttp_bench.exe" "http://127.0.0.1:$port/$SCIEZKA" tamrix4:lorven905 "$RUNDY" |
      tee "$T/sufit" || true
    s=$(grep "^ceiling" "$T/sufit" | sed -n 's/.* in \([0-9.]*\) s .*/\1/p' | sort -g | head -n1)
    if [ -x "$LINUX_POBIERZ" ]; then
      l=1e9
      for _ in $(seq "$RUNDY"); do
        rm -rf "$T/linux"
        mkdir -p "$T/linux/dosdevices" "$T/linux/drive_c/kv"
        ln -s ../drive_c "$T/linux/dosdevices/c:"
        a=$(date +%s.%N)
        WINEPREFIX="$T/linux" "$LINUX_POBIERZ" "http://127.0.0.1:$port/" 'C:\kv' >/dev/null ||
          echo "the Linux build's download failed" >&2
        l=$(awk -v a="$a" -v b="$(date +%s.%N)" -v l="$l" 'BEGIN { t = b - a; print (t < l ? t : l) }')
      done
      rm -rf "$T/linux"
      echo "Linux build (libcurl, the same work onto the disk): best of $RUNDY: $l s"
    fi
  fi
  wine "$WINDOWS/tests/pompowanie_bench.exe" "http://127.0.0.1:$port/" 'C:\kv-pompowanie' "$RUNDY" |
    tee "$T/klient.$road" | grep -v '^server stalling' || true
  wine "$WINDOWS/tests/pompowanie_okna_bench.exe" "http://127.0.0.1:$port/" 'C:\kv-okno' "$RUNDY" |
    tee "$T/okno.$road" || true
  k=$(najlepszy_czas download <"$T/klient.$road")
  o=$(najlepszy_czas 'window download' <"$T/okno.$road")
  awk -v c="$c" -v k="${k:-0}" -v o="${o:-0}" -v m="$ROZMIAR" 'BEGIN {
    printf "best: curl %.3f s, client alone %.3f s (%.1f MiB/s), window %.3f s (%.1f MiB/s); window/curl %.2fx\n",
      c, k, (k > 0 ? m / k : 0), o, (o > 0 ? m / o : 0), (c > 0 ? o / c : 0) }'
  if [ $road = bez_limitu ] && [ -n "$s" ] && [ "$s" != 0 ]; then
    awk -v s="$s" -v k="${k:-0}" -v o="${o:-0}" -v c="$c" -v m="$ROZMIAR" 'BEGIN {
      printf "ceiling (WinHTTP alone, best setting) %.3f s (%.1f MiB/s): ceiling/curl %.2fx, client/ceiling %.2fx, window/ceiling %.2fx\n",
        s, m / s, s / c, k / s, o / s }'
  fi
  if [ $road = limit ]; then
    awk -v o="${o:-0}" -v m="$ROZMIAR" -v l="$LIMIT" 'BEGIN {
      r = l + 0; if (l ~ /[mM]$/) r *= 1048576; else if (l ~ /[kK]$/) r *= 1024;
      d = m * 1048576 / r; printf "the rate allows %.2f s: window %.2fx of it\n", d, o / d }'
  fi
done
if [ -n "${KV_PRZED:-}" ]; then
  echo "== before (KV_PRZED) and after in turn, unthrottled"
  : >"$T/porownanie"
  for _ in 1 2; do
    for wersja in przed po; do
      katalog=$WINDOWS/tests
      [ $wersja = przed ] && katalog=$KV_PRZED
      wine "$katalog/pompowanie_bench.exe" "http://127.0.0.1:$PORT/" 'C:\kv-pompowanie' "$RUNDY" 2>/dev/null |
        grep '^download' | sed "s/^/$wersja client /" >>"$T/porownanie" || true
      wine "$katalog/pompowanie_okna_bench.exe" "http://127.0.0.1:$PORT/" 'C:\kv-okno' "$RUNDY" 2>/dev/null |
        grep '^window download' | sed "s/^/$wersja /" >>"$T/porownanie" || true
    done
  done
  mediana() { sort -g | awk '{ a[NR] = $1 } END { printf "%s %s %s %d\n", a[1], a[int((NR + 1) / 2)], a[NR], NR }'; }
  for wersja in przed po; do
    for co in client window; do
      grep "^$wersja $co" "$T/porownanie" >"$T/wiersze" || true
      read -r tn tm _ n < <(sed -n 's/.* in \([0-9.]*\) s .*/\1/p' "$T/wiersze" | mediana)
      read -r gn gm gx _ < <(sed -n 's/.*longest gap \([0-9.]*\) ms.*/\1/p' "$T/wiersze" | mediana)
      awk -v w="$wersja" -v c="$co" -v m="$ROZMIAR" -v n="$n" -v tn="$tn" -v tm="$tm" -v gn="$gn" -v gm="$gm" -v gx="$gx" 'BEGIN {
        printf "%-5s %-6s %d downloads: best %.3f s (%.1f MiB/s), median %.3f s (%.1f MiB/s); longest pump gap min %.1f ms, median %.1f ms, max %.1f ms\n",
          w, c, n, tn, m / tn, tm, m / tm, gn, gm, gx }'
    done
  done
fi
echo "== stall"
grep -h "^server stalling" "$T"/klient.* 2>/dev/null || true
