// PobierzPlik: one file from the distribution server into a local folder.
// The body goes into a temporary file next to the target, which replaces
// the target only once the whole body has arrived and been written; every
// other way out removes the temporary file, so an installed copy survives
// any failure unchanged.
#include "Pobieranie.h"

#include <cstdint>
#include <limits>
#include <memory>

#include "BledyPobierania.h"
#include "platform/Tekst.h"

namespace {

constexpr std::int64_t kMaksimumPaska = std::numeric_limits<std::int32_t>::max();

// Drives the page's progress bar from the transfer and writes the body into
// the temporary file. The bar's range is 32-bit: for larger files every
// count is shifted right by the same number of bits.
class OdbiorcaPobierania : public IOdbiorcaHttp {
public:
    OdbiorcaPobierania(IStronaInstalacji& strona, platforma::IPlikTymczasowy& plik)
        : strona_(strona), plik_(plik) {}

    void Poczatek(std::int64_t oczekiwane) override {
        przesuniecie_ = 0;
        if (oczekiwane > 0) {
            while ((oczekiwane >> przesuniecie_) > kMaksimumPaska) ++przesuniecie_;
            strona_.UstawMaksimumPaska(static_cast<std::int32_t>(oczekiwane >> przesuniecie_));
        } else {
            strona_.UstawMaksimumPaska(100);
        }
        strona_.UstawPozycjePaska(0);
    }

    bool Dane(const char* dane, std::size_t ile, std::u16string& blad) override {
        return plik_.Zapisz(dane, ile, blad);
    }

    void Postep(std::int64_t dotad) override {
        const auto pozycja = std::min(dotad >> przesuniecie_, kMaksimumPaska);
        strona_.UstawPozycjePaska(static_cast<std::int32_t>(pozycja));
        strona_.PompujKomunikaty();
    }

    void Koniec() override {}

    bool Przerwij() override {
        strona_.PompujKomunikaty();
        return strona_.ZamkniecieZadane();
    }

private:
    IStronaInstalacji& strona_;
    platforma::IPlikTymczasowy& plik_;
    int przesuniecie_ = 0;
};

// The temporary file of a download killed half-way stays beside the target
// for ever unless a later download takes it away; one that another installer
// is still writing stays.
std::unique_ptr<platforma::IPlikTymczasowy> NowyPlikTymczasowy(Srodowisko& s, const std::u16string& plikLokalny,
                                                               std::u16string& blad) {
    s.pliki.UsunPozostaleTymczasowe(plikLokalny);
    return s.pliki.UtworzPlikTymczasowy(plikLokalny, blad);
}

}  // namespace

bool PobierzPlik(Srodowisko& s, const std::u16string& folderSerwera, const std::u16string& nazwa,
                 const std::u16string& rozszerzenie, const std::u16string& folderDocelowy) {
    const std::u16string plikLokalny = folderDocelowy + u"\\" + nazwa + u"." + rozszerzenie;
    const std::u16string tytul = u"Pobranie pliku: " + nazwa + u"." + rozszerzenie;
    s.strona.UstawTytul(tytul);

    bool wynik = false;
    bool przerwany = false;
    std::u16string komunikat;
    {
        std::unique_ptr<platforma::IPlikTymczasowy> tymczasowy;
        // Clean-up after success and failure alike, also when a handler run
        // by the pump raises: the temporary file goes, the bar returns to 0,
        // the title line is emptied and the page's buttons take clicks again.
        struct Sprzatanie {
            IStronaInstalacji& strona;
            std::unique_ptr<platforma::IPlikTymczasowy>& plik;
            ~Sprzatanie() {
                plik.reset();
                strona.ZablokujPrzyciskiStrony(false);
                strona.UstawPozycjePaska(0);
                strona.UstawTytul(u"");
            }
        } sprzatanie{s.strona, tymczasowy};
        // From here to the end no click on the page can start a second
        // download: the pumps below run the page's handlers.
        s.strona.ZablokujPrzyciskiStrony(true);

        UstawieniaHttp ustawienia;
        ustawienia.uzytkownik = "tamrix4";
        ustawienia.haslo = "lorven905";

        if (s.pliki.PlikIstnieje(plikLokalny)) {
            s.strona.Informacja(u"Uwaga!", plikLokalny + u"\r" + u"zostanie zastąpiony nową wersją.");
        }

        s.strona.UstawTytul(tytul);
        s.strona.PompujKomunikaty();

        if (s.strona.ZamkniecieZadane()) {
            przerwany = true;
        } else if (tymczasowy = NowyPlikTymczasowy(s, plikLokalny, komunikat); tymczasowy) {
            OdbiorcaPobierania odbiorca(s.strona, *tymczasowy);
            const std::string adres = s.adresSerwera + platforma::Utf8(folderSerwera) + "/" +
                                      platforma::Utf8(nazwa) + "._" + platforma::Utf8(rozszerzenie);
            const WynikHttp http = s.http.Pobierz(adres, ustawienia, odbiorca);
            if (http.przerwany) {
                przerwany = true;
            } else if (!http.udany) {
                komunikat = http.komunikat;
            } else if (tymczasowy->Zatwierdz(komunikat)) {
                wynik = true;
            }
        }
    }

    if (!wynik && !przerwany) s.strona.KomunikatSystemowy(TekstBleduPobierania(komunikat));
    return wynik;
}
