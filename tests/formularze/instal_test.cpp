// The installation page: its states, the folder choice, the acceptance
// handler with its notice and pointer glide, and the lock a download holds on
// the page.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ArkMain.h"
#include "AtrapyUi.h"
#include "DialQst2.h"
#include "Instal.h"
#include "platform/Tekst.h"

namespace {

using platforma::PunktEkranu;
using Rodzaj = WpisZaplecza::Rodzaj;

const std::u16string kSkrotPulpit = u"C:\\users\\jan\\Desktop\\_Kavrostel 8.lnk";
const std::u16string kSkrotMenu =
    u"C:\\users\\jan\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Orveliane\\_Kavrostel 8.lnk";
const std::u16string kPodpowiedzDeinstalacji = u"Ponowna instalacja nie wymaga usuwania poprzedniej wersji programu.";

// The two forms over fakes, as start-up makes them, the main window shown at
// (200, 100). Tests prepare the disk first, then call Utworz.
struct Instalator : AplikacjaTestowa, AtrapyUslug {
    std::unique_ptr<TFormMain> glowne;
    std::unique_ptr<TFormInstal> strona;

    void Utworz() {
        pliki.DodajDysk(u"D:");
        pliki.DodajDysk(u"E:");
        glowne = std::make_unique<TFormMain>(uslugi);
        strona = std::make_unique<TFormInstal>(uslugi);
        PokazINamaluj(*glowne);
        glowne->ZdarzeniePrzesuniecia(200, 100);
    }
    ~Instalator() {
        strona.reset();
        glowne.reset();
    }

