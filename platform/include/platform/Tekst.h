#pragma once
// Text helpers shared by every layer. The install context is UTF-16; the
// operating system (POSIX) and libcurl want UTF-8.
#include <string>
#include <string_view>

namespace platforma {

std::string Utf8(std::u16string_view tekst);
std::u16string Utf16(std::string_view utf8);

// The first character in ASCII upper case, as the folder normalisation of the
// installation page does; other characters are left alone.
char16_t WielkaLiteraAscii(char16_t znak);

// A UTF-16 unit in upper case, for the letters of ASCII, Latin-1 and Latin
// Extended-A (the Polish letters among them): enough for the names that reach
// the installer, compared the way Windows compares file names. Other units
// are left alone.
char16_t ZnakBezWielkosci(char16_t znak);

// True when `igla` occurs anywhere in `stog`, comparing letters without regard
// to case (as ZnakBezWielkosci folds them).
bool ZawieraBezWielkosciLiter(std::u16string_view stog, std::u16string_view igla);

}  // namespace platforma
