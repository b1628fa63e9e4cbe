#pragma once
// The Qt backend of the control model: the views of the controls and the
// services that differ per toolkit (pump, pointer, modal loop, window shape
// and drag, the standard dialogs, text measurement).
#include <QHash>
#include <QObject>
#include <QPointF>
#include <memory>
#include <vector>

#include "Zaplecze.h"
#include "platform/SystemPlikow.h"

class QEventLoop;
class QWidget;
class WidokQt;
class WidokFormy;

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

    // IZaplecze.
    std::unique_ptr<IWidok> UtworzWidok(TComponent& skladnik) override;
    platforma::PunktEkranu Pozycja() override;
    void Ustaw(platforma::PunktEkranu punkt) override;
    bool AplikacjaAktywna() override;
    void Spij(std::uint32_t milisekundy) override;
    void Pompuj() override;
    void OdmalujTeraz(TControl& kontrolka) override;
    void PetlaModalna(TForm& forma) override;
    int PetlaGlowna() override;
    void Zakoncz() override;
    void UstawKsztalt(TForm& forma, int szerokosc, int wysokosc, int elipsaX, int elipsaY) override;
    void PrzeciagnijOkno(TForm& forma) override;
    void KomunikatStandardowy(const std::u16string& tytul, const std::u16string& tekst) override;
    void KomunikatBledu(const std::u16string& tytul, const std::u16string& tekst) override;
    std::optional<std::u16string> DialogZapisu(TForm* wlasciciel, const std::u16string& tytul,
                                               const std::u16string& nazwaPliku,
                                               const std::u16string& folderPoczatkowy) override;
    TRozmiar ZmierzTekst(const TFont& czcionka, const std::u16string& tekst, int szerokoscZawijania) override;
    TProstokat ObszarEkranu() override;

    // Used by the views.
    void Zarejestruj(QWidget* widzet, WidokQt* widok) { widoki_.insert(widzet, widok); }
    void Wyrejestruj(QWidget* widzet) { widoki_.remove(widzet); }
    WidokQt* WidokWidzetu(const QWidget* widzet) const;
    // Where the last press on a control began, on the screen: the drag starts there.
    void ZapiszNacisk(QPointF punkt) { nacisk_ = punkt; }

private:
    void ZmianaFokusu(QWidget* nowy);
    void PokazOkno(int ikona, const std::u16string& tytul, const std::u16string& tekst);
    QWidget* WidzetGlownego() const;

    const platforma::ISystemPlikow& pliki_;
    platforma::IZegar& zegar_;
    QHash<const QWidget*, WidokQt*> widoki_;
    std::vector<QEventLoop*> petle_;
    bool zakonczona_ = false;
    QPointF nacisk_;
};
