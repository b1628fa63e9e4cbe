// Every text the user sees on the licence page, the installation page, the
// completion view and the notices, character for character: each row reaches
// the state where the text shows and reads it where the user sees it (a
// caption without the "&" that marks its access key).
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "ArkMain.h"
#include "AtrapyUi.h"
#include "DialQst2.h"
#include "Instal.h"

namespace {

struct Stan : AplikacjaTestowa, AtrapyUslug {
    std::unique_ptr<TFormMain> glowne;
    std::unique_ptr<TFormInstal> strona;
    std::u16string tytulWTrakcie;  // the title line while the file is fetched

    Stan() {
        pliki.DodajDysk(u"D:");
        zaplecze.przyPetliModalnej = [](TForm& f) { f.ZdarzenieKlawisza(TKlawisz::Enter); };
    }
    ~Stan() {
        strona.reset();
        glowne.reset();
    }
    Stan& Start() {
        glowne = std::make_unique<TFormMain>(uslugi);
        strona = std::make_unique<TFormInstal>(uslugi);
        PokazINamaluj(*glowne);
        return *this;
    }
    Stan& Wybierz(int i) {
        glowne->RGAkceptacja->Enabled = true;
        glowne->RGAkceptacja->ZdarzenieWyboru(i);
        return *this;
    }
    Stan& Instaluj() {
        http.wTrakcie = [this] { tytulWTrakcie = glowne->LabelInfo->Caption; };
        strona->BBInstal->ZdarzenieKlikniecia();
        return *this;
    }
    TFormInstal& f() { return *strona; }
    std::u16string Tytul() const { return glowne->LabelInfo->Caption; }
    // The first line of the last notice.
    std::u16string Komunikat() const { return zaplecze.modalne.empty() ? u"" : zaplecze.modalne.back().etykiety.at(0); }
    std::u16string Podpis() const { return zaplecze.modalne.empty() ? u"" : zaplecze.modalne.back().tytul; }
    std::u16string Systemowy() const { return zaplecze.komunikaty.empty() ? u"" : zaplecze.komunikaty.back().second; }
};

const std::u16string kProgram = u"C:\\KV-Tek\\Kavrostel8\\_Kavrostel.exe";

TEST(Teksty, EveryTextTheUserSees) {
    struct Wiersz {
        const char* gdzie;
        std::function<std::u16string(Stan&)> odczyt;
        std::u16string tekst;
    };
    using S = Stan;
    const Wiersz tabela[] = {
        // The licence page.
        {"title line at start", [](S& s) { return s.Start().Tytul(); }, u"Warunki licencji - wersja demonstracyjna"},
        {"LabelHttp", [](S& s) { return s.Start().glowne->LabelHttp->Caption(); }, u"Http"},
        {"Label5", [](S& s) { return s.Start().glowne->Label5->Caption(); }, u"Styczeń 2020"},
        {"RGAkceptacja caption", [](S& s) { return s.Start().glowne->RGAkceptacja->Caption(); }, u"-"},
        {"Akceptuję", [](S& s) { return NapisWidoczny(s.Start().glowne->RGAkceptacja->Items().at(0)); }, u"Akceptuję"},
        {"Nie akceptuję", [](S& s) { return NapisWidoczny(s.Start().glowne->RGAkceptacja->Items().at(1)); }, u"Nie akceptuję"},
        {"GroupBox1", [](S& s) { return s.Start().glowne->GroupBox1->Caption(); }, u"Producent"},
        {"GroupBox2", [](S& s) { return s.Start().glowne->GroupBox2->Caption(); }, u"Kontakt"},
        {"StaticText3", [](S& s) { return s.Start().glowne->StaticText3->Caption(); }, u"Wybór:"},
        {"GroupBox3", [](S& s) { return s.Start().glowne->GroupBox3->Caption(); }, u"Pomoc techniczna"},
        {"BitBtn1", [](S& s) { return NapisWidoczny(s.Start().glowne->BitBtn1->Caption()); }, u"Zamknij"},
        {"BitBtn1 hint", [](S& s) { return s.Start().glowne->BitBtn1->PokazywanaPodpowiedz(); },
         u"Koniec pracy Instalatora."},
        {"GroupBox4", [](S& s) { return s.Start().glowne->GroupBox4->Caption(); }, u"Dane użytkownika"},
        {"Nazwa", [](S& s) { return s.Start().glowne->LabelNazwa->Caption(); }, u"Nazwa"},
        {"e-mail", [](S& s) { return s.Start().glowne->LabelMail->Caption(); }, u"e-mail"},
        // The installation page.
        {"SBPrzegladaj", [](S& s) { return NapisWidoczny(s.Start().f().SBPrzegladaj->Caption()); }, u"Zmiana folderu instalacji   >>"},
        {"LabelFolder", [](S& s) { return s.Start().f().LabelFolder->Caption(); }, u"\\KV-Tek\\Kavrostel8"},
        {"Label3", [](S& s) { return s.Start().f().Label3->Caption(); }, u"Kavrostel Sterowany"},
        {"Edit1", [](S& s) { return s.Start().f().Edit1->Text(); }, u"C:"},
        {"CBSkrotPulpit", [](S& s) { return NapisWidoczny(s.Start().f().CBSkrotPulpit->Caption()); }, u"Skrót na Pulpicie"},
        {"CBSkrotMenuStart", [](S& s) { return NapisWidoczny(s.Start().f().CBSkrotMenuStart->Caption()); }, u"Skrót w Menu Start"},
        {"BBWstecz", [](S& s) { return NapisWidoczny(s.Start().f().BBWstecz->Caption()); }, u"<< Wstecz"},
        {"BBWstecz hint", [](S& s) { return s.Start().f().BBWstecz->PokazywanaPodpowiedz(); },
         u"Powrót do warunków licencji"},
        {"BBClose", [](S& s) { return NapisWidoczny(s.Start().f().BBClose->Caption()); }, u"Zamknij"},
        {"BBClose hint", [](S& s) { return s.Start().f().BBClose->PokazywanaPodpowiedz(); }, u"Koniec pracy Instalatora."},
        {"BBInstal at start", [](S& s) { return NapisWidoczny(s.Start().f().BBInstal->Caption()); }, u"Instaluj zaznaczone"},
        {"BBInstal after acceptance", [](S& s) { return NapisWidoczny(s.Start().Wybierz(0).f().BBInstal->Caption()); }, u"Instaluj"},
        {"BBInstal hint after acceptance",
         [](S& s) { return s.Start().Wybierz(0).f().BBInstal->PokazywanaPodpowiedz(); }, u"Instalacja programu"},
        {"BBDeinstal", [](S& s) { return NapisWidoczny(s.Start().f().BBDeinstal->Caption()); }, u"Usunięcie instalacji"},
        {"BBDeinstal hint with an earlier installation",
         [](S& s) {
             s.pliki.DodajPlik(u"C:\\users\\jan\\Desktop\\_Kavrostel 8.lnk");
             return s.Start().f().BBDeinstal->PokazywanaPodpowiedz();
         },
         u"Ponowna instalacja nie wymaga usuwania poprzedniej wersji programu."},
        {"RGBit caption", [](S& s) { return s.Start().f().RGBit->Caption(); }, u"Wersja"},
        {"32-bit", [](S& s) { return s.Start().f().RGBit->Items().at(0); }, u"32-bit"},
        {"64-bit", [](S& s) { return s.Start().f().RGBit->Items().at(1); }, u"64-bit"},
        // The title line.
        {"title after acceptance", [](S& s) { return s.Start().Wybierz(0).Tytul(); },
         u"Instalacja programu Vestra _Kavrostel 8.0"},
        {"title after refusal", [](S& s) { return s.Start().Wybierz(1).Tytul(); }, u"Nie zaakceptowano warunków licencji"},
        {"title after Back", [](S& s) {
             s.Start().Wybierz(0).f().BBWstecz->ZdarzenieKlikniecia();
             return s.Tytul();
         },
         u"Warunki licencji - wersja demonstracyjna"},
        {"title while fetching", [](S& s) { return s.Start().Wybierz(0).Instaluj().tytulWTrakcie; },
         u"Pobranie pliku: _Kavrostel.exe"},
        {"title after installation", [](S& s) { return s.Start().Wybierz(0).Instaluj().Tytul(); },
         u"Instalacja zakończona pomyślnie"},
        {"title after Back from the completion view", [](S& s) {
             s.Start().Wybierz(0).Instaluj().f().BBWstecz->ZdarzenieKlikniecia();
             return s.Tytul();
         },
         u"Wybierz wersję instalacji"},
        {"title after removal", [](S& s) {
             s.pliki.DodajPlik(u"C:\\users\\jan\\Desktop\\_Kavrostel 8.lnk");
             s.Start().Wybierz(0).f().BBDeinstal->ZdarzenieKlikniecia();
             return s.Tytul();
         },
         u"Usunięcie programu zakończone pomyślnie"},
        // The completion view.
        {"LabelKoniec", [](S& s) { return s.Start().Wybierz(0).Instaluj().glowne->LabelKoniec->Caption(); },
         u"Program jest gotowy do pracy."},
        {"BBInstal in the completion view", [](S& s) { return NapisWidoczny(s.Start().Wybierz(0).Instaluj().f().BBInstal->Caption()); },
         u"Uruchom"},
        {"BBInstal hint in the completion view",
         [](S& s) { return s.Start().Wybierz(0).Instaluj().f().BBInstal->PokazywanaPodpowiedz(); },
         u"Uruchomienie programu"},
        // The notices.
        {"notice caption", [](S& s) {
             s.pliki.DodajFolder(u"C:\\Orveliane\\Vestra");
             return s.Start().Wybierz(0).Podpis();
         },
         u"Uwaga!"},
        {"notice button", [](S& s) {
             std::u16string napis;
             s.zaplecze.przyPetliModalnej = [&](TForm&) {
                 napis = NapisWidoczny(FormQst->B1->Caption);
                 FormQst->B1->ZdarzenieKlikniecia();
             };
             PokazKomunikat(u"Uwaga!", u"x", u"");
             return napis;
         },
         u"Ok"},
        {"old default folder, drive D: with D:\\Orveliane\\Vestra", [](S& s) {
             s.pliki.DodajFolder(u"D:\\Orveliane\\Vestra");
             s.Start().f().Edit1->Text = u"D:";
             return s.Wybierz(0).Komunikat();
         },
         u"Zmiana domyślnego folderu instalacji na: C:\\KV-Tek."},
        {"a folder holding the suite folder", [](S& s) {
             s.zaplecze.odpowiedziZapisu.push_back(u"C:\\KV-Tek\\plik.exe");
             s.Start().Wybierz(0).f().SBPrzegladaj->ZdarzenieKlikniecia();
             return s.Komunikat();
         },
         u"Folder:  \"KV-Tek\" jest już domyślnym podkatalogiem instalacji."},
        {"an installed program is replaced", [](S& s) {
             s.pliki.DodajPlik(kProgram, "MZ stary");
             s.Start().Wybierz(0).Instaluj();
             return s.zaplecze.modalne.at(0).etykiety.at(0);
         },
         kProgram + u"\rzostanie zastąpiony nową wersją."},
        {"a failed download over an older program", [](S& s) {
             s.pliki.DodajPlik(kProgram, "MZ stary");
             s.http.odpowiedz.udana = false;
             s.http.odpowiedz.komunikat = u"HTTP/1.1 500 Internal Server Error";
             return s.Start().Wybierz(0).Instaluj().Komunikat();
         },
         u"Instalacja przerwana."},
        {"a failed download", [](S& s) {
             s.http.odpowiedz.udana = false;
             s.http.odpowiedz.komunikat = u"HTTP/1.1 404 Not Found";
             return s.Start().Wybierz(0).Instaluj().Komunikat();
         },
         u"Wymagane jest pobranie pliku z internetu."},
        {"the standard dialog: a reply outside 2xx", [](S& s) {
             s.http.odpowiedz.udana = false;
             s.http.odpowiedz.komunikat = u"HTTP/1.1 404 Not Found";
             return s.Start().Wybierz(0).Instaluj().Systemowy();
         },
         u"Nieudane pobranie pliku: HTTP/1.1 404 Not Found"},
        {"the standard dialog: no connection", [](S& s) {
             s.http.odpowiedz.udana = false;
             s.http.odpowiedz.komunikat = u"Socket error: connection refused";
             return s.Start().Wybierz(0).Instaluj().Systemowy();
         },
         u"Błąd połączenia z internetem"},
        {"the standard dialog's title", [](S& s) {
             s.http.odpowiedz.udana = false;
             s.Start().Wybierz(0).Instaluj();
             return s.zaplecze.komunikaty.at(0).first;
         },
         u"Instalator"},
        {"the removal keeps a folder with files of its own", [](S& s) {
             s.Start().Wybierz(0).Instaluj();
             s.pliki.DodajPlik(u"C:\\KV-Tek\\Kavrostel8\\notatki.txt");
             s.f().BBDeinstal->ZdarzenieKlikniecia();
             return s.Komunikat();
         },
         u"\"C:\\KV-Tek\\Kavrostel8\" jest używany przez inny program lub zawiera pliki (foldery) utworzone po instalacji."},
    };
    for (const Wiersz& w : tabela) {
        Stan s;
        EXPECT_EQ(w.odczyt(s), w.tekst) << w.gdzie;
    }
}

}  // namespace
