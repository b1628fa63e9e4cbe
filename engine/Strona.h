#pragma once
// What the installing core needs of the installation page and the main
// window. The user interface implements it; tests implement it with fakes
// that record every call.
#include <cstdint>
#include <string>

class IStronaInstalacji {
public:
    virtual ~IStronaInstalacji() = default;

    // The main window's title line (LabelInfo).
    virtual void UstawTytul(const std::u16string& tekst) = 0;

    // ProgressBar1 of the page.
    virtual void UstawMaksimumPaska(std::int32_t maksimum) = 0;
    virtual void UstawPozycjePaska(std::int32_t pozycja) = 0;

    // Handles the window messages waiting in the queue, then returns.
    virtual void PompujKomunikaty() = 0;

    // The installer's own notice box (Informacja): modal, returns when closed.
    virtual void Informacja(const std::u16string& tytul, const std::u16string& tekst) = 0;
    // The platform's standard message dialog: no icon, one OK button, the
    // application title as its title. Modal.
    virtual void KomunikatSystemowy(const std::u16string& tekst) = 0;

    // The enabled state of SBPrzegladaj: the sign that the page is in its
    // accepted state.
    virtual bool PrzegladajWlaczony() const = 0;

    // The shortcut check boxes.
    virtual bool SkrotNaPulpicieZaznaczony() const = 0;
    virtual bool SkrotWMenuStartZaznaczony() const = 0;
    virtual void ZaznaczSkrotNaPulpicie(bool zaznaczony) = 0;
    virtual void ZaznaczSkrotWMenuStart(bool zaznaczony) = 0;

    // BBDeinstal: enabled, and its hint shown exactly when enabled.
    virtual void WlaczDeinstalacje(bool wlaczony) = 0;

    // BBInstal's caption and hint.
    virtual void UstawPrzyciskInstalacji(const std::u16string& napis,
                                         const std::u16string& podpowiedz) = 0;

    // LabelFolder's caption.
    virtual void UstawEtykieteFolderu(const std::u16string& napis) = 0;

    // The main window's completion view PanelKoniec.
    virtual bool KoniecWidoczny() const = 0;
    virtual void PokazKoniec() = 0;  // visible and in front of the page
    virtual void UkryjKoniec() = 0;

    // The main window's acceptance handler, called directly.
    virtual void RGAkceptacjaClick() = 0;

    // Asks the page's own form to close. The form is never shown by itself
    // (its panel lives in the main window), so the installer stays open.
    virtual void ZamknijFormularzStrony() = 0;

    // While a download runs the page's install, removal, back and folder
    // buttons take no clicks, so a second transfer cannot start.
    virtual void ZablokujPrzyciskiStrony(bool zablokowane) = 0;
    // True once the user has asked to close the installer; a running
    // transfer stops at once.
    virtual bool ZamkniecieZadane() const = 0;
};
