// Text conversions and path helpers shared by every system.
#include <gtest/gtest.h>

#include <string>

#include "platform/Sciezki.h"
#include "platform/Tekst.h"

using namespace platforma;

namespace {

std::string Hex(const std::string& s) {
    static const char cyfry[] = "0123456789ABCDEF";
    std::string wynik;
    for (unsigned char c : s) {
        wynik += cyfry[c >> 4];
        wynik += cyfry[c & 15];
        wynik += ' ';
    }
    return wynik;
}

std::string Hex(const std::u16string& s) {
    std::string wynik;
    for (char16_t c : s) wynik += std::to_string(static_cast<unsigned>(c)) + ' ';
    return wynik;
}

}  // namespace

TEST(Tekst, PoprawnyTekstPrzechodziWObieStronyBezZmian) {
    struct Przypadek {
        std::u16string utf16;
        std::string utf8;
    };
    const Przypadek przypadki[] = {
        {u"", ""},
        {u"C:\\KV-Tek\\Kavrostel8", "C:\\KV-Tek\\Kavrostel8"},
        {u"Narzędzia", "Narz\xC4\x99" "dzia"},
        {u"ĄĆĘŁŃÓŚŹŻąćęłńóśźż", "\xC4\x84\xC4\x86\xC4\x98\xC5\x81\xC5\x83\xC3\x93\xC5\x9A\xC5\xB9\xC5\xBB"
                                 "\xC4\x85\xC4\x87\xC4\x99\xC5\x82\xC5\x84\xC3\xB3\xC5\x9B\xC5\xBA\xC5\xBC"},
        {u"\u007F\u0080", "\x7F\xC2\x80"},
        {u"\u07FF\u0800", "\xDF\xBF\xE0\xA0\x80"},
        {u"\uFFFD\uFFFF", "\xEF\xBF\xBD\xEF\xBF\xBF"},
        {u"\U00010000", "\xF0\x90\x80\x80"},
        {u"a\U0001F600b", "a\xF0\x9F\x98\x80" "b"},
        {u"\U0010FFFF", "\xF4\x8F\xBF\xBF"},
        {std::u16string(1, u'\0') + u"x", std::string(1, '\0') + "x"},
    };
    for (const auto& p : przypadki) {
        EXPECT_EQ(Hex(Utf8(p.utf16)), Hex(p.utf8)) << Hex(p.utf16);
        EXPECT_EQ(Hex(Utf16(p.utf8)), Hex(p.utf16)) << Hex(p.utf8);
    }
}

TEST(Tekst, NiesparowanySurogatStajeSieZnakiemZastepczym) {
    struct Przypadek {
        std::u16string utf16;
        std::string utf8;
    };
    const std::string zastepczy = "\xEF\xBF\xBD";
    const Przypadek przypadki[] = {
        {std::u16string{0xD83D}, zastepczy},
        {std::u16string{0xDE00}, zastepczy},
        {std::u16string{u'a', 0xD83D, u'b'}, "a" + zastepczy + "b"},
        {std::u16string{0xDE00, 0xD83D}, zastepczy + zastepczy},
        {std::u16string{0xD83D, 0xD83D, 0xDE00}, zastepczy + "\xF0\x9F\x98\x80"},
    };
    for (const auto& p : przypadki) EXPECT_EQ(Hex(Utf8(p.utf16)), Hex(p.utf8)) << Hex(p.utf16);
}

TEST(Tekst, BlednyUtf8DajeZnakZastepczyINieGubiNastepnychZnakow) {
    struct Przypadek {
        std::string utf8;
        std::u16string utf16;
    };
    const char16_t Z = 0xFFFD;
    const Przypadek przypadki[] = {
        {"\x80", {Z}},                               // a lone continuation byte
        {"a\xBF" "b", {u'a', Z, u'b'}},
        {"\xC0\xAF", {Z, Z}},                        // overlong "/"
        {"\xE0\x80\xAF", {Z, Z, Z}},                 // overlong, three bytes
        {"\xED\xA0\x80", {Z, Z, Z}},                 // an encoded surrogate
        {"\xF4\x90\x80\x80", {Z, Z, Z, Z}},          // past U+10FFFF
        {"\xF5\x80", {Z, Z}},
        {"\xFF", {Z}},
        {"\xE2\x82", {Z}},                           // cut off at the end
        {"\xE2\x82" "A", {Z, u'A'}},                 // cut off before a letter
        {"\xF0\x9F\x98", {Z}},
        {"\xC4" "\xC4\x99", {Z, u'ę'}},              // cut off before a whole letter
    };
    for (const auto& p : przypadki) EXPECT_EQ(Hex(Utf16(p.utf8)), Hex(p.utf16)) << Hex(p.utf8);
}

TEST(Tekst, WielkaLiteraAsciiZmieniaTylkoMaleLiteryAscii) {
    const std::pair<char16_t, char16_t> przypadki[] = {
        {u'a', u'A'}, {u'c', u'C'}, {u'z', u'Z'}, {u'A', u'A'}, {u'Z', u'Z'}, {u'`', u'`'},
        {u'{', u'{'}, {u'1', u'1'}, {u'\\', u'\\'}, {u'ą', u'ą'}, {u'ż', u'ż'}, {u'é', u'é'},
    };
    for (const auto& [znak, wynik] : przypadki) {
        EXPECT_EQ(static_cast<int>(WielkaLiteraAscii(znak)), static_cast<int>(wynik)) << static_cast<int>(znak);
    }
}

