// Shortcut files written on POSIX, read back by an independent reader
// (lnkinfo from liblnk-utils) and by a byte-level reader of the format here.
// lnkinfo checks the local path, working folder, description, arguments, icon
// location and drive type; the byte reader checks what lnkinfo 20181227 shows
// wrongly or not at all: show command (0x3C) and hot key (0x40), which it
// replaces by the file size, the flags, the header fields, the item list with
// its short and long names, LinkInfo and the string blocks.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "Atrapy.h"
#include "SkrotPosix.h"
#include "Skroty.h"
#include "SystemPlikowPosix.h"
#include "platform/Tekst.h"

namespace {

namespace fs = std::filesystem;
using platforma::Utf16;
using platforma::Utf8;

// A Wine prefix of its own: drive C: is <prefix>/drive_c.
class PrefiksWine {
public:
    PrefiksWine() {
        char wzor[] = "/tmp/kv-lnk-XXXXXX";
        if (!::mkdtemp(wzor)) throw std::runtime_error("mkdtemp");
        folder_ = wzor;
        fs::create_directories(folder_ / "drive_c");
        fs::create_directories(folder_ / "dosdevices");
        fs::create_directory_symlink("../drive_c", folder_ / "dosdevices" / "c:");
    }
    ~PrefiksWine() {
        std::error_code e;
        fs::remove_all(folder_, e);
    }
    std::string Prefiks() const { return folder_.string(); }
    // The POSIX path of a path below C:\ ("KV-Tek/a.exe").
    fs::path C(const std::string& ponizej) const { return folder_ / "drive_c" / ponizej; }
    void Plik(const std::string& ponizej, const std::string& tresc) const {
        fs::create_directories(C(ponizej).parent_path());
        std::ofstream(C(ponizej), std::ios::binary) << tresc;
    }

private:
    fs::path folder_;
};

std::string Czytaj(const fs::path& p) {
    std::ifstream f(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
}

std::uint16_t U16(const std::string& b, std::size_t i) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(b.at(i)) |
                                      (static_cast<unsigned char>(b.at(i + 1)) << 8));
}
std::uint32_t U32(const std::string& b, std::size_t i) {
    return U16(b, i) | (static_cast<std::uint32_t>(U16(b, i + 2)) << 16);
}
std::uint64_t U64(const std::string& b, std::size_t i) {
    return U32(b, i) | (static_cast<std::uint64_t>(U32(b, i + 4)) << 32);
}
std::u16string Utf16Le(const std::string& b, std::size_t i, std::size_t znaki) {
    std::u16string w;
    for (std::size_t k = 0; k < znaki; ++k) w += static_cast<char16_t>(U16(b, i + 2 * k));
    return w;
}
std::u16string Utf16LeDoZera(const std::string& b, std::size_t i) {
    std::u16string w;
    for (; U16(b, i); i += 2) w += static_cast<char16_t>(U16(b, i));
    return w;
}
std::string AnsiDoZera(const std::string& b, std::size_t i) { return std::string(b.c_str() + i); }

// What lnkinfo prints: the "Contains ..." lines and the "key : value" lines
// of its link information section.
struct WynikLnkinfo {
    int kod = -1;
    std::string tekst;
    std::set<std::string> zawiera;
    std::map<std::string, std::string> pola;
};

WynikLnkinfo Lnkinfo(const fs::path& plik) {
    WynikLnkinfo w;
    const std::string polecenie = "lnkinfo '" + plik.string() + "' 2>&1";
    FILE* p = ::popen(polecenie.c_str(), "r");
    if (!p) return w;
    char bufor[4096];
    while (std::fgets(bufor, sizeof bufor, p)) w.tekst += bufor;
    w.kod = ::pclose(p);
    std::istringstream linie(w.tekst);
    std::string linia;
    bool informacje = false;
    while (std::getline(linie, linia)) {
        const auto poczatek = linia.find_first_not_of("\t ");
        if (poczatek == std::string::npos) continue;
        linia = linia.substr(poczatek);
        if (linia.rfind("Contains ", 0) == 0) w.zawiera.insert(linia);
        if (linia == "Link information:") informacje = true;
        if (linia == "Link target identifier:") informacje = false;
        const auto dwukropek = linia.find(": ");
        if (!informacje || dwukropek == std::string::npos) continue;
        std::string klucz = linia.substr(0, dwukropek);
        klucz.erase(klucz.find_last_not_of("\t ") + 1);
        if (!w.pola.count(klucz)) w.pola[klucz] = linia.substr(dwukropek + 2);
    }
    return w;
}

