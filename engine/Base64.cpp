#include "Base64.h"

namespace {

int WartoscZnaku(char z) {
    if (z >= 'A' && z <= 'Z') return z - 'A';
    if (z >= 'a' && z <= 'z') return z - 'a' + 26;
    if (z >= '0' && z <= '9') return z - '0' + 52;
    if (z == '+') return 62;
    if (z == '/') return 63;
    return -1;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> ZBase64(std::string_view tekst) {
    std::size_t dopelnienie = 0;
    while (!tekst.empty() && tekst.back() == '=' && dopelnienie < 2) {
        tekst.remove_suffix(1);
        ++dopelnienie;
    }
    if (tekst.size() % 4 == 1) return std::nullopt;
    if (dopelnienie > 0 && (tekst.size() + dopelnienie) % 4 != 0) return std::nullopt;
    std::vector<std::uint8_t> bajty;
    unsigned bufor = 0;
    int bity = 0;
    for (char z : tekst) {
        const int v = WartoscZnaku(z);
        if (v < 0) return std::nullopt;
        bufor = (bufor << 6) | static_cast<unsigned>(v);
        bity += 6;
        if (bity >= 8) {
            bity -= 8;
            bajty.push_back(static_cast<std::uint8_t>(bufor >> bity));
        }
    }
    return bajty;
}

std::string DoBase64(const std::vector<std::uint8_t>& dane) {
    static const char kZnaki[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string wynik;
    std::size_t i = 0;
    for (; i + 2 < dane.size(); i += 3) {
        const unsigned v = dane[i] << 16 | dane[i + 1] << 8 | dane[i + 2];
        for (int k = 18; k >= 0; k -= 6) wynik += kZnaki[v >> k & 63];
    }
    if (i + 1 == dane.size()) {
        const unsigned v = dane[i] << 16;
        wynik += kZnaki[v >> 18 & 63];
        wynik += kZnaki[v >> 12 & 63];
        wynik += "==";
    } else if (i + 2 == dane.size()) {
        const unsigned v = dane[i] << 16 | dane[i + 1] << 8;
        wynik += kZnaki[v >> 18 & 63];
        wynik += kZnaki[v >> 12 & 63];
        wynik += kZnaki[v >> 6 & 63];
        wynik += '=';
    }
    return wynik;
}

