#include "DialQst2.h"

#include <memory>

#include "Aplikacja.h"
#include "ProjektFormy.h"

TFormQst* FormQst = nullptr;

TFormQst::TFormQst() : TForm("FormQst") {
    Projekt();
    Realizuj();
}

TFormQst::~TFormQst() {
    if (FormQst == this) FormQst = nullptr;
}

// The box as designed: client area 465 x 108 inside a plain border of
// 3 pixels, so 471 x 114 in all, on the tooltip colour.
void TFormQst::Projekt() {
    BorderWidth = 3;
    Color = clInfoBk;
    Font = Pismo(17, clBlack);
    SetClientSize(465, 108);

    Panel1 = Kontrolka<TPanel>(*this, this, "Panel1", {.miejsce = {0, 0, 465, 17}, .kolor = clInfoBk});
    Label1 = Kontrolka<TLabel>(*this, this, "Label1",
        {.miejsce = {0, 17, 465, 20}, .zawijanie = true, .wyrownanie = TAlignment::taCenter});
    Panel2 = Kontrolka<TPanel>(*this, this, "Panel2", {.miejsce = {0, 37, 465, 5}, .kolor = clInfoBk});
    Label2 = Kontrolka<TLabel>(*this, this, "Label2",
        {.miejsce = {0, 42, 465, 20}, .zawijanie = true, .wyrownanie = TAlignment::taCenter});
    B1 = Kontrolka<TButton>(*this, this, "B1",
        {.miejsce = {190, 69, 80, 27}, .napis = u"&Ok", .glif = TGlif::Zatwierdzenie, .domyslny = true,
         .anulujacy = true});

    OnShow = [this] { FormShow(); };
    OnClose = [this] { FormClose(); };
    B1->OnClick = [this] { B1Click(); };
}

void TFormQst::UlozOdGory() {
    int gora = 0;
    for (TControl* k : {static_cast<TControl*>(Panel1), static_cast<TControl*>(Label1),
                        static_cast<TControl*>(Panel2), static_cast<TControl*>(Label2)}) {
        k->Top = gora;
        gora += k->Height;
    }
}

void TFormQst::FormShow() {
    // 1. The place, from the main window and the height the box has before
    //    the new layout (114 for a new box). The divisions truncate toward
    //    zero, as C++ integer division does.
    //    Places on the screen are the screen's pixels: the sizes are taken
    //    as the windows have them there.
    TProstokat nad = Application->Zaplecze().ObszarEkranu();
    if (const TForm* glowne = Application->MainForm) nad = glowne->MiejsceWidoku();
    const TProstokat box = MiejsceWidoku();
    const int lewo = nad.Left + (nad.Width - box.Width) / 2;
    const int gora = nad.Top + (nad.Height - box.Height) / 2 + Skaluj(15);
    // 2.
    const int wysokosc = Panel1->Height + Label1->Height + Panel2->Height + Label2->Height + B1->Height + 20;
    // 3.
    B1->Top = wysokosc - 40;
    // 4.
    SetBounds(lewo, gora, Width, wysokosc);
    // 5.
    B1->SetFocus();
    // 6.
    Zaokraglenie = TRozmiar{20, 20};
}

void TFormQst::B1Click() { Close(); }

void TFormQst::FormClose() {
    if (FormQst == this) FormQst = nullptr;
}

int Informacja(void*, const std::u16string& tekst, const std::u16string& tytul, unsigned) {
    PokazKomunikat(tytul, tekst, std::u16string());
    return mrOk;
}

void PokazKomunikat(const std::u16string& tytul, const std::u16string& linia1, const std::u16string& linia2) {
    // 1. A box on screen is asked to close; it goes when control is back in
    //    its own modal wait.
    if (FormQst && FormQst->Visible) FormQst->Close();
    // 2. The call that makes the box disposes of it.
    std::unique_ptr<TFormQst> nowy;
    if (!FormQst) {
        nowy = std::make_unique<TFormQst>();
        FormQst = nowy.get();
    }
    TFormQst& okno = *FormQst;
    // 3. The labels take their new heights at once.
    okno.Caption = tytul;
    okno.Label1->Caption = linia1;
    okno.Label2->Caption = linia2;
    okno.UlozOdGory();
    // 4.
    okno.B1->Caption = u"&Ok";
    okno.B1->Left = 190;
    okno.B1->Cancel = true;
    okno.B1->Default = true;
    // 5.
    if (okno.Visible) {
        okno.Repaint();
        return;
    }
    okno.ShowModal();  // FormClose empties FormQst as the box closes
}