// The parts of a link file, read by offsets and sizes as the format lays them out.
struct Skrot {
    std::uint32_t flagi = 0;
    struct Element {
        std::uint8_t typ = 0;
        std::string surowe;    // the whole item, its size field included
        std::string krotka;    // file entries: the 8.3 name
        std::u16string dluga;  // file entries: the long name in 0xBEEF0004
        std::uint16_t atrybuty = 0;
        std::uint32_t rozmiar = 0;
    };
    std::vector<Element> elementy;
    std::uint32_t naglowekLinkInfo = 0, typDysku = 0, numerSeryjny = 0;
    std::string sciezkaAnsi;
    std::u16string sciezkaUnicode;
    std::map<std::uint32_t, std::u16string> teksty;  // flag -> string
    std::size_t koniecTekstow = 0;
};

Skrot Rozbierz(const std::string& b) {
    Skrot s;
    s.flagi = U32(b, 0x14);
    std::size_t i = 0x4C;
    if (s.flagi & 0x1) {
        const std::size_t koniec = i + 2 + U16(b, i);
        for (i += 2; U16(b, i) != 0; i += U16(b, i)) {
            Skrot::Element e;
            e.surowe = b.substr(i, U16(b, i));
            e.typ = static_cast<std::uint8_t>(b.at(i + 2));
            if (e.typ == 0x31 || e.typ == 0x32) {
                e.rozmiar = U32(b, i + 4);
                e.atrybuty = U16(b, i + 12);
                e.krotka = AnsiDoZera(b, i + 14);
                // The last word of the item is the offset of its extension block.
                const std::size_t rozsz = i + U16(b, i + U16(b, i) - 2);
                EXPECT_EQ(U32(b, rozsz + 4), 0xBEEF0004u);
                EXPECT_EQ((rozsz - i) % 2, 0u) << "the extension block is word-aligned";
                EXPECT_EQ(U16(b, rozsz), i + U16(b, i) - rozsz) << "extension size";
                EXPECT_EQ(U16(b, rozsz + 2), 3) << "extension version";
                e.dluga = Utf16LeDoZera(b, rozsz + 20);
            }
            s.elementy.push_back(e);
        }
        EXPECT_EQ(i + 2, koniec) << "IDListSize";
        i = koniec;
    }
    if (s.flagi & 0x2) {
        const std::size_t li = i;
        s.naglowekLinkInfo = U32(b, li + 4);
        EXPECT_EQ(U32(b, li + 8), 1u) << "LinkInfoFlags";
        const std::size_t wolumin = li + U32(b, li + 12);
        s.typDysku = U32(b, wolumin + 4);
        s.numerSeryjny = U32(b, wolumin + 8);
        EXPECT_EQ(AnsiDoZera(b, wolumin + U32(b, wolumin + 12)), "") << "volume label";
        s.sciezkaAnsi = AnsiDoZera(b, li + U32(b, li + 16));
        EXPECT_EQ(U32(b, li + 20), 0u) << "network link";
        EXPECT_EQ(AnsiDoZera(b, li + U32(b, li + 24)), "") << "common path suffix";
        if (s.naglowekLinkInfo >= 0x24) {
            s.sciezkaUnicode = Utf16LeDoZera(b, li + U32(b, li + 28));
            EXPECT_EQ(Utf16LeDoZera(b, li + U32(b, li + 32)), u"");
        }
        i = li + U32(b, li);
    }
    for (std::uint32_t flaga : {0x04u, 0x08u, 0x10u, 0x20u, 0x40u}) {
        if (!(s.flagi & flaga)) continue;
        const std::size_t ile = U16(b, i);
        s.teksty[flaga] = Utf16Le(b, i + 2, ile);
        i += 2 + 2 * ile;
    }
    s.koniecTekstow = i;
    return s;
}

