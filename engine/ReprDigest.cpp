#include "ReprDigest.h"
#include "Base64.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace {

bool Bialy(char z) { return z == ' ' || z == '\t'; }

std::string_view Przytnij(std::string_view s) {
    while (!s.empty() && Bialy(s.front())) s.remove_prefix(1);
    while (!s.empty() && Bialy(s.back())) s.remove_suffix(1);
    return s;
}

// The dictionary's members: split at the commas that lie outside strings
// ("...", with backslash escapes) and inner lists ((...)), which other
// algorithms' values or parameters may use.
std::vector<std::string_view> Czlony(std::string_view naglowek) {
    std::vector<std::string_view> czlony;
    std::size_t poczatek = 0;
    bool wNapisie = false;
    int nawiasy = 0;
    for (std::size_t i = 0; i < naglowek.size(); ++i) {
        const char z = naglowek[i];
        if (wNapisie) {
            if (z == '\\') ++i;
            else if (z == '"') wNapisie = false;
        } else if (z == '"') {
            wNapisie = true;
        } else if (z == '(') {
            ++nawiasy;
        } else if (z == ')' && nawiasy > 0) {
            --nawiasy;
        } else if (z == ',' && nawiasy == 0) {
            czlony.push_back(naglowek.substr(poczatek, i - poczatek));
            poczatek = i + 1;
        }
    }
    czlony.push_back(naglowek.substr(poczatek));
    return czlony;
}

bool NazwaSha256(std::string_view klucz) {
    constexpr std::string_view kNazwa = "sha-256";
    if (klucz.size() != kNazwa.size()) return false;
    for (std::size_t i = 0; i < klucz.size(); ++i) {
        char z = klucz[i];
        if (z >= 'A' && z <= 'Z') z = static_cast<char>(z - 'A' + 'a');
        if (z != kNazwa[i]) return false;
    }
    return true;
}

// The value of a member that names sha-256: a byte sequence, possibly
// followed by parameters.
std::optional<WynikSha256> WartoscSha256(std::string_view czlon) {
    const auto rowna = czlon.find('=');
    const auto srednik = czlon.find(';');
    if (rowna == std::string_view::npos || srednik < rowna) return std::nullopt;  // a bare name
    std::string_view wartosc = Przytnij(czlon.substr(rowna + 1));
    if (wartosc.size() < 2 || wartosc.front() != ':') return std::nullopt;
    const auto koniec = wartosc.find(':', 1);
    if (koniec == std::string_view::npos) return std::nullopt;
    const std::string_view reszta = wartosc.substr(koniec + 1);
    if (!reszta.empty() && reszta.front() != ';') return std::nullopt;
    const auto bajty = ZBase64(wartosc.substr(1, koniec - 1));
    if (!bajty || bajty->size() != WynikSha256{}.size()) return std::nullopt;
    WynikSha256 wynik{};
    std::copy(bajty->begin(), bajty->end(), wynik.begin());
    return wynik;
}

}  // namespace

OczekiwanySha256 OdczytajReprDigest(std::string_view naglowek) {
    OczekiwanySha256 wynik;
    if (Przytnij(naglowek).empty()) return wynik;
    for (const std::string_view czlon : Czlony(naglowek)) {
        const std::string_view przyciety = Przytnij(czlon);
        const std::string_view klucz = Przytnij(przyciety.substr(0, przyciety.find_first_of("=;")));
        if (!NazwaSha256(klucz)) continue;
        if (const auto wartosc = WartoscSha256(przyciety)) {
            wynik.stan = OczekiwanySha256::Stan::Jest;
            wynik.wartosc = *wartosc;
        } else {
            wynik.stan = OczekiwanySha256::Stan::Zly;
            wynik.wartosc = {};
        }
    }
    return wynik;
}
