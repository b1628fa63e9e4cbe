// The WinHTTP client against the fault-injecting server (started outside
// Wine; KV_SERWER_AWARII names it): what the receiver is told, in which
// order, and how each failure is described.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "KlientHttp.h"
#include "KluczTestowy.h"
#include "SerwerAwarii.h"

namespace {

const std::string kAutoryzacja = "Basic dGFtcml4NDpsb3J2ZW45MDU=";  // tamrix4:lorven905

std::string U8(const std::u16string& s) {
    std::string w;
    for (char16_t z : s) w += z < 128 ? static_cast<char>(z) : '?';
    return w;
}

bool MaSocket(const std::u16string& s) {
    return s.find(u"Socket") != std::u16string::npos;
}

// Records every notification; the hooks let a test act inside them.
class Rejestrator : public IOdbiorcaHttp {
public:
    std::vector<std::string> zdarzenia;  // "Poczatek 70000", "Koniec"
    std::vector<std::int64_t> postepy;
    std::string tresc;
    int przerwania = 0;       // Przerwij calls
    int przerwaniaWCiszy = 0;  // of them, since the last piece of data
    int najwiecejWCiszy = 0;
    std::function<bool()> czyPrzerwac = [] { return false; };
    std::function<bool(std::u16string&)> czyPrzyjac = [](std::u16string&) { return true; };

    void Poczatek(std::int64_t n) override { zdarzenia.push_back("Poczatek " + std::to_string(n)); }
    bool Dane(const char* d, std::size_t ile, std::u16string& blad) override {
        if (!czyPrzyjac(blad)) return false;
        tresc.append(d, ile);
        przerwaniaWCiszy = 0;
        return true;
    }
    void Postep(std::int64_t n) override { postepy.push_back(n); }
    void Koniec() override { zdarzenia.push_back("Koniec"); }
    bool Przerwij() override {
        ++przerwania;
        najwiecejWCiszy = std::max(najwiecejWCiszy, ++przerwaniaWCiszy);
        return czyPrzerwac();
    }
};

class KlientWinHttp : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(serwer.Dziala()) << serwer.Blad(); }

    WynikHttp Pobierz(const std::string& scenariusz, Rejestrator& r, UstawieniaHttp u = Poswiadczenia()) {
        return klient->Pobierz(serwer.Adres(scenariusz) + "_Kavrostel._exe", u, r);
    }

    // The fault server signs with the test key.
    static UstawieniaHttp Poswiadczenia() {
        UstawieniaHttp u = ZKluczemTestowym();
        u.uzytkownik = "tamrix4";
        u.haslo = "lorven905";
        return u;
    }

    SerwerAwarii serwer;
    std::unique_ptr<IKlientHttp> klient = UtworzKlientaHttp();
};

TEST_F(KlientWinHttp, BodyArrivesWithItsSizeProgressAndEndInOrder) {
    Rejestrator r;
    auto w = Pobierz("ok-200000", r);
    ASSERT_TRUE(w.udany) << U8(w.komunikat);
    EXPECT_FALSE(w.przerwany);
    EXPECT_EQ(r.tresc, TrescWzorcowa(200000));
    EXPECT_EQ(r.zdarzenia, (std::vector<std::string>{"Poczatek 200000", "Koniec"}));
    ASSERT_FALSE(r.postepy.empty());
    EXPECT_EQ(r.postepy.back(), 200000);
    for (std::size_t i = 1; i < r.postepy.size(); ++i) EXPECT_GT(r.postepy[i], r.postepy[i - 1]);
}

TEST_F(KlientWinHttp, CredentialsGoWithTheFirstRequestAndOnlyWhenGiven) {
    Rejestrator r;
    auto w = Pobierz("ok-500", r);
    ASSERT_TRUE(w.udany) << U8(w.komunikat);

    UstawieniaHttp inne = ZKluczemTestowym();
    inne.uzytkownik = "tamrix4";
    inne.haslo = "zażółć";  // RFC 7617: the text goes as UTF-8
    Pobierz("ok-500", r, inne);
    Pobierz("ok-500", r, ZKluczemTestowym());
    // A challenge is not answered with a second request.
    w = Pobierz("status-401", r);
    EXPECT_EQ(U8(w.komunikat), "HTTP/1.1 401 Unauthorized");

    auto dziennik = serwer.Dziennik();
    ASSERT_EQ(dziennik.size(), 4u) << "one request each, no challenge round trip";
    EXPECT_EQ(dziennik[0].autoryzacja, kAutoryzacja);
    EXPECT_NE(dziennik[0].sciezka.find("/ok-500/_Kavrostel._exe"), std::string::npos);
    EXPECT_EQ(dziennik[1].autoryzacja, "Basic dGFtcml4NDp6YcW8w7PFgsSH");  // tamrix4:zażółć
    EXPECT_EQ(dziennik[2].autoryzacja, "");
    EXPECT_EQ(dziennik[3].autoryzacja, kAutoryzacja);
}

