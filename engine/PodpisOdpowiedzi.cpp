#include "PodpisOdpowiedzi.h"
#include "Base64.h"

#include <algorithm>
#include <optional>

#include "platform/Tekst.h"

namespace {

// Bounds on what a reply may make the parser hold: a signature field of the
// kit is about 200 bytes.
constexpr std::size_t kNajdluzszePole = 8192;
constexpr std::size_t kNajwiecejCzlonow = 16;
constexpr std::size_t kNajwiecejElementow = 32;
constexpr std::size_t kNajwiecejParametrow = 16;

// --- RFC 8941 values, as far as signatures use them ---------------------------

struct Wartosc {
    enum class Typ { Calkowita, Napis, Token, Bajty, Logiczna } typ = Typ::Logiczna;
    std::int64_t liczba = 0;
    std::string tekst;  // of a string or a token
    std::vector<std::uint8_t> bajty;
    bool logiczna = true;
};

struct Parametr {
    std::string klucz;
    Wartosc wartosc;
};

struct Element {
    Wartosc wartosc;
    std::vector<Parametr> parametry;
};

struct Czlon {
    std::string klucz;
    bool lista = false;  // an inner list: `elementy` and `parametry`; else `element`
    std::vector<Element> elementy;
    std::vector<Parametr> parametry;
    Element element;
};

bool MalaLitera(char z) { return z >= 'a' && z <= 'z'; }
bool Cyfra(char z) { return z >= '0' && z <= '9'; }
bool Litera(char z) { return MalaLitera(z) || (z >= 'A' && z <= 'Z'); }

// A strict parser of one Dictionary field (RFC 8941 section 4.2): anything it
// does not know, decimals included, is a malformed field.
class Parser {
public:
    explicit Parser(std::string_view tekst) : s_(tekst) {}

    bool Slownik(std::vector<Czlon>& czlony) {
        PominOWS();
        if (Koniec()) return true;
        for (;;) {
            Czlon c;
            if (!Klucz(c.klucz)) return false;
            if (!Koniec() && Z() == '=') {
                ++i_;
                if (!Koniec() && Z() == '(') {
                    c.lista = true;
                    if (!ListaWewnetrzna(c)) return false;
                } else if (!Element(c.element)) {
                    return false;
                }
            } else if (!Parametry(c.element.parametry)) {
                return false;
            }
            const auto byl = std::find_if(czlony.begin(), czlony.end(),
                                          [&](const Czlon& d) { return d.klucz == c.klucz; });
            if (byl != czlony.end()) {
                *byl = std::move(c);
            } else {
                if (czlony.size() == kNajwiecejCzlonow) return false;
                czlony.push_back(std::move(c));
            }
            PominOWS();
            if (Koniec()) return true;
            if (Z() != ',') return false;
            ++i_;
            PominOWS();
            if (Koniec()) return false;  // a trailing comma
        }
    }

private:
    bool Koniec() const { return i_ >= s_.size(); }
    char Z() const { return s_[i_]; }
    void PominOWS() {
        while (!Koniec() && (Z() == ' ' || Z() == '\t')) ++i_;
    }

    bool Klucz(std::string& klucz) {
        if (Koniec() || !(MalaLitera(Z()) || Z() == '*')) return false;
        while (!Koniec() && (MalaLitera(Z()) || Cyfra(Z()) || Z() == '_' || Z() == '-' || Z() == '.' || Z() == '*')) {
            klucz += s_[i_++];
        }
        return true;
    }

    bool GolaWartosc(Wartosc& w) {
        if (Koniec()) return false;
        const char z = Z();
        if (z == '-' || Cyfra(z)) return Liczba(w);
        if (z == '"') return Napis(w);
        if (z == ':') return Bajty(w);
        if (z == '?') return Logiczna(w);
        if (Litera(z) || z == '*') return Token(w);
        return false;
    }

    bool Liczba(Wartosc& w) {
        bool ujemna = false;
        if (Z() == '-') {
            ujemna = true;
            ++i_;
        }
        std::int64_t n = 0;
        std::size_t cyfry = 0;
        while (!Koniec() && Cyfra(Z())) {
            if (++cyfry > 15) return false;
            n = n * 10 + (s_[i_++] - '0');
        }
        if (cyfry == 0 || (!Koniec() && Z() == '.')) return false;
        w.typ = Wartosc::Typ::Calkowita;
        w.liczba = ujemna ? -n : n;
        return true;
    }

