#include "KontrolaOdpowiedzi.h"

#include <string>

#include "BledyPobierania.h"
#include "platform/Tekst.h"

namespace {

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

}  // namespace

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
    oczekiwany_ = OdczytajReprDigest(glowa_.reprDigest);
    switch (oczekiwany_.stan) {
        case OczekiwanySha256::Stan::Brak:
            return true;
        case OczekiwanySha256::Stan::Zly:
            blad = KomunikatBledu(BladPobierania::ZlaSuma, DoPokazania(glowa_.reprDigest));
            return false;
        case OczekiwanySha256::Stan::Jest:
            // Hashed on this thread as the pieces arrive, like everything
            // else of the download.
            if ((sha_ = UtworzSha256())) return true;
            blad = u"SHA-256 is not available on this system";
            return false;
    }
    return true;
}

void KontrolaOdpowiedzi::Dane(const void* dane, std::size_t ile) {
    bajty_ += static_cast<std::int64_t>(ile);
    if (sha_) sha_->Dodaj(dane, ile);
}

std::u16string KontrolaOdpowiedzi::Urwana() const {
    if (glowa_.dlugosc >= 0) {
        return KomunikatBledu(BladPobierania::KrotszaTresc,
                              Liczba(bajty_) + u" of " + Liczba(glowa_.dlugosc) + u" bytes");
    }
    if (glowa_.porcjami) {
        return KomunikatBledu(BladPobierania::UcietePorcje, Liczba(bajty_) + u" bytes received");
    }
    return KomunikatBledu(BladPobierania::ZlaOdpowiedz, u"the connection ended inside the reply");
}

bool KontrolaOdpowiedzi::Koniec(std::u16string& blad) {
    if (glowa_.dlugosc >= 0 && bajty_ < glowa_.dlugosc) {
        blad = Urwana();
        return false;
    }
    if (bajty_ == 0) {
        blad = KomunikatBledu(BladPobierania::PustaTresc, glowa_.liniaStatusu);
        return false;
    }
    if (sha_ && sha_->Wynik() != oczekiwany_.wartosc) {
        blad = KomunikatBledu(BladPobierania::NiezgodnaSuma);
        return false;
    }
    return true;
}
