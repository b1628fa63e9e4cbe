// The installation page: its design, its creation and its handlers, and the
// main window's acceptance handler that shows and prepares it.
#include "Instal.h"

#include <algorithm>

#include "Aplikacja.h"
#include "ArkMain.h"
#include "Deinstalacja.h"
#include "DialQst2.h"
#include "Instalacja.h"
#include "Prezentacja.h"
#include "ProjektFormy.h"
#include "platform/Sciezki.h"
#include "platform/Tekst.h"

TFormInstal* FormInstal = nullptr;

namespace {

// The largest height, up to the button's own, at which the caption fits the
// button: the substitute of "MS Sans Serif" where it is missing may draw it
// wider than the design allowed for. A button needs 16 pixels beside its text.
void CzcionkaNaSzerokosc(TButton& przycisk) {
    TFont czcionka = przycisk.Font;
    while (czcionka.Height > 9 &&
           przycisk.ZmierzNapis(czcionka, NapisWidoczny(przycisk.Caption), 0).Width + 16 > przycisk.Width)
        --czcionka.Height;
    przycisk.Font = czcionka;
}

// A check box as wide as its box and caption need, at least its design width:
// the substitute font may draw the caption wider than the design allowed for.
// The box and the gap beside the caption take 22 pixels.
void SzerokoscNaNapis(TCheckBox& pole) {
    const int potrzebna = pole.ZmierzNapis(pole.Font, NapisWidoczny(pole.Caption), 0).Width + 22;
    if (potrzebna > pole.Width) pole.Width = potrzebna;
}

}  // namespace

TFormInstal::TFormInstal(UslugiInterfejsu& uslugi) : TForm("FormInstal"), uslugi_(uslugi) {
    FormInstal = this;
    Projekt();
    Realizuj();
    FormCreate();
    // The main window closes only after a download running inside one of this
    // page's handlers has stopped (see ZablokujPrzyciskiStrony).
    FormMain->OnCloseQuery = [this](bool& moznaZamknac) { ZapytanieOZamkniecie(moznaZamknac); };
}

TFormInstal::~TFormInstal() {
    if (FormMain) FormMain->OnCloseQuery = nullptr;
    if (FormInstal == this) FormInstal = nullptr;
}