    bool Napis(Wartosc& w) {
        ++i_;
        w.typ = Wartosc::Typ::Napis;
        while (!Koniec()) {
            char z = s_[i_++];
            if (z == '\\') {
                if (Koniec()) return false;
                z = s_[i_++];
                if (z != '"' && z != '\\') return false;
            } else if (z == '"') {
                return true;
            } else if (z < 0x20 || z > 0x7e) {
                return false;
            }
            w.tekst += z;
        }
        return false;
    }

    bool Token(Wartosc& w) {
        static constexpr std::string_view kZnaki = "!#$%&'*+-.^_`|~:/";
        w.typ = Wartosc::Typ::Token;
        while (!Koniec() && (Litera(Z()) || Cyfra(Z()) || kZnaki.find(Z()) != std::string_view::npos)) {
            w.tekst += s_[i_++];
        }
        return true;
    }

    bool Bajty(Wartosc& w) {
        ++i_;
        const auto koniec = s_.find(':', i_);
        if (koniec == std::string_view::npos) return false;
        auto bajty = ZBase64(s_.substr(i_, koniec - i_));
        if (!bajty) return false;
        i_ = koniec + 1;
        w.typ = Wartosc::Typ::Bajty;
        w.bajty = std::move(*bajty);
        return true;
    }

    bool Logiczna(Wartosc& w) {
        ++i_;
        if (Koniec() || (Z() != '0' && Z() != '1')) return false;
        w.typ = Wartosc::Typ::Logiczna;
        w.logiczna = s_[i_++] == '1';
        return true;
    }

    bool Parametry(std::vector<Parametr>& parametry) {
        while (!Koniec() && Z() == ';') {
            ++i_;
            while (!Koniec() && Z() == ' ') ++i_;
            Parametr p;
            if (!Klucz(p.klucz)) return false;
            if (!Koniec() && Z() == '=') {
                ++i_;
                if (!GolaWartosc(p.wartosc)) return false;
            }
            const auto byl = std::find_if(parametry.begin(), parametry.end(),
                                          [&](const Parametr& q) { return q.klucz == p.klucz; });
            if (byl != parametry.end()) {
                byl->wartosc = std::move(p.wartosc);
            } else {
                if (parametry.size() == kNajwiecejParametrow) return false;
                parametry.push_back(std::move(p));
            }
        }
        return true;
    }

    bool Element(struct Element& e) { return GolaWartosc(e.wartosc) && Parametry(e.parametry); }

    bool ListaWewnetrzna(Czlon& c) {
        ++i_;
        for (;;) {
            while (!Koniec() && Z() == ' ') ++i_;
            if (Koniec()) return false;
            if (Z() == ')') {
                ++i_;
                return Parametry(c.parametry);
            }
            struct Element e;
            if (c.elementy.size() == kNajwiecejElementow || !Element(e)) return false;
            c.elementy.push_back(std::move(e));
            if (Koniec() || (Z() != ' ' && Z() != ')')) return false;
        }
    }