    TFormInstal& f() { return *strona; }
    // The user clicks an item of the licence choice, enabled by the presentation.
    void Wybierz(int i) {
        glowne->RGAkceptacja->Enabled = true;
        glowne->RGAkceptacja->ZdarzenieWyboru(i);
    }
    void Akceptuj() { Wybierz(0); }
    void Odmow() { Wybierz(1); }
    void Kliknij(TControl& k) { k.ZdarzenieKlikniecia(); }
    // The texts of the notices shown so far.
    std::vector<std::u16string> Komunikaty() const {
        std::vector<std::u16string> w;
        for (const auto& m : zaplecze.modalne) w.push_back(m.etykiety.at(0));
        return w;
    }
};

TEST(Instal, AfterCreation) {
    Instalator s;
    s.Utworz();
    TFormInstal& f = s.f();
    const KontekstInstalacji& k = s.kontekst;
    EXPECT_EQ(k.FolderPakietu, u"KV-Tek");
    EXPECT_EQ(k.DyskInstalacji, u"C:");
    EXPECT_EQ(FormMain->SDFile1->InitialDir, u"C:");
    EXPECT_EQ(f.PanelInstalacji->Parent(), FormMain);
    EXPECT_EQ((TProstokat{f.PanelInstalacji->Left, f.PanelInstalacji->Top, f.PanelInstalacji->Width,
                          f.PanelInstalacji->Height}),
              (TProstokat{0, 34, 740, 330}));
    EXPECT_FALSE(f.PanelInstalacji->Visible);
    EXPECT_TRUE(f.PanelInstalacji->ParentColor);
    EXPECT_TRUE(f.PanelInstalacji->ParentBackground);
    EXPECT_FALSE(f.RGWersja->Visible);
    EXPECT_TRUE(f.RGWersja->Enabled);
    EXPECT_EQ(f.RGWersja->ItemIndex(), -1);
    EXPECT_TRUE(f.Label3->Visible);
    EXPECT_TRUE(f.Edit1->ReadOnly);
    EXPECT_FALSE(f.Edit1->Enabled);
    EXPECT_FALSE(f.SBPrzegladaj->Enabled);
    EXPECT_FALSE(f.RGBit->Enabled);
    EXPECT_EQ(f.RGBit->ItemIndex(), 1);
    EXPECT_EQ(f.RGBit->Columns(), 2);
    EXPECT_EQ(f.ProgressBar1->Position(), 0);
    EXPECT_EQ(f.Edit1->Color(), clInfoBk);
    EXPECT_EQ(f.Label3->Font().Color, clMaroon);
    EXPECT_EQ(f.BBInstal->Font().Color, clNavy);
    EXPECT_EQ(f.BBInstal->PokazywanaPodpowiedz(), u"");
    EXPECT_TRUE(f.CBSkrotPulpit->Font().Bold);
    // The places the page computes with.
    EXPECT_EQ((TProstokat{f.Edit1->Left, f.Edit1->Top, f.Edit1->Width, f.Edit1->Height}), (TProstokat{212, 257, 100, 22}));
    EXPECT_EQ(f.LabelFolder->Left(), 323);
    EXPECT_EQ((TProstokat{f.RGWersja->Left, f.RGWersja->Top, f.RGWersja->Width, f.RGWersja->Height}),
              (TProstokat{14, 78, 487, 53}));
    // Declaration order is the tab order of the page.
    std::vector<std::string> kolejnosc;
    for (const TControl* c : f.PanelInstalacji->Controls()) kolejnosc.push_back(c->Name);
    EXPECT_EQ(kolejnosc, (std::vector<std::string>{"SBPrzegladaj", "LabelFolder", "Image2", "Image3", "Image4",
                                                   "Image5", "Label3", "RGWersja", "Edit1", "CBSkrotPulpit",
                                                   "CBSkrotMenuStart", "BBWstecz", "BBClose", "BBInstal",
                                                   "BBDeinstal", "ProgressBar1", "RGBit"}));
    // The page lies over the licence page, under the completion view, which
    // is brought to the front when shown.
    EXPECT_EQ(FormMain->Controls().back(), f.PanelInstalacji);
}

// The page's states, reached by a sequence of choices on the licence page:
// A = "Akceptuję", N = "Nie akceptuję", W = "<< Wstecz".
TEST(Instal, ThePagesStates) {
    struct Przypadek {
        std::string kroki;
        std::u16string tytul;
        bool stronaWidoczna, folderWlaczony, skrotyWlaczone, instalWlaczony;
        std::u16string napisInstal;
        int wersja;
        bool szybowanie;
    };
    const std::u16string licencja = u"Warunki licencji - wersja demonstracyjna";
    const std::u16string wybrany = u"Instalacja programu Vestra _Kavrostel 8.0";
    const std::u16string odmowa = u"Nie zaakceptowano warunków licencji";
    const Przypadek przypadki[] = {
        {"", licencja, false, false, true, false, u"Instaluj zaznaczone", -1, false},
        {"A", wybrany, true, true, true, true, u"Instaluj", 0, true},
        {"N", odmowa, true, false, false, false, u"Instaluj", -1, false},
        {"AW", licencja, false, true, true, true, u"Instaluj", -1, false},
        {"AWA", wybrany, true, true, true, true, u"Instaluj", 0, true},
        {"AWN", odmowa, true, false, false, false, u"Instaluj", -1, false},
        {"NWA", wybrany, true, true, true, true, u"Instaluj", 0, true},
    };
    for (const Przypadek& p : przypadki) {
        SCOPED_TRACE("steps " + p.kroki);
        Instalator s;
        s.Utworz();
        TFormInstal& f = s.f();
        std::size_t przedOstatnim = 0;
        for (const char krok : p.kroki) {
            przedOstatnim = s.zaplecze.Polozenia().size();
            s.zaplecze.pozycja = {0, 0};
            if (krok == 'A') s.Akceptuj();
            if (krok == 'N') s.Odmow();
            if (krok == 'W') s.Kliknij(*f.BBWstecz);
        }
        EXPECT_EQ(FormMain->LabelInfo->Caption(), p.tytul);
        EXPECT_EQ(f.PanelInstalacji->Visible(), p.stronaWidoczna);
        EXPECT_EQ(FormMain->PanelLic->Visible(), !p.stronaWidoczna);
        EXPECT_EQ(f.Edit1->Enabled(), p.folderWlaczony);
        EXPECT_EQ(f.SBPrzegladaj->Enabled(), p.folderWlaczony);
        EXPECT_TRUE(f.CBSkrotPulpit->Checked && f.CBSkrotMenuStart->Checked);
        EXPECT_EQ(f.CBSkrotPulpit->Enabled(), p.skrotyWlaczone);
        EXPECT_EQ(f.CBSkrotMenuStart->Enabled(), p.skrotyWlaczone);
        EXPECT_EQ(f.BBInstal->Enabled(), p.instalWlaczony);
        EXPECT_EQ(NapisWidoczny(f.BBInstal->Caption()), p.napisInstal);
        EXPECT_EQ(f.BBInstal->PokazywanaPodpowiedz(), p.instalWlaczony ? u"Instalacja programu" : u"");
        EXPECT_EQ(f.RGWersja->ItemIndex(), p.wersja);
        EXPECT_TRUE(f.BBWstecz->Enabled && f.BBClose->Enabled);
        EXPECT_EQ(s.zaplecze.Polozenia().size() > przedOstatnim, p.szybowanie);
        if (p.szybowanie) {
            EXPECT_EQ(FormMain->ActiveControl(), f.BBInstal);
        }
        // One underscore in each name, however often the variant was chosen.
        EXPECT_EQ(s.kontekst.PlikProgramu, u"_Kavrostel");
        EXPECT_EQ(s.kontekst.NazwaProgramu, p.kroki.find('A') != std::string::npos ? u"_Kavrostel" : u"Kavrostel");
        EXPECT_TRUE(s.zaplecze.modalne.empty());
        // Outside the accepted state the install button does nothing.
        if (!p.instalWlaczony) {
            f.BBInstalClick();
            EXPECT_TRUE(s.http.zadania.empty());
        }
    }
}

TEST(Instal, AcceptingAgainLooksForAnEarlierInstallationAgain) {
    Instalator s;
    s.Utworz();
    TFormInstal& f = s.f();
    s.Akceptuj();
    EXPECT_FALSE(f.BBDeinstal->Enabled);
    s.Kliknij(*f.BBWstecz);
    s.pliki.DodajPlik(kSkrotPulpit);
    s.Akceptuj();
    EXPECT_TRUE(f.BBDeinstal->Enabled);
    // A refusal leaves the removal button as it was.
    s.Kliknij(*f.BBWstecz);
    s.Odmow();
    EXPECT_TRUE(f.BBDeinstal->Enabled);
}

// The removal button follows each of the three files; at creation the
// program file still bears the name without underscore, after acceptance
// the name with it.
TEST(Instal, TheRemovalButtonFollowsTheFilesOfAnEarlierInstallation) {
    struct Przypadek {
        const char* opis;
        std::u16string plik;
        bool jakoFolder, poUtworzeniu, poAkceptacji;
    };
    const Przypadek przypadki[] = {
        {"nothing", u"", false, false, false},
        {"the desktop shortcut", kSkrotPulpit, false, true, true},
        {"the Start-menu shortcut", kSkrotMenu, false, true, true},
        {"the program without underscore", u"C:\\KV-Tek\\Kavrostel8\\Kavrostel.exe", false, true, false},
        {"the program with underscore", u"C:\\KV-Tek\\Kavrostel8\\_Kavrostel.exe", false, false, true},
        {"a folder named like the shortcut", kSkrotPulpit, true, false, false},
    };
    for (const Przypadek& p : przypadki) {
        SCOPED_TRACE(p.opis);
        Instalator s;
        if (p.jakoFolder)
            s.pliki.DodajFolder(p.plik);
        else if (!p.plik.empty())
            s.pliki.DodajPlik(p.plik);
        // The product folder exists, so acceptance keeps the full folder.
        s.pliki.DodajFolder(u"C:\\KV-Tek\\Kavrostel8");
        s.Utworz();
        TButton& b = *s.f().BBDeinstal;
        EXPECT_EQ(b.Enabled(), p.poUtworzeniu);
        EXPECT_EQ(b.PokazywanaPodpowiedz(), p.poUtworzeniu ? kPodpowiedzDeinstalacji : u"");
        s.Akceptuj();
        EXPECT_EQ(b.Enabled(), p.poAkceptacji);
        EXPECT_EQ(b.PokazywanaPodpowiedz(), p.poAkceptacji ? kPodpowiedzDeinstalacji : u"");
    }
}

TEST(Instal, BackFromTheCompletionViewPreparesANewInstallation) {
    Instalator s;
    s.Utworz();
    TFormInstal& f = s.f();
    s.Akceptuj();
    f.Strona().PokazKoniec();
    f.Strona().UstawPrzyciskInstalacji(u"Uruchom", u"Uruchomienie programu");
    const std::size_t ruchy = s.zaplecze.Polozenia().size();
    s.Kliknij(*f.BBWstecz);
    EXPECT_FALSE(FormMain->PanelKoniec->Visible);
    EXPECT_TRUE(f.PanelInstalacji->Visible);
    EXPECT_FALSE(FormMain->PanelLic->Visible);
    EXPECT_EQ(NapisWidoczny(f.BBInstal->Caption()), u"Instaluj");
    EXPECT_TRUE(f.BBInstal->Enabled);
    EXPECT_EQ(f.BBInstal->PokazywanaPodpowiedz(), u"Instalacja programu");
    EXPECT_EQ(FormMain->RGAkceptacja->ItemIndex(), 0);
    EXPECT_EQ(f.RGWersja->ItemIndex(), 0);
    EXPECT_EQ(FormMain->LabelInfo->Caption(), u"Wybierz wersję instalacji");
    EXPECT_EQ(s.zaplecze.Polozenia().size(), ruchy);  // no glide from the completion view
}

TEST(Instal, TheFolderChoice) {
    struct Przypadek {
        std::u16string wybrany, tekst;
        int szerokosc, lewaEtykiety;
    };
    const Przypadek przypadki[] = {
        {u"d:\\Dane\\plik.exe", u"D:\\Dane", 100, 323},
        {u"E:\\plik.exe", u"E:", 100, 323},
        {u"C:\\Program\\x.exe", u"C:\\Program", 100, 323},
        {u"C:\\Programy\\x.exe", u"C:\\Programy", 110, 327},
        {u"C:\\Program Files\\Narzędzia\\_Kavrostel.exe", u"C:\\Program Files\\Narzędzia", 260, 477},
        {u"D:\\123456789\\123456789\\123456789\\12345678\\a.exe", u"D:\\123456789\\123456789\\123456789\\12345678",
         400, 617},
        {u"D:\\Bardzo długa nazwa folderu na programy inżynierskie\\a.exe",
         u"D:\\Bardzo długa nazwa folderu na programy inżynierskie", 400, 617},
    };
    for (const Przypadek& p : przypadki) {
        SCOPED_TRACE(platforma::Utf8(p.wybrany));
        Instalator s;
        s.Utworz();
        s.Akceptuj();
        s.zaplecze.odpowiedziZapisu.push_back(p.wybrany);
        s.Kliknij(*s.f().SBPrzegladaj);
        ASSERT_EQ(s.zaplecze.pytaniaZapisu.size(), 1u);
        EXPECT_EQ(s.zaplecze.pytaniaZapisu[0].tytul, u"Wskaż folder instalacji");
        EXPECT_EQ(s.zaplecze.pytaniaZapisu[0].nazwaPliku, u"_Kavrostel.exe");
        // The bare drive the page keeps is offered as that drive's root.
        EXPECT_EQ(s.zaplecze.pytaniaZapisu[0].folderPoczatkowy, u"C:\\");
        EXPECT_EQ(s.f().Edit1->Text(), p.tekst);
        EXPECT_EQ(s.kontekst.DyskInstalacji, p.tekst);
        EXPECT_EQ(s.kontekst.FolderInstalacji, p.tekst + u"\\KV-Tek\\Kavrostel8");
        EXPECT_EQ(s.f().Edit1->Width(), p.szerokosc);
        EXPECT_EQ(s.f().LabelFolder->Left(), p.lewaEtykiety);
        EXPECT_TRUE(s.zaplecze.modalne.empty());
    }
}

TEST(Instal, AVeryLongTextIsCut) {
    Instalator s;
    s.Utworz();
    s.Akceptuj();
    const std::u16string folder = u"d:\\" + std::u16string(1100, u'x');
    s.zaplecze.odpowiedziZapisu.push_back(folder + u"\\a.exe");
    s.Kliknij(*s.f().SBPrzegladaj);
    EXPECT_EQ(s.f().Edit1->Text().size(), 1025u);
    EXPECT_EQ(s.f().Edit1->Text(), u"D" + folder.substr(1, 1024));
    EXPECT_EQ(s.kontekst.DyskInstalacji, s.f().Edit1->Text());
}

TEST(Instal, AFolderHoldingTheSuiteFolderIsRefused) {
    Instalator s;
    s.Utworz();
    s.Akceptuj();
    TFormInstal& f = s.f();
    f.Edit1->Text = u"d:\\dane";  // a text the acceptance could have left
    s.zaplecze.odpowiedziZapisu.push_back(u"c:\\kv-tek\\stare\\plik.exe");
    s.Kliknij(*f.SBPrzegladaj);
    ASSERT_EQ(s.zaplecze.modalne.size(), 1u);
    EXPECT_EQ(s.zaplecze.modalne[0].tytul, u"Uwaga!");
    EXPECT_EQ(s.Komunikaty(), (std::vector<std::u16string>{u"Folder:  \"KV-Tek\" jest już domyślnym podkatalogiem instalacji."}));
    EXPECT_EQ(f.Edit1->Text(), u"D:\\dane");
    EXPECT_EQ(s.kontekst.FolderInstalacji, u"D:\\dane\\KV-Tek\\Kavrostel8");
}

TEST(Instal, CancellingTheDialogChangesNothing) {
    Instalator s;
    s.Utworz();
    s.Akceptuj();
    TFormInstal& f = s.f();
    f.Edit1->Text = u"d:\\dane";
    f.Edit1->Width = 250;
    s.kontekst.FolderInstalacji = u"d:\\dane\\KV-Tek\\Kavrostel8";
    s.zaplecze.odpowiedziZapisu.push_back(std::nullopt);
    s.Kliknij(*f.SBPrzegladaj);
    EXPECT_EQ(s.zaplecze.pytaniaZapisu.size(), 1u);
    EXPECT_EQ(f.Edit1->Text(), u"d:\\dane");
    EXPECT_EQ(f.Edit1->Width(), 250);
    EXPECT_EQ(f.LabelFolder->Left(), 323);
    EXPECT_EQ(s.kontekst.FolderInstalacji, u"d:\\dane\\KV-Tek\\Kavrostel8");
    EXPECT_TRUE(s.zaplecze.modalne.empty());
}

TEST(Instal, ChoosingAFolderDoesNotLookForAnEarlierInstallation) {
    Instalator s;
    s.Utworz();
    s.Akceptuj();
    EXPECT_FALSE(s.f().BBDeinstal->Enabled);
    s.pliki.DodajPlik(kSkrotPulpit);
    s.pliki.DodajPlik(u"D:\\Dane\\KV-Tek\\Kavrostel8\\_Kavrostel.exe");
    s.zaplecze.odpowiedziZapisu.push_back(u"D:\\Dane\\plik.exe");
    s.Kliknij(*s.f().SBPrzegladaj);
    EXPECT_EQ(s.kontekst.FolderInstalacji, u"D:\\Dane\\KV-Tek\\Kavrostel8");
    EXPECT_FALSE(s.f().BBDeinstal->Enabled);
}

// The notice about the old default folder comes each time "Akceptuję" is
// handled: first showing, again after Back, and from the completion view;
// the text is fixed, whatever the drive.
TEST(Instal, TheNoticeAboutTheOldDefaultFolder) {
    struct Przypadek {
        const char* opis;
        std::u16string folder;  // made before start-up
        std::u16string dysk;    // the drive the page has when accepting
        int komunikatow;
    };
    const Przypadek przypadki[] = {
        {"C:\\Orveliane\\Vestra exists", u"C:\\Orveliane\\Vestra", u"C:", 3},
        {"only another folder", u"C:\\Orveliane\\Inny", u"C:", 0},
        {"D:\\Orveliane\\Vestra, drive D:", u"D:\\Orveliane\\Vestra", u"D:", 3},
        {"C:\\Orveliane\\Vestra, drive D:", u"C:\\Orveliane\\Vestra", u"D:", 0},
    };
    for (const Przypadek& p : przypadki) {
        SCOPED_TRACE(p.opis);
        Instalator s;
        s.pliki.DodajDysk(u"D:");
        s.pliki.DodajFolder(p.folder);
        s.Utworz();
        TFormInstal& f = s.f();
        f.Edit1->Text = p.dysk;
        s.Odmow();
        EXPECT_TRUE(s.zaplecze.modalne.empty());
        s.Kliknij(*f.BBWstecz);
        s.Akceptuj();
        s.Kliknij(*f.BBWstecz);
        s.Akceptuj();
        f.Strona().PokazKoniec();
        s.Kliknij(*f.BBWstecz);
        EXPECT_EQ(s.Komunikaty(), std::vector<std::u16string>(static_cast<std::size_t>(p.komunikatow),
                                                              u"Zmiana domyślnego folderu instalacji na: C:\\KV-Tek."));
        for (const auto& m : s.zaplecze.modalne) EXPECT_EQ(m.tytul, u"Uwaga!");
    }
}

TEST(Instal, TheInstallationFolderAfterAcceptance) {
    for (const bool folderJest : {false, true}) {
        SCOPED_TRACE(folderJest ? "the folder exists: unchanged" : "no folder: the bare drive");
        Instalator s;
        if (folderJest) s.pliki.DodajFolder(u"C:\\KV-Tek\\Kavrostel8");
        s.Utworz();
        s.Akceptuj();
        EXPECT_EQ(s.kontekst.FolderInstalacji, folderJest ? u"\\KV-Tek\\Kavrostel8" : u"C:");
        EXPECT_EQ(s.f().Edit1->Text(), u"C:");
        EXPECT_EQ(s.kontekst.DyskInstalacji, u"C:");
    }
}

// The pointer glides to the hidden program group: window left + group left
// + 50, window top + frame + panel top + group top + 50; then the variant is
// chosen.
TEST(Instal, TheGlideToTheProgramsName) {
    Instalator s;
    s.Utworz();
    TFormInstal& f = s.f();
    f.RGWersja->SetBounds(30, 90, 487, 53);
    f.PanelInstalacji->Top = 40;
    s.zaplecze.pozycja = {10, 10};
    int wybranyWTrakcie = -2;
    s.zaplecze.przyPompowaniu = [&] { wybranyWTrakcie = f.RGWersja->ItemIndex; };
    s.Akceptuj();
    const auto ruchy = s.zaplecze.Polozenia();
    ASSERT_GT(ruchy.size(), 1u);
    EXPECT_EQ(ruchy.back(), (PunktEkranu{200 + 30 + 50, 100 + 0 + 40 + 90 + 50}));
    EXPECT_EQ(wybranyWTrakcie, -1);  // the variant is chosen after the glide
    EXPECT_EQ(f.RGWersja->ItemIndex(), 0);
    EXPECT_FALSE(s.zaplecze.Pauzy().empty());  // paced, not a jump
}

struct Pobieranie : Instalator {
    Pobieranie() {
        Utworz();
        Akceptuj();
        http.odpowiedz.cialo = std::string(64, 'x');
    }
    std::vector<TButton*> Blokowane() { return {f().BBInstal, f().BBDeinstal, f().BBWstecz, f().SBPrzegladaj}; }
};

TEST(Instal, ADownloadHoldsThePagesButtons) {
    Pobieranie s;
    TFormInstal& f = s.f();
    std::vector<bool> wTrakcie;
    s.http.wTrakcie = [&] {
        for (TButton* b : s.Blokowane()) wTrakcie.push_back(b->Enabled);
        s.Kliknij(*f.BBWstecz);  // disabled: no effect
        s.Kliknij(*f.BBInstal);  // no second download
    };
    s.Kliknij(*f.BBInstal);
    ASSERT_FALSE(wTrakcie.empty());
    for (const bool w : wTrakcie) EXPECT_FALSE(w);
    EXPECT_EQ(s.http.zadania.size(), 1u);
    // Installed: the buttons take clicks again and the page is intact.
    EXPECT_TRUE(FormMain->PanelKoniec->Visible);
    EXPECT_TRUE(f.PanelInstalacji->Visible);
    EXPECT_EQ(NapisWidoczny(f.BBInstal->Caption()), u"Uruchom");
    EXPECT_EQ(f.BBInstal->PokazywanaPodpowiedz(), u"Uruchomienie programu");
    EXPECT_EQ(FormMain->LabelInfo->Caption(), u"Instalacja zakończona pomyślnie");
    EXPECT_TRUE(f.BBInstal->Enabled);
    EXPECT_TRUE(f.BBWstecz->Enabled);
    EXPECT_TRUE(f.SBPrzegladaj->Enabled);
    EXPECT_TRUE(f.BBDeinstal->Enabled);  // the shortcuts were made meanwhile
    EXPECT_EQ(f.BBDeinstal->PokazywanaPodpowiedz(), kPodpowiedzDeinstalacji);
    EXPECT_TRUE(FormMain->Visible);
    EXPECT_FALSE(f.Strona().ZamkniecieZadane());
    // The completion view lies in front of the page.
    EXPECT_EQ(FormMain->Controls().back(), FormMain->PanelKoniec);
}

// During a download no key press may end or start anything: the focus was on
// "Instaluj", which the lock disables. It goes to the window itself, not to
// "Zamknij" (where one Space would cancel the transfer and end the
// installer), and comes back afterwards.
TEST(Instal, NoKeyPressEndsOrStartsAnythingDuringADownload) {
    Pobieranie s;
    TFormInstal& f = s.f();
    ASSERT_EQ(FormMain->ActiveControl(), f.BBInstal);
    TControl* fokusWTrakcie = f.BBInstal;
    s.http.wTrakcie = [&] {
        fokusWTrakcie = FormMain->ActiveControl();
        // Space on whatever holds the focus, then Enter and Escape.
        if (fokusWTrakcie) fokusWTrakcie->ZdarzenieKlikniecia();
        FormMain->ZdarzenieKlawisza(TKlawisz::Enter);
        FormMain->ZdarzenieKlawisza(TKlawisz::Escape);
    };
    s.Kliknij(*f.BBInstal);
    EXPECT_EQ(fokusWTrakcie, nullptr);
    EXPECT_TRUE(FormMain->Visible);
    EXPECT_FALSE(s.zaplecze.zakonczona);
    EXPECT_FALSE(f.Strona().ZamkniecieZadane());
    EXPECT_TRUE(s.pliki.PlikIstnieje(u"C:\\KV-Tek\\Kavrostel8\\_Kavrostel.exe"));
    EXPECT_EQ(s.http.zadania.size(), 1u);
    EXPECT_EQ(FormMain->ActiveControl(), f.BBInstal);  // given back
}

// A focus the user moved during a download is not taken back by the lock's
// end; but the completion view then covers the box, and the focus never
// stays on what cannot be seen: it goes on to the next tab stop.
TEST(Instal, AFocusTheUserMovedDuringADownloadStaysWhileItCanBeSeen) {
    Pobieranie s;
    TFormInstal& f = s.f();
    s.http.wTrakcie = [&] {
        FormMain->ZdarzenieFokusu(f.CBSkrotPulpit);  // Tab
        EXPECT_EQ(FormMain->ActiveControl(), f.CBSkrotPulpit);
    };
    s.Kliknij(*f.BBInstal);
    EXPECT_TRUE(f.CBSkrotPulpit->Zakryta());
    EXPECT_EQ(FormMain->ActiveControl(), f.BBWstecz);
}

TEST(Instal, ClosingDuringADownloadWaitsForItsEnd) {
    struct Przypadek {
        const char* opis;
        std::function<void(Pobieranie&)> zamknij;
    };
    const Przypadek przypadki[] = {
        {"Zamknij on the page", [](Pobieranie& s) { s.Kliknij(*s.f().BBClose); }},
        {"Zamknij of the licence page", [](Pobieranie&) { FormMain->BitBtn1Click(); }},
        {"the window asked to close", [](Pobieranie&) { FormMain->ZdarzenieZamkniecia(); }},
    };
    for (const Przypadek& p : przypadki) {
        SCOPED_TRACE(p.opis);
        Pobieranie s;
        int kawalki = 0;
        bool widoczneWTrakcie = false;
        s.http.wTrakcie = [&] {
            if (++kawalki == 2) {
                p.zamknij(s);
                widoczneWTrakcie = FormMain->Visible;
            }
        };
        s.Kliknij(*s.f().BBInstal);
        EXPECT_TRUE(widoczneWTrakcie);
        EXPECT_EQ(kawalki, 2);  // the transfer stopped at once
        EXPECT_FALSE(FormMain->Visible);
        EXPECT_TRUE(s.zaplecze.zakonczona);
        EXPECT_FALSE(s.pliki.PlikIstnieje(u"C:\\KV-Tek\\Kavrostel8\\_Kavrostel.exe"));
        EXPECT_FALSE(FormMain->PanelKoniec->Visible);
        EXPECT_TRUE(s.zaplecze.modalne.empty());
        EXPECT_TRUE(s.zaplecze.komunikaty.empty());
    }
}

TEST(Instal, ClosingWithoutADownloadEndsAtOnce) {
    Instalator s;
    s.Utworz();
    s.Odmow();
    s.Kliknij(*s.f().BBClose);
    EXPECT_FALSE(FormMain->Visible);
    EXPECT_TRUE(s.zaplecze.zakonczona);
    EXPECT_FALSE(s.f().Strona().ZamkniecieZadane());
}

// The lock gives back the states it took; an enabling asked for while it
// holds takes effect when it ends.
TEST(Instal, TheLockGivesBackTheStatesItTook) {
    Instalator s;
    s.Utworz();
    TFormInstal& f = s.f();
    IStronaInstalacji& strona = f.Strona();
    s.Akceptuj();
    f.SBPrzegladaj->Enabled = false;
    strona.ZablokujPrzyciskiStrony(true);
    EXPECT_FALSE(f.BBInstal->Enabled);
    EXPECT_FALSE(f.BBWstecz->Enabled);
    EXPECT_EQ(f.BBInstal->PokazywanaPodpowiedz(), u"");
    EXPECT_FALSE(strona.PrzegladajWlaczony());
    EXPECT_TRUE(f.BBClose->Enabled);
    strona.WlaczDeinstalacje(true);
    EXPECT_FALSE(f.BBDeinstal->Enabled);
    strona.ZablokujPrzyciskiStrony(false);
    EXPECT_TRUE(f.BBInstal->Enabled);
    EXPECT_EQ(f.BBInstal->PokazywanaPodpowiedz(), u"Instalacja programu");
    EXPECT_TRUE(f.BBWstecz->Enabled);
    EXPECT_FALSE(f.SBPrzegladaj->Enabled);
    EXPECT_TRUE(f.BBDeinstal->Enabled);
    EXPECT_EQ(f.BBDeinstal->PokazywanaPodpowiedz(), kPodpowiedzDeinstalacji);
    strona.WlaczDeinstalacje(false);
    EXPECT_EQ(f.BBDeinstal->PokazywanaPodpowiedz(), u"");
}

TEST(Instal, TheProgressBar) {
    Instalator s;
    s.Utworz();
    IStronaInstalacji& strona = s.f().Strona();
    TProgressBar& pasek = *s.f().ProgressBar1;
    strona.UstawMaksimumPaska(200);
    strona.UstawPozycjePaska(150);
    EXPECT_EQ(pasek.Position(), 150);
    strona.UstawPozycjePaska(500);
    EXPECT_EQ(pasek.Position(), 200);
    strona.UstawMaksimumPaska(100);
    EXPECT_EQ(pasek.Max(), 100);
    EXPECT_EQ(pasek.Position(), 100);
}

TEST(Instal, ADownloadFailureGoesToTheStandardDialogUnderTheApplicationsTitle) {
    Pobieranie s;
    s.http.odpowiedz.udana = false;
    s.http.odpowiedz.komunikat = u"HTTP/1.1 404 Not Found";
    s.Kliknij(*s.f().BBInstal);
    ASSERT_EQ(s.zaplecze.komunikaty.size(), 1u);
    EXPECT_EQ(s.zaplecze.komunikaty[0],
              (std::pair<std::u16string, std::u16string>{u"Instalator", u"Nieudane pobranie pliku: HTTP/1.1 404 Not Found"}));
    EXPECT_EQ(s.Komunikaty(), (std::vector<std::u16string>{u"Wymagane jest pobranie pliku z internetu."}));
}

}  // namespace

