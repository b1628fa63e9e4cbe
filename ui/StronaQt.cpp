#include "StronaQt.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <algorithm>

#include "Aplikacja.h"
#include "ArkMain.h"
#include "DialQst2.h"
#include "Instal.h"
#include "Uslugi.h"

StronaQt::StronaQt(TFormInstal& formularz, UslugiInterfejsu& uslugi)
    : f_(formularz), uslugi_(uslugi) {}

StronaQt::~StronaQt() = default;

void StronaQt::UstawTytul(const std::u16string& tekst) {
    FormMain->LabelInfo->setText(QString::fromStdU16String(tekst));
}

void StronaQt::UstawMaksimumPaska(std::int32_t maksimum) {
    // A range of 0..0 would turn the bar into a busy indicator; an unknown
    // length shows an empty bar instead.
    f_.ProgressBar1->setRange(0, std::max<std::int32_t>(maksimum, 1));
    if (maksimum <= 0) f_.ProgressBar1->setValue(0);
}

void StronaQt::UstawPozycjePaska(std::int32_t pozycja) {
    // Qt ignores a value outside the range; the bar is held at its ends instead.
    f_.ProgressBar1->setValue(
        std::clamp(pozycja, f_.ProgressBar1->minimum(), f_.ProgressBar1->maximum()));
}

void StronaQt::PompujKomunikaty() { uslugi_.petla.Pompuj(); }

void StronaQt::Informacja(const std::u16string& tytul, const std::u16string& tekst) {
    ::Informacja(nullptr, tekst, tytul, 0);
}

void StronaQt::KomunikatSystemowy(const std::u16string& tekst) {
    KomunikatStandardowy(QString::fromStdU16String(tekst));
}

bool StronaQt::PrzegladajWlaczony() const {
    return zablokowane_ ? przegladajWlaczony_ : f_.SBPrzegladaj->isEnabled();
}

bool StronaQt::SkrotNaPulpicieZaznaczony() const { return f_.CBSkrotPulpit->isChecked(); }
bool StronaQt::SkrotWMenuStartZaznaczony() const { return f_.CBSkrotMenuStart->isChecked(); }
void StronaQt::ZaznaczSkrotNaPulpicie(bool z) { f_.CBSkrotPulpit->setChecked(z); }
void StronaQt::ZaznaczSkrotWMenuStart(bool z) { f_.CBSkrotMenuStart->setChecked(z); }

void StronaQt::WlaczDeinstalacje(bool wlaczony) {
    if (zablokowane_)
        deinstalWlaczony_ = wlaczony;
    else
        f_.BBDeinstal->setEnabled(wlaczony);  // the hint follows (UstawPodpowiedz)
}

void StronaQt::UstawPrzyciskInstalacji(const std::u16string& napis,
                                       const std::u16string& podpowiedz) {
    f_.BBInstal->setText(QString::fromStdU16String(napis));
    UstawPodpowiedz(f_.BBInstal, QString::fromStdU16String(podpowiedz));
}

void StronaQt::UstawEtykieteFolderu(const std::u16string& napis) {
    f_.LabelFolder->setText(QString::fromStdU16String(napis));
}

bool StronaQt::KoniecWidoczny() const { return !FormMain->PanelKoniec->isHidden(); }

void StronaQt::PokazKoniec() {
    FormMain->PanelKoniec->show();
    FormMain->PanelKoniec->raise();
}

void StronaQt::UkryjKoniec() { FormMain->PanelKoniec->hide(); }

void StronaQt::RGAkceptacjaClick() { FormMain->RGAkceptacjaClick(); }

void StronaQt::ZamknijFormularzStrony() { f_.close(); }

void StronaQt::ZablokujPrzyciskiStrony(bool zablokowane) {
    if (zablokowane == zablokowane_) return;
    if (zablokowane) {
        instalWlaczony_ = f_.BBInstal->isEnabled();
        deinstalWlaczony_ = f_.BBDeinstal->isEnabled();
        wsteczWlaczony_ = f_.BBWstecz->isEnabled();
        przegladajWlaczony_ = f_.SBPrzegladaj->isEnabled();
        zablokowane_ = true;
        // A disabled button hands the keyboard focus to the next control in
        // the tab order (the drive text, which then shows selected); give it
        // to "Zamknij" instead, the one button that still works.
        fokusPrzedBlokada_ = f_.BBClose->window()->focusWidget();
        const QWidget* blokowane[] = {f_.BBInstal, f_.BBDeinstal, f_.BBWstecz, f_.SBPrzegladaj};
        if (std::find(std::begin(blokowane), std::end(blokowane), fokusPrzedBlokada_.data()) !=
            std::end(blokowane))
            f_.BBClose->setFocus();
        for (QWidget* w : {static_cast<QWidget*>(f_.BBInstal), static_cast<QWidget*>(f_.BBDeinstal),
                           static_cast<QWidget*>(f_.BBWstecz),
                           static_cast<QWidget*>(f_.SBPrzegladaj)})
            w->setEnabled(false);
    } else {
        zablokowane_ = false;
        f_.BBInstal->setEnabled(instalWlaczony_);
        f_.BBDeinstal->setEnabled(deinstalWlaczony_);
        f_.BBWstecz->setEnabled(wsteczWlaczony_);
        f_.SBPrzegladaj->setEnabled(przegladajWlaczony_);
        if (fokusPrzedBlokada_ && fokusPrzedBlokada_->isEnabled() && fokusPrzedBlokada_->isVisible())
            fokusPrzedBlokada_->setFocus();
    }
}

bool StronaQt::ZamkniecieZadane() const { return zamkniecieZadane_; }

void StronaQt::ObserwujOknoGlowne(QWidget* okno) { okno->installEventFilter(this); }

bool StronaQt::eventFilter(QObject* obiekt, QEvent* zdarzenie) {
    if (zdarzenie->type() == QEvent::Close && zablokowane_ && obiekt == FormMain) {
        // The window must outlive the transfer that runs inside one of its
        // handlers: note the wish, stop the transfer, close afterwards.
        zamkniecieZadane_ = true;
        zdarzenie->ignore();
        return true;
    }
    return QObject::eventFilter(obiekt, zdarzenie);
}
