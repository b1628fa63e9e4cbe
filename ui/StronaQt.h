#pragma once
// The installation page as the installing core sees it: the page's controls
// and the main window's title line, completion view and notices.
#include <QObject>
#include <QPointer>
#include <string>

#include "Strona.h"

class TFormInstal;
struct UslugiInterfejsu;

class StronaQt : public QObject, public IStronaInstalacji {
    Q_OBJECT
public:
    StronaQt(TFormInstal& formularz, UslugiInterfejsu& uslugi);
    ~StronaQt() override;

    void UstawTytul(const std::u16string& tekst) override;
    void UstawMaksimumPaska(std::int32_t maksimum) override;
    void UstawPozycjePaska(std::int32_t pozycja) override;
    void PompujKomunikaty() override;
    void Informacja(const std::u16string& tytul, const std::u16string& tekst) override;
    void KomunikatSystemowy(const std::u16string& tekst) override;
    bool PrzegladajWlaczony() const override;
    bool SkrotNaPulpicieZaznaczony() const override;
    bool SkrotWMenuStartZaznaczony() const override;
    void ZaznaczSkrotNaPulpicie(bool zaznaczony) override;
    void ZaznaczSkrotWMenuStart(bool zaznaczony) override;
    void WlaczDeinstalacje(bool wlaczony) override;
    void UstawPrzyciskInstalacji(const std::u16string& napis,
                                 const std::u16string& podpowiedz) override;
    void UstawEtykieteFolderu(const std::u16string& napis) override;
    bool KoniecWidoczny() const override;
    void PokazKoniec() override;
    void UkryjKoniec() override;
    void RGAkceptacjaClick() override;
    void ZamknijFormularzStrony() override;
    void ZablokujPrzyciskiStrony(bool zablokowane) override;
    bool ZamkniecieZadane() const override;

    bool Zablokowane() const { return zablokowane_; }

    // Watches the main window: a close asked for while the buttons are locked
    // is deferred and only noted.
    void ObserwujOknoGlowne(QWidget* okno);

protected:
    bool eventFilter(QObject* obiekt, QEvent* zdarzenie) override;

private:
    TFormInstal& f_;
    UslugiInterfejsu& uslugi_;
    bool zablokowane_ = false;
    bool zamkniecieZadane_ = false;
    // The enabled states the lock took away, given back when it ends. A change
    // asked for during the lock goes here too.
    bool instalWlaczony_ = false;
    bool deinstalWlaczony_ = false;
    bool wsteczWlaczony_ = false;
    bool przegladajWlaczony_ = false;
    QPointer<QWidget> fokusPrzedBlokada_;
};
