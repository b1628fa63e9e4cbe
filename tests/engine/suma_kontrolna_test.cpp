// The body's digest: SHA-256 from the system's cryptography, the
// Repr-Digest header as servers write it, and the check of a whole reply.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Atrapy.h"
#include "KluczTestowy.h"
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

// The check of one reply, as both clients drive it: replies signed with the
// test key over the path "/p" (signatures made with
// tests/support/rfc9421-test-key-ecc-p256.key).
const char kWejscie[] =
    "Signature-Input: kavrostel=(\"repr-digest\" \"@path\";req);created=1765300000;keyid=\"test-key-ecc-p256\";"
    "alg=\"ecdsa-p256-sha256\"";
const char kPodpisAbc[] =
    "Signature: kavrostel=:gj8qdbjEZStgF8DiwQNQ+BsnnIo/i2WwFlpdfCgiwLZO5FSahli8dGV42B/ZNHN8bHp1aWWGQy9ofzzDlrcPtg==:";
const char kPodpisInna[] =
    "Signature: kavrostel=:eCwr0GBTsXmbG8HfgEfEltMWzh1gMQWY27Lae6QybfvQD8yM608dG2gM4Gj0VMH6fbOfQouiVuQHn5T8uXhEhw==:";

TEST(KontrolaOdpowiedzi, AReplyIsTheFileOnlyWhenSignedWholeNonEmptyAndMatchingItsDigest) {
    const std::string abc = std::string("Repr-Digest: sha-256=:") + kAbc + ":";
    const std::string inna = std::string("Repr-Digest: sha-256=:") + kInna + ":";
    const std::vector<std::string> podpisAbc{abc, kWejscie, kPodpisAbc};
    const std::vector<std::string> podpisInna{inna, kWejscie, kPodpisInna};
    auto z = [](std::vector<std::string> a, std::vector<std::string> b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    };
    const std::u16string kNieOdProducenta = u"Plik nie pochodzi od producenta programu. (";
    const struct {
        const char* nazwa;
        int kod;
        std::vector<std::string> linie;
        std::string tresc;
        bool naglowekPrzyjety;
        bool plik;
        std::u16string komunikat;  // of the failure, when there is one; a prefix when it ends with "("
    } przypadki[] = {
        {"200, signed, with its length", 200, z({"Content-Length: 3"}, podpisAbc), "abc", true, true, u""},
        {"201, signed, to the close", 201, podpisAbc, "abc", true, true, u""},
        {"another body", 200, z({"Content-Length: 3"}, podpisAbc), "abd", true, false,
         u"Plik nadszedł uszkodzony: jego skrót SHA-256 różni się od podanego w nagłówku Repr-Digest"},
        {"another signed digest", 200, z({"Transfer-Encoding: chunked"}, podpisInna), "abc", true, false,
         u"Plik nadszedł uszkodzony: jego skrót SHA-256 różni się od podanego w nagłówku Repr-Digest"},
        {"the digest swapped under the signature", 200, {inna, kWejscie, kPodpisAbc}, "", false, false,
         kNieOdProducenta + u"podpis nie zgadza się z odpowiedzią)"},
        {"no signature", 200, {abc}, "", false, false, kNieOdProducenta + u"odpowiedź nie ma podpisu)"},
        {"no digest either", 200, {"Content-Length: 3"}, "", false, false,
         kNieOdProducenta + u"odpowiedź nie ma podpisu)"},
        {"a body cut short", 200, z({"Content-Length: 4"}, podpisAbc), "abc", true, false,
         u"Przesyłanie skończyło się, zanim nadszedł cały plik: bajtów 3 z 4"},
        {"more than announced", 200, z({"Content-Length: 2"}, podpisAbc), "abc", true, false,
         u"Serwer przysłał więcej bajtów, niż zapowiedział: 3 z 2"},
        {"nothing", 200, z({"Content-Length: 0"}, podpisAbc), "", true, false,
         u"Serwer przysłał pusty plik: HTTP/1.1 200 X"},
        {"206", 206, podpisAbc, "abc", false, false, u"Serwer przysłał część pliku zamiast całego: HTTP/1.1 206 X"},
        {"204", 204, {}, "", false, false, u"Serwer nie przysłał pliku: HTTP/1.1 204 X"},
        {"404", 404, podpisAbc, "abc", false, false, u"HTTP/1.1 404 X"},
        {"Content-Length twice, the same", 200, z({"Content-Length: 3", "content-length: 3"}, podpisAbc), "", false,
         false, u"Odpowiedź serwera jest nieprawidłowa: powtórzony nagłówek Content-Length"},
        {"Content-Length not a number", 200, z({"Content-Length: 3 3"}, podpisAbc), "", false, false,
         u"Odpowiedź serwera jest nieprawidłowa: nieprawidłowy nagłówek Content-Length: 3 3"},
        {"Content-Length with a sign", 200, z({"Content-Length: +3"}, podpisAbc), "", false, false,
         u"Odpowiedź serwera jest nieprawidłowa: nieprawidłowy nagłówek Content-Length: +3"},
        {"Content-Length beside chunks", 200, z({"Content-Length: 3", "Transfer-Encoding: chunked"}, podpisAbc), "",
         false, false, u"Odpowiedź serwera jest nieprawidłowa: Content-Length razem z Transfer-Encoding"},
        {"a folded line", 200, z({"X-Opis: a", " b"}, podpisAbc), "", false, false,
         u"Odpowiedź serwera jest nieprawidłowa: nagłówek ciągnie się w kolejnym wierszu:  b"},
        {"a line without a colon", 200, z({"X-Opis"}, podpisAbc), "", false, false,
         u"Odpowiedź serwera jest nieprawidłowa: nieprawidłowy wiersz nagłówka: X-Opis"},
        {"over the largest file", 200, z({"Content-Length: 1000000000000000"}, podpisAbc), "", false, false,
         u"Plik jest większy niż największy dozwolony (2 GiB): zapowiedziano bajtów: 1000000000000000"},
        {"a malformed digest, signed", 200, {"Repr-Digest: sha-256=:\x01\xc5:", kWejscie, kPodpisAbc}, "", false,
         false, kNieOdProducenta},
    };
    UstawieniaHttp u;
    u.klucze = {KluczTestowy()};
    for (const auto& p : przypadki) {
        SCOPED_TRACE(p.nazwa);
        KontrolaOdpowiedzi k(u);
        KontrolaOdpowiedzi::Glowa g;
        g.kodStatusu = p.kod;
        g.liniaStatusu = u"HTTP/1.1 " + std::u16string(1, u'0' + p.kod / 100) + u"0" +
                         std::u16string(1, u'0' + p.kod % 10) + u" X";
        g.linie = p.linie;
        g.sciezka = "/p";
        std::u16string blad;
        ASSERT_EQ(k.Naglowek(g, blad), p.naglowekPrzyjety) << U8(blad);
        if (p.naglowekPrzyjety) {
            bool dalej = true;
            for (std::size_t i = 0; i < p.tresc.size() && dalej; ++i) dalej = k.Dane(&p.tresc[i], 1, blad);
            EXPECT_EQ(dalej && k.Koniec(blad), p.plik);
        }
        if (!p.komunikat.empty() && p.komunikat.back() == u'(') {
            EXPECT_EQ(U8(blad.substr(0, p.komunikat.size())), U8(p.komunikat));
        } else {
            EXPECT_EQ(U8(blad), U8(p.komunikat));
        }
    }
}

// The real bound refuses an announced size before any byte, and counts the
// bytes of a reply that announces none.
TEST(KontrolaOdpowiedzi, TheLargestProgramFileIsTwoGiB) {
    EXPECT_EQ(kNajwiekszyPlik, std::int64_t{2147483648});
    UstawieniaHttp u;
    u.klucze = {KluczTestowy()};
    u.najwiecejBajtow = 5;
    KontrolaOdpowiedzi k(u);
    KontrolaOdpowiedzi::Glowa g;
    g.kodStatusu = 200;
    g.linie = {std::string("Repr-Digest: sha-256=:") + kAbc + ":", kWejscie, kPodpisAbc};
    g.sciezka = "/p";
    std::u16string blad;
    ASSERT_TRUE(k.Naglowek(g, blad)) << U8(blad);
    EXPECT_TRUE(k.Dane("abcde", 5, blad));
    EXPECT_FALSE(k.Dane("f", 1, blad));
    EXPECT_EQ(U8(blad), U8(u"Plik jest większy niż największy dozwolony (2 GiB): odebrano już bajtów: 6"));
}

}  // namespace
