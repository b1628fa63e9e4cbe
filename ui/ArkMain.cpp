#include "ArkMain.h"

#include "Aplikacja.h"
#include "Producent.h"
#include "ProjektFormy.h"
#include "platform/Sciezki.h"

TFormMain* FormMain = nullptr;

TFormMain::TFormMain(UslugiInterfejsu& uslugi) : TForm("FormMain"), uslugi_(uslugi) {
    if (!FormMain) FormMain = this;
    Glowna = true;
    if (Application && !Application->MainForm) Application->MainForm = this;
    Projekt();
    Realizuj();
    FormCreate();
}

TFormMain::~TFormMain() {
    if (FormMain == this) FormMain = nullptr;
}

// The window as designed, before its creation handler runs. One row per
// control in declaration order: a later control lies over an earlier one,
// and among the controls that take the focus the order is the tab order.
void TFormMain::Projekt() {
    Caption = u"Warunki licencji";
    Color = clBtnFace;
    Font = Pismo(13);
    Position = TPozycjaFormy::poScreenCenter;
    SetClientSize(730, 360);

    PanelInfo = Kontrolka<TPanel>(*this, this, "PanelInfo", {.miejsce = {0, 0, 730, 30}, .kolor = clBtnFace});
    Image9 = Kontrolka<TImage>(*this, PanelInfo, "Image9",
        {.miejsce = {0, 0, 730, 30}, .obraz = u"pasek_tytulu.jpg", .rozciagniety = true});
    LabelInfo = Kontrolka<TLabel>(*this, PanelInfo, "LabelInfo",
        {.miejsce = {31, 4}, .napis = u"Warunki licencji", .czcionka = Pismo(19, clBlue)});
    Image6 = Kontrolka<TImage>(*this, this, "Image6",
        {.miejsce = {0, 30, 730, 330}, .obraz = u"tlo.jpg", .rozciagniety = true});
    PanelLic = Kontrolka<TPanel>(*this, this, "PanelLic", {.miejsce = {0, 32, 730, 330}, .kolor = clBtnFace});
    PanelKoniec = Kontrolka<TPanel>(*this, this, "PanelKoniec",
        {.miejsce = {0, 32, 730, 288}, .kolor = clBtnFace, .widoczny = false});
    Timer1 = UtworzSkladnik<TTimer>("Timer1");
    Timer1->Interval = 100;
    SDFile1 = std::make_unique<TSaveDialog>(*this);

    // On PanelKoniec.
    LabelKoniec = Kontrolka<TLabel>(*this, PanelKoniec, "LabelKoniec",
        {.miejsce = {227, 199}, .napis = u"Program jest gotowy do pracy.",
         .czcionka = Pismo(21, clMaroon, false, false, u"Arial")});
    Image7 = Kontrolka<TImage>(*this, PanelKoniec, "Image7", {.miejsce = {218, 81, 300, 100}, .obraz = u"koniec1.jpg"});
    Image8 = Kontrolka<TImage>(*this, PanelKoniec, "Image8",
        {.miejsce = {170, 81, 400, 100}, .widoczny = false, .obraz = u"koniec2.jpg"});

    // On PanelLic, the licence page.
    LabelHttp = Kontrolka<TLabel>(*this, PanelLic, "LabelHttp", {.miejsce = {532, 297}, .napis = u"Http", .widoczny = false});
    Label5 = Kontrolka<TLabel>(*this, PanelLic, "Label5", {.miejsce = {531, 264}, .napis = u"Styczeń 2020"});
    RGAkceptacja = Kontrolka<TRadioGroup>(*this, PanelLic, "RGAkceptacja",
        {.miejsce = {8, 246, 122, 76}, .napis = u"-", .kolorRodzica = true, .wlaczony = false,
         .elementy = {u"&Akceptuję", u"&Nie akceptuję"}});
    GroupBox1 = Kontrolka<TGroupBox>(*this, PanelLic, "GroupBox1",
        {.miejsce = {523, 3, 183, 85}, .napis = u"Producent", .kolorRodzica = true});
    // The maker's studio name: a static text in the group's colour, drawn
    // without a background of its own so that the group's face shows.
    StaticTextStudio = Kontrolka<TLabel>(*this, GroupBox1, "StaticTextStudio",
        {.miejsce = {11, 18}, .napis = PRODUCENT_NAZWA, .czcionka = Pismo(13, clTeal), .kolorRodzica = true});
    Image1 = Kontrolka<TImage>(*this, GroupBox1, "Image1",
        {.miejsce = {36, 40, 112, 36}, .kursor = TCursor::crHandPoint, .obraz = u"kvtek_logo.jpg"});
    Image2 = Kontrolka<TImage>(*this, GroupBox1, "Image2",
        {.miejsce = {12, 36, 117, 41}, .widoczny = false, .kursor = TCursor::crHandPoint, .obraz = u"kvtek_logo2.jpg"});
    GroupBox2 = Kontrolka<TGroupBox>(*this, PanelLic, "GroupBox2",
        {.miejsce = {523, 90, 183, 100}, .napis = u"Kontakt", .kolorRodzica = true});
    LabelWWW = Kontrolka<TLabel>(*this, GroupBox2, "LabelWWW",
        {.miejsce = {17, 18}, .napis = PRODUCENT_WWW_NAPIS, .czcionka = Pismo(13, clNavy, false, true),
         .kursor = TCursor::crHandPoint});
    LabelTelefon1 = Kontrolka<TLabel>(*this, GroupBox2, "LabelTelefon1",
        {.miejsce = {17, 38}, .napis = PRODUCENT_TELEFON1, .czcionka = Pismo(13, clNavy)});
    LabelTelefon2 = Kontrolka<TLabel>(*this, GroupBox2, "LabelTelefon2",
        {.miejsce = {17, 57}, .napis = PRODUCENT_TELEFON2, .czcionka = Pismo(13, clNavy)});
    // A static text over the top edge of RGAkceptacja, where the group's own caption is drawn.
    StaticText3 = Kontrolka<TLabel>(*this, PanelLic, "StaticText3",
        {.miejsce = {15, 245}, .napis = u"Wybór:", .kolorRodzica = true, .przezroczysta = false});
    GroupBox3 = Kontrolka<TGroupBox>(*this, PanelLic, "GroupBox3",
        {.miejsce = {523, 196, 183, 47}, .napis = u"Pomoc techniczna", .kolorRodzica = true});
    LabelEmail = Kontrolka<TLabel>(*this, GroupBox3, "LabelEmail", {.miejsce = {11, 20}, .napis = PRODUCENT_EMAIL});
    BitBtn1 = Kontrolka<TButton>(*this, PanelLic, "BitBtn1",
        {.miejsce = {655, 295, 65, 25}, .napis = u"&Zamknij", .podpowiedz = u"Koniec pracy Instalatora."});
    GroupBox4 = Kontrolka<TGroupBox>(*this, PanelLic, "GroupBox4",
        {.miejsce = {138, 246, 373, 76}, .napis = u"Dane użytkownika", .kolorRodzica = true});
    LabelNazwa = Kontrolka<TLabel>(*this, GroupBox4, "LabelNazwa", {.miejsce = {10, 23}, .napis = u"Nazwa"});
    LabelMail = Kontrolka<TLabel>(*this, GroupBox4, "LabelMail", {.miejsce = {11, 47}, .napis = u"e-mail"});
    EditNazwa = Kontrolka<TEdit>(*this, GroupBox4, "EditNazwa", {.miejsce = {62, 20, 302, 24}, .kolor = clWindow});
    EditMail = Kontrolka<TEdit>(*this, GroupBox4, "EditMail", {.miejsce = {62, 47, 302, 21}, .kolor = clWindow});
    ListBox1 = Kontrolka<TListBox>(*this, PanelLic, "ListBox1", {.miejsce = {8, 9, 509, 231}, .kolor = clWindow});
    ListBox1->ItemHeight = 16;

    // Events.
    Timer1->OnTimer = [this] { Timer1Timer(); };
    RGAkceptacja->OnClick = [this] { RGAkceptacjaClick(); };
    BitBtn1->OnClick = [this] { BitBtn1Click(); };
    for (TControl* odnosnik : {static_cast<TControl*>(Image1), static_cast<TControl*>(Image2),
                               static_cast<TControl*>(LabelWWW)})
        odnosnik->OnClick = [this] { LabelWWWClick(); };
    for (TControl* tlo : {static_cast<TControl*>(this), static_cast<TControl*>(PanelKoniec),
                          static_cast<TControl*>(PanelLic), static_cast<TControl*>(GroupBox1),
                          static_cast<TControl*>(GroupBox2), static_cast<TControl*>(GroupBox3),
                          static_cast<TControl*>(Image9), static_cast<TControl*>(LabelInfo)})
        tlo->OnMouseDown = [this](TControl& nadawca, TMouseButton przycisk, int x, int y) {
            FormMouseDown(nadawca, przycisk, x, y);
        };
}

