#pragma once
// Shortcut files and the file copy of the installation.
#include <cstdint>
#include <string>

#include "Srodowisko.h"

struct TParametrySkrotu {
    std::u16string SciezkaPliku;    // required
    std::u16string argumenty;
    std::u16string katalogRoboczy;  // empty: the target's folder with its "\"
    std::u16string opis;            // empty: none set
    std::u16string SciezkaIkony;    // empty: none set
    std::int32_t rodzajokna = 0;    // SW_ value; 0 becomes SW_SHOWNORMAL
    std::int32_t numerIkony = 0;
    char16_t klawiszSkrotu = 0;     // Ctrl+Alt+letter; 0 means none
};

// Writes one shortcut file. Raises when the link object cannot be made or the
// record names no target.
void UtworzSkrot(platforma::IFabrykaSkrotow& fabryka, const std::u16string& sciezkaSkrotu,
                 TParametrySkrotu parametry);

// Copies `zrodlo` over `cel`. A missing source is reported with "Brak pliku: ".
bool KopiujPlik(Srodowisko& s, const std::u16string& zrodlo, const std::u16string& cel);

// The updater next to the program, the ticked shortcuts, the removal button on.
void UtworzSkroty(Srodowisko& s);