// The page as designed, before FormCreate. One row per control in
// declaration order, which is also the page's tab order; positions are
// relative to PanelInstalacji.
void TFormInstal::Projekt() {
    Caption = u"Instalacja";
    Color = clBtnFace;
    Font = Pismo(13);
    SetClientSize(740, 364);

    PanelInstalacji = Kontrolka<TPanel>(*this, this, "PanelInstalacji",
        {.miejsce = {0, 34, 740, 330}, .kolorRodzica = true, .widoczny = false, .tloRodzica = true});
    TPanel* p = PanelInstalacji;

    SBPrzegladaj = Kontrolka<TButton>(*this, p, "SBPrzegladaj",
        {.miejsce = {14, 259, 187, 22}, .napis = u"Zmiana &folderu instalacji   >>", .wlaczony = false});
    LabelFolder = Kontrolka<TLabel>(*this, p, "LabelFolder",
        {.miejsce = {323, 260, 158, 20}, .czcionka = Pismo(16), .autoRozmiar = false});
    Image2 = Kontrolka<TImage>(*this, p, "Image2", {.miejsce = {397, 7, 103, 70}, .obraz = u"rysunek.jpg", .rozciagniety = true});
    Image3 = Kontrolka<TImage>(*this, p, "Image3", {.miejsce = {143, 7, 103, 70}, .obraz = u"folder_strzalka.jpg", .rozciagniety = true});
    Image4 = Kontrolka<TImage>(*this, p, "Image4", {.miejsce = {14, 7, 103, 70}, .obraz = u"folder.jpg", .rozciagniety = true});
    Image5 = Kontrolka<TImage>(*this, p, "Image5", {.miejsce = {272, 7, 103, 70}, .obraz = u"mapa_strzalka.jpg", .rozciagniety = true});
    Label3 = Kontrolka<TLabel>(*this, p, "Label3",
        {.miejsce = {32, 104, 72, 24}, .napis = u"Program", .czcionka = Pismo(19, clMaroon), .widoczny = false});
    RGWersja = Kontrolka<TRadioGroup>(*this, p, "RGWersja",
        {.miejsce = {14, 78, 487, 53}, .kolorRodzica = true, .wlaczony = false,
         .elementy = {u"Kavrostel Sterowany", u"Kavrostel"}});
    Edit1 = Kontrolka<TEdit>(*this, p, "Edit1",
        {.miejsce = {212, 257, 100, 22}, .napis = u"C:", .czcionka = Pismo(16), .kolor = clInfoBk,
         .wlaczony = false, .tylkoDoOdczytu = true});
    CBSkrotPulpit = Kontrolka<TCheckBox>(*this, p, "CBSkrotPulpit",
        {.miejsce = {556, 36, 160, 17}, .napis = u"Skrót na &Pulpicie", .czcionka = Pismo(13, clWindowText, true),
         .kolorRodzica = true, .zaznaczony = true});
    CBSkrotMenuStart = Kontrolka<TCheckBox>(*this, p, "CBSkrotMenuStart",
        {.miejsce = {556, 56, 160, 17}, .napis = u"Skrót w &Menu Start", .czcionka = Pismo(13, clWindowText, true),
         .kolorRodzica = true, .zaznaczony = true});
    BBWstecz = Kontrolka<TButton>(*this, p, "BBWstecz",
        {.miejsce = {14, 289, 100, 30}, .napis = u"<< &Wstecz", .podpowiedz = u"Powrót do warunków licencji",
         .czcionka = Pismo(16)});
    BBClose = Kontrolka<TButton>(*this, p, "BBClose",
        {.miejsce = {633, 289, 80, 30}, .napis = u"&Zamknij", .podpowiedz = u"Koniec pracy Instalatora.",
         .czcionka = Pismo(16)});
    BBInstal = Kontrolka<TButton>(*this, p, "BBInstal",
        {.miejsce = {243, 289, 204, 30}, .napis = u"&Instaluj zaznaczone", .czcionka = Pismo(19, clNavy),
         .wlaczony = false});
    BBDeinstal = Kontrolka<TButton>(*this, p, "BBDeinstal",
        {.miejsce = {450, 289, 162, 30}, .napis = u"&Usunięcie instalacji",
         .podpowiedz = u"Ponowna instalacja nie wymaga usuwania poprzedniej wersji programu.",
         .czcionka = Pismo(16), .wlaczony = false});
    ProgressBar1 = Kontrolka<TProgressBar>(*this, p, "ProgressBar1", {.miejsce = {14, 235, 534, 13}});
    RGBit = Kontrolka<TRadioGroup>(*this, p, "RGBit",
        {.miejsce = {522, 81, 185, 50}, .napis = u"Wersja", .kolorRodzica = true, .wlaczony = false,
         .elementy = {u"32-bit", u"64-bit"}, .kolumny = 2, .wybrany = 1});

    CzcionkaNaSzerokosc(*SBPrzegladaj);
    SzerokoscNaNapis(*CBSkrotPulpit);
    SzerokoscNaNapis(*CBSkrotMenuStart);
    blokowane_ = {BBInstal, BBDeinstal, BBWstecz, SBPrzegladaj};

    // Events.
    RGWersja->OnClick = [this] { RGWersjaClick(); };
    Edit1->OnChange = [this] { Edit1Change(); };
    SBPrzegladaj->OnClick = [this] { SBPrzegladajClick(); };
    BBWstecz->OnClick = [this] { BBWsteczClick(); };
    BBClose->OnClick = [this] { BBCloseClick(); };
    BBInstal->OnClick = [this] { BBInstalClick(); };
    BBDeinstal->OnClick = [this] { BBDeinstalClick(); };
}

void TFormInstal::FormCreate() {
    KontekstInstalacji& k = uslugi_.kontekst;
    // 1.
    k.FolderPakietu = u"KV-Tek";
    // 2.
    RGWersja->Visible = false;
    // 3.
    Label3->Caption = u"Kavrostel Sterowany";
    Label3->Visible = true;
    // 4.
    RGWersja->ItemIndex = -1;
    RGWersja->Enabled = true;
    // 5.
    k.DyskInstalacji = Edit1->Text;
    // 6.
    LabelFolder->Caption = u"\\" + k.FolderPakietu + u"\\" + k.NazwaKatalogu;
    // 7.
    FormMain->SDFile1->InitialDir = u"C:";
    // 8. The hint follows the enabled state.
    BBDeinstal->Enabled = JestPoprzedniaInstalacja();
    // 9. Onto the main window, still hidden.
    PanelInstalacji->SetParent(FormMain);
}

