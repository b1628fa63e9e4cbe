// The POSIX link writer, for the comparison with the shell's own:
//   kv_lnk_posix <fields file> <link as a Windows path>
// Windows paths are mapped to the Wine prefix of $WINEPREFIX.
#include <fstream>
#include <iostream>
#include <sstream>

#include "PolaSkrotu.h"
#include "platform/Platforma.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: kv_lnk_posix <fields> <link>\n";
        return 2;
    }
    std::ifstream wejscie(argv[1], std::ios::binary);
    if (!wejscie) {
        std::cerr << "cannot read " << argv[1] << "\n";
        return 2;
    }
    std::stringstream tresc;
    tresc << wejscie.rdbuf();
    auto platforma = platforma::UtworzPlatforme();
    auto obiekt = platforma.skroty->Utworz();
    UstawPola(*obiekt, CzytajPola(tresc.str()));
    return obiekt->Save(platforma::Utf16(argv[2]), false) ? 0 : 1;
}
