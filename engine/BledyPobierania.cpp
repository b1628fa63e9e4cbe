#include "BledyPobierania.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::u16string_view kNieudane = u"Nieudane pobranie pliku: ";

constexpr std::u16string_view kCzesc = u"Serwer przysłał część pliku zamiast całego: ";
constexpr std::u16string_view kBrak = u"Serwer nie przysłał pliku: ";
constexpr std::u16string_view kPusta = u"Serwer przysłał pusty plik: ";
constexpr std::u16string_view kUciete = u"Przesyłanie skończyło się przed ostatnią porcją pliku: ";
constexpr std::u16string_view kKrotsza = u"Przesyłanie skończyło się, zanim nadszedł cały plik: ";
constexpr std::u16string_view kZlaOdpowiedz = u"Odpowiedź serwera jest nieprawidłowa: ";
constexpr std::u16string_view kNiezgodna =
    u"Plik nadszedł uszkodzony: jego skrót SHA-256 różni się od podanego w nagłówku Repr-Digest";
constexpr std::u16string_view kZlaSuma = u"Nagłówek Repr-Digest odpowiedzi jest nieprawidłowy: ";
constexpr std::u16string_view kNieOdProducenta = u"Plik nie pochodzi od producenta programu.";
constexpr std::u16string_view kZaDuzy = u"Plik jest większy niż największy dozwolony (2 GiB): ";
constexpr std::u16string_view kNadmiar = u"Serwer przysłał więcej bajtów, niż zapowiedział: ";
constexpr std::u16string_view kPosrednik = u"Serwer pośredniczący odmówił: ";

// The download's own messages, and a proxy's refusal (its reason phrase is
// the proxy's to choose), come first and are recognised by their whole
// fixed beginning, so that a library's text quoted in them (which may say
// "Socket") never turns a reply that did arrive into a connection failure.
// Then the connection marker that every client puts into a connection
// failure's message, then the status lines, then everything else.
constexpr std::array<RegulaBleduPobierania, 15> kReguly{{
    {BladPobierania::CzescPliku, kCzesc, kCzesc, kNieudane, true},
    {BladPobierania::BrakTresci, kBrak, kBrak, kNieudane, true},
    {BladPobierania::PustaTresc, kPusta, kPusta, kNieudane, true},
    {BladPobierania::UcietePorcje, kUciete, kUciete, kNieudane, true},
    {BladPobierania::KrotszaTresc, kKrotsza, kKrotsza, kNieudane, true},
    {BladPobierania::ZlaOdpowiedz, kZlaOdpowiedz, kZlaOdpowiedz, kNieudane, true},
    {BladPobierania::NiezgodnaSuma, kNiezgodna, kNiezgodna, kNieudane, true},
    {BladPobierania::ZlaSuma, kZlaSuma, kZlaSuma, kNieudane, true},
    {BladPobierania::NieOdProducenta, kNieOdProducenta, kNieOdProducenta, kNieudane, true},
    {BladPobierania::ZaDuzy, kZaDuzy, kZaDuzy, kNieudane, true},
    {BladPobierania::Nadmiar, kNadmiar, kNadmiar, kNieudane, true},
    {BladPobierania::Posrednik, kPosrednik, kPosrednik,
     u"Nieudane pobranie pliku: Serwer pośredniczący wymaga zalogowania.", false},
    {BladPobierania::Polaczenie, u"Socket error: ", u"Socket", u"Błąd połączenia z internetem", false},
    {BladPobierania::Status, u"", u"HTTP/", kNieudane, true},
    {BladPobierania::Inny, u"", u"", kNieudane, true},
}};

}  // namespace

std::span<const RegulaBleduPobierania> RegulyBledowPobierania() { return kReguly; }

std::u16string KomunikatBledu(BladPobierania rodzaj, std::u16string_view szczegoly) {
    const auto regula = std::find_if(kReguly.begin(), kReguly.end(),
                                     [&](const auto& r) { return r.rodzaj == rodzaj; });
    std::u16string komunikat(regula->komunikat);
    komunikat += szczegoly;
    return komunikat;
}

std::u16string TekstBleduPobierania(std::u16string_view komunikat) {
    for (const auto& r : kReguly) {
        if (komunikat.find(r.znacznik) == std::u16string_view::npos) continue;
        std::u16string tekst(r.tekst);
        if (r.zKomunikatem) tekst += komunikat;
        return tekst;
    }
    return std::u16string(komunikat);  // unreachable: the last rule matches everything
}