namespace {

std::vector<std::string> Sciezka(const TForm& forma) {
    std::vector<std::string> w;
    for (const TControl* k : forma.KolejnoscTabulacji()) w.push_back(k->Name);
    return w;
}

}  // namespace

// The keyboard's road through each page and view: the tab stops in order,
// none that is covered, hidden or disabled.
TEST(Instal, TheFocusPathOfEachPage) {
    Instalator s;
    s.Utworz();
    s.glowne->RGAkceptacja->Enabled = true;  // as the presentation leaves it
    EXPECT_EQ(Sciezka(*s.glowne), (std::vector<std::string>{"RGAkceptacja", "BitBtn1", "ListBox1"}));
    s.Akceptuj();
    // The installation page: the licence page's controls are hidden under it.
    EXPECT_EQ(Sciezka(*s.glowne), (std::vector<std::string>{"SBPrzegladaj", "Edit1", "CBSkrotPulpit",
                                                              "CBSkrotMenuStart", "BBWstecz", "BBClose", "BBInstal"}));
    // The completion view covers the folder and the shortcut boxes; the
    // removal is there to take.
    s.http.odpowiedz.cialo = std::string(64, 'x');
    s.Kliknij(*s.f().BBInstal);
    ASSERT_TRUE(s.glowne->PanelKoniec->Visible);
    EXPECT_EQ(Sciezka(*s.glowne), (std::vector<std::string>{"BBWstecz", "BBClose", "BBInstal", "BBDeinstal"}));
    // The notice: its one button.
    TFormQst q;
    EXPECT_EQ(Sciezka(q), (std::vector<std::string>{"B1"}));
}

