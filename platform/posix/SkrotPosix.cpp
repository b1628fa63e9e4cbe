// Shortcut files in the Shell Link binary format, written byte by byte the way
// the Windows shell writes them, so that Windows Explorer and Wine open them.
//
// A file consists of:
//   - the 76-byte header (link class, flags, the target's attributes, times
//     and size, icon index, show command, hot key);
//   - the target's item list: My Computer, the drive, one file-system item per
//     folder and one for the file (short name, plus the long Unicode name in
//     the extension block that Explorer adds);
//   - the LinkInfo block: a fixed-drive volume and the target's local path;
//   - the strings that were set (description, working folder, arguments, icon
//     file), each a 16-bit count and UTF-16LE characters;
//   - the terminal block of the extra data (four zero bytes).
#include "SkrotPosix.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <string>
#include <vector>

#include "platform/Tekst.h"

namespace platforma {
namespace {

// Link flags.
constexpr std::uint32_t MA_LISTE_ELEMENTOW = 0x00000001;  // HasLinkTargetIDList
constexpr std::uint32_t MA_LINK_INFO = 0x00000002;        // HasLinkInfo
constexpr std::uint32_t MA_NAZWE = 0x00000004;            // HasName
constexpr std::uint32_t MA_FOLDER_ROBOCZY = 0x00000010;   // HasWorkingDir
constexpr std::uint32_t MA_ARGUMENTY = 0x00000020;        // HasArguments
constexpr std::uint32_t MA_IKONE = 0x00000040;            // HasIconLocation
constexpr std::uint32_t JEST_UNICODE = 0x00000080;        // IsUnicode

constexpr std::uint32_t ATRYBUT_FOLDER = 0x10;    // FILE_ATTRIBUTE_DIRECTORY
constexpr std::uint32_t ATRYBUT_ARCHIWUM = 0x20;  // FILE_ATTRIBUTE_ARCHIVE
constexpr std::uint32_t DYSK_STALY = 3;           // DRIVE_FIXED

// CLSID_ShellLink {00021401-0000-0000-C000-000000000046} in its stored byte order.
constexpr unsigned char KLASA_SKROTU[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                            0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
// My Computer {20D04FE0-3AEA-1069-A2D8-08002B30309D}.
constexpr unsigned char KLASA_KOMPUTERA[16] = {0xE0, 0x4F, 0xD0, 0x20, 0xEA, 0x3A, 0x69, 0x10,
                                               0xA2, 0xD8, 0x08, 0x00, 0x2B, 0x30, 0x30, 0x9D};

// The serial number written when the drive has none of its own.
constexpr std::uint32_t NUMER_SERYJNY_DOMYSLNY = 0x4B560008;

// Little-endian byte buffer with fields that are filled in once the size of
// what follows them is known.
class Bajty {
public:
    void U8(std::uint8_t v) { dane_.push_back(static_cast<char>(v)); }
    void U16(std::uint16_t v) {
        U8(static_cast<std::uint8_t>(v));
        U8(static_cast<std::uint8_t>(v >> 8));
    }
    void U32(std::uint32_t v) {
        U16(static_cast<std::uint16_t>(v));
        U16(static_cast<std::uint16_t>(v >> 16));
    }
    void U64(std::uint64_t v) {
        U32(static_cast<std::uint32_t>(v));
        U32(static_cast<std::uint32_t>(v >> 32));
    }
    void Surowe(const unsigned char* p, std::size_t n) {
        dane_.append(reinterpret_cast<const char*>(p), n);
    }
    void Ansi(const std::string& tekst) {  // with its terminating zero
        dane_ += tekst;
        U8(0);
    }
    void Utf16(const std::u16string& tekst) {  // without a terminator
        for (char16_t z : tekst) U16(z);
    }
    void Wpisz16(std::size_t gdzie, std::uint16_t v) {
        dane_[gdzie] = static_cast<char>(v);
        dane_[gdzie + 1] = static_cast<char>(v >> 8);
    }
    void Wpisz32(std::size_t gdzie, std::uint32_t v) {
        Wpisz16(gdzie, static_cast<std::uint16_t>(v));
        Wpisz16(gdzie + 2, static_cast<std::uint16_t>(v >> 16));
    }
    std::size_t Rozmiar() const { return dane_.size(); }
    const std::string& Dane() const { return dane_; }

private:
    std::string dane_;
};

// What the disk says about one part of the target's path.
struct StanPliku {
    bool istnieje = false;
    bool folder = false;
    std::uint64_t rozmiar = 0;
    std::timespec utworzenie{}, dostep{}, zapis{};
};

StanPliku Zbadaj(const ISystemPlikow& pliki, const std::u16string& sciezkaWindows) {
    StanPliku stan;
    const std::u16string systemu = pliki.NaSciezkeSystemu(sciezkaWindows);
    if (systemu.empty()) return stan;
    struct stat st {};
    if (::stat(Utf8(systemu).c_str(), &st) != 0) return stan;
    stan.istnieje = true;
    stan.folder = S_ISDIR(st.st_mode);
    stan.rozmiar = stan.folder ? 0 : static_cast<std::uint64_t>(st.st_size);
    // POSIX keeps no creation time; the last status change is the nearest.
    stan.utworzenie = st.st_ctim;
    stan.dostep = st.st_atim;
    stan.zapis = st.st_mtim;
    return stan;
}

// FILETIME: 100-nanosecond ticks since 1601-01-01 UTC; 0 for an unknown time.
std::uint64_t CzasWindows(const std::timespec& t) {
    if (t.tv_sec == 0 && t.tv_nsec == 0) return 0;
    constexpr std::int64_t SEKUNDY_1601_DO_1970 = 11644473600LL;
    const std::int64_t sekundy = static_cast<std::int64_t>(t.tv_sec) + SEKUNDY_1601_DO_1970;
    if (sekundy < 0) return 0;
    return static_cast<std::uint64_t>(sekundy) * 10000000ULL +
           static_cast<std::uint64_t>(t.tv_nsec / 100);
}

// The FAT date and time (local time, two-second steps) that shell items carry:
// date in the low word, time in the high word, as they lie in the file.
std::uint32_t CzasDos(const std::timespec& t) {
    if (t.tv_sec == 0) return 0;
    std::tm tm{};
    const std::time_t sekundy = t.tv_sec;
    if (!::localtime_r(&sekundy, &tm) || tm.tm_year < 80 || tm.tm_year > 80 + 127) return 0;
    const auto data =
        static_cast<std::uint16_t>(((tm.tm_year - 80) << 9) | ((tm.tm_mon + 1) << 5) | tm.tm_mday);
    const auto czas =
        static_cast<std::uint16_t>((tm.tm_hour << 11) | (tm.tm_min << 5) | (tm.tm_sec / 2));
    return static_cast<std::uint32_t>(data) | (static_cast<std::uint32_t>(czas) << 16);
}

bool JestAscii(const std::u16string& tekst) {
    for (char16_t z : tekst)
        if (z > 0x7F) return false;
    return true;
}

// The single-byte form of a path for readers that know no Unicode: characters
// outside ASCII become "?", as the system's conversion marks what it cannot map.
std::string AnsiBezpieczny(const std::u16string& tekst) {
    std::string wynik;
    wynik.reserve(tekst.size());
    for (char16_t z : tekst) wynik += z <= 0x7F ? static_cast<char>(z) : '?';
    return wynik;
}

bool ZnakKrotkiejNazwy(char16_t z) {
    if ((z >= u'A' && z <= u'Z') || (z >= u'a' && z <= u'z') || (z >= u'0' && z <= u'9'))
        return true;
    return std::u16string_view(u"!#$%&'()-@^_`{}~").find(z) != std::u16string_view::npos;
}

// The 8.3 name that the file system gives a long name. A name that already
// fits keeps its spelling; any other is upper-cased, stripped of blanks and
// extra dots, and cut to six characters plus "~1" and a three-character
// extension. The number after "~" is the first one; the real one depends on
// the neighbours on a Windows disk, which a reader does not rely on.
std::string KrotkaNazwa(const std::u16string& nazwa) {
    const auto kropka = nazwa.rfind(u'.');
    const std::u16string rdzen = kropka == std::u16string::npos ? nazwa : nazwa.substr(0, kropka);
    const std::u16string rozszerzenie =
        kropka == std::u16string::npos ? std::u16string() : nazwa.substr(kropka + 1);

    bool pasuje = !rdzen.empty() && rdzen.size() <= 8 && rozszerzenie.size() <= 3 &&
                  !(kropka != std::u16string::npos && rozszerzenie.empty());
    for (char16_t z : rdzen) pasuje = pasuje && ZnakKrotkiejNazwy(z);
    for (char16_t z : rozszerzenie) pasuje = pasuje && ZnakKrotkiejNazwy(z);
    if (pasuje) return AnsiBezpieczny(nazwa);

    auto oczysc = [](const std::u16string& czesc, std::size_t ile) {
        std::string wynik;
        for (char16_t z : czesc) {
            if (wynik.size() == ile) break;
            if (z == u' ' || z == u'.') continue;
            z = WielkaLiteraAscii(z);
            wynik += ZnakKrotkiejNazwy(z) ? static_cast<char>(z) : '_';
        }
        return wynik;
    };
    // Leading dots are dropped first: ".profil" is "PROFIL~1", with no extension.
    const std::u16string bezKropek =
        nazwa.substr(std::min(nazwa.find_first_not_of(u'.'), nazwa.size()));
    const auto ostatnia = bezKropek.rfind(u'.');
    std::string krotka = oczysc(bezKropek.substr(0, ostatnia), 6) + "~1";
    const std::string rozsz = ostatnia == std::u16string::npos
                                  ? std::string()
                                  : oczysc(bezKropek.substr(ostatnia + 1), 3);
    if (!rozsz.empty()) krotka += "." + rozsz;
    return krotka;
}

// A target path taken apart: "C:\KV-Tek\a.exe" -> drive "C", parts {KV-Tek, a.exe}.
struct Cel {
    char16_t dysk = 0;
    std::vector<std::u16string> czesci;

    std::u16string Korzen() const { return std::u16string(1, dysk) + u":\\"; }
    // The path up to and including part `n` (0 = the drive's root).
    std::u16string DoCzesci(std::size_t n) const {
        std::u16string wynik = Korzen();
        for (std::size_t i = 0; i < n; ++i) {
            if (i) wynik += u'\\';
            wynik += czesci[i];
        }
        return wynik;
    }
};

bool RozbierzCel(const std::u16string& sciezka, Cel& cel) {
    if (sciezka.size() < 3 || sciezka[1] != u':' || (sciezka[2] != u'\\' && sciezka[2] != u'/'))
        return false;
    const char16_t dysk = WielkaLiteraAscii(sciezka[0]);
    if (dysk < u'A' || dysk > u'Z') return false;
    cel.dysk = dysk;
    std::u16string czesc;
    for (std::size_t i = 3; i <= sciezka.size(); ++i) {
        if (i == sciezka.size() || sciezka[i] == u'\\' || sciezka[i] == u'/') {
            if (!czesc.empty()) cel.czesci.push_back(czesc);
            czesc.clear();
        } else {
            czesc += sciezka[i];
        }
    }
    return true;
}

// One file-system shell item: short name in the item itself, long name in the
// 0xBEEF0004 extension block. The block has the layout of version 3 (Windows
// XP): every later Windows reads it, and Wine finds the long name only there,
// at offset 20 of the block; the longer layouts of later versions would leave
// Wine with an empty name and an item list it cannot turn into a path.
void ElementPliku(Bajty& b, const std::u16string& nazwa, bool folder, const StanPliku& stan) {
    const std::size_t poczatek = b.Rozmiar();
    b.U16(0);  // item size, filled in below
    b.U8(folder ? 0x31 : 0x32);
    b.U8(0);
    b.U32(folder ? 0 : static_cast<std::uint32_t>(stan.rozmiar));
    b.U32(CzasDos(stan.zapis));
    b.U16(static_cast<std::uint16_t>(folder ? ATRYBUT_FOLDER : ATRYBUT_ARCHIWUM));
    b.Ansi(KrotkaNazwa(nazwa));
    if ((b.Rozmiar() - poczatek) % 2) b.U8(0);  // the extension block is word-aligned

    const std::size_t rozszerzenie = b.Rozmiar();
    b.U16(0);  // extension size, filled in below
    b.U16(3);  // extension version
    b.U32(0xBEEF0004);
    b.U32(CzasDos(stan.utworzenie));
    b.U32(CzasDos(stan.dostep));
    b.U16(0x14);  // identifier of this version's layout
    b.U16(0);     // no localised name
    b.Utf16(nazwa);
    b.U16(0);
    b.U16(static_cast<std::uint16_t>(rozszerzenie - poczatek));
    b.Wpisz16(rozszerzenie, static_cast<std::uint16_t>(b.Rozmiar() - rozszerzenie));
    b.Wpisz16(poczatek, static_cast<std::uint16_t>(b.Rozmiar() - poczatek));
}

void ListaElementow(Bajty& b, const Cel& cel, const ISystemPlikow& pliki,
                    const StanPliku& stanCelu) {
    const std::size_t poczatek = b.Rozmiar();
    b.U16(0);  // IDListSize, filled in below

    b.U16(0x14);  // My Computer
    b.U8(0x1F);
    b.U8(0x50);
    b.Surowe(KLASA_KOMPUTERA, sizeof KLASA_KOMPUTERA);

    b.U16(0x19);  // the drive: "C:\" in a 22-byte field
    b.U8(0x2F);
    std::string dysk = AnsiBezpieczny(cel.Korzen());
    dysk.resize(22, '\0');
    b.Surowe(reinterpret_cast<const unsigned char*>(dysk.data()), dysk.size());

    for (std::size_t i = 0; i < cel.czesci.size(); ++i) {
        const bool ostatni = i + 1 == cel.czesci.size();
        const StanPliku stan = ostatni ? stanCelu : Zbadaj(pliki, cel.DoCzesci(i + 1));
        ElementPliku(b, cel.czesci[i], !ostatni || stan.folder, stan);
    }
    b.U16(0);  // TerminalID
    b.Wpisz16(poczatek, static_cast<std::uint16_t>(b.Rozmiar() - poczatek - 2));
}

// The serial number Wine gives the drive (the hexadecimal number in the
// ".windows-serial" file at its root), or a fixed one.
std::uint32_t NumerSeryjny(const ISystemPlikow& pliki, const Cel& cel) {
    const std::u16string korzen = pliki.NaSciezkeSystemu(cel.Korzen());
    if (korzen.empty()) return NUMER_SERYJNY_DOMYSLNY;
    std::string sciezka = Utf8(korzen);
    if (sciezka.back() != '/') sciezka += '/';
    std::ifstream plik(sciezka + ".windows-serial");
    std::string tekst;
    if (!(plik >> tekst)) return NUMER_SERYJNY_DOMYSLNY;
    try {
        return static_cast<std::uint32_t>(std::stoul(tekst, nullptr, 16));
    } catch (const std::exception&) {
        return NUMER_SERYJNY_DOMYSLNY;
    }
}

void BlokLinkInfo(Bajty& b, const std::u16string& sciezkaLokalna, std::uint32_t numerSeryjny) {
    const bool unicode = !JestAscii(sciezkaLokalna);
    const std::uint32_t naglowek = unicode ? 0x24 : 0x1C;
    constexpr std::uint32_t ROZMIAR_WOLUMINU = 0x11;  // 16 bytes and an empty label

    const std::uint32_t wolumin = naglowek;
    const std::uint32_t sciezka = wolumin + ROZMIAR_WOLUMINU;
    const std::string ansi = AnsiBezpieczny(sciezkaLokalna);
    const std::uint32_t przyrostek = sciezka + static_cast<std::uint32_t>(ansi.size()) + 1;
    const std::uint32_t sciezkaUnicode = przyrostek + 1;
    const std::uint32_t przyrostekUnicode =
        sciezkaUnicode + 2 * static_cast<std::uint32_t>(sciezkaLokalna.size() + 1);
    const std::uint32_t razem = unicode ? przyrostekUnicode + 2 : przyrostek + 1;

    b.U32(razem);
    b.U32(naglowek);
    b.U32(1);  // VolumeIDAndLocalBasePath
    b.U32(wolumin);
    b.U32(sciezka);
    b.U32(0);  // no network location
    b.U32(przyrostek);
    if (unicode) {
        b.U32(sciezkaUnicode);
        b.U32(przyrostekUnicode);
    }
    b.U32(ROZMIAR_WOLUMINU);
    b.U32(DYSK_STALY);
    b.U32(numerSeryjny);
    b.U32(0x10);  // the label follows at once
    b.U8(0);      // empty label
    b.Ansi(ansi);
    b.U8(0);  // empty common path suffix
    if (unicode) {
        b.Utf16(sciezkaLokalna);
        b.U16(0);
        b.U16(0);
    }
}

class ObiektSkrotuPosix : public IObiektSkrotu {
public:
    explicit ObiektSkrotuPosix(ISystemPlikow& pliki) : pliki_(pliki) {}

    void SetPath(const std::u16string& sciezka) override { sciezka_ = sciezka; }
    void SetWorkingDirectory(const std::u16string& folder) override { folder_ = folder; }
    // An empty text clears the field; the shell then writes no string for it.
    void SetArguments(const std::u16string& argumenty) override { argumenty_ = argumenty; }
    void SetDescription(const std::u16string& opis) override { opis_ = opis; }
    void SetShowCmd(std::int32_t rodzajOkna) override { rodzajOkna_ = rodzajOkna; }
    void SetIconLocation(const std::u16string& sciezka, std::int32_t numer) override {
        ikona_ = sciezka;
        numerIkony_ = numer;
    }
    void SetHotkey(std::uint16_t klawisz) override { klawisz_ = klawisz; }

    bool Save(const std::u16string& sciezkaSkrotu, bool) override {
        try {
            std::string dane;
            if (!Zbuduj(dane)) return false;
            std::u16string blad;
            auto plik = pliki_.UtworzPlikTymczasowy(sciezkaSkrotu, blad);
            if (!plik) return false;
            return plik->Zapisz(dane.data(), dane.size(), blad) && plik->Zatwierdz(blad);
        } catch (const std::exception&) {
            return false;
        }
    }

private:
    // False when the link cannot be written in this format: a target that
    // lies on no drive letter, or a text longer than a 16-bit count.
    bool Zbuduj(std::string& wynik) const {
        Cel cel;
        const bool maCel = !sciezka_.empty();
        if (maCel && !RozbierzCel(sciezka_, cel)) return false;
        for (const auto* tekst : {&opis_, &folder_, &argumenty_, &ikona_})
            if (tekst->size() > 0xFFFF) return false;

        const StanPliku stan =
            maCel ? Zbadaj(pliki_, cel.DoCzesci(cel.czesci.size())) : StanPliku{};

        std::uint32_t flagi = JEST_UNICODE;
        if (maCel) flagi |= MA_LISTE_ELEMENTOW | MA_LINK_INFO;
        if (!opis_.empty()) flagi |= MA_NAZWE;
        if (!folder_.empty()) flagi |= MA_FOLDER_ROBOCZY;
        if (!argumenty_.empty()) flagi |= MA_ARGUMENTY;
        if (!ikona_.empty()) flagi |= MA_IKONE;

        Bajty b;
        b.U32(0x4C);
        b.Surowe(KLASA_SKROTU, sizeof KLASA_SKROTU);
        b.U32(flagi);
        b.U32(stan.istnieje ? (stan.folder ? ATRYBUT_FOLDER : ATRYBUT_ARCHIWUM) : 0);
        b.U64(CzasWindows(stan.utworzenie));
        b.U64(CzasWindows(stan.dostep));
        b.U64(CzasWindows(stan.zapis));
        b.U32(static_cast<std::uint32_t>(stan.rozmiar));
        b.U32(static_cast<std::uint32_t>(numerIkony_));
        b.U32(static_cast<std::uint32_t>(rodzajOkna_));
        b.U16(klawisz_);
        b.U16(0);
        b.U32(0);
        b.U32(0);

        if (maCel) {
            ListaElementow(b, cel, pliki_, stan);
            if (b.Rozmiar() > 0x4C + 2 + 0xFFFF) return false;
            BlokLinkInfo(b, cel.DoCzesci(cel.czesci.size()), NumerSeryjny(pliki_, cel));
        }

        for (const auto* tekst : {&opis_, &folder_, &argumenty_, &ikona_}) {
            if (tekst->empty()) continue;
            b.U16(static_cast<std::uint16_t>(tekst->size()));
            b.Utf16(*tekst);
        }
        b.U32(0);  // terminal block
        wynik = b.Dane();
        return true;
    }

    ISystemPlikow& pliki_;
    std::u16string sciezka_, folder_, argumenty_, opis_, ikona_;
    std::int32_t numerIkony_ = 0;
    std::int32_t rodzajOkna_ = 1;  // SW_SHOWNORMAL, the shell's default
    std::uint16_t klawisz_ = 0;
};

class FabrykaSkrotowPosix : public IFabrykaSkrotow {
public:
    explicit FabrykaSkrotowPosix(ISystemPlikow& pliki) : pliki_(pliki) {}
    std::unique_ptr<IObiektSkrotu> Utworz() override {
        return std::make_unique<ObiektSkrotuPosix>(pliki_);
    }

private:
    ISystemPlikow& pliki_;
};

}  // namespace

std::unique_ptr<IFabrykaSkrotow> UtworzFabrykeSkrotowPosix(ISystemPlikow& pliki) {
    return std::make_unique<FabrykaSkrotowPosix>(pliki);
}

}  // namespace platforma
