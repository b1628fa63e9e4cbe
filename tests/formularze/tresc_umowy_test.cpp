// The structure of the agreement text: which slots are empty, where the
// sections begin, and the limits on every line.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "TrescUmowy.h"
#include "platform/Tekst.h"

namespace {

bool WielkimiLiterami(std::u16string_view tekst) {
    for (const char16_t z : tekst)
        if (platforma::ZnakBezWielkosci(z) != z) return false;
    return true;
}

// The Roman number of a section heading ("IV. Opłaty..."), or empty.
std::u16string NumerSekcji(std::u16string_view linia) {
    std::size_t n = 0;
    while (n < linia.size() && (linia[n] == u'I' || linia[n] == u'V' || linia[n] == u'X')) ++n;
    if (n == 0 || linia.size() < n + 3 || linia[n] != u'.' || linia[n + 1] != u' ' || linia[n + 2] == u' ')
        return {};
    return std::u16string(linia.substr(0, n));
}

TEST(TrescUmowy, ExactlyTheseSlotsAreEmpty) {
    const std::set<std::size_t> puste{2, 31, 32, 33, 34, 54, 90, 97, 127, 137, 149, 170, 184, 209, 214};
    ASSERT_EQ(TrescUmowy.size(), 234u);
    int zTekstem = 0;
    for (std::size_t i = 0; i < TrescUmowy.size(); ++i) {
        const bool pusty = TrescUmowy[i].empty();
        EXPECT_EQ(pusty, puste.contains(i)) << "slot " << i;
        if (pusty) continue;
        ++zTekstem;
        // A line of blanks would list as an empty-looking item.
        EXPECT_NE(TrescUmowy[i].find_first_not_of(u' '), std::u16string_view::npos) << "slot " << i;
    }
    EXPECT_EQ(zTekstem, 219);
}

TEST(TrescUmowy, SectionsBeginThereAndOnlyThere) {
    const std::size_t poczatki[] = {35, 55, 91, 98, 128, 138, 150, 171, 185, 210, 215};
    const std::u16string rzymskie[] = {u"I", u"II", u"III", u"IV", u"V", u"VI", u"VII", u"VIII", u"IX", u"X", u"XI"};
    std::size_t sekcja = 0;
    for (std::size_t i = 0; i < TrescUmowy.size(); ++i) {
        const std::u16string numer = NumerSekcji(TrescUmowy[i]);
        if (sekcja < 11 && i == poczatki[sekcja]) {
            EXPECT_EQ(numer, rzymskie[sekcja]) << "slot " << i;
            ++sekcja;
        } else {
            EXPECT_TRUE(numer.empty()) << "slot " << i;
        }
    }
    EXPECT_EQ(sekcja, 11u);
    EXPECT_FALSE(TrescUmowy[233].empty());  // section XI runs to the last slot
}

TEST(TrescUmowy, EveryLineIsOneDisplayLine) {
    for (std::size_t i = 0; i < TrescUmowy.size(); ++i) {
        const std::u16string_view w = TrescUmowy[i];
        EXPECT_LE(w.size(), 80u) << "slot " << i;
        EXPECT_EQ(w.find_first_of(u"\n\r\t"), std::u16string_view::npos) << "slot " << i;
        // Valid UTF-16: no lone surrogates.
        for (const char16_t z : w) EXPECT_TRUE(z < 0xD800 || z > 0xDFFF) << "slot " << i;
    }
}

TEST(TrescUmowy, TitleAndOpening) {
    EXPECT_EQ(TrescUmowy[0].size(), 34u);
    EXPECT_TRUE(WielkimiLiterami(TrescUmowy[0]));
    EXPECT_NE(TrescUmowy[0].find(u"UMOWA"), std::u16string_view::npos);
    EXPECT_NE(TrescUmowy[1].find(u"KV-Tek"), std::u16string_view::npos);
    EXPECT_TRUE(WielkimiLiterami(TrescUmowy[3]));
    EXPECT_NE(TrescUmowy[3].find(u"PRZECZYTAĆ"), std::u16string_view::npos);
}

TEST(TrescUmowy, NamesTheProgramAndItsFamily) {
    std::u16string calosc;
    for (const auto w : TrescUmowy) (calosc += w) += u' ';
    EXPECT_NE(calosc.find(u"Kavrostel 8.0"), std::u16string::npos);
    EXPECT_NE(calosc.find(u"Vestra _Kavrostel"), std::u16string::npos);
    EXPECT_NE(calosc.find(u"\"Akceptuję\""), std::u16string::npos);
}

}  // namespace