constexpr std::uint32_t ID_LISTA = 0x01, LINK_INFO = 0x02, NAZWA = 0x04, FOLDER = 0x10,
                        ARGUMENTY = 0x20, IKONA = 0x40, UNICODE = 0x80;

struct Pola {
    std::u16string cel;
    std::u16string folder;
    std::u16string argumenty;
    std::u16string opis;
    std::u16string ikona;
    std::int32_t numerIkony = 0;
    std::int32_t okno = 1;
    std::uint16_t klawisz = 0;
};

class LnkTest : public ::testing::Test {
protected:
    PrefiksWine prefiks;
    platforma::SystemPlikowPosix pliki{platforma::UstawieniaWine{prefiks.Prefiks(), "jan"}};
    std::unique_ptr<platforma::IFabrykaSkrotow> fabryka =
        platforma::UtworzFabrykeSkrotowPosix(pliki);

    bool Zapisz(const Pola& p, const std::u16string& sciezka) {
        auto o = fabryka->Utworz();
        o->SetPath(p.cel);
        o->SetWorkingDirectory(p.folder);
        o->SetArguments(p.argumenty);
        if (!p.opis.empty()) o->SetDescription(p.opis);
        o->SetShowCmd(p.okno);
        if (!p.ikona.empty()) o->SetIconLocation(p.ikona, p.numerIkony);
        if (p.klawisz) o->SetHotkey(p.klawisz);
        return o->Save(sciezka, false);
    }
};

TEST_F(LnkTest, InstallationLinksAreReadByLnkinfo) {
    AtrapySrodowiska a;
    a.kontekst.FolderInstalatora = u"C:\\Instalator";
    prefiks.Plik("Instalator/Program/_Aktualizacja.exe", "MZ aktualizacja");
    prefiks.Plik("KV-Tek/Kavrostel8/_Kavrostel.exe", "MZ program");
    fs::create_directories(prefiks.C("users/jan/Desktop"));
    fs::create_directories(
        prefiks.C("users/jan/AppData/Roaming/Microsoft/Windows/Start Menu/Programs"));
    Srodowisko s{
        a.kontekst, a.strona, pliki, a.powloka, *fabryka, a.http, a.srodowisko.adresSerwera};

    UtworzSkroty(s);

    EXPECT_EQ(Czytaj(prefiks.C("KV-Tek/Kavrostel8/_Aktualizacja.exe")), "MZ aktualizacja");
    const fs::path pulpit = prefiks.C("users/jan/Desktop/_Kavrostel 8.lnk");
    const fs::path menu = prefiks.C(
        "users/jan/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Orveliane/_Kavrostel "
        "8.lnk");
    for (const auto& plik : {pulpit, menu}) {
        SCOPED_TRACE(plik.string());
        ASSERT_TRUE(fs::is_regular_file(plik));
        auto w = Lnkinfo(plik);
        ASSERT_EQ(w.kod, 0) << w.tekst;
        EXPECT_EQ(w.pola["Local path"], "C:\\KV-Tek\\Kavrostel8\\_Kavrostel.exe") << w.tekst;
        EXPECT_EQ(w.pola["Working directory"], "C:\\KV-Tek\\Kavrostel8");
        EXPECT_EQ(w.pola["Description"], "Skrót do programu Vestra _Kavrostel 8.0");
        EXPECT_EQ(w.pola["Drive type"], "Fixed (3)");
        EXPECT_EQ(w.pola.count("Command line arguments"), 0u);
        EXPECT_EQ(w.pola.count("Icon location"), 0u);
        EXPECT_EQ(w.pola["File size"], "10 bytes");
        const std::string b = Czytaj(plik);
        EXPECT_EQ(U32(b, 0x3C), 1u) << "SW_SHOWNORMAL";
        EXPECT_EQ(U16(b, 0x40), 0x064B) << "Ctrl+Alt+K";
        EXPECT_EQ(U32(b, 0x14), ID_LISTA | LINK_INFO | NAZWA | FOLDER | UNICODE);
    }
    EXPECT_TRUE(a.strona.deinstalacjaWlaczona);
}