namespace {

enum class Widok { Licencja, Strona, Koniec };

// The licence page with its choice enabled, the installation page after
// acceptance (an earlier installation found, so the removal is enabled), or
// the completion view after an installation.
void Przygotuj(Instalator& s, Widok w) {
    s.pliki.DodajPlik(kSkrotPulpit);
    s.Utworz();
    s.glowne->RGAkceptacja->Enabled = true;
    if (w == Widok::Licencja) return;
    s.Akceptuj();
    if (w == Widok::Strona) return;
    s.http.odpowiedz.cialo = std::string(64, 'x');
    s.Kliknij(*s.f().BBInstal);
    ASSERT_TRUE(s.glowne->PanelKoniec->Visible);
}

// What the user can tell of the installer's state.
std::string Obraz(Instalator& s) {
    TFormMain& g = *s.glowne;
    TFormInstal& f = s.f();
    return std::to_string(g.RGAkceptacja->ItemIndex()) + (g.Visible ? " shown" : " closed") +
           (g.PanelLic->Visible ? " licence" : "") + (f.PanelInstalacji->Visible ? " page" : "") +
           (g.PanelKoniec->Visible ? " completion" : "") + (f.CBSkrotPulpit->Checked ? " desktop" : "") +
           (f.CBSkrotMenuStart->Checked ? " menu" : "") + " dialogs:" + std::to_string(s.zaplecze.pytaniaZapisu.size()) +
           " started:" + std::to_string(s.powloka.uruchomioneProgramy.size()) +
           " notices:" + std::to_string(s.zaplecze.modalne.size()) + " " + platforma::Utf8(g.LabelInfo->Caption()) + " [" +
           platforma::Utf8(f.BBInstal->Caption()) + "] files:" + std::to_string(s.pliki.PlikIstnieje(kSkrotPulpit));
}

}  // namespace