    std::string_view s_;
    std::size_t i_ = 0;
};

// --- serialisation (RFC 8941 section 4.1), for the signature base -------------

std::string Zapisz(const Wartosc& w) {
    switch (w.typ) {
        case Wartosc::Typ::Calkowita:
            return std::to_string(w.liczba);
        case Wartosc::Typ::Napis: {
            std::string s = "\"";
            for (char z : w.tekst) {
                if (z == '"' || z == '\\') s += '\\';
                s += z;
            }
            return s + "\"";
        }
        case Wartosc::Typ::Token:
            return w.tekst;
        case Wartosc::Typ::Bajty:
            return ":" + DoBase64(w.bajty) + ":";
        case Wartosc::Typ::Logiczna:
            return w.logiczna ? "?1" : "?0";
    }
    return {};
}

std::string Zapisz(const std::vector<Parametr>& parametry) {
    std::string s;
    for (const auto& p : parametry) {
        s += ";" + p.klucz;
        if (!(p.wartosc.typ == Wartosc::Typ::Logiczna && p.wartosc.logiczna)) s += "=" + Zapisz(p.wartosc);
    }
    return s;
}

std::string Zapisz(const Element& e) { return Zapisz(e.wartosc) + Zapisz(e.parametry); }

std::string ZapiszListe(const Czlon& c) {
    std::string s = "(";
    for (std::size_t i = 0; i < c.elementy.size(); ++i) {
        if (i > 0) s += ' ';
        s += Zapisz(c.elementy[i]);
    }
    return s + ")" + Zapisz(c.parametry);
}

// --- the demands ---------------------------------------------------------------

const Wartosc* ZnajdzParametr(const std::vector<Parametr>& parametry, std::string_view klucz) {
    for (const auto& p : parametry) {
        if (p.klucz == klucz) return &p.wartosc;
    }
    return nullptr;
}

// A value from the reply, as it may be quoted in a reason.
std::u16string DoPokazania(std::string_view tekst) {
    constexpr std::size_t kNajwiecej = 60;
    std::u16string wynik;
    for (char z : tekst.substr(0, kNajwiecej)) wynik += (z >= 0x20 && z < 0x7f) ? static_cast<char16_t>(z) : u'?';
    if (tekst.size() > kNajwiecej) wynik += u"…";
    return wynik;
}

struct Wymagania {
    const std::vector<PoleOdpowiedzi>& pola;
    int kodStatusu;
    std::string_view sciezka;
    std::span<const KluczPodpisu> klucze;
    std::int64_t podpisOd;
};

// The value of one covered component, or nothing when this reply cannot
// produce it (RFC 9421 section 2: such a signature cannot be checked).
std::optional<std::string> Skladnik(const Element& e, const Wymagania& w) {
    if (e.wartosc.typ != Wartosc::Typ::Napis) return std::nullopt;
    const std::string& nazwa = e.wartosc.tekst;
    if (nazwa == "@path") {
        // Of the request: only with the req flag and nothing else.
        if (e.parametry.size() != 1 || e.parametry[0].klucz != "req" ||
            e.parametry[0].wartosc.typ != Wartosc::Typ::Logiczna || !e.parametry[0].wartosc.logiczna) {
            return std::nullopt;
        }
        return std::string(w.sciezka);
    }
    if (!e.parametry.empty()) return std::nullopt;
    if (nazwa == "@status") return std::to_string(w.kodStatusu);
    if (nazwa.empty() || nazwa[0] == '@') return std::nullopt;
    for (char z : nazwa) {
        if (!(MalaLitera(z) || Cyfra(z) || z == '-' || z == '_' || z == '.')) return std::nullopt;
    }
    const bool jest = std::any_of(w.pola.begin(), w.pola.end(), [&](const auto& p) { return p.nazwa == nazwa; });
    if (!jest) return std::nullopt;
    return WartoscPola(w.pola, nazwa);
}

std::u16string SprawdzJeden(const Czlon& c, const std::vector<Czlon>& podpisy, const Wymagania& w) {
    if (!c.lista) return u"nagłówek Signature-Input jest nieprawidłowy";
    const Wartosc* alg = ZnajdzParametr(c.parametry, "alg");
    if (!alg || alg->typ != Wartosc::Typ::Napis || alg->tekst != kAlgorytmPodpisu) {
        return u"podpis nie jest podpisem ecdsa-p256-sha256";
    }
    const Wartosc* keyid = ZnajdzParametr(c.parametry, "keyid");
    if (!keyid || keyid->typ != Wartosc::Typ::Napis) return u"podpis nie podaje klucza (keyid)";
    const auto klucz = std::find_if(w.klucze.begin(), w.klucze.end(),
                                    [&](const KluczPodpisu& k) { return k.id == keyid->tekst; });
    if (klucz == w.klucze.end()) return u"klucz „" + DoPokazania(keyid->tekst) + u"” nie jest kluczem producenta";
    const Wartosc* utworzony = ZnajdzParametr(c.parametry, "created");
    if (!utworzony || utworzony->typ != Wartosc::Typ::Calkowita) {
        return u"podpis nie podaje chwili utworzenia (created)";
    }
    if (w.podpisOd > 0 && utworzony->liczba < w.podpisOd) return u"podpis starszy niż najstarszy dozwolony";

    bool digest = false;
    bool sciezka = false;
    std::string baza;
    for (std::size_t i = 0; i < c.elementy.size(); ++i) {
        const Element& e = c.elementy[i];
        const std::string identyfikator = Zapisz(e);
        for (std::size_t j = 0; j < i; ++j) {
            if (Zapisz(c.elementy[j]) == identyfikator) return u"podpis wymienia składnik dwa razy";
        }
        const auto wartosc = Skladnik(e, w);
        if (!wartosc) return u"podpis obejmuje składnik, którego nie ma w odpowiedzi: " + DoPokazania(identyfikator);
        digest = digest || identyfikator == "\"repr-digest\"";
        sciezka = sciezka || identyfikator == "\"@path\";req";
        baza += identyfikator + ": " + *wartosc + "\n";
    }
    if (!digest) return u"podpis nie obejmuje nagłówka Repr-Digest";
    if (!sciezka) return u"podpis nie obejmuje ścieżki pliku";
    baza += "\"@signature-params\": " + ZapiszListe(c);

    const auto podpis = std::find_if(podpisy.begin(), podpisy.end(), [&](const Czlon& p) { return p.klucz == c.klucz; });
    if (podpis == podpisy.end()) return u"nagłówek Signature nie ma podpisu „" + DoPokazania(c.klucz) + u"”";
    if (podpis->lista || podpis->element.wartosc.typ != Wartosc::Typ::Bajty) {
        return u"nagłówek Signature jest nieprawidłowy";
    }
    const auto& bajty = podpis->element.wartosc.bajty;
    PodpisP256 rs{};
    if (bajty.size() != rs.size()) {
        return u"podpis ma " + platforma::Utf16(std::to_string(bajty.size())) + u" bajtów zamiast 64";
    }
    std::copy(bajty.begin(), bajty.end(), rs.begin());
    switch (SprawdzEcdsaP256(klucz->punkt, baza, rs)) {
        case WynikEcdsa::Wazny:
            return {};
        case WynikEcdsa::Niedostepny:
            return u"ECDSA P-256 jest niedostępny w tym systemie";
        case WynikEcdsa::Niewazny:
            break;
    }
    return u"podpis nie zgadza się z odpowiedzią";
}

}  // namespace

