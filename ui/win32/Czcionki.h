#pragma once
// The fonts of the Win32 backend, chosen in this one place.
//
// The forms were laid out for "MS Sans Serif" with the Central European
// character set. Where that bitmap font exists and shows the Polish letters
// (a Polish Windows has it), it is used as asked: its lines are the heights
// the layout rests on (a 17-pixel character height gives 20-pixel lines).
// Elsewhere (a Western Windows, Wine), and at the scaled heights of a window
// above 96 dpi that none of the bitmap sizes gives, a TrueType face stands
// in, sized so that its lines keep those heights in proportion. Every other face is asked for as named,
// with the Central European character set, and the system maps it.
#include <windows.h>

#include <map>
#include <string>
#include <tuple>

#include "Kontrolki.h"

// The Polish letters a face must show to be chosen.
inline constexpr wchar_t POLSKIE_LITERY[] = L"ąćęłńóśźżĄĆĘŁŃÓŚŹŻ";

// The line height a stand-in for "MS Sans Serif" is given for a character
// height: 20 lines for 17 pixels, the same proportion for the other heights
// (13 gives 15, 16 gives 19, 19 gives 22).
int LiniaZastepcza(int wysokoscZnaku);

// True when the font selected into `dc` has a glyph for every Polish letter.
bool MaPolskieLitery(HDC dc);

// What the system really gives for a font: the face's name, the line height
// and the character set, and whether the Polish letters are there.
struct Realizacja {
    std::wstring kroj;
    int linia = 0;
    int zestaw = 0;
    bool polskie = false;
};
Realizacja Zrealizuj(HFONT czcionka);

class Czcionki {
public:
    Czcionki() = default;
    ~Czcionki();
    Czcionki(const Czcionki&) = delete;
    Czcionki& operator=(const Czcionki&) = delete;

    // The font for a model font, made once and kept for the run.
    HFONT Daj(const TFont& czcionka);

    // How a model font is realised: the description passed to the system.
    LOGFONTW Wybierz(const TFont& czcionka);

private:
    std::map<std::tuple<std::u16string, int, bool, bool>, HFONT> pamiec_;
};