// Each access key does what a click on its control does, and the focus goes
// to that control; the same two states compared side by side.
TEST(Instal, EachAccessKeyDoesWhatItsClickDoes) {
    using K = std::function<TControl*(Instalator&)>;
    struct Wiersz {
        const char* co;
        Widok widok;
        char16_t klawisz;
        K kontrolka;
        std::function<void(Instalator&)> klik;
    };
    const K grupa = [](Instalator& s) { return s.glowne->RGAkceptacja; };
    const auto klik = [](TControl* (*k)(Instalator&)) {
        return [k](Instalator& s) { k(s)->ZdarzenieKlikniecia(); };
    };
    const auto pole = [](TCheckBox* (*k)(Instalator&)) {
        return [k](Instalator& s) { k(s)->ZdarzenieZaznaczenia(!k(s)->Checked); };
    };
    using I = Instalator;
    TControl* (*zamknijLic)(I&) = [](I& s) -> TControl* { return s.glowne->BitBtn1; };
    TControl* (*folder)(I&) = [](I& s) -> TControl* { return s.f().SBPrzegladaj; };
    TCheckBox* (*pulpit)(I&) = [](I& s) { return s.f().CBSkrotPulpit; };
    TCheckBox* (*menu)(I&) = [](I& s) { return s.f().CBSkrotMenuStart; };
    TControl* (*instaluj)(I&) = [](I& s) -> TControl* { return s.f().BBInstal; };
    TControl* (*usun)(I&) = [](I& s) -> TControl* { return s.f().BBDeinstal; };
    TControl* (*wstecz)(I&) = [](I& s) -> TControl* { return s.f().BBWstecz; };
    TControl* (*zamknij)(I&) = [](I& s) -> TControl* { return s.f().BBClose; };
    const Wiersz tabela[] = {
        {"Akceptuję", Widok::Licencja, u'a', grupa, [](I& s) { s.glowne->RGAkceptacja->ZdarzenieWyboru(0); }},
        {"Nie akceptuję", Widok::Licencja, u'N', grupa, [](I& s) { s.glowne->RGAkceptacja->ZdarzenieWyboru(1); }},
        {"Zamknij of the licence page", Widok::Licencja, u'z', zamknijLic, klik(zamknijLic)},
        {"the folder", Widok::Strona, u'f', folder, klik(folder)},
        {"the desktop shortcut", Widok::Strona, u'p', pulpit, pole(pulpit)},
        {"the Start menu shortcut", Widok::Strona, u'm', menu, pole(menu)},
        {"Instaluj", Widok::Strona, u'i', instaluj, klik(instaluj)},
        {"removal on the page", Widok::Strona, u'u', usun, klik(usun)},
        {"back from the page", Widok::Strona, u'w', wstecz, klik(wstecz)},
        {"Zamknij on the page", Widok::Strona, u'z', zamknij, klik(zamknij)},
        {"Uruchom", Widok::Koniec, u'r', instaluj, klik(instaluj)},
        {"removal in the completion view", Widok::Koniec, u'u', usun, klik(usun)},
        {"back from the completion view", Widok::Koniec, u'w', wstecz, klik(wstecz)},
    };
    for (const Wiersz& w : tabela) {
        SCOPED_TRACE(w.co);
        std::string poKliknieciu;
        {
            Instalator mysz;
            Przygotuj(mysz, w.widok);
            w.klik(mysz);
            poKliknieciu = Obraz(mysz);
        }
        Instalator klawisz;
        Przygotuj(klawisz, w.widok);
        const std::string przed = Obraz(klawisz);
        TControl* cel = w.kontrolka(klawisz);
        EXPECT_TRUE(FormMain->ZdarzenieKlawiszaDostepu(w.klawisz));
        EXPECT_NE(Obraz(klawisz), przed);
        EXPECT_EQ(Obraz(klawisz), poKliknieciu);
        if (klawisz.glowne->Visible && cel->MozeMiecFokus()) {
            EXPECT_EQ(klawisz.glowne->ActiveControl(), cel);
        }
    }
}