std::string WartoscPola(const std::vector<PoleOdpowiedzi>& pola, std::string_view nazwa) {
    std::string wynik;
    bool pierwsza = true;
    for (const auto& p : pola) {
        if (p.nazwa != nazwa) continue;
        if (!pierwsza) wynik += ", ";
        wynik += p.wartosc;
        pierwsza = false;
    }
    return wynik;
}

std::u16string SprawdzPodpis(const std::vector<PoleOdpowiedzi>& pola, int kodStatusu, std::string_view sciezka,
                             std::span<const KluczPodpisu> klucze, std::int64_t podpisOd) {
    const std::string wejscie = WartoscPola(pola, "signature-input");
    const std::string podpis = WartoscPola(pola, "signature");
    if (wejscie.empty() && podpis.empty()) return u"odpowiedź nie ma podpisu";
    if (wejscie.size() > kNajdluzszePole || podpis.size() > kNajdluzszePole) {
        return u"nagłówki podpisu są za długie";
    }
    std::vector<Czlon> wejscia;
    if (!Parser(wejscie).Slownik(wejscia)) return u"nagłówek Signature-Input jest nieprawidłowy";
    std::vector<Czlon> podpisy;
    if (!Parser(podpis).Slownik(podpisy)) return u"nagłówek Signature jest nieprawidłowy";
    if (wejscia.empty()) return u"odpowiedź nie ma podpisu";

    const Wymagania w{pola, kodStatusu, sciezka, klucze, podpisOd};
    std::u16string pierwszy;
    for (const auto& c : wejscia) {
        auto powod = SprawdzJeden(c, podpisy, w);
        if (powod.empty()) return {};
        if (pierwszy.empty()) pierwszy = std::move(powod);
    }
    return pierwszy;
}