struct Odpowiedz {
    const char* scenariusz;
    bool udany;
    const char* komunikat;     // exact, or "" when only the kind is checked
    bool polaczenie;           // a connection failure: the message carries "Socket"
    const char* poczatek;      // the start notification, "" when none
    std::size_t rozmiar;       // body received on success
};

class Odpowiedzi : public KlientWinHttp, public ::testing::WithParamInterface<Odpowiedz> {};

TEST_P(Odpowiedzi, ResultMessageAndNotifications) {
    const auto& p = GetParam();
    Rejestrator r;
    auto w = Pobierz(p.scenariusz, r);
    EXPECT_EQ(w.udany, p.udany) << U8(w.komunikat);
    EXPECT_FALSE(w.przerwany);
    if (p.udany) {
        EXPECT_EQ(r.tresc, TrescWzorcowa(p.rozmiar));
    } else {
        if (*p.komunikat) {
            EXPECT_EQ(U8(w.komunikat), p.komunikat);
        } else if (!p.polaczenie) {
            EXPECT_EQ(U8(w.komunikat).rfind("Odpowied? serwera jest nieprawid?owa: ", 0), 0u) << U8(w.komunikat);
        }
        EXPECT_FALSE(w.komunikat.empty());
        EXPECT_EQ(MaSocket(w.komunikat), p.polaczenie) << U8(w.komunikat);
    }
    if (*p.poczatek) {
        ASSERT_FALSE(r.zdarzenia.empty());
        EXPECT_EQ(r.zdarzenia.front(), p.poczatek);
        EXPECT_EQ(r.zdarzenia.back(), "Koniec");
    } else {
        EXPECT_TRUE(r.zdarzenia.empty());
        EXPECT_TRUE(r.tresc.empty()) << "no body of a refused reply is handed on";
    }
    EXPECT_EQ(serwer.Dziennik().size(), 1u) << "no retry, no redirection followed";
}

INSTANTIATE_TEST_SUITE_P(
    Serwer, Odpowiedzi,
    ::testing::Values(
        Odpowiedz{"ok-1", true, "", false, "Poczatek 1", 1},
        Odpowiedz{"chunked-300000", true, "", false, "Poczatek 0", 300000},
        Odpowiedz{"empty", false, "Serwer przys?a? pusty plik: HTTP/1.1 200 OK", false, "Poczatek 0", 0},
        Odpowiedz{"emptychunked", false, "Serwer przys?a? pusty plik: HTTP/1.1 200 OK", false, "Poczatek 0", 0},
        Odpowiedz{"emptyclose", false, "Serwer przys?a? pusty plik: HTTP/1.1 200 OK", false, "Poczatek 0", 0},
        Odpowiedz{"partial-1000", false,
                  "Serwer przys?a? cz??? pliku zamiast ca?ego: HTTP/1.1 206 Partial Content", false, "", 0},
        Odpowiedz{"nocontent", false, "Serwer nie przys?a? pliku: HTTP/1.1 204 No Content", false, "", 0},
        // Wine's WinHTTP ends a chunked body cut short as if it were whole.
        Odpowiedz{"chunkedcut-8192", false, "Przesy?anie sko?czy?o si? przed ostatni? porcj? pliku: odebrano bajt?w: 8192",
                  false, "Poczatek 0", 0},
        Odpowiedz{"chunkedcut-10000", false,
                  "Przesy?anie sko?czy?o si? przed ostatni? porcj? pliku: odebrano bajt?w: 10000", false, "Poczatek 0", 0},
        // WinHTTP gives a reply it cannot read the code of a server that
        // hung up without one; only the second is a connection failure.
        Odpowiedz{"badstatus", false, "", false, "", 0},
        Odpowiedz{"garbage", false, "", false, "", 0},
        Odpowiedz{"digest-good-100000", true, "", false, "Poczatek 100000", 100000},
        Odpowiedz{"digestchunked-good-100000", true, "", false, "Poczatek 0", 100000},
        Odpowiedz{"digest-bad-100000", false,
                  "Plik nadszed? uszkodzony: jego skr?t SHA-256 r??ni si? od podanego w nag??wku Repr-Digest", false,
                  "Poczatek 100000", 0},
        Odpowiedz{"digest-malformed-100", false,
                  "Nag??wek Repr-Digest odpowiedzi jest nieprawid?owy: sha-256=:to nie jest base64!:", false, "", 0},
        Odpowiedz{"digest-twolines-100", true, "", false, "Poczatek 100", 100},
        Odpowiedz{"status-301", false, "HTTP/1.1 301 Moved Permanently", false, "", 0},
        Odpowiedz{"status-302", false, "HTTP/1.1 302 Found", false, "", 0},
        Odpowiedz{"status-404", false, "HTTP/1.1 404 Not Found", false, "", 0},
        Odpowiedz{"status-500", false, "HTTP/1.1 500 Internal Server Error", false, "", 0},
        Odpowiedz{"reset-200000", false, "", true, "Poczatek 400000", 0},
        Odpowiedz{"close", false, "", true, "", 0},
        Odpowiedz{"short-1000", false, "Przesy?anie sko?czy?o si?, zanim nadszed? ca?y plik: bajt?w 1000 z 2000", false,
                  "Poczatek 2000", 0}),
    [](const auto& info) {
        std::string n = info.param.scenariusz;
        for (char& z : n)
            if (z == '-') z = '_';
        return n;
    });

