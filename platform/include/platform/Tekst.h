#pragma once
// Text helpers shared by every layer. The install context is UTF-16; the
// operating system (POSIX) and libcurl want UTF-8.
#include <string>
#include <string_view>

namespace platforma {

std::string Utf8(std::u16string_view tekst);
std::u16string Utf16(std::string_view utf8);

// A character in ASCII upper case: a to z become A to Z, everything else is
// left alone.
char16_t WielkaLiteraAscii(char16_t znak);

// A UTF-16 unit in upper case, for the letters of ASCII, Latin-1 and Latin
// Extended-A (the Polish letters among them): enough for the names that reach
// the installer, compared the way Windows compares file names. Other units
// are left alone. Both cases of every letter it folds have one UTF-8 length.
char16_t ZnakBezWielkosci(char16_t znak);
// The same letters in lower case: the inverse of ZnakBezWielkosci.
char16_t MalaLitera(char16_t znak);

// True when `igla` occurs anywhere in `stog`, comparing letters without regard
// to case (as ZnakBezWielkosci folds them).
bool ZawieraBezWielkosciLiter(std::u16string_view stog, std::u16string_view igla);

}  // namespace platforma