void TFormMain::FormCreate() {
    KontekstInstalacji& k = uslugi_.kontekst;

    // 1. Images.
    Image1->Visible = true;
    Image7->Visible = true;
    Image2->Visible = false;
    Image8->Visible = false;

    // 2. User data: disabled and silver for the whole run.
    EditNazwa->Enabled = false;
    EditMail->Enabled = false;
    EditNazwa->Color = clSilver;
    EditMail->Color = clSilver;

    // 3.
    LabelHttp->Visible = true;

    // 4. The HTTP client comes with the services: the program entry makes it.

    // 5.
    LabelInfo->Caption = u"Warunki licencji - wersja demonstracyjna";

    // 6. Fixed names.
    k.WersjaProgramu = u"8.0";
    k.KoncowkaSkrotu = u" 8.lnk";
    k.NazwaKatalogu = u"Kavrostel8";
    k.PlikProgramu = u"Kavrostel";
    k.NazwaProgramu = k.PlikProgramu;
    k.PlikProgramu = u"_" + k.PlikProgramu;
    k.FolderBDE = u"Sterowniki\\BDE";

    // 7.
    k.FolderInstalatora = platforma::FolderPliku(uslugi_.powloka.SciezkaProgramu());

    // 8.
    k.FolderPulpitu = uslugi_.powloka.FolderSpecjalny(platforma::CSIDL_PULPIT);
    k.FolderMenuProgramy = uslugi_.powloka.FolderSpecjalny(platforma::CSIDL_PROGRAMY);

    // 9. DyskInstalacji is still empty: the page that sets it does not exist yet.
    k.FolderInstalacji = k.DyskInstalacji + u"\\KV-Tek\\" + k.NazwaKatalogu;

    // 10. Corners rounded by 40 x 40 ellipses over the design size.
    Zaokraglenie = TRozmiar{40, 40};
}

std::u16string TFormMain::LokalizacjaFolderu(const std::u16string& nazwaPliku) {
    // The installer only asks with an empty name; a name is not looked up
    // either, so the answer is the current drive in every case.
    (void)nazwaPliku;
    return uslugi_.kontekst.DyskInstalacji;
}

// The move always belongs to the main window, whichever control was pressed.
void TFormMain::FormMouseDown(TControl&, TMouseButton przycisk, int, int) {
    if (przycisk == TMouseButton::mbLeft) Przeciagnij();
}

void TFormMain::LabelWWWClick() { uslugi_.powloka.OtworzAdres(PRODUCENT_WWW); }

void TFormMain::BitBtn1Click() { Close(); }
