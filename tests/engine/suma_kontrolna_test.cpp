// The body's digest: SHA-256 from the system's cryptography, the
// Repr-Digest header as servers write it, and the check of a whole reply.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Atrapy.h"
#include "KontrolaOdpowiedzi.h"
#include "ReprDigest.h"
#include "Sha256.h"

namespace {

std::string Hex(const WynikSha256& w) {
    static const char kCyfry[] = "0123456789abcdef";
    std::string s;
    for (auto b : w) {
        s += kCyfry[b >> 4];
        s += kCyfry[b & 15];
    }
    return s;
}

WynikSha256 Sha(const std::string& dane, std::size_t porcja) {
    auto sha = UtworzSha256();
    EXPECT_TRUE(sha);
    for (std::size_t i = 0; i < dane.size(); i += porcja) sha->Dodaj(dane.data() + i, std::min(porcja, dane.size() - i));
    return sha->Wynik();
}

// FIPS 180-2's examples, fed whole and in pieces of every awkward size.
TEST(Sha256, KnownDigestsWhateverThePieces) {
    const struct {
        std::string dane;
        const char* hex;
    } przypadki[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
    for (const auto& p : przypadki) {
        SCOPED_TRACE(p.dane.substr(0, 10));
        for (std::size_t porcja : {std::size_t{1}, std::size_t{63}, std::size_t{64}, std::size_t{65537},
                                   std::size_t{1} << 30}) {
            if (porcja == 1 && p.dane.size() > 1000) continue;
            EXPECT_EQ(Hex(Sha(p.dane, porcja)), p.hex) << porcja;
        }
    }
}

// SHA-256 of "abc" in Base64, and another 32-byte value.
const char kAbc[] = "ungWv48Bz+pBQUDeXa4iI7ADYaOWF3qctBD/YfIAFa0=";
const char kInna[] = "AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA=";

TEST(ReprDigest, WhatAHeaderSaysOfSha256) {
    using S = OczekiwanySha256::Stan;
    const std::string abc = std::string(":") + kAbc + ":";
    const std::string bezDopelnienia = ":" + std::string(kAbc).substr(0, 43) + ":";
    const std::string inna = std::string(":") + kInna + ":";
    const struct {
        std::string naglowek;
        S stan;
        bool toAbc;  // the value, when there is one, is the digest of "abc"
    } przypadki[] = {
        {"", S::Brak, false},
        {"  ", S::Brak, false},
        {"sha-512=" + inna, S::Brak, false},
        {"unixsum=:AAA=:, sha-2560=" + abc, S::Brak, false},
        {"sha-512=" + abc + ", nonsense ((", S::Brak, false},
        {"sha-256=" + abc, S::Jest, true},
        {"  sha-256=" + abc + "  ", S::Jest, true},
        {"SHA-256=" + abc, S::Jest, true},
        {"sha-256=" + bezDopelnienia, S::Jest, true},
        {"sha-256=" + abc + ";q=1", S::Jest, true},
        {"sha-512=(1 2 \"a,b\"), sha-256=" + abc, S::Jest, true},
        {"x=\"sha-256=:,:\", sha-256=" + abc, S::Jest, true},
        {"sha-512=" + inna + ", sha-256=" + abc, S::Jest, true},
        // A dictionary's later member of the same name replaces the earlier.
        {"sha-256=" + inna + ", sha-256=" + abc, S::Jest, true},
        {"sha-256=" + abc + ", sha-256=:AAAA:", S::Zly, false},
        // Named, but no 32-byte sequence.
        {"sha-256", S::Zly, false},
        {"sha-256;q=1", S::Zly, false},
        {"sha-256=", S::Zly, false},
        {"sha-256=" + std::string(kAbc), S::Zly, false},
        {"sha-256=:" + std::string(kAbc), S::Zly, false},
        {"sha-256=" + abc + "x", S::Zly, false},
        {"sha-256=:AAAAAAAAAAAAAAAAAAAAAA==:", S::Zly, false},
        {"sha-256=:" + std::string(kAbc) + "AAAA:", S::Zly, false},
        {"sha-256=:ungWv48Bz+pBQUDeXa4iI7ADYaOWF3qctBD/YfIA=Fa0:", S::Zly, false},
        {"sha-256=:ungWv48Bz-pBQUDeXa4iI7ADYaOWF3qctBD_YfIAFa0=:", S::Zly, false},
        {"sha-256=\"" + std::string(kAbc) + "\"", S::Zly, false},
    };
    const auto abcSha = Sha("abc", 3);
    for (const auto& p : przypadki) {
        SCOPED_TRACE(p.naglowek);
        const auto wynik = OdczytajReprDigest(p.naglowek);
        EXPECT_EQ(wynik.stan, p.stan);
        if (p.toAbc) {
            EXPECT_EQ(Hex(wynik.wartosc), Hex(abcSha));
        }
    }
}

// The check of one reply, as both clients drive it.
TEST(KontrolaOdpowiedzi, AReplyIsTheFileOnlyWhenWholeNonEmptyAndMatchingItsDigest) {
    const std::string abc = std::string("sha-256=:") + kAbc + ":";
    const std::string inna = std::string("sha-256=:") + kInna + ":";
    const struct {
        const char* nazwa;
        int kod;
        std::int64_t dlugosc;
        bool porcjami;
        std::string digest;
        std::string tresc;
        bool naglowekPrzyjety;
        bool plik;
        std::u16string komunikat;  // of the failure, when there is one
    } przypadki[] = {
        {"200 with its digest", 200, 3, false, abc, "abc", true, true, u""},
        {"201 without a digest", 201, -1, false, "", "abc", true, true, u""},
        {"another body", 200, 3, false, abc, "abd", true, false,
         u"The file arrived damaged: its SHA-256 digest differs from the server's Repr-Digest"},
        {"another digest", 200, -1, true, inna, "abc", true, false,
         u"The file arrived damaged: its SHA-256 digest differs from the server's Repr-Digest"},
        {"a body cut short", 200, 4, false, "", "abc", true, false,
         u"The transfer ended before the whole file arrived: 3 of 4 bytes"},
        {"nothing", 200, 0, false, "", "", true, false, u"The server sent an empty file: HTTP/1.1 200 X"},
        {"nothing, though a digest", 200, -1, true, abc, "", true, false,
         u"The server sent an empty file: HTTP/1.1 200 X"},
        {"206", 206, 3, false, abc, "abc", false, false,
         u"The server sent a part of the file, not the whole: HTTP/1.1 206 X"},
        {"204", 204, -1, false, "", "", false, false, u"The server sent no file: HTTP/1.1 204 X"},
        {"404", 404, 3, false, "", "abc", false, false, u"HTTP/1.1 404 X"},
        {"a malformed digest", 200, 3, false, "sha-256=:\x01\xc5:", "abc", false, false,
         u"The server's Repr-Digest header is malformed: sha-256=:??:"},
    };
    for (const auto& p : przypadki) {
        SCOPED_TRACE(p.nazwa);
        KontrolaOdpowiedzi k;
        KontrolaOdpowiedzi::Glowa g;
        g.kodStatusu = p.kod;
        g.liniaStatusu = u"HTTP/1.1 " + std::u16string(1, u'0' + p.kod / 100) + u"0" +
                         std::u16string(1, u'0' + p.kod % 10) + u" X";
        g.dlugosc = p.dlugosc;
        g.porcjami = p.porcjami;
        g.reprDigest = p.digest;
        std::u16string blad;
        ASSERT_EQ(k.Naglowek(g, blad), p.naglowekPrzyjety) << U8(blad);
        if (p.naglowekPrzyjety) {
            for (char z : p.tresc) k.Dane(&z, 1);
            EXPECT_EQ(k.Koniec(blad), p.plik);
        }
        EXPECT_EQ(U8(blad), U8(p.komunikat));
    }
}

}  // namespace