TEST(Tekst, ZnakBezWielkosciPodnosiLiteryLacinskie) {
    const std::pair<char16_t, char16_t> przypadki[] = {
        {u'a', u'A'}, {u'z', u'Z'}, {u'A', u'A'}, {u'`', u'`'}, {u'{', u'{'}, {u'\\', u'\\'},
        {u'ą', u'Ą'}, {u'ć', u'Ć'}, {u'ę', u'Ę'}, {u'ł', u'Ł'}, {u'ń', u'Ń'},
        {u'ó', u'Ó'}, {u'ś', u'Ś'}, {u'ź', u'Ź'}, {u'ż', u'Ż'}, {u'Ż', u'Ż'},
        {u'à', u'À'}, {u'é', u'É'}, {u'þ', u'Þ'}, {u'ä', u'Ä'},
        {u'÷', u'÷'}, {u'ÿ', u'ÿ'}, {u'ß', u'ß'},           // no capital in the same block
        {u'ı', u'ı'}, {u'ĸ', u'ĸ'}, {u'ŉ', u'ŉ'}, {u'ſ', u'ſ'},  // no simple pair
        {u'ĳ', u'Ĳ'}, {u'œ', u'Œ'}, {u'ž', u'Ž'},
        {u'α', u'α'}, {u'ж', u'ж'},                         // beyond Latin Extended-A
    };
    for (const auto& [znak, wynik] : przypadki) {
        EXPECT_EQ(static_cast<int>(ZnakBezWielkosci(znak)), static_cast<int>(wynik)) << static_cast<int>(znak);
    }
}

TEST(Tekst, ZawieraBezWielkosciLiter) {
    struct Przypadek {
        std::u16string stog;
        std::u16string igla;
        bool wynik;
    };
    const Przypadek przypadki[] = {
        {u"c:\\kv-tek\\stare", u"KV-Tek", true},
        {u"D:\\Dane\\KV-TEK", u"KV-Tek", true},
        {u"D:\\xKv-tEky", u"KV-Tek", true},
        {u"KV-Tek", u"KV-Tek", true},
        {u"D:\\Dane", u"KV-Tek", false},
        {u"D:\\KV-Te", u"KV-Tek", false},
        {u"D:\\KV Tek", u"KV-Tek", false},
        {u"E:\\ZĄB\\ŻÓŁW", u"ząb\\żółw", true},
        {u"ĄĆĘŁŃÓŚŹŻ", u"ąćęłńóśźż", true},
        {u"E:\\ZAB", u"ząb", false},      // ą is not a
        {u"E:\\ząb", u"ZAB", false},
        {u"D:\\Dane", u"", false},        // an empty text is found nowhere
        {u"", u"KV-Tek", false},
        {u"kv-tek", u"kv-tekk", false},
    };
    for (const auto& p : przypadki) {
        EXPECT_EQ(ZawieraBezWielkosciLiter(p.stog, p.igla), p.wynik) << Utf8(p.stog) << " / " << Utf8(p.igla);
    }
}

TEST(Sciezki, OgranicznikamiSaUkosnikiIDwukropek) {
    for (char16_t z : {u'\\', u'/', u':'}) EXPECT_TRUE(JestOgranicznikiem(z)) << static_cast<int>(z);
    for (char16_t z : {u'a', u'.', u' ', u'|', u'\0'}) EXPECT_FALSE(JestOgranicznikiem(z)) << static_cast<int>(z);
}

TEST(Sciezki, FolderZSeparatoremKonczySieOstatnimOgranicznikiem) {
    const std::pair<std::u16string, std::u16string> przypadki[] = {
        {u"C:\\KV-Tek\\a.exe", u"C:\\KV-Tek\\"},
        {u"D:a", u"D:"},
        {u"D:\\a", u"D:\\"},
        {u"C:/x/y.exe", u"C:/x/"},
        {u"C:\\x/y\\", u"C:\\x/y\\"},
        {u"a.exe", u""},
        {u"", u""},
    };
    for (const auto& [sciezka, wynik] : przypadki) EXPECT_EQ(Utf8(FolderZSeparatorem(sciezka)), Utf8(wynik)) << Utf8(sciezka);
}

TEST(Sciezki, FolderPlikuZachowujeSeparatorTylkoWKorzeniuDysku) {
    const std::pair<std::u16string, std::u16string> przypadki[] = {
        {u"D:\\plik.exe", u"D:\\"},
        {u"D:\\Dane\\plik.exe", u"D:\\Dane"},
        {u"d:\\Dane\\plik.exe", u"d:\\Dane"},
        {u"Z:\\opt\\kv\\bin\\instalator", u"Z:\\opt\\kv\\bin"},
        {u"Z:\\instalator", u"Z:\\"},
        {u"Z:/opt/instalator", u"Z:/opt"},
        {u"C:\\Program Files\\Narzędzia\\x.exe", u"C:\\Program Files\\Narzędzia"},
        {u"C:\\KV\\", u"C:\\KV"},
        {u"C:\\KV\\\\x", u"C:\\KV\\\\"},   // a doubled separator is kept whole
        {u"D:plik.exe", u"D:"},
        {u"\\plik.exe", u"\\"},
        {u"plik.exe", u""},
        {u"", u""},
    };
    for (const auto& [sciezka, wynik] : przypadki) EXPECT_EQ(Utf8(FolderPliku(sciezka)), Utf8(wynik)) << Utf8(sciezka);
}
