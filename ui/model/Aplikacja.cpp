#include "Aplikacja.h"

#include <exception>

#include "platform/Blad.h"
#include "platform/Tekst.h"

TAplikacja* Application = nullptr;

std::u16string TytulAplikacji(const std::u16string& sciezkaProgramu) {
    const auto ukosnik = sciezkaProgramu.find_last_of(u"/\\");
    std::u16string nazwa =
        ukosnik == std::u16string::npos ? sciezkaProgramu : sciezkaProgramu.substr(ukosnik + 1);
    if (const auto kropka = nazwa.find(u'.'); kropka != std::u16string::npos) nazwa.resize(kropka);
    for (std::size_t i = 0; i < nazwa.size(); ++i)
        nazwa[i] = i == 0 ? platforma::ZnakBezWielkosci(nazwa[i]) : platforma::MalaLitera(nazwa[i]);
    return nazwa;
}

TAplikacja::TAplikacja(IZaplecze& zaplecze, std::u16string tytul)
    : zaplecze_(zaplecze), tytul_(std::move(tytul)), poprzednia_(Application) {
    Application = this;
}

TAplikacja::~TAplikacja() {
    if (Application == this) Application = poprzednia_;
}

void TAplikacja::Obsluz(const std::function<void()>& obsluga) {
    try {
        obsluga();
    } catch (const platforma::BladPlatformy& blad) {
        PokazBlad(blad.Tekst());
    } catch (const std::exception& blad) {
        PokazBlad(platforma::Utf16(blad.what()));
    } catch (...) {
        // An error that carries no text: the handler stops all the same, and
        // nothing unknown crosses into the toolkit's event delivery.
        PokazBlad(u"Nieoczekiwany błąd.");
    }
}

void TAplikacja::PokazBlad(const std::u16string& tekst) { zaplecze_.KomunikatBledu(tytul_, tekst); }
