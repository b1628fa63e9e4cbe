#include "KontrolaOdpowiedzi.h"

#include <string>

#include "BledyPobierania.h"
#include "platform/Tekst.h"

namespace {

// A head of more lines or bytes is no distribution server's.
constexpr std::size_t kNajwiecejLinii = 100;
constexpr std::size_t kNajwiecejBajtowGlowy = 64 * 1024;

std::u16string Liczba(std::int64_t n) { return platforma::Utf16(std::to_string(n)); }

// A header value as it may be shown: printable ASCII only, and not too long.
std::u16string DoPokazania(std::string_view wartosc) {
    constexpr std::size_t kNajwiecej = 100;
    std::u16string tekst;
    for (char z : wartosc.substr(0, kNajwiecej)) {
        tekst += (z >= 0x20 && z < 0x7f) ? static_cast<char16_t>(z) : u'?';
    }
    if (wartosc.size() > kNajwiecej) tekst += u"…";
    return tekst;
}

bool Bialy(char z) { return z == ' ' || z == '\t'; }

char Mala(char z) { return (z >= 'A' && z <= 'Z') ? static_cast<char>(z - 'A' + 'a') : z; }

// Content-Length (RFC 9110 section 8.6): digits only, and a number.
bool DlugoscZ(std::string_view tekst, std::int64_t& dlugosc) {
    if (tekst.empty() || tekst.size() > 18) return false;
    dlugosc = 0;
    for (char z : tekst) {
        if (z < '0' || z > '9') return false;
        dlugosc = dlugosc * 10 + (z - '0');
    }
    return true;
}

}  // namespace

KontrolaOdpowiedzi::KontrolaOdpowiedzi(const UstawieniaHttp& ustawienia) : ustawienia_(ustawienia) {}

// The head's field lines as the check reads them; false for a head that no
// reader may interpret one way only.
bool KontrolaOdpowiedzi::Pola(std::u16string& blad) {
    pola_.clear();
    dlugosc_ = -1;
    porcjami_ = false;
    std::size_t bajtyGlowy = 0;
    int dlugosci = 0;
    bool kodowanie = false;
    if (glowa_.linie.size() > kNajwiecejLinii) {
        blad = KomunikatBledu(BladPobierania::ZlaOdpowiedz, u"za dużo wierszy nagłówka");
        return false;
    }
    for (const std::string& linia : glowa_.linie) {
        bajtyGlowy += linia.size();
        if (bajtyGlowy > kNajwiecejBajtowGlowy) {
            blad = KomunikatBledu(BladPobierania::ZlaOdpowiedz, u"za długi nagłówek");
            return false;
        }
        // obs-fold: libraries differ on what a continued line belongs to.
        if (!linia.empty() && Bialy(linia.front())) {
            blad = KomunikatBledu(BladPobierania::ZlaOdpowiedz,
                                  u"nagłówek ciągnie się w kolejnym wierszu: " + DoPokazania(linia));
            return false;
        }
        const auto dwukropek = linia.find(':');
        if (dwukropek == std::string::npos || dwukropek == 0 || Bialy(linia[dwukropek - 1])) {
            blad = KomunikatBledu(BladPobierania::ZlaOdpowiedz, u"nieprawidłowy wiersz nagłówka: " + DoPokazania(linia));
            return false;
        }
        PoleOdpowiedzi pole;
        for (char z : std::string_view(linia).substr(0, dwukropek)) pole.nazwa += Mala(z);
        std::string_view wartosc = std::string_view(linia).substr(dwukropek + 1);
        while (!wartosc.empty() && Bialy(wartosc.front())) wartosc.remove_prefix(1);
        while (!wartosc.empty() && Bialy(wartosc.back())) wartosc.remove_suffix(1);
        pole.wartosc = wartosc;
        if (pole.nazwa == "content-length") {
            ++dlugosci;
            if (dlugosci > 1) {
                blad = KomunikatBledu(BladPobierania::ZlaOdpowiedz, u"powtórzony nagłówek Content-Length");
                return false;
            }
            if (!DlugoscZ(pole.wartosc, dlugosc_)) {
                blad = KomunikatBledu(BladPobierania::ZlaOdpowiedz,
                                      u"nieprawidłowy nagłówek Content-Length: " + DoPokazania(pole.wartosc));
                return false;
            }
        } else if (pole.nazwa == "transfer-encoding") {
            kodowanie = true;
            std::string mala;
            for (char z : pole.wartosc) mala += Mala(z);
            porcjami_ = porcjami_ || mala.find("chunked") != std::string::npos;
        }
        pola_.push_back(std::move(pole));
    }
    // Two ways to find the body's end in one reply: the way of request smuggling.
    if (kodowanie && dlugosci > 0) {
        blad = KomunikatBledu(BladPobierania::ZlaOdpowiedz, u"Content-Length razem z Transfer-Encoding");
        return false;
    }
    return true;
}

