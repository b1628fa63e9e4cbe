#pragma once
// The Qt backend of the control model: the process-wide services that
// differ per toolkit (pump, pointer, main loop, the standard dialogs, text
// measurement); the views of the controls are WidokiQt.h's.
#include <QObject>
#include <memory>

#include "WidokiQt.h"
#include "Zaplecze.h"
#include "platform/SystemPlikow.h"

class QWidget;

class ZapleczeQt : public QObject, public IZaplecze {
public:
    // `pliki` converts the file dialog's paths between the system's spelling
    // and Windows paths; `zegar` is the platform's sleep. A QApplication must
    // exist.
    ZapleczeQt(const platforma::ISystemPlikow& pliki, platforma::IZegar& zegar);
    ~ZapleczeQt() override;

    // The widget of a component's view, or null (for tests and the backend's
    // own use).
    QWidget* Widzet(const TComponent& skladnik) const;

    // The views, for the backend's own tests.
    const FabrykaWidokowQt& WidokiQt() const { return widoki_; }

    // IZaplecze.
    IFabrykaWidokow& Widoki() override { return widoki_; }
    platforma::PunktEkranu Pozycja() override;
    void Ustaw(platforma::PunktEkranu punkt) override;
    bool AplikacjaAktywna() override;
    void Spij(std::uint32_t milisekundy) override;
    void Pompuj() override;
    int PetlaGlowna() override;
    void Zakoncz() override;
    void KomunikatStandardowy(const std::u16string& tytul, const std::u16string& tekst) override;
    void KomunikatBledu(const std::u16string& tytul, const std::u16string& tekst) override;
    std::optional<std::u16string> DialogZapisu(TForm* wlasciciel, const std::u16string& tytul,
                                               const std::u16string& nazwaPliku,
                                               const std::u16string& folderPoczatkowy) override;
    TRozmiar ZmierzTekst(const TFont& czcionka, const std::u16string& tekst, int szerokoscZawijania) override;
    TProstokat ObszarEkranu() override;

private:
    void ZmianaFokusu(QWidget* nowy);
    void PokazOkno(int ikona, const std::u16string& tytul, const std::u16string& tekst);
    QWidget* WidzetGlownego() const;

    const platforma::ISystemPlikow& pliki_;
    platforma::IZegar& zegar_;
    FabrykaWidokowQt widoki_;
};