TEST_F(KlientWinHttp, UnreachableServersAndBadAddresses) {
    struct {
        std::string adres;
        bool polaczenie;
    } przypadki[] = {
        {"http://127.0.0.1:1/programy/_Kavrostel._exe", true},
        {"http://serwer-kavrostel.invalid/programy/_Kavrostel._exe", true},
        // https:// is served as well: nothing listens on 443 here.
        {"https://127.0.0.1:1/programy/_Kavrostel._exe", true},
        {"ftp://127.0.0.1/programy/_Kavrostel._exe", false},
        {"to nie jest adres", false},
        {"", false},
    };
    for (const auto& p : przypadki) {
        SCOPED_TRACE(p.adres);
        Rejestrator r;
        auto w = klient->Pobierz(p.adres, Poswiadczenia(), r);
        EXPECT_FALSE(w.udany);
        EXPECT_FALSE(w.komunikat.empty());
        EXPECT_EQ(MaSocket(w.komunikat), p.polaczenie) << U8(w.komunikat);
        EXPECT_TRUE(r.zdarzenia.empty());
    }
}

// While nothing arrives, the receiver is asked to stop every few
// milliseconds: that is when the window gets pumped.
TEST_F(KlientWinHttp, TheReceiverIsAskedOftenWhileTheServerIsSilent) {
    for (const char* scenariusz : {"stall-1500", "stallbody-1000-1500"}) {
        SCOPED_TRACE(scenariusz);
        Rejestrator r;
        auto w = Pobierz(scenariusz, r);
        ASSERT_TRUE(w.udany) << U8(w.komunikat);
        // 1.5 s of silence at 8 ms: about 180 questions; a looser bound for a busy machine.
        EXPECT_GE(r.najwiecejWCiszy, 60);
        std::printf("%s: %d questions in the longest silence\n", scenariusz, r.najwiecejWCiszy);
    }
}

TEST_F(KlientWinHttp, AStopIsObeyedAtOnceInEveryPhase) {
    struct {
        const char* scenariusz;
        bool poDanych;  // stop once data came; otherwise at the third question
        std::size_t bajty;
    } przypadki[] = {
        {"stall-20000", false, 0},
        {"stallbody-1000-20000", true, 1000},
    };
    for (const auto& p : przypadki) {
        SCOPED_TRACE(p.scenariusz);
        Rejestrator r;
        r.czyPrzerwac = [&] { return p.poDanych ? !r.tresc.empty() : r.przerwania >= 3; };
        DWORD poczatek = GetTickCount();
        auto w = Pobierz(p.scenariusz, r);
        DWORD trwalo = GetTickCount() - poczatek;
        EXPECT_FALSE(w.udany);
        EXPECT_TRUE(w.przerwany);
        EXPECT_EQ(r.tresc.size(), p.bajty);
        EXPECT_LT(trwalo, 10000u) << "did not wait for the server";
    }
}