// A key whose control cannot take the focus now (hidden, disabled, covered
// by the completion view, or no control's letter on this view), and AltGr
// with any letter, change nothing.
TEST(Instal, AnAccessKeyIsRefusedWhereItsControlCannotTakeTheFocus) {
    struct Wiersz {
        const char* co;
        Widok widok;
        char16_t klawisz;
        TModyfikatory modyfikatory;
        std::function<void(Instalator&)> przedtem;
    };
    const TModyfikatory alt{.lewyAlt = true};
    const auto nic = [](Instalator&) {};
    const Wiersz tabela[] = {
        {"the choice before the presentation enables it", Widok::Licencja, u'a', alt,
         [](Instalator& s) { s.glowne->RGAkceptacja->Enabled = false; }},
        {"Instaluj under the licence page", Widok::Licencja, u'i', alt, nic},
        {"Uruchom before an installation", Widok::Strona, u'r', alt, nic},
        {"removal while disabled", Widok::Strona, u'u', alt, [](Instalator& s) { s.f().BBDeinstal->Enabled = false; }},
        {"the folder under the completion view", Widok::Koniec, u'f', alt, nic},
        {"a shortcut box under the completion view", Widok::Koniec, u'p', alt, nic},
        {"Akceptuję on the installation page", Widok::Strona, u'n', alt, nic},
        {"AltGr as Ctrl with Alt: ą", Widok::Licencja, u'a', {.lewyAlt = true, .ctrl = true}, nic},
        {"AltGr as the right Alt: ą", Widok::Licencja, u'a', {.prawyAlt = true}, nic},
        {"AltGr reported with both Alts: ż", Widok::Strona, u'z', {.lewyAlt = true, .prawyAlt = true}, nic},
    };
    for (const Wiersz& w : tabela) {
        SCOPED_TRACE(w.co);
        Instalator s;
        Przygotuj(s, w.widok);
        w.przedtem(s);
        const std::string przed = Obraz(s);
        const TControl* fokus = s.glowne->ActiveControl();
        EXPECT_FALSE(FormMain->ZdarzenieKlawiszaDostepu(w.klawisz, w.modyfikatory));
        EXPECT_EQ(Obraz(s), przed);
        EXPECT_EQ(s.glowne->ActiveControl(), fokus);
    }
}