bool TFormInstal::JestPoprzedniaInstalacja() {
    const KontekstInstalacji& k = uslugi_.kontekst;
    return uslugi_.pliki.PlikIstnieje(SkrotNaPulpicie(k)) ||
           uslugi_.pliki.PlikIstnieje(SkrotWMenuStart(k)) ||
           uslugi_.pliki.PlikIstnieje(PlikProgramuInstalacji(k));
}

void TFormInstal::RGWersjaClick() {
    KontekstInstalacji& k = uslugi_.kontekst;
    const bool zaakceptowano = FormMain->RGAkceptacja->ItemIndex == 0;
    const bool wybrany = RGWersja->ItemIndex >= 0;
    // 1., 2. Fresh names, so that running the handler twice adds one underscore.
    if (RGWersja->ItemIndex == 0) {
        k.PlikProgramu = u"Kavrostel";
        k.NazwaProgramu = u"Kavrostel";
    }
    // 3.
    Edit1->Enabled = zaakceptowano && wybrany;
    SBPrzegladaj->Enabled = zaakceptowano && wybrany;
    // 4.
    k.PlikProgramu = u"_" + k.PlikProgramu;
    k.NazwaProgramu = u"_" + k.NazwaProgramu;
    // 5. The hint follows the enabled state.
    BBDeinstal->Enabled = JestPoprzedniaInstalacja();
    // 6.
    FormMain->LabelInfo->Caption = u"Instalacja programu Vestra " + k.PlikProgramu + u" " + k.WersjaProgramu;
    // 7.
    BBInstal->Enabled = !k.PlikProgramu.empty() && zaakceptowano && wybrany;
    // 8.
    if (BBInstal->Visible && BBInstal->Enabled) FormMain->ActiveControl = BBInstal;
}

void TFormInstal::Edit1Change() {
    KontekstInstalacji& k = uslugi_.kontekst;
    // 1.
    k.DyskInstalacji = Edit1->Text;
    // 2.
    k.FolderInstalacji = ZlozonyFolderInstalacji(k);
    LabelFolder->Caption = u"\\" + k.FolderPakietu + u"\\" + k.NazwaKatalogu;
}

void TFormInstal::SBPrzegladajClick() {
    KontekstInstalacji& k = uslugi_.kontekst;
    // 1.
    TSaveDialog& dialog = *FormMain->SDFile1;
    dialog.Title = u"Wskaż folder instalacji";
    dialog.FileName = k.NazwaProgramu + u".exe";
    // 2. Nothing is ever written to the chosen file.
    if (!dialog.Execute()) return;
    // 3.
    const std::u16string folder = platforma::FolderPliku(dialog.FileName);
    // 4. The suite and product folders are added behind the chosen folder.
    if (platforma::ZawieraBezWielkosciLiter(folder, k.FolderPakietu))
        ::Informacja(nullptr,
                     u"Folder:  \"" + k.FolderPakietu + u"\" jest już domyślnym podkatalogiem instalacji.",
                     u"Uwaga!", 0);
    else
        Edit1->Text = folder;
    // 5. Whatever the field now holds, the refused case included.
    std::u16string tekst = Edit1->Text;
    if (!tekst.empty()) tekst = platforma::WielkaLiteraAscii(tekst[0]) + tekst.substr(1, 1024);
    Edit1->Text = tekst;
    const std::size_t n = tekst.size();
    if (n == 3) Edit1->Text = tekst.substr(0, 2);
    if (n > 10) {
        Edit1->Width = 10 * static_cast<int>(std::min<std::size_t>(n, 40));
        LabelFolder->Left = Edit1->Left + Edit1->Width + 5;
    }
}

