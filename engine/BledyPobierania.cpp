#include "BledyPobierania.h"

#include <array>

namespace {

constexpr std::array<RegulaBleduPobierania, 2> kReguly{{
    {u"Socket", u"Błąd połączenia z internetem", false},
    {u"", u"Nieudane pobranie pliku: ", true},
}};

}  // namespace

std::span<const RegulaBleduPobierania> RegulyBledowPobierania() { return kReguly; }

std::u16string TekstBleduPobierania(std::u16string_view komunikat) {
    for (const auto& r : kReguly) {
        if (komunikat.find(r.znacznik) == std::u16string_view::npos) continue;
        std::u16string tekst(r.tekst);
        if (r.zKomunikatem) tekst += komunikat;
        return tekst;
    }
    return std::u16string(komunikat);  // unreachable: the last rule matches everything
}

std::u16string KomunikatBleduPolaczenia(std::u16string_view przyczyna) {
    std::u16string tekst = u"Socket error: ";
    tekst += przyczyna;
    return tekst;
}
