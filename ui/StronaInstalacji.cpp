// The installation page as the installing core sees it (Strona.h): the
// page's controls and the main window's title line, completion view and
// notices, and the lock that a download holds on the page's buttons.
#include <algorithm>

#include "Aplikacja.h"
#include "ArkMain.h"
#include "DialQst2.h"
#include "Instal.h"

void TFormInstal::UstawTytul(const std::u16string& tekst) { FormMain->LabelInfo->Caption = tekst; }

void TFormInstal::UstawMaksimumPaska(std::int32_t maksimum) { ProgressBar1->Max = maksimum; }

void TFormInstal::UstawPozycjePaska(std::int32_t pozycja) { ProgressBar1->Position = pozycja; }

void TFormInstal::PompujKomunikaty() { Application->ProcessMessages(); }

void TFormInstal::Informacja(const std::u16string& tytul, const std::u16string& tekst) {
    ::Informacja(nullptr, tekst, tytul, 0);
}

void TFormInstal::KomunikatSystemowy(const std::u16string& tekst) {
    Application->Zaplecze().KomunikatStandardowy(Application->Title(), tekst);
}

bool TFormInstal::PrzegladajWlaczony() const {
    return zablokowane_ ? wlaczonePrzedBlokada_[MiejsceWBlokadzie(SBPrzegladaj)] : SBPrzegladaj->Enabled();
}

bool TFormInstal::SkrotNaPulpicieZaznaczony() const { return CBSkrotPulpit->Checked; }
bool TFormInstal::SkrotWMenuStartZaznaczony() const { return CBSkrotMenuStart->Checked; }
void TFormInstal::ZaznaczSkrotNaPulpicie(bool zaznaczony) { CBSkrotPulpit->Checked = zaznaczony; }
void TFormInstal::ZaznaczSkrotWMenuStart(bool zaznaczony) { CBSkrotMenuStart->Checked = zaznaczony; }

// The hint is shown exactly while the button is enabled (the model's rule).
void TFormInstal::WlaczDeinstalacje(bool wlaczony) {
    if (zablokowane_)
        wlaczonePrzedBlokada_[MiejsceWBlokadzie(BBDeinstal)] = wlaczony;
    else
        BBDeinstal->Enabled = wlaczony;
}

// The captions the install button is given, with their access keys: Alt+I
// installs, Alt+R starts the installed program ("U" is the removal's).
void TFormInstal::UstawPrzyciskInstalacji(const std::u16string& napis, const std::u16string& podpowiedz) {
    static const std::pair<std::u16string_view, std::u16string_view> zKlawiszem[] = {
        {u"Instaluj", u"&Instaluj"}, {u"Uruchom", u"U&ruchom"}};
    const auto it = std::find_if(std::begin(zKlawiszem), std::end(zKlawiszem),
                                 [&](const auto& para) { return para.first == napis; });
    BBInstal->Caption = it != std::end(zKlawiszem) ? std::u16string(it->second) : napis;
    BBInstal->Hint = podpowiedz;
}

void TFormInstal::UstawEtykieteFolderu(const std::u16string& napis) { LabelFolder->Caption = napis; }

bool TFormInstal::KoniecWidoczny() const { return FormMain->PanelKoniec->Visible; }

void TFormInstal::PokazKoniec() {
    FormMain->PanelKoniec->Visible = true;
    FormMain->PanelKoniec->BringToFront();
}

void TFormInstal::UkryjKoniec() { FormMain->PanelKoniec->Visible = false; }

void TFormInstal::RGAkceptacjaClick() { FormMain->RGAkceptacjaClick(); }

void TFormInstal::ZamknijFormularzStrony() { Close(); }

// While a download runs inside one of the page's handlers, the pumps run
// other handlers: the install, removal, back and folder buttons take no
// clicks then, so that no second transfer starts and the page cannot go away
// under the first. The keyboard focus goes to the window itself, where no key
// starts or ends anything (a focused "Zamknij" would end the installer at one
// Space); afterwards every button gets back its state and the focus returns.
void TFormInstal::ZablokujPrzyciskiStrony(bool zablokowane) {
    if (zablokowane == zablokowane_) return;
    if (zablokowane) {
        for (std::size_t i = 0; i < blokowane_.size(); ++i) wlaczonePrzedBlokada_[i] = blokowane_[i]->Enabled;
        fokusPrzedBlokada_ = FormMain->ActiveControl;
        zablokowane_ = true;
        FormMain->ActiveControl = nullptr;
        for (TButton* b : blokowane_) b->Enabled = false;
    } else {
        zablokowane_ = false;
        for (std::size_t i = 0; i < blokowane_.size(); ++i) blokowane_[i]->Enabled = wlaczonePrzedBlokada_[i];
        // Given back unless the user has put the focus somewhere meanwhile.
        if (fokusPrzedBlokada_ && !FormMain->ActiveControl() && fokusPrzedBlokada_->Dostepna())
            FormMain->ActiveControl = fokusPrzedBlokada_;
        fokusPrzedBlokada_ = nullptr;
    }
}

std::size_t TFormInstal::MiejsceWBlokadzie(const TButton* przycisk) const {
    return static_cast<std::size_t>(std::find(blokowane_.begin(), blokowane_.end(), przycisk) -
                                    blokowane_.begin());
}

// The window must outlive the transfer that runs inside one of its handlers:
// the wish is noted, the transfer stops at its next question, and the window
// closes once the handler is back (WykonajKrok).
void TFormInstal::ZapytanieOZamkniecie(bool& moznaZamknac) {
    if (!zablokowane_) return;
    zamkniecieZadane_ = true;
    moznaZamknac = false;
}