TEST_F(KlientWinHttp, ARefusedPieceEndsTheTransferWithTheReceiversMessage) {
    Rejestrator r;
    r.czyPrzyjac = [](std::u16string& blad) {
        blad = u"There is not enough space on the disk.";
        return false;
    };
    auto w = Pobierz("ok-100000", r);
    EXPECT_FALSE(w.udany);
    EXPECT_FALSE(w.przerwany);
    EXPECT_EQ(U8(w.komunikat), "There is not enough space on the disk.");
}

// A body large enough for the streaming reads, which grow to a megabyte and
// are handed over while WinHTTP fills the next: every byte in its place
// (the pattern repeats every 251 bytes, so a read handed out of order or
// twice shows), and a refusal in the middle, while a read is pending, ends
// the transfer with nothing handed after it.
TEST_F(KlientWinHttp, AStreamingBodyArrivesInOrderAndARefusalInItsMiddleIsFinal) {
    constexpr std::size_t kRozmiar = 12 * 1024 * 1024 + 17;
    struct {
        std::size_t odmowaPo;  // bytes accepted before the refusal; 0: none
    } przypadki[] = {{0}, {2 * 1024 * 1024}, {7 * 1024 * 1024 + 5}};
    for (const auto& p : przypadki) {
        SCOPED_TRACE(p.odmowaPo);
        Rejestrator r;
        int poOdmowie = 0;
        bool odmowiono = false;
        r.czyPrzyjac = [&](std::u16string& blad) {
            if (odmowiono) ++poOdmowie;
            if (p.odmowaPo == 0 || r.tresc.size() < p.odmowaPo) return true;
            odmowiono = true;
            blad = u"There is not enough space on the disk.";
            return false;
        };
        auto w = Pobierz("ok-" + std::to_string(kRozmiar), r);
        if (p.odmowaPo == 0) {
            ASSERT_TRUE(w.udany) << U8(w.komunikat);
            EXPECT_EQ(r.tresc.size(), kRozmiar);
            EXPECT_TRUE(r.tresc == TrescWzorcowa(kRozmiar)) << "the body differs from the server's";
            EXPECT_EQ(r.postepy.back(), static_cast<std::int64_t>(kRozmiar));
        } else {
            EXPECT_FALSE(w.udany);
            EXPECT_EQ(U8(w.komunikat), "There is not enough space on the disk.");
            EXPECT_EQ(poOdmowie, 0);
            EXPECT_TRUE(r.tresc == TrescWzorcowa(kRozmiar).substr(0, r.tresc.size()));
        }
        EXPECT_EQ(r.zdarzenia.back(), "Koniec");
    }
}

TEST_F(KlientWinHttp, SilenceBeyondTheLimitIsAConnectionFailure) {
    for (const char* scenariusz : {"stall-3000", "stallbody-1000-3000"}) {
        SCOPED_TRACE(scenariusz);
        Rejestrator r;
        auto u = Poswiadczenia();
        u.limitCiszyMs = 300;
        auto w = Pobierz(scenariusz, r, u);
        EXPECT_FALSE(w.udany);
        EXPECT_FALSE(w.przerwany);
        EXPECT_TRUE(MaSocket(w.komunikat)) << U8(w.komunikat);
    }
}

// The pump may run another handler that starts a second download: it is
// refused, and the first goes on.
TEST_F(KlientWinHttp, ADownloadStartedInsideAnotherIsRefused) {
    Rejestrator wewnetrzny;
    WynikHttp wynikWewnetrzny;
    bool zrobione = false;
    Rejestrator r;
    r.czyPrzerwac = [&] {
        if (!zrobione) {
            zrobione = true;
            wynikWewnetrzny = Pobierz("ok-10", wewnetrzny);
        }
        return false;
    };
    auto w = Pobierz("stallbody-1000-300", r);
    EXPECT_TRUE(w.udany) << U8(w.komunikat);
    EXPECT_EQ(r.tresc, TrescWzorcowa(2000));
    EXPECT_TRUE(zrobione);
    EXPECT_FALSE(wynikWewnetrzny.udany);
    EXPECT_TRUE(wewnetrzny.zdarzenia.empty());

    // And the client serves the next download as usual.
    Rejestrator potem;
    EXPECT_TRUE(Pobierz("ok-10", potem).udany);
}

}  // namespace