bool KontrolaOdpowiedzi::Naglowek(Glowa glowa, std::u16string& blad) {
    glowa_ = std::move(glowa);
    bajty_ = 0;
    sha_.reset();
    const int kod = glowa_.kodStatusu;
    if (kod < 200 || kod > 299) {
        blad = KomunikatBledu(BladPobierania::Status, glowa_.liniaStatusu);
        return false;
    }
    // The installer asks for no range: a part is never the file.
    if (kod == 206) {
        blad = KomunikatBledu(BladPobierania::CzescPliku, glowa_.liniaStatusu);
        return false;
    }
    if (kod == 204) {
        blad = KomunikatBledu(BladPobierania::BrakTresci, glowa_.liniaStatusu);
        return false;
    }
    if (!Pola(blad)) return false;
    if (dlugosc_ > ustawienia_.najwiecejBajtow) {
        blad = KomunikatBledu(BladPobierania::ZaDuzy, u"zapowiedziano bajtów: " + Liczba(dlugosc_));
        return false;
    }
    // Verify first: nothing of the body counts until the maker vouches for it.
    if (auto powod = SprawdzPodpis(pola_, kod, glowa_.sciezka, ustawienia_.klucze, ustawienia_.podpisOd);
        !powod.empty()) {
        blad = KomunikatBledu(BladPobierania::NieOdProducenta, u" (" + powod + u")");
        return false;
    }
    const std::string reprDigest = WartoscPola(pola_, "repr-digest");
    oczekiwany_ = OdczytajReprDigest(reprDigest);
    switch (oczekiwany_.stan) {
        case OczekiwanySha256::Stan::Brak:
            // Signed, but vouching for no body.
            blad = KomunikatBledu(BladPobierania::NieOdProducenta, u" (podpisany Repr-Digest nie podaje sha-256)");
            return false;
        case OczekiwanySha256::Stan::Zly:
            blad = KomunikatBledu(BladPobierania::ZlaSuma, DoPokazania(reprDigest));
            return false;
        case OczekiwanySha256::Stan::Jest:
            // Hashed on this thread as the pieces arrive, like everything
            // else of the download.
            if ((sha_ = UtworzSha256())) return true;
            blad = u"SHA-256 jest niedostępny w tym systemie";
            return false;
    }
    return false;
}

bool KontrolaOdpowiedzi::Dane(const void* dane, std::size_t ile, std::u16string& blad) {
    const std::int64_t poTym = bajty_ + static_cast<std::int64_t>(ile);
    if (dlugosc_ >= 0 && poTym > dlugosc_) {
        blad = KomunikatBledu(BladPobierania::Nadmiar, Liczba(poTym) + u" z " + Liczba(dlugosc_));
        return false;
    }
    if (poTym > ustawienia_.najwiecejBajtow) {
        blad = KomunikatBledu(BladPobierania::ZaDuzy, u"odebrano już bajtów: " + Liczba(poTym));
        return false;
    }
    bajty_ = poTym;
    if (sha_) sha_->Dodaj(dane, ile);
    return true;
}

std::u16string KontrolaOdpowiedzi::Urwana() const {
    if (dlugosc_ >= 0) {
        return KomunikatBledu(BladPobierania::KrotszaTresc, u"bajtów " + Liczba(bajty_) + u" z " + Liczba(dlugosc_));
    }
    if (porcjami_) {
        return KomunikatBledu(BladPobierania::UcietePorcje, u"odebrano bajtów: " + Liczba(bajty_));
    }
    return KomunikatBledu(BladPobierania::ZlaOdpowiedz, u"połączenie skończyło się w środku odpowiedzi");
}

bool KontrolaOdpowiedzi::Koniec(std::u16string& blad) {
    if (dlugosc_ >= 0 && bajty_ < dlugosc_) {
        blad = Urwana();
        return false;
    }
    if (bajty_ == 0) {
        blad = KomunikatBledu(BladPobierania::PustaTresc, glowa_.liniaStatusu);
        return false;
    }
    if (!sha_ || sha_->Wynik() != oczekiwany_.wartosc) {
        blad = KomunikatBledu(BladPobierania::NiezgodnaSuma);
        return false;
    }
    return true;
}

std::string SciezkaAdresu(std::string_view adres) {
    const auto schemat = adres.find("://");
    if (schemat != std::string_view::npos) adres.remove_prefix(schemat + 3);
    const auto ukosnik = adres.find_first_of("/?#");
    if (ukosnik == std::string_view::npos || adres[ukosnik] != '/') return "/";
    adres.remove_prefix(ukosnik);
    return std::string(adres.substr(0, adres.find_first_of("?#")));
}

LimityCzasu::LimityCzasu(const UstawieniaHttp& ustawienia)
    : ustawienia_(ustawienia), start_(Zegar::now()), poczatekOkna_(start_) {}

void LimityCzasu::NaglowkiGotowe() {
    naglowki_ = true;
    poczatekOkna_ = Teraz();
    bajtyOkna_ = 0;
}

void LimityCzasu::Dane(std::size_t ile) {
    bajtyOkna_ += static_cast<std::int64_t>(ile);
    // Each window starts where the last one reached its bytes: a server
    // that falls below the rate for a whole window is caught within it.
    if (bajtyOkna_ >= ustawienia_.najmniejWOknie) {
        poczatekOkna_ = Teraz();
        bajtyOkna_ = 0;
    }
}

std::u16string LimityCzasu::Przekroczone() const {
    using std::chrono::milliseconds;
    const auto teraz = Teraz();
    if (!naglowki_) {
        if (teraz - start_ >= milliseconds(ustawienia_.limitNaglowkowMs)) {
            return KomunikatBleduPolaczenia(u"nagłówki odpowiedzi nie nadeszły w ciągu " +
                                            Liczba(ustawienia_.limitNaglowkowMs) + u" ms");
        }
        return {};
    }
    if (teraz - poczatekOkna_ >= milliseconds(ustawienia_.oknoTempaMs)) {
        return KomunikatBleduPolaczenia(u"mniej niż " + Liczba(ustawienia_.najmniejWOknie) + u" bajtów w ciągu " +
                                        Liczba(ustawienia_.oknoTempaMs) + u" ms");
    }
    return {};
}
