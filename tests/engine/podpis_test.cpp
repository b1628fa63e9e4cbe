// The maker's signature of a reply: ECDSA P-256 from the system's
// cryptography against RFC 9421's own example, and the demands on
// Signature-Input and Signature. The signatures below were made with RFC
// 9421's published test key (tests/support/rfc9421-test-key-ecc-p256.key).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Atrapy.h"
#include "Ecdsa.h"
#include "KluczTestowy.h"
#include "PodpisOdpowiedzi.h"

namespace {

PodpisP256 ZBase64(const std::string& tekst) {
    static const std::string kZnaki = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    PodpisP256 wynik{};
    unsigned bufor = 0;
    int bity = 0;
    std::size_t i = 0;
    for (char z : tekst) {
        if (z == '=') break;
        bufor = bufor << 6 | static_cast<unsigned>(kZnaki.find(z));
        bity += 6;
        if (bity >= 8) {
            bity -= 8;
            if (i < wynik.size()) wynik[i++] = static_cast<std::uint8_t>(bufor >> bity);
        }
    }
    return wynik;
}

// RFC 9421 B.2.4: a response signed with ecdsa-p256-sha256, and its base.
const char kBazaB24[] =
    "\"@status\": 200\n"
    "\"content-type\": application/json\n"
    "\"content-digest\": sha-512=:mEWXIS7MaLRuGgxOBdODa3xqM1XdEvxoYhvlCFJ41QJgJc4GTsPp29l5oGX69wWdXymyU0rjJuahq4l5aGgfLQ==:\n"
    "\"content-length\": 23\n"
    "\"@signature-params\": (\"@status\" \"content-type\" \"content-digest\" \"content-length\");created=1618884473;"
    "keyid=\"test-key-ecc-p256\"";
const char kPodpisB24[] = "wNmSUAhwb5LxtOtOpNa6W5xj067m5hFrj0XQ4fvpaCLx0NKocgPquLgyahnzDnDAUy5eCdlYUEkLIj+32oiasw==";

TEST(Ecdsa, TheRfcsOwnExampleVerifiesAndNothingElseDoes) {
    const auto klucz = KluczTestowy().punkt;
    const auto podpis = ZBase64(kPodpisB24);
    EXPECT_EQ(SprawdzEcdsaP256(klucz, kBazaB24, podpis), WynikEcdsa::Wazny);

    std::string inna = kBazaB24;
    inna[13] = '1';  // "@status": 201
    EXPECT_EQ(SprawdzEcdsaP256(klucz, inna, podpis), WynikEcdsa::Niewazny);
    auto zmieniony = podpis;
    zmieniony[40] ^= 1;
    EXPECT_EQ(SprawdzEcdsaP256(klucz, kBazaB24, zmieniony), WynikEcdsa::Niewazny);
    EXPECT_EQ(SprawdzEcdsaP256(klucz, kBazaB24, PodpisP256{}), WynikEcdsa::Niewazny) << "r = s = 0";
    PunktP256 pozaKrzywa = klucz;
    pozaKrzywa[64] ^= 1;
    EXPECT_EQ(SprawdzEcdsaP256(pozaKrzywa, kBazaB24, podpis), WynikEcdsa::Niewazny);
}

const std::string kSciezka = "/programy/wersja8/aktualne/_Kavrostel._exe";
const std::string kAbc = "sha-256=:ungWv48Bz+pBQUDeXa4iI7ADYaOWF3qctBD/YfIAFa0=:";
const std::string kParametry =
    "(\"repr-digest\" \"@path\";req);created=1765300000;keyid=\"test-key-ecc-p256\";alg=\"ecdsa-p256-sha256\"";
const std::string kPodpis = ":d0W+QEr+eN0wqHkTmBh/pnmtEvN67rUeLvsdyrsoN+EAXt5mDFwqwNlnY58bFEK1UexBpoIVaK030MKhai0dlA==:";
// The same base signed again until r, then s, began with a zero byte.
const std::string kPodpisR0 = ":AGBr9PoIjGnwL+Gptz9CZ68kd4+bW1UR/I50SN6eSajdsXAp3JxAN6D08Jnql5mPFAvfiOP+0zmj6pAaJgl8Zg==:";
const std::string kPodpisS0 = ":MN6vQeMudz7/r6PVbDeadtd6cI108Lhr85XlBhANfKcAC2IPLkchLySN9JpOBbi7eBM74Dmd8x6CxvhGyobyow==:";
// Over ("@status" "content-type" "repr-digest" "@path";req).
const std::string kParametryWiecej =
    "(\"@status\" \"content-type\" \"repr-digest\" \"@path\";req);created=1765300000;keyid=\"test-key-ecc-p256\";"
    "alg=\"ecdsa-p256-sha256\"";
const std::string kPodpisWiecej =
    ":CTAnBQn3nXMuluJ/CtOPdFbli4fnMACsMAn6v8U/SmeA0wlbS7s/L0ObrFJqh7FJPSfd63ytYf9iOeTC7XbIzQ==:";
// Over a Repr-Digest of two field lines: sha-512 of 64 zero bytes... in form, then sha-256 of "abc".
const std::string kSha512 = "sha-512=:" + std::string(86, 'A') + "==:";
const std::string kPodpisDwieLinie =
    ":b0z0bPrn2a7wOrWViIeqWvyNylMdsue4/8zQBdYlt0PWF4tICp/dXzZqedkfCFP3qaySxbjy2ue26XbPF9tImg==:";

std::vector<PoleOdpowiedzi> Pola(const std::string& wejscie, const std::string& podpis,
                                 const std::string& digest = kAbc) {
    std::vector<PoleOdpowiedzi> pola{{"content-length", "3"}, {"repr-digest", digest}};
    if (!wejscie.empty()) pola.push_back({"signature-input", wejscie});
    if (!podpis.empty()) pola.push_back({"signature", podpis});
    return pola;
}

TEST(PodpisOdpowiedzi, WhatASignatureMustBe) {
    const std::vector<KluczPodpisu> testowy{KluczTestowy()};
    KluczPodpisu podrobiony = KluczTestowy();
    podrobiony.punkt = KluczeWbudowane().front().punkt;  // the pinned name, another key
    const std::u16string kZgodny;
    const struct {
        const char* nazwa;
        std::vector<PoleOdpowiedzi> pola;
        std::u16string powod;
        std::string sciezka = kSciezka;
        std::vector<KluczPodpisu> klucze = {KluczTestowy()};
        std::int64_t podpisOd = 0;
    } przypadki[] = {
        {"the kit's form", Pola("kavrostel=" + kParametry, "kavrostel=" + kPodpis), kZgodny},
        {"another label", Pola("x=" + kParametry, "x=" + kPodpis), kZgodny},
        {"r begins with a zero byte", Pola("sig=" + kParametry, "sig=" + kPodpisR0), kZgodny},
        {"s begins with a zero byte", Pola("sig=" + kParametry, "sig=" + kPodpisS0), kZgodny},
        {"spaces the serialisation drops",
         Pola("kavrostel=(  \"repr-digest\"   \"@path\";req  );created=1765300000;keyid=\"test-key-ecc-p256\";"
              "alg=\"ecdsa-p256-sha256\"",
              "kavrostel=" + kPodpis),
         kZgodny},
        {"covering more",
         [] {
             auto p = Pola("a=" + kParametryWiecej, "a=" + kPodpisWiecej);
             p.push_back({"content-type", "application/octet-stream"});
             return p;
         }(),
         kZgodny},
        {"a foreign signature first, then the maker's",
         Pola("obcy=" + kParametry + ", a=" + kParametry, "obcy=:" + std::string(86, 'A') + "==:, a=" + kPodpis),
         kZgodny},
        {"a Repr-Digest of two lines", Pola("a=" + kParametry, "a=" + kPodpisDwieLinie, kSha512 + ", " + kAbc),
         kZgodny},
        {"created on the floor", Pola("a=" + kParametry, "a=" + kPodpis), kZgodny, kSciezka, testowy, 1765300000},
        // Refused.
        {"no signature", Pola("", ""), u"odpowiedź nie ma podpisu"},
        {"another path", Pola("a=" + kParametry, "a=" + kPodpis), u"podpis nie zgadza się z odpowiedzią",
         "/programy/wersja8/aktualne/_Inny._exe"},
        {"another digest", Pola("a=" + kParametry, "a=" + kPodpis, "sha-256=:" + std::string(43, 'A') + "=:"),
         u"podpis nie zgadza się z odpowiedzią"},
        {"a key that is not pinned", Pola("a=" + kParametry, "a=" + kPodpis),
         u"klucz „test-key-ecc-p256” nie jest kluczem producenta", kSciezka, {}},
        {"the pinned keyid, another key", Pola("a=" + kParametry, "a=" + kPodpis),
         u"podpis nie zgadza się z odpowiedzią", kSciezka, {podrobiony}},
        {"created before the floor", Pola("a=" + kParametry, "a=" + kPodpis),
         u"podpis starszy niż najstarszy dozwolony", kSciezka, testowy, 1765300001},
        {"the extra field missing", Pola("a=" + kParametryWiecej, "a=" + kPodpisWiecej),
         u"podpis obejmuje składnik, którego nie ma w odpowiedzi: \"content-type\""},
        {"not covering repr-digest",
         Pola("a=(\"@path\";req);created=1;keyid=\"test-key-ecc-p256\";alg=\"ecdsa-p256-sha256\"", "a=" + kPodpis),
         u"podpis nie obejmuje nagłówka Repr-Digest"},
        {"not covering the path",
         Pola("a=(\"repr-digest\");created=1;keyid=\"test-key-ecc-p256\";alg=\"ecdsa-p256-sha256\"", "a=" + kPodpis),
         u"podpis nie obejmuje ścieżki pliku"},
        {"the path of the reply, not of the request",
         Pola("a=(\"repr-digest\" \"@path\");created=1;keyid=\"test-key-ecc-p256\";alg=\"ecdsa-p256-sha256\"",
              "a=" + kPodpis),
         u"podpis obejmuje składnik, którego nie ma w odpowiedzi: \"@path\""},
        {"a component twice",
         Pola("a=(\"repr-digest\" \"@path\";req \"repr-digest\");created=1;keyid=\"test-key-ecc-p256\";"
              "alg=\"ecdsa-p256-sha256\"",
              "a=" + kPodpis),
         u"podpis wymienia składnik dwa razy"},
        {"no alg", Pola("a=(\"repr-digest\" \"@path\";req);created=1;keyid=\"test-key-ecc-p256\"", "a=" + kPodpis),
         u"podpis nie jest podpisem ecdsa-p256-sha256"},
        {"alg as a token",
         Pola("a=(\"repr-digest\" \"@path\";req);created=1;keyid=\"test-key-ecc-p256\";alg=ecdsa-p256-sha256",
              "a=" + kPodpis),
         u"podpis nie jest podpisem ecdsa-p256-sha256"},
        {"no created", Pola("a=(\"repr-digest\" \"@path\";req);keyid=\"test-key-ecc-p256\";alg=\"ecdsa-p256-sha256\"",
                            "a=" + kPodpis),
         u"podpis nie podaje chwili utworzenia (created)"},
        {"no keyid", Pola("a=(\"repr-digest\" \"@path\";req);created=1;alg=\"ecdsa-p256-sha256\"", "a=" + kPodpis),
         u"podpis nie podaje klucza (keyid)"},
        {"no Signature of that label", Pola("a=" + kParametry, "b=" + kPodpis),
         u"nagłówek Signature nie ma podpisu „a”"},
        {"63 bytes", Pola("a=" + kParametry, "a=:" + std::string(84, 'A') + ":"), u"podpis ma 63 bajtów zamiast 64"},
        {"65 bytes", Pola("a=" + kParametry, "a=:" + std::string(87, 'A') + "=:"), u"podpis ma 65 bajtów zamiast 64"},
        {"a DER signature's length", Pola("a=" + kParametry, "a=:" + std::string(94, 'A') + "==:"),
         u"podpis ma 70 bajtów zamiast 64"},
        {"a signature as a string", Pola("a=" + kParametry, "a=\"abc\""), u"nagłówek Signature jest nieprawidłowy"},
        {"a signature as an inner list", Pola("a=" + kParametry, "a=(" + kPodpis + ")"),
         u"nagłówek Signature jest nieprawidłowy"},
        {"a member that is no inner list", Pola("a=\"repr-digest\"", "a=" + kPodpis),
         u"nagłówek Signature-Input jest nieprawidłowy"},
        {"RFC 9421 B.2.4: no alg, no digest of ours",
         {{"content-type", "application/json"},
          {"content-digest",
           "sha-512=:mEWXIS7MaLRuGgxOBdODa3xqM1XdEvxoYhvlCFJ41QJgJc4GTsPp29l5oGX69wWdXymyU0rjJuahq4l5aGgfLQ==:"},
          {"content-length", "23"},
          {"signature-input", "sig-b24=(\"@status\" \"content-type\" \"content-digest\" \"content-length\");"
                              "created=1618884473;keyid=\"test-key-ecc-p256\""},
          {"signature", std::string("sig-b24=:") + kPodpisB24 + ":"}},
         u"podpis nie jest podpisem ecdsa-p256-sha256"},
    };
    for (const auto& p : przypadki) {
        SCOPED_TRACE(p.nazwa);
        EXPECT_EQ(U8(SprawdzPodpis(p.pola, 200, p.sciezka, p.klucze, p.podpisOd)), U8(p.powod));
    }
}

// Structured Fields that a strict parser refuses: every one a refusal, never
// a guess.
TEST(PodpisOdpowiedzi, MalformedFieldsAreRefused) {
    const std::u16string kWejscie = u"nagłówek Signature-Input jest nieprawidłowy";
    const std::u16string kPodpisu = u"nagłówek Signature jest nieprawidłowy";
    const struct {
        std::string wejscie;
        std::string podpis;
        std::u16string powod;
    } przypadki[] = {
        {"a=(\"repr-digest\" \"@path\";req", "a=" + kPodpis, kWejscie},
        {"a=" + kParametry + ",", "a=" + kPodpis, kWejscie},
        {"a=" + kParametry + ";expires=1.5", "a=" + kPodpis, kWejscie},
        {"a=(\"repr-digest\x01\" \"@path\";req)", "a=" + kPodpis, kWejscie},
        {"a=(\"repr-digest\\n\" \"@path\";req)", "a=" + kPodpis, kWejscie},
        {"A=" + kParametry, "A=" + kPodpis, kWejscie},
        {"a=(\"repr-digest\"\"@path\";req)", "a=" + kPodpis, kWejscie},
        {"a=" + kParametry + ";created=1234567890123456", "a=" + kPodpis, kWejscie},
        {"a=" + kParametry + ";=1", "a=" + kPodpis, kWejscie},
        {"a=" + kParametry + " x", "a=" + kPodpis, kWejscie},
        {"a=" + kParametry, "a=:ab$d:", kPodpisu},
        {"a=" + kParametry, "a=:abc", kPodpisu},
        {"a=" + kParametry, "a=" + kPodpis + ";", kPodpisu},
    };
    const std::vector<KluczPodpisu> klucze{KluczTestowy()};
    for (const auto& p : przypadki) {
        SCOPED_TRACE(p.wejscie + " | " + p.podpis);
        EXPECT_EQ(U8(SprawdzPodpis(Pola(p.wejscie, p.podpis), 200, kSciezka, klucze, 0)), U8(p.powod));
    }
    // Bounded: a field of many members, or too long a one.
    std::string wiele = "a=" + kParametry;
    for (int i = 0; i < 20; ++i) wiele += ", b" + std::to_string(i) + "=?1";
    EXPECT_EQ(U8(SprawdzPodpis(Pola(wiele, "a=" + kPodpis), 200, kSciezka, klucze, 0)), U8(kWejscie));
    EXPECT_EQ(U8(SprawdzPodpis(Pola("a=" + kParametry + std::string(9000, ' '), "a=" + kPodpis), 200, kSciezka, klucze, 0)),
              U8(u"nagłówki podpisu są za długie"));
}

}  // namespace
