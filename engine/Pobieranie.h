#pragma once
// The download client: one file from the distribution server into a local folder.
#include <string>

#include "Srodowisko.h"

// Fetches base + folderSerwera + "/" + nazwa + "._" + rozszerzenie into
// folderDocelowy + "\" + nazwa + "." + rozszerzenie. Reports its own failures;
// true only when the new copy has been stored.
bool PobierzPlik(Srodowisko& s, const std::u16string& folderSerwera, const std::u16string& nazwa,
                 const std::u16string& rozszerzenie, const std::u16string& folderDocelowy);
