#pragma once
// TFormInstal: the installation page. The form is never shown; its panel
// PanelInstalacji is moved onto the main window when the form is created.
// The form is also the page the installing core works with (Strona.h),
// implemented in StronaInstalacji.cpp.
#include <array>
#include <string>

#include "Kontrolki.h"
#include "Srodowisko.h"
#include "Strona.h"
#include "Uslugi.h"

class TFormInstal : public TForm, private IStronaInstalacji {
public:
    // Builds the design, realises it, then runs FormCreate. FormMain must exist.
    explicit TFormInstal(UslugiInterfejsu& uslugi);
    ~TFormInstal() override;

    TPanel* PanelInstalacji = nullptr;
    TButton* SBPrzegladaj = nullptr;
    TLabel* LabelFolder = nullptr;
    TImage* Image2 = nullptr;
    TImage* Image3 = nullptr;
    TImage* Image4 = nullptr;
    TImage* Image5 = nullptr;
    TLabel* Label3 = nullptr;
    TRadioGroup* RGWersja = nullptr;
    TEdit* Edit1 = nullptr;
    TCheckBox* CBSkrotPulpit = nullptr;
    TCheckBox* CBSkrotMenuStart = nullptr;
    TButton* BBWstecz = nullptr;
    TButton* BBClose = nullptr;
    TButton* BBInstal = nullptr;
    TButton* BBDeinstal = nullptr;
    TProgressBar* ProgressBar1 = nullptr;
    TRadioGroup* RGBit = nullptr;

    void FormCreate();
    void RGWersjaClick();
    void Edit1Change();
    void SBPrzegladajClick();
    void BBWsteczClick();
    void BBCloseClick();
    // The engine's install sequence and removal, on this page.
    void BBInstalClick();
    void BBDeinstalClick();
    bool JestPoprzedniaInstalacja();

    // The page as the installing core sees it.
    IStronaInstalacji& Strona() { return *this; }
    // A download holds the page's buttons.
    bool Zablokowane() const { return zablokowane_; }

private:
    void Projekt();
    Srodowisko SrodowiskoStrony();
    template <typename Krok>
    void WykonajKrok(Krok krok);

    // IStronaInstalacji, over the controls of this page and of the main window.
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
    bool ZamkniecieZadane() const override { return zamkniecieZadane_; }

    // The main window asks whether it may close: not while a download runs.
    void ZapytanieOZamkniecie(bool& moznaZamknac);
    // Where the lock keeps a button's enabled state from before it.
    std::size_t MiejsceWBlokadzie(const TButton* przycisk) const;

    UslugiInterfejsu& uslugi_;
    // The download lock: the buttons it holds, their enabled states from
    // before it (an enabling asked for during the lock goes there too), and
    // the main window's focus from before it.
    bool zablokowane_ = false;
    bool zamkniecieZadane_ = false;
    std::array<TButton*, 4> blokowane_{};
    std::array<bool, 4> wlaczonePrzedBlokada_{};
    TControl* fokusPrzedBlokada_ = nullptr;
};

extern TFormInstal* FormInstal;
