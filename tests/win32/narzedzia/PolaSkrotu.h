#pragma once
// The fields of one link as lines "Name=value" in UTF-8, shared by the tools
// that compare the POSIX link writer with the shell's own (COM) one. The
// tools read their input from such a file, not from the command line, so
// that non-ASCII text reaches them unchanged under any locale.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/Tekst.h"

struct PolaSkrotu {
    std::u16string sciezka;
    std::u16string katalogRoboczy;
    std::u16string argumenty;
    std::u16string opis;
    std::int32_t rodzajOkna = 1;
    std::u16string ikona;
    std::int32_t numerIkony = 0;
    std::uint16_t klawisz = 0;
};

inline PolaSkrotu CzytajPola(const std::string& tekst) {
    PolaSkrotu p;
    std::size_t poczatek = 0;
    while (poczatek < tekst.size()) {
        std::size_t koniec = tekst.find('\n', poczatek);
        if (koniec == std::string::npos) {
            koniec = tekst.size();
        }
        std::string linia = tekst.substr(poczatek, koniec - poczatek);
        poczatek = koniec + 1;
        if (!linia.empty() && linia.back() == '\r') {
            linia.pop_back();
        }
        std::size_t rowne = linia.find('=');
        if (rowne == std::string::npos) {
            continue;
        }
        std::string klucz = linia.substr(0, rowne);
        std::string wartosc = linia.substr(rowne + 1);
        if (klucz == "Path") p.sciezka = platforma::Utf16(wartosc);
        else if (klucz == "WorkingDirectory") p.katalogRoboczy = platforma::Utf16(wartosc);
        else if (klucz == "Arguments") p.argumenty = platforma::Utf16(wartosc);
        else if (klucz == "Description") p.opis = platforma::Utf16(wartosc);
        else if (klucz == "ShowCmd") p.rodzajOkna = std::atoi(wartosc.c_str());
        else if (klucz == "IconLocation") p.ikona = platforma::Utf16(wartosc);
        else if (klucz == "IconIndex") p.numerIkony = std::atoi(wartosc.c_str());
        else if (klucz == "Hotkey") p.klawisz = static_cast<std::uint16_t>(std::strtoul(wartosc.c_str(), nullptr, 0));
    }
    return p;
}

inline std::string ZapiszPola(const PolaSkrotu& p) {
    char klawisz[16];
    std::snprintf(klawisz, sizeof klawisz, "0x%04X", static_cast<unsigned>(p.klawisz));
    return "Path=" + platforma::Utf8(p.sciezka) + "\n" +
           "WorkingDirectory=" + platforma::Utf8(p.katalogRoboczy) + "\n" +
           "Arguments=" + platforma::Utf8(p.argumenty) + "\n" +
           "Description=" + platforma::Utf8(p.opis) + "\n" +
           "ShowCmd=" + std::to_string(p.rodzajOkna) + "\n" +
           "IconLocation=" + platforma::Utf8(p.ikona) + "\n" +
           "IconIndex=" + std::to_string(p.numerIkony) + "\n" +
           "Hotkey=" + klawisz + "\n";
}

// Sets every field on a link object, in the order the installer does.
template <typename Obiekt>
void UstawPola(Obiekt& obiekt, const PolaSkrotu& p) {
    obiekt.SetPath(p.sciezka);
    obiekt.SetWorkingDirectory(p.katalogRoboczy);
    obiekt.SetArguments(p.argumenty);
    if (!p.opis.empty()) obiekt.SetDescription(p.opis);
    obiekt.SetShowCmd(p.rodzajOkna);
    if (!p.ikona.empty()) obiekt.SetIconLocation(p.ikona, p.numerIkony);
    if (p.klawisz != 0) obiekt.SetHotkey(p.klawisz);
}