TEST_F(LnkTest, FieldsAreReadBackByLnkinfoAndByOffset) {
    prefiks.Plik("KV-Tek/Kavrostel8/_Kavrostel.exe", "MZ");
    prefiks.Plik("Program Files/Kavrostel Sterowany/program startowy.exe", "MZ");
    fs::create_directories(prefiks.C("Programy/Zażółć"));
    struct Przypadek {
        const char* nazwa;
        Pola p;
        std::uint32_t flagi;
        std::string sciezkaAnsi;  // LocalBasePath as single bytes
    };
    const std::vector<Przypadek> przypadki = {
        {"every field",
         {u"C:\\KV-Tek\\Kavrostel8\\_Kavrostel.exe", u"C:\\KV-Tek", u"/a \"b c\"", u"Opis łąki",
          u"C:\\KV-Tek\\ikony.dll", 2, 3, 0x0651},
         ID_LISTA | LINK_INFO | NAZWA | FOLDER | ARGUMENTY | IKONA | UNICODE,
         "C:\\KV-Tek\\Kavrostel8\\_Kavrostel.exe"},
        {"no description, arguments, icon or key",
         {u"C:\\KV-Tek\\Kavrostel8\\_Kavrostel.exe", u"C:\\KV-Tek\\Kavrostel8\\", u"", u"", u"", 0,
          7, 0},
         ID_LISTA | LINK_INFO | FOLDER | UNICODE,
         "C:\\KV-Tek\\Kavrostel8\\_Kavrostel.exe"},
        {"blanks and long names",
         {u"C:\\Program Files\\Kavrostel Sterowany\\program startowy.exe", u"C:\\Program Files",
          u"-x", u"d", u"", 0, 1, 0x064B},
         ID_LISTA | LINK_INFO | NAZWA | FOLDER | ARGUMENTY | UNICODE,
         "C:\\Program Files\\Kavrostel Sterowany\\program startowy.exe"},
        {"Polish letters in the target",
         {u"C:\\Programy\\Zażółć\\gęślą jaźń.exe", u"C:\\Programy\\Zażółć", u"", u"Zażółć", u"", 0,
          1, 0x064B},
         ID_LISTA | LINK_INFO | NAZWA | FOLDER | UNICODE,
         "C:\\Programy\\Za????\\g??l? ja??.exe"},
        {"a target that does not exist yet, lower-case drive",
         {u"c:\\Nowy\\program.exe", u"", u"", u"", u"", 0, 1, 0},
         ID_LISTA | LINK_INFO | UNICODE,
         "C:\\Nowy\\program.exe"},
    };
    int n = 0;
    for (const auto& c : przypadki) {
        SCOPED_TRACE(c.nazwa);
        const std::string nazwa = "skrot" + std::to_string(++n) + ".lnk";
        ASSERT_TRUE(Zapisz(c.p, u"C:\\" + Utf16(nazwa)));
        const fs::path plik = prefiks.C(nazwa);
        const std::string b = Czytaj(plik);

        auto w = Lnkinfo(plik);
        ASSERT_EQ(w.kod, 0) << w.tekst;
        std::u16string oczekiwanyCel = c.p.cel;
        oczekiwanyCel[0] = u'C';
        EXPECT_EQ(w.pola["Local path"], Utf8(oczekiwanyCel)) << w.tekst;
        EXPECT_EQ(w.pola["Drive type"], "Fixed (3)");
        auto pole = [&](const char* klucz) {
            const auto it = w.pola.find(klucz);
            return it == w.pola.end() ? std::string("(none)") : it->second;
        };
        auto albo = [](const std::u16string& t) { return t.empty() ? "(none)" : Utf8(t); };
        EXPECT_EQ(pole("Working directory"), albo(c.p.folder));
        EXPECT_EQ(pole("Description"), albo(c.p.opis));
        EXPECT_EQ(pole("Command line arguments"), albo(c.p.argumenty));
        EXPECT_EQ(pole("Icon location"), albo(c.p.ikona));
        if (!c.p.ikona.empty()) {
            EXPECT_EQ(pole("Icon index"), std::to_string(c.p.numerIkony));
        }

        EXPECT_EQ(U32(b, 0x3C), static_cast<std::uint32_t>(c.p.okno));
        EXPECT_EQ(U16(b, 0x40), c.p.klawisz);
        const Skrot s = Rozbierz(b);
        EXPECT_EQ(s.flagi, c.flagi);
        EXPECT_EQ(s.sciezkaAnsi, c.sciezkaAnsi);
        const bool ascii = oczekiwanyCel == Utf16(c.sciezkaAnsi);
        EXPECT_EQ(s.naglowekLinkInfo, ascii ? 0x1Cu : 0x24u);
        EXPECT_EQ(s.sciezkaUnicode, ascii ? u"" : oczekiwanyCel);
        EXPECT_EQ(s.typDysku, 3u);
        EXPECT_EQ(s.teksty.count(NAZWA) ? s.teksty.at(NAZWA) : u"", c.p.opis);
        EXPECT_EQ(s.teksty.count(FOLDER) ? s.teksty.at(FOLDER) : u"", c.p.folder);
        EXPECT_EQ(s.teksty.count(ARGUMENTY) ? s.teksty.at(ARGUMENTY) : u"", c.p.argumenty);
        EXPECT_EQ(s.teksty.count(IKONA) ? s.teksty.at(IKONA) : u"", c.p.ikona);
        // Only the four zero bytes of the terminal block follow the strings.
        EXPECT_EQ(b.size(), s.koniecTekstow + 4);
        EXPECT_EQ(U32(b, s.koniecTekstow), 0u);
    }
}