// The notice's "Ok" takes Alt+O and ends the notice as its click does.
TEST(Instal, TheNoticesOkTakesItsAccessKey) {
    Instalator s;
    s.Utworz();
    bool przyjety = false;
    s.zaplecze.przyPetliModalnej = [&](TForm& okno) { przyjety = okno.ZdarzenieKlawiszaDostepu(u'o'); };
    PokazKomunikat(u"Uwaga!", u"Instalacja przerwana.", u"");
    EXPECT_TRUE(przyjety);
    EXPECT_EQ(s.zaplecze.modalne.size(), 1u);
}

// "Usunięcie instalacji" pressed from the keyboard disables itself: the
// focus goes on to a control that can hold it, and Tab still moves it.
TEST(Instal, TheKeyboardGoesOnAfterTheRemovalDisablesItsButton) {
    Instalator s;
    Przygotuj(s, Widok::Koniec);
    ASSERT_TRUE(FormMain->ZdarzenieKlawiszaDostepu(u'u'));
    ASSERT_FALSE(s.f().BBDeinstal->Enabled);
    ASSERT_FALSE(FormMain->PanelKoniec->Visible);
    ASSERT_NE(FormMain->ActiveControl(), nullptr);
    EXPECT_TRUE(FormMain->ActiveControl()->MozeMiecFokus());
    std::vector<std::string> droga{FormMain->ActiveControl()->Name};
    for (int i = 0; i < 2; ++i) {
        EXPECT_TRUE(FormMain->ZdarzenieKlawisza(TKlawisz::Tab));
        droga.push_back(FormMain->ActiveControl() ? FormMain->ActiveControl()->Name : "");
    }
    EXPECT_EQ(droga, (std::vector<std::string>{"BBWstecz", "BBClose", "BBInstal"}));
}
