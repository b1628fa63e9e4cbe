#include "platform/Tekst.h"

#include <cstdint>

namespace platforma {

namespace {

constexpr char32_t ZNAK_ZASTEPCZY = 0xFFFD;  // U+FFFD REPLACEMENT CHARACTER

bool JestWysokimSurogatem(char16_t z) { return z >= 0xD800 && z <= 0xDBFF; }
bool JestNiskimSurogatem(char16_t z) { return z >= 0xDC00 && z <= 0xDFFF; }

void DopiszUtf8(std::string& wynik, char32_t kod) {
    if (kod < 0x80) {
        wynik += static_cast<char>(kod);
    } else if (kod < 0x800) {
        wynik += static_cast<char>(0xC0 | (kod >> 6));
        wynik += static_cast<char>(0x80 | (kod & 0x3F));
    } else if (kod < 0x10000) {
        wynik += static_cast<char>(0xE0 | (kod >> 12));
        wynik += static_cast<char>(0x80 | ((kod >> 6) & 0x3F));
        wynik += static_cast<char>(0x80 | (kod & 0x3F));
    } else {
        wynik += static_cast<char>(0xF0 | (kod >> 18));
        wynik += static_cast<char>(0x80 | ((kod >> 12) & 0x3F));
        wynik += static_cast<char>(0x80 | ((kod >> 6) & 0x3F));
        wynik += static_cast<char>(0x80 | (kod & 0x3F));
    }
}

void DopiszUtf16(std::u16string& wynik, char32_t kod) {
    if (kod < 0x10000) {
        wynik += static_cast<char16_t>(kod);
    } else {
        kod -= 0x10000;
        wynik += static_cast<char16_t>(0xD800 + (kod >> 10));
        wynik += static_cast<char16_t>(0xDC00 + (kod & 0x3FF));
    }
}

}  // namespace

std::string Utf8(std::u16string_view tekst) {
    std::string wynik;
    wynik.reserve(tekst.size());
    for (std::size_t i = 0; i < tekst.size(); ++i) {
        const char16_t z = tekst[i];
        if (JestWysokimSurogatem(z) && i + 1 < tekst.size() && JestNiskimSurogatem(tekst[i + 1])) {
            const char32_t kod = 0x10000 + ((char32_t(z) - 0xD800) << 10) + (char32_t(tekst[i + 1]) - 0xDC00);
            DopiszUtf8(wynik, kod);
            ++i;
        } else if (JestWysokimSurogatem(z) || JestNiskimSurogatem(z)) {
            // An unpaired surrogate has no UTF-8 form.
            DopiszUtf8(wynik, ZNAK_ZASTEPCZY);
        } else {
            DopiszUtf8(wynik, z);
        }
    }
    return wynik;
}

std::u16string Utf16(std::string_view utf8) {
    std::u16string wynik;
    wynik.reserve(utf8.size());
    const auto bajt = [&](std::size_t i) { return static_cast<std::uint8_t>(utf8[i]); };
    std::size_t i = 0;
    while (i < utf8.size()) {
        const std::uint8_t b = bajt(i);
        if (b < 0x80) {
            wynik += static_cast<char16_t>(b);
            ++i;
            continue;
        }
        // Length of the sequence and the allowed range of its second byte,
        // which rules out overlong forms, encoded surrogates and values past
        // U+10FFFF (the table of well-formed sequences of Unicode 3.9).
        std::size_t dlugosc = 0;
        std::uint8_t min2 = 0x80, max2 = 0xBF;
        char32_t kod = 0;
        if (b >= 0xC2 && b <= 0xDF) {
            dlugosc = 2;
            kod = b & 0x1F;
        } else if (b >= 0xE0 && b <= 0xEF) {
            dlugosc = 3;
            kod = b & 0x0F;
            if (b == 0xE0) min2 = 0xA0;
            if (b == 0xED) max2 = 0x9F;
        } else if (b >= 0xF0 && b <= 0xF4) {
            dlugosc = 4;
            kod = b & 0x07;
            if (b == 0xF0) min2 = 0x90;
            if (b == 0xF4) max2 = 0x8F;
        } else {
            wynik += static_cast<char16_t>(ZNAK_ZASTEPCZY);
            ++i;
            continue;
        }
        // One replacement character for the longest valid beginning of a
        // sequence that breaks off; the byte that broke it is read anew.
        std::size_t j = 1;
        for (; j < dlugosc && i + j < utf8.size(); ++j) {
            const std::uint8_t c = bajt(i + j);
            const std::uint8_t dolna = j == 1 ? min2 : 0x80;
            const std::uint8_t gorna = j == 1 ? max2 : 0xBF;
            if (c < dolna || c > gorna) break;
            kod = (kod << 6) | (c & 0x3F);
        }
        if (j == dlugosc) {
            DopiszUtf16(wynik, kod);
        } else {
            wynik += static_cast<char16_t>(ZNAK_ZASTEPCZY);
        }
        i += j;
    }
    return wynik;
}

char16_t WielkaLiteraAscii(char16_t znak) {
    if (znak >= u'a' && znak <= u'z') return static_cast<char16_t>(znak - (u'a' - u'A'));
    return znak;
}

char16_t ZnakBezWielkosci(char16_t z) {
    if (z >= u'a' && z <= u'z') return static_cast<char16_t>(z - 0x20);
    if (z >= 0xE0 && z <= 0xFE && z != 0xF7) return static_cast<char16_t>(z - 0x20);
    const bool parzysteWielkie = (z >= 0x100 && z <= 0x12F) || (z >= 0x132 && z <= 0x137) ||
                                 (z >= 0x14A && z <= 0x177);
    const bool nieparzysteWielkie = (z >= 0x139 && z <= 0x148) || (z >= 0x179 && z <= 0x17E);
    if (parzysteWielkie && (z & 1)) return static_cast<char16_t>(z - 1);
    if (nieparzysteWielkie && !(z & 1)) return static_cast<char16_t>(z - 1);
    return z;
}

char16_t MalaLitera(char16_t z) {
    if (z >= u'A' && z <= u'Z') return static_cast<char16_t>(z + 0x20);
    if (z >= 0xC0 && z <= 0xDE && z != 0xD7) return static_cast<char16_t>(z + 0x20);
    const bool parzysteWielkie = (z >= 0x100 && z <= 0x12F) || (z >= 0x132 && z <= 0x137) ||
                                 (z >= 0x14A && z <= 0x177);
    const bool nieparzysteWielkie = (z >= 0x139 && z <= 0x148) || (z >= 0x179 && z <= 0x17E);
    if (parzysteWielkie && !(z & 1)) return static_cast<char16_t>(z + 1);
    if (nieparzysteWielkie && (z & 1)) return static_cast<char16_t>(z + 1);
    return z;
}

bool ZawieraBezWielkosciLiter(std::u16string_view stog, std::u16string_view igla) {
    // As a text search of the Windows tools: an empty text is found nowhere.
    if (igla.empty() || igla.size() > stog.size()) return false;
    for (std::size_t poczatek = 0; poczatek + igla.size() <= stog.size(); ++poczatek) {
        std::size_t k = 0;
        while (k < igla.size() && ZnakBezWielkosci(stog[poczatek + k]) == ZnakBezWielkosci(igla[k])) ++k;
        if (k == igla.size()) return true;
    }
    return false;
}

}  // namespace platforma