TEST_F(LnkTest, HeaderAndItemListDescribeTheTarget) {
    const std::string cel =
        "KV-Tek/Start Menu/a b.txt/x.tar.gz/README/plik.html/Zażółć/.profil/KONIEC.EXE";
    prefiks.Plik(cel, std::string(1234, 'x'));
    prefiks.Plik(".windows-serial", "1c2d3e4f\n");
    Pola p;
    p.cel = u"C:\\" + Utf16(cel);
    std::replace(p.cel.begin(), p.cel.end(), u'/', u'\\');
    p.ikona = u"C:\\i.ico";
    p.numerIkony = -5;
    ASSERT_TRUE(Zapisz(p, u"C:\\a.lnk"));
    const std::string b = Czytaj(prefiks.C("a.lnk"));

    ASSERT_GE(b.size(), 0x4Cu);
    EXPECT_EQ(U32(b, 0), 0x4Cu);
    EXPECT_EQ(b.substr(4, 16),
              std::string("\x01\x14\x02\x00\x00\x00\x00\x00\xC0\x00\x00\x00\x00\x00\x00\x46", 16));
    EXPECT_EQ(U32(b, 0x18), 0x20u) << "FILE_ATTRIBUTE_ARCHIVE";
    struct stat st {};
    ASSERT_EQ(::stat(prefiks.C(cel).c_str(), &st), 0);
    const std::uint64_t zapis =
        (static_cast<std::uint64_t>(st.st_mtim.tv_sec) + 11644473600ULL) * 10000000ULL +
        static_cast<std::uint64_t>(st.st_mtim.tv_nsec / 100);
    EXPECT_EQ(U64(b, 0x2C), zapis) << "WriteTime";
    EXPECT_NE(U64(b, 0x1C), 0u) << "CreationTime";
    EXPECT_NE(U64(b, 0x24), 0u) << "AccessTime";
    EXPECT_EQ(U32(b, 0x34), 1234u) << "FileSize";
    EXPECT_EQ(static_cast<std::int32_t>(U32(b, 0x38)), -5) << "IconIndex";
    EXPECT_EQ(U32(b, 0x3C), 1u);
    EXPECT_EQ(U16(b, 0x40), 0u);
    EXPECT_EQ(U16(b, 0x42), 0u);
    EXPECT_EQ(U64(b, 0x44), 0u) << "Reserved2, Reserved3";

    const Skrot s = Rozbierz(b);
    EXPECT_EQ(s.numerSeryjny, 0x1C2D3E4Fu) << "the drive's own serial number";
    EXPECT_EQ(s.sciezkaUnicode, p.cel);
    EXPECT_EQ(s.teksty.at(IKONA), u"C:\\i.ico");
    // My Computer, the drive, then one item per part with its 8.3 and long names.
    const std::vector<std::pair<std::string, std::u16string>> nazwy = {
        {"KV-Tek", u"KV-Tek"},      {"STARTM~1", u"Start Menu"}, {"AB~1.TXT", u"a b.txt"},
        {"XTAR~1.GZ", u"x.tar.gz"}, {"README", u"README"},       {"PLIK~1.HTM", u"plik.html"},
        {"ZA____~1", u"Zażółć"},    {"PROFIL~1", u".profil"},    {"KONIEC.EXE", u"KONIEC.EXE"}};
    ASSERT_EQ(s.elementy.size(), 2 + nazwy.size());
    EXPECT_EQ(
        s.elementy[0].surowe,
        std::string(
            "\x14\x00\x1F\x50\xE0\x4F\xD0\x20\xEA\x3A\x69\x10\xA2\xD8\x08\x00\x2B\x30\x30\x9D",
            20));
    EXPECT_EQ(s.elementy[1].surowe, std::string("\x19\x00\x2F"
                                                "C:\\",
                                                6) +
                                        std::string(19, '\0'));
    for (std::size_t i = 0; i < nazwy.size(); ++i) {
        SCOPED_TRACE(i);
        const auto& e = s.elementy[2 + i];
        const bool plik = i + 1 == nazwy.size();
        EXPECT_EQ(e.typ, plik ? 0x32 : 0x31);
        EXPECT_EQ(e.atrybuty, plik ? 0x20 : 0x10);
        EXPECT_EQ(e.rozmiar, plik ? 1234u : 0u);
        EXPECT_EQ(e.krotka, nazwy[i].first);
        EXPECT_EQ(e.dluga, nazwy[i].second);
    }
}

