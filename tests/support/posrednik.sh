# Shell helpers for the tests of the download through a proxy. Source it; it
# sets nothing by itself.

# wine_posrednik HOST:PORT|- [BYPASS_LIST]
# The proxy of the Wine prefix's user, set as Windows keeps it: the per-user
# Internet settings' DefaultConnectionSettings (version 0x46, a counter, the
# flags 1 direct | 2 fixed proxy, then the proxy, the bypass list and the
# configuration script's address, each after its length). "-" removes it.
wine_posrednik() {
  local klucz='HKCU\Software\Microsoft\Windows\CurrentVersion\Internet Settings\Connections' dane
  if [ "$1" = - ]; then
    wine reg delete "$klucz" /v DefaultConnectionSettings /f >/dev/null 2>&1 || true
    return 0
  fi
  dane=$(python3 - "$1" "${2:-}" <<'PY'
import struct, sys
proxy, bypass = (s.encode() for s in sys.argv[1:3])
blob = struct.pack("<III", 0x46, 1, 3)
blob += struct.pack("<I", len(proxy)) + proxy + struct.pack("<I", len(bypass)) + bypass
blob += struct.pack("<I", 0) + bytes(32)
print(blob.hex())
PY
)
  wine reg add "$klucz" /v DefaultConnectionSettings /t REG_BINARY /d "$dane" /f >/dev/null 2>&1
}