void TFormInstal::BBWsteczClick() {
    if (FormMain->PanelKoniec->Visible) {
        FormMain->RGAkceptacjaClick();
        FormMain->PanelKoniec->Visible = false;
        return;
    }
    // 1.
    FormMain->LabelInfo->Caption = u"Warunki licencji - wersja demonstracyjna";
    // 2. Selecting no item runs no handler.
    RGWersja->ItemIndex = -1;
    FormMain->RGAkceptacja->ItemIndex = -1;
    // 3.
    PanelInstalacji->Visible = false;
    FormMain->PanelLic->Visible = true;
    // 4.
    SBPrzegladaj->Down = false;
}

void TFormInstal::BBCloseClick() { FormMain->Close(); }

Srodowisko TFormInstal::SrodowiskoStrony() {
    return Srodowisko{uslugi_.kontekst, *this,         uslugi_.pliki, uslugi_.powloka,
                      uslugi_.skroty,   uslugi_.http, uslugi_.adresSerwera};
}

// A close asked for while a download ran was deferred; it happens once the
// engine is back, also when the engine stopped with an error.
template <typename Krok>
void TFormInstal::WykonajKrok(Krok krok) {
    Srodowisko s = SrodowiskoStrony();
    try {
        krok(s);
    } catch (...) {
        if (zamkniecieZadane_) FormMain->Close();
        throw;
    }
    if (zamkniecieZadane_) FormMain->Close();
}

void TFormInstal::BBInstalClick() {
    WykonajKrok([](Srodowisko& s) { ::BBInstalClick(s); });
}

void TFormInstal::BBDeinstalClick() {
    WykonajKrok([](Srodowisko& s) { ::BBDeinstalClick(s); });
}

void TFormMain::RGAkceptacjaClick() {
    if (!FormInstal) return;  // no page to show yet
    TFormInstal& f = *FormInstal;
    KontekstInstalacji& k = uslugi_.kontekst;
    // 1.
    LabelInfo->Caption = RGAkceptacja->ItemIndex == 1 ? u"Nie zaakceptowano warunków licencji"
                                                       : u"Wybierz wersję instalacji";
    // 2.
    const bool zaakceptowano = RGAkceptacja->ItemIndex == 0;
    const bool pierwszePokazanie = !f.PanelInstalacji->Visible;
    // 3.
    PanelLic->Visible = false;
    f.PanelInstalacji->Visible = true;
    // 4.
    f.CBSkrotPulpit->Checked = true;
    f.CBSkrotMenuStart->Checked = true;
    f.CBSkrotPulpit->Enabled = zaakceptowano;
    f.CBSkrotMenuStart->Enabled = zaakceptowano;
    // 5.
    const bool gotowe = zaakceptowano && f.RGWersja->ItemIndex >= 0;
    f.Edit1->Enabled = gotowe;
    f.SBPrzegladaj->Enabled = gotowe;
    // 6.
    f.BBInstal->Caption = u"&Instaluj";
    f.BBInstal->Hint = u"Instalacja programu";
    f.BBInstal->Enabled = gotowe;
    // 7.
    if (!zaakceptowano) return;
    // 8. The switch of pages is painted.
    Application->ProcessMessages();
    // 9. The folder that earlier installations used by default; the text is fixed.
    if (uslugi_.pliki.FolderIstnieje(k.DyskInstalacji + u"\\Orveliane\\Vestra"))
        Informacja(nullptr, u"Zmiana domyślnego folderu instalacji na: C:\\KV-Tek.", u"Uwaga!", 0);
    // 10. Setting Edit1 to the text it has runs no Edit1Change.
    if (!uslugi_.pliki.FolderIstnieje(k.FolderInstalacji)) {
        f.Edit1->Text = LokalizacjaFolderu(u"");
        k.FolderInstalacji = f.Edit1->Text;
    }
    // 11. The program's name, where the hidden program group lies; selecting
    //     the item runs RGWersjaClick, and then it runs once more.
    if (pierwszePokazanie) {
        PrzesunKursor(NaEkranie(f.RGWersja->Left + 50,
                                (Height - ClientHeight()) + f.PanelInstalacji->Top + f.RGWersja->Top + 50),
                      100);
        f.RGWersja->ItemIndex = 0;
        f.RGWersjaClick();
    }
}