TEST_F(LnkTest, AnExistingLinkIsReplacedWithoutLeftovers) {
    fs::create_directories(prefiks.C("Pulpit"));
    prefiks.Plik("Pulpit/a.lnk", "stara tresc, dluzsza niz nowy skrot" + std::string(2000, 'x'));
    ::chmod(prefiks.C("Pulpit/a.lnk").c_str(), 0444);
    Pola p;
    p.cel = u"C:\\program.exe";
    p.opis = u"pierwszy";
    ASSERT_TRUE(Zapisz(p, u"C:\\Pulpit\\a.lnk"));
    p.opis = u"drugi";
    ASSERT_TRUE(Zapisz(p, u"C:\\Pulpit\\a.lnk"));

    auto w = Lnkinfo(prefiks.C("Pulpit/a.lnk"));
    EXPECT_EQ(w.pola["Description"], "drugi") << w.tekst;
    EXPECT_EQ(Rozbierz(Czytaj(prefiks.C("Pulpit/a.lnk"))).teksty.at(NAZWA), u"drugi");
    std::vector<std::string> wpisy;
    for (const auto& e : fs::directory_iterator(prefiks.C("Pulpit")))
        wpisy.push_back(e.path().filename().string());
    EXPECT_EQ(wpisy, std::vector<std::string>{"a.lnk"});
}

TEST_F(LnkTest, SaveReportsWhatItCannotWrite) {
    struct Przypadek {
        const char* nazwa;
        std::u16string cel;
        std::u16string skrot;
    };
    const std::vector<Przypadek> przypadki = {
        {"missing folder", u"C:\\program.exe", u"C:\\Nie ma\\a.lnk"},
        {"missing drive", u"C:\\program.exe", u"Q:\\a.lnk"},
        {"target on no drive", u"program.exe", u"C:\\b.lnk"},
        {"network target", u"\\\\serwer\\udzial\\program.exe", u"C:\\c.lnk"},
        {"drive-relative target", u"C:program.exe", u"C:\\d.lnk"},
    };
    for (const auto& c : przypadki) {
        SCOPED_TRACE(c.nazwa);
        Pola p;
        p.cel = c.cel;
        EXPECT_FALSE(Zapisz(p, c.skrot));
    }
    std::vector<std::string> wpisy;
    for (const auto& e : fs::recursive_directory_iterator(prefiks.C("")))
        wpisy.push_back(e.path().string());
    EXPECT_TRUE(wpisy.empty()) << wpisy.front();
}

}  // namespace
