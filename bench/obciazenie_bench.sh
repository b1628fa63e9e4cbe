#!/usr/bin/env bash
# The server kit under load, on loopback: many concurrent authenticated
# downloads of the program file from nginx with wrk (Debian's package),
# each body's SHA-256 checked as it arrives, and clients that give a wrong
# password mixed in. Prints the aggregate throughput, the slowest download
# and the counts of errors and of wrong bodies (both must be 0; the exit
# status says whether they were). Bounded in count and in time. Not a test.
#
#   bash bench/obciazenie_bench.sh [CONNECTIONS] [DOWNLOADS] [SIZE_MIB] [LIMIT_S]
#
# Defaults: 64 connections on 4 wrk threads, one thread of which (a quarter
# of the connections) gives a wrong password; 1200 downloads in all; an
# 8 MiB program file; at most 60 s.
#
# KV_PRZELACZENIA=N: while the load runs, N new releases are packed and
# switched to (serwer.sh reload), one every KV_ODSTEP seconds (default 0.5);
# every body must then be one of the releases', its Repr-Digest its own, and
# every Repr-Digest/Signature-Input/Signature seen together must be a triple
# one release was packed with. Each request then comes on a connection of
# its own, as the installer sends its one request. Releases are signed with
# KV_KLUCZ_PRYWATNY/KV_KLUCZ_ID, or with a throw-away key made here.
set -euo pipefail
ZRODLA=$(cd "$(dirname "$0")/.." && pwd)
POLACZENIA=${1:-64}
POBRANIA=${2:-1200}
ROZMIAR=${3:-8}
LIMIT=${4:-60}
WATKI=4
for program in wrk nginx openssl python3; do
  command -v "$program" >/dev/null || { echo "$program is missing (bash scripts/zaleznosci.sh)" >&2; exit 1; }
done
[ "$POLACZENIA" -ge "$WATKI" ] || { echo "at least $WATKI connections" >&2; exit 2; }

T=$(mktemp -d "${TMPDIR:-/tmp}/kv-obciazenie.XXXXXX")
chmod 0755 "$T"  # run as root, the kit's workers ("nobody") read the tree
PORT=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
sprzatanie() {
  bash "$ZRODLA/server/serwer.sh" -w "$T/praca" -l "127.0.0.1:$PORT" stop >/dev/null 2>&1 || true
  rm -rf "$T"
}
trap sprzatanie EXIT

PRZELACZENIA=${KV_PRZELACZENIA:-0}
# KV_LIMIT: nginx's limit_rate per reply (none by default), so that a
# shorter load lasts while the releases are packed.
TEMPO=()
[ -z "${KV_LIMIT:-}" ] || TEMPO=(-r "$KV_LIMIT")
ODSTEP=${KV_ODSTEP:-0.5}
KLUCZ=${KV_KLUCZ_PRYWATNY:-}
KLUCZ_ID=${KV_KLUCZ_ID:-kavrostel-test}
if [ -z "$KLUCZ" ]; then
  KLUCZ="$T/klucz.key"
  openssl genpkey -algorithm EC -pkeyopt ec_paramgen_curve:P-256 -out "$KLUCZ" 2>/dev/null
fi

# The program file of each release (0 is served first) and their SHA-256s.
mkdir -p "$T/wydanie" "$T/wydania"
SHA=""
for i in $(seq 0 "$PRZELACZENIA"); do
  head -c $((ROZMIAR << 20)) /dev/urandom >"$T/wydania/$i"
  SHA+="${SHA:+,}$(openssl dgst -sha256 -r "$T/wydania/$i" | cut -d' ' -f1)"
done
pakuj() {  # release number
  cp "$T/wydania/$1" "$T/wydanie/_Kavrostel.exe"
  bash "$ZRODLA/server/pakuj.sh" -k "$KLUCZ" -i "$KLUCZ_ID" "$T/wydanie" "$T/drzewo" >/dev/null
  cp "$T/drzewo/programy/wersja8/aktualne/.naglowki" "$T/naglowki.$1"
}
pakuj 0
bash "$ZRODLA/server/serwer.sh" -t "$T/drzewo" -w "$T/praca" -l "127.0.0.1:$PORT" "${TEMPO[@]}" start >/dev/null

# Each wrk thread has a Lua state of its own: a thread is either one of
# good clients (every reply must be 200 with the right body) or of clients
# with a wrong password (every reply must be 401). Each stops after its
# share of the downloads.
cat >"$T/obciazenie.lua" <<'LUA'
local ffi = require("ffi")
ffi.cdef [[
unsigned char *SHA256(const unsigned char *d, size_t n, unsigned char *md);
struct kv_czas { long sekundy; long nanosekundy; };
int clock_gettime(int zegar, struct kv_czas *czas);
int getpid(void);
int kill(int pid, int sygnal);
]]
local czas = ffi.new("struct kv_czas")
local function teraz()
   ffi.C.clock_gettime(1, czas)  -- CLOCK_MONOTONIC
   return tonumber(czas.sekundy) + tonumber(czas.nanosekundy) / 1e9
end
local ok, crypto = pcall(ffi.load, "crypto")
if not ok then crypto = ffi.load("libcrypto.so.3") end

-- In the main state: the threads, each told its number.
local watki = {}

function setup(watek)
   table.insert(watki, watek)
   watek:set("numer", #watki)
end

-- In each thread's state; globals, so that done() can read them.
local oczekiwane, limit, zly, trojki, plik_trojek
odpowiedzi, dobre, odmowy, zle_statusy, zle_tresci = 0, 0, 0, 0, 0
poczatek, koniec = 0, 0
local skrot = ffi.new("unsigned char[32]")

function init(args)
   oczekiwane = {}
   for sha in string.gmatch(args[1], "[0-9a-f]+") do oczekiwane[sha] = true end
   limit = tonumber(args[2])
   trojki = {}
   plik_trojek = os.getenv("KV_TROJKI") .. "." .. numer
   if os.getenv("KV_ZAMYKAJ") == "1" then wrk.headers["Connection"] = "close" end
   local watkow = tonumber(args[3])
   zly = (numer == watkow)  -- the last thread gives the wrong password
   -- tamrix4:zle-haslo or tamrix4:lorven905
   wrk.headers["Authorization"] = "Basic " .. (zly and "dGFtcml4NDp6bGUtaGFzbG8=" or "dGFtcml4NDpsb3J2ZW45MDU=")
   -- the good threads share the downloads; the wrong ones make as many
   -- requests as one good thread
   limit = math.ceil(limit / (watkow - 1))
   poczatek = teraz()
end

-- wrk runs for its whole -d unless interrupted: the last thread to finish
-- its share interrupts it, as Ctrl-C would.
local function skonczony()
   local plik = os.getenv("KV_SKONCZONE")
   local f = io.open(plik, "a")
   f:write("x\n")
   f:close()
   local ile = 0
   for _ in io.lines(plik) do ile = ile + 1 end
   if ile >= tonumber(os.getenv("KV_WATKI")) then ffi.C.kill(ffi.C.getpid(), 2) end
end

local function hex(bajty)
   local t = {}
   for i = 0, 31 do t[#t + 1] = string.format("%02x", bajty[i]) end
   return table.concat(t)
end

local ZNAKI = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/"
local function base64(bajty)  -- of the 32 bytes
   local t = {}
   for i = 0, 31, 3 do
      local a, b, c = bajty[i], i + 1 < 32 and bajty[i + 1] or 0, i + 2 < 32 and bajty[i + 2] or 0
      local n = a * 65536 + b * 256 + c
      for j = 3, 0, -1 do
         t[#t + 1] = ZNAKI:sub(math.floor(n / 64 ^ j) % 64 + 1, math.floor(n / 64 ^ j) % 64 + 1)
      end
   end
   return table.concat(t):sub(1, 43) .. "="
end

-- The headers of a reply, as one line, written down the first time seen.
local function zapisz_trojke(naglowki)
   local t = (naglowki["Repr-Digest"] or "-") .. "\t" .. (naglowki["Signature-Input"] or "-") .. "\t"
             .. (naglowki["Signature"] or "-")
   if not trojki[t] then
      trojki[t] = true
      local f = io.open(plik_trojek, "a")
      f:write(t .. "\n")
      f:close()
   end
end

function response(status, naglowki, tresc)
   odpowiedzi = odpowiedzi + 1
   if zly then
      if status == 401 then odmowy = odmowy + 1 else zle_statusy = zle_statusy + 1 end
   elseif status ~= 200 then
      zle_statusy = zle_statusy + 1
   else
      crypto.SHA256(tresc, #tresc, skrot)
      zapisz_trojke(naglowki)
      -- One of the releases' bodies, with its own digest.
      if oczekiwane[hex(skrot)] and naglowki["Repr-Digest"] == "sha-256=:" .. base64(skrot) .. ":" then
         dobre = dobre + 1
      else
         zle_tresci = zle_tresci + 1
      end
   end
   if odpowiedzi == limit then
      koniec = teraz()
      wrk.thread:stop()
      skonczony()
   end
end

function done(podsumowanie, opoznienia, zadania)
   local suma = {dobre = 0, odmowy = 0, zle_statusy = 0, zle_tresci = 0}
   for _, w in ipairs(watki) do
      for k, _ in pairs(suma) do suma[k] = suma[k] + w:get(k) end
   end
   local e = podsumowanie.errors
   local bledy = e.connect + e.read + e.write + e.timeout + suma.zle_statusy
   local od, doo = math.huge, 0
   for _, w in ipairs(watki) do
      od = math.min(od, w:get("poczatek"))
      doo = math.max(doo, w:get("koniec") > 0 and w:get("koniec") or teraz())
   end
   local sekundy = doo - od
   local mib = suma.dobre * tonumber(os.getenv("KV_ROZMIAR_MIB"))
   io.write(string.format("downloads checked: %d whole and right (%s asked for), %d refused for the wrong password\n",
                          suma.dobre, os.getenv("KV_POBRANIA"), suma.odmowy))
   local jedno = tonumber(os.getenv("KV_JEDNO"))
   local rozmiar = tonumber(os.getenv("KV_ROZMIAR_MIB"))
   io.write(string.format("aggregate throughput: %.0f MiB/s of program files (%.1f MiB in %.2f s; %.0f MiB/s on the wire); "
                          .. "one download alone: %.0f MiB/s (%.0f ms); ratio %.2f\n",
                          mib / sekundy, mib, sekundy, podsumowanie.bytes / 1048576 / sekundy,
                          rozmiar / jedno, jedno * 1000, (mib / sekundy) / (rozmiar / jedno)))
   -- With the bandwidth shared evenly, each good connection's download
   -- would take this long.
   local dobrych = tonumber(os.getenv("KV_POLACZENIA")) * (#watki - 1) / #watki
   local rowny = dobrych * rozmiar / (mib / sekundy)
   io.write(string.format("slowest reply: %.0f ms (mean %.0f ms, stdev %.0f ms); an even share of the bandwidth "
                          .. "would give %.0f ms, ratio %.1f\n",
                          opoznienia.max / 1000, opoznienia.mean / 1000, opoznienia.stdev / 1000,
                          rowny * 1000, opoznienia.max / 1e6 / rowny))
   io.write(string.format("errors: %d (connect %d, read %d, write %d, timeout %d, unexpected status %d)\n",
                          bledy, e.connect, e.read, e.write, e.timeout, suma.zle_statusy))
   io.write(string.format("wrong bodies: %d\n", suma.zle_tresci))
   local f = io.open(os.getenv("KV_WYNIK"), "w")
   f:write(string.format("%d %d %d\n", bledy, suma.zle_tresci, suma.dobre))
   f:close()
end
LUA

# The baseline: one download alone, with the curl tool, the fastest of three.
URL="http://127.0.0.1:$PORT/programy/wersja8/aktualne/_Kavrostel._exe"
JEDNO=$(for _ in 1 2 3; do curl -s -f -o /dev/null -w '%{time_total}\n' -u tamrix4:lorven905 "$URL"; done | sort -n | head -n 1)
echo "kit on 127.0.0.1:$PORT: $POLACZENIA connections on $WATKI threads (a quarter with a wrong password)," \
  "$POBRANIA downloads of a $ROZMIAR MiB file, at most $LIMIT s; load average $(cut -d' ' -f1-3 /proc/loadavg)"
# The switches, while the load runs.
PRZELACZNIK=""
if [ "$PRZELACZENIA" -gt 0 ]; then
  (
    sleep "$ODSTEP"
    for i in $(seq 1 "$PRZELACZENIA"); do
      pakuj "$i"
      bash "$ZRODLA/server/serwer.sh" -t "$T/drzewo" -w "$T/praca" -l "127.0.0.1:$PORT" "${TEMPO[@]}" reload >/dev/null
      echo "$i" >>"$T/przelaczone"
      sleep "$ODSTEP"
    done
  ) &
  PRZELACZNIK=$!
fi
KV_TROJKI="$T/trojki" KV_ZAMYKAJ=$([ "$PRZELACZENIA" -gt 0 ] && echo 1 || echo 0) \
KV_POBRANIA=$POBRANIA KV_JEDNO=$JEDNO KV_POLACZENIA=$POLACZENIA KV_ROZMIAR_MIB=$ROZMIAR KV_WYNIK="$T/wynik" KV_SKONCZONE="$T/skonczone" KV_WATKI=$WATKI timeout $((LIMIT + 30)) \
  wrk -t "$WATKI" -c "$POLACZENIA" -d "${LIMIT}s" --timeout 30s -s "$T/obciazenie.lua" \
  "http://127.0.0.1:$PORT/programy/wersja8/aktualne/_Kavrostel._exe" -- "$SHA" "$POBRANIA" "$WATKI" |
  grep -v -e '^Running' -e '^  [0-9]* threads' -e 'Thread Stats' -e '^    Latency' -e '^    Req/Sec' \
    -e 'Latency Distribution' -e '^Requests/sec' -e '^Transfer/sec' -e 'requests in' -e 'Non-2xx' || true
read -r bledy zle dobre <"$T/wynik"
if [ -n "$PRZELACZNIK" ]; then
  wait "$PRZELACZNIK" || { echo "a release switch failed"; bledy=$((bledy + 1)); }
  przelaczone=$(wc -l <"$T/przelaczone" 2>/dev/null || echo 0)
  # Every header triple seen must be one a release was packed with.
  obce=0 widziane=0
  while IFS= read -r trojka; do
    widziane=$((widziane + 1))
    cat "$T"/naglowki.* | cut -f3- | grep -qxF -- "$trojka" || { obce=$((obce + 1)); echo "headers of no release: $trojka"; }
  done < <(cat "$T"/trojki.* 2>/dev/null | sort -u)
  echo "release switches during the load: $przelaczone of $PRZELACZENIA; header sets seen: $widziane," \
    "of no release: $obce"
  [ "$przelaczone" -eq "$PRZELACZENIA" ] && [ "$obce" -eq 0 ] || zle=$((zle + 1))
fi
[ "$bledy" -eq 0 ] && [ "$zle" -eq 0 ] && [ "$dobre" -gt 0 ]
