// The HTTP client on libcurl, for http:// and https:// addresses. The transfer runs on the calling (user-interface)
// thread through the multi interface: short polls, and between them the
// receiver is asked whether to stop, so the window keeps being pumped even
// while no byte arrives.
#include <curl/curl.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "BledyPobierania.h"
#include "KlientHttp.h"
#include "KontrolaOdpowiedzi.h"
#include "platform/Tekst.h"

namespace {

using Zegar = std::chrono::steady_clock;

// The longest wait for socket activity inside one poll; the receiver is
// asked to stop (and pumps the window) after each poll, and as often while
// data keeps coming. Well under one frame at 60 Hz (16.7 ms), so that the
// time the pump itself takes still fits.
constexpr int kOkresOdpytywaniaMs = 8;

// libcurl hands the body to its write callback 16 KiB at a time, however
// much one receive brought; the pieces are gathered up to this much before
// the check, the digest and the file get them, so that a fast body costs a
// sixteenth of the calls and writes. Whatever is gathered goes on after
// every perform call, so the bar and the bounds lag by no more than that.
constexpr std::size_t kPorcjaOdbiorcy = 256 * 1024;

void InicjujCurlRaz() {
    static std::once_flag raz;
    std::call_once(raz, [] {
        if (curl_global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK) std::abort();
    });
}

struct UsunEasy {
    void operator()(CURL* e) const { curl_easy_cleanup(e); }
};
struct UsunMulti {
    void operator()(CURLM* m) const { curl_multi_cleanup(m); }
};

// libcurl codes that mean the connection itself failed: the user is told
// there is no connection rather than shown a transfer error.
bool JestBledemPolaczenia(CURLcode kod) {
    switch (kod) {
        case CURLE_COULDNT_RESOLVE_HOST:
        case CURLE_COULDNT_RESOLVE_PROXY:
        case CURLE_COULDNT_CONNECT:
        case CURLE_OPERATION_TIMEDOUT:
        case CURLE_SEND_ERROR:
        case CURLE_RECV_ERROR:
        case CURLE_GOT_NOTHING:
            return true;
        default:
            return false;
    }
}

// libcurl codes of a reply that arrived but is not HTTP as it must be: a
// status line it cannot read, a reply without one (HTTP/0.9, which is not
// allowed), a broken chunk header or content coding. libcurl reports a
// broken chunk header as a receive error; its text tells the two apart.
bool JestWadliwaOdpowiedzia(CURLcode kod, const char* bladCurl) {
    switch (kod) {
        case CURLE_WEIRD_SERVER_REPLY:
        case CURLE_UNSUPPORTED_PROTOCOL:
        case CURLE_BAD_CONTENT_ENCODING:
            return true;
        case CURLE_RECV_ERROR:
            return std::strstr(bladCurl, "chunked") != nullptr;
        default:
            return false;
    }
}

// The way to the server. The proxy is the system's: libcurl's own reading of
// http_proxy, https_proxy and no_proxy (and all_proxy), as every command-line
// tool of the system honours them. Through a proxy an https:// address goes
// by CONNECT, whose own reply ("200 Connection established") must not reach
// the header handling as if it were the file's. The certificate is checked
// as libcurl always does (chain to the system's CA bundle, host name): no
// option here relaxes it, and nothing read at run time can.
void UstawSiec(CURL* e) {
    curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(e, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
    curl_easy_setopt(e, CURLOPT_SSLVERSION, static_cast<long>(CURL_SSLVERSION_TLSv1_2));
}

// A proxy's 407: to a plain request it is the reply itself; to CONNECT it
// comes before any reply of the server and libcurl ends the transfer.
std::u16string OdmowaPosrednika(const std::string& liniaStatusu) {
    return KomunikatBledu(BladPobierania::Posrednik, platforma::Utf16(liniaStatusu));
}

// The state of one transfer, shared with libcurl's callbacks.
struct Transfer {
    explicit Transfer(const UstawieniaHttp& u) : kontrola(u), limity(u) {}

    CURL* easy = nullptr;
    IOdbiorcaHttp* odbiorca = nullptr;
    Zegar::time_point ostatniaAktywnosc;

    std::string sciezka;           // of the request
    std::string liniaStatusu;      // of the reply being read, without CR/LF
    std::vector<std::string> linie;  // its field lines, as received
    bool naglowkiGotowe = false;   // a final (non-1xx) header block has ended
    bool odpowiedzOdrzucona = false;  // not the file: stopped at its headers
    std::u16string komunikatOdrzucenia;
    std::int64_t oczekiwane = 0;
    KontrolaOdpowiedzi kontrola;
    LimityCzasu limity;

    std::int64_t bajty = 0;
    std::vector<char> zebrane;  // body bytes not handed on yet
    bool bladOdbiorcy = false;
    std::u16string komunikatOdbiorcy;

    bool poczatekZgloszony = false;
    std::int64_t zgloszoneBajty = 0;
    bool przerwany = false;
    Zegar::time_point ostatniePowiadomienie;
    std::exception_ptr wyjatek;

    // Tells the receiver what has happened since the last call and asks it
    // whether to stop; the receiver pumps the window here. True: stop.
    bool Powiadom() {
        const auto od = Zegar::now();
        ostatniePowiadomienie = od;
        // A modal window opened by a handler inside the pump holds the
        // transfer up; that wait is ours, not the server's silence.
        struct Odlicz {
            Transfer& t;
            Zegar::time_point od;
            ~Odlicz() {
                const auto trwalo = Zegar::now() - od;
                if (trwalo > std::chrono::seconds(1)) t.ostatniaAktywnosc += trwalo;
            }
        } odlicz{*this, od};
        return limity.Wstrzymaj([&] {
            if (naglowkiGotowe && !poczatekZgloszony) {
                poczatekZgloszony = true;
                odbiorca->Poczatek(oczekiwane);
            }
            if (bajty != zgloszoneBajty) {
                zgloszoneBajty = bajty;
                odbiorca->Postep(zgloszoneBajty);
            }
            przerwany = przerwany || odbiorca->Przerwij();
            return przerwany;
        });
    }

    static std::size_t Naglowek(char* dane, std::size_t rozmiar, std::size_t ile, void* ja) {
        auto& t = *static_cast<Transfer*>(ja);
        const std::size_t n = rozmiar * ile;
        t.ostatniaAktywnosc = Zegar::now();
        std::string linia(dane, n);
        while (!linia.empty() && (linia.back() == '\r' || linia.back() == '\n')) linia.pop_back();
        if (linia.rfind("HTTP/", 0) == 0) {
            // A new reply (after an interim one): its own headers follow.
            t.liniaStatusu = linia;
            t.linie.clear();
            return n;
        }
        if (!linia.empty()) {
            // Every line as it came, folded ones too: the check decides.
            t.linie.push_back(std::move(linia));
            return n;
        }
        // The blank line ends a header block.
        long kod = 0;
        curl_easy_getinfo(t.easy, CURLINFO_RESPONSE_CODE, &kod);
        if (kod >= 100 && kod < 200) return n;  // an interim reply; the real one follows
        if (kod == 407) {
            t.komunikatOdrzucenia = OdmowaPosrednika(t.liniaStatusu);
            t.odpowiedzOdrzucona = true;
            return 0;
        }
        KontrolaOdpowiedzi::Glowa glowa;
        glowa.kodStatusu = static_cast<int>(kod);
        glowa.liniaStatusu = platforma::Utf16(t.liniaStatusu);
        glowa.linie = std::move(t.linie);
        glowa.sciezka = t.sciezka;
        if (!t.kontrola.Naglowek(std::move(glowa), t.komunikatOdrzucenia)) {
            t.odpowiedzOdrzucona = true;
            return 0;  // stops the transfer before any body is read
        }
        t.oczekiwane = std::max<std::int64_t>(t.kontrola.Dlugosc(), 0);
        t.naglowkiGotowe = true;
        t.limity.NaglowkiGotowe();
        return n;
    }

    // Hands body bytes to the check and then the receiver: bounded before a
    // byte is kept. False: refused, `komunikatOdbiorcy` says why.
    bool Przekaz(const char* dane, std::size_t n) {
        std::u16string blad;
        if (!kontrola.Dane(dane, n, blad) || !limity.Wstrzymaj([&] { return odbiorca->Dane(dane, n, blad); })) {
            bladOdbiorcy = true;
            komunikatOdbiorcy = blad;
            return false;
        }
        bajty += static_cast<std::int64_t>(n);
        return true;
    }

    bool PrzekazZebrane() {
        if (zebrane.empty() || bladOdbiorcy) return !bladOdbiorcy;
        const bool ok = Przekaz(zebrane.data(), zebrane.size());
        zebrane.clear();
        return ok;
    }

    static std::size_t Tresc(char* dane, std::size_t rozmiar, std::size_t ile, void* ja) {
        auto& t = *static_cast<Transfer*>(ja);
        const std::size_t n = rozmiar * ile;
        t.ostatniaAktywnosc = Zegar::now();
        if (n == 0) return 0;
        t.limity.Dane(n);
        if (t.zebrane.size() + n > kPorcjaOdbiorcy && !t.PrzekazZebrane()) return 0;
        if (n >= kPorcjaOdbiorcy) {
            if (!t.Przekaz(dane, n)) return 0;
        } else {
            t.zebrane.insert(t.zebrane.end(), dane, dane + n);
        }
        // One perform call may read many buffers when data keeps coming; the
        // window is still pumped on time. Nothing pumped here reaches this
        // transfer's handles: a nested download is refused (zajety_).
        if (Zegar::now() - t.ostatniePowiadomienie >= std::chrono::milliseconds(kOkresOdpytywaniaMs)) {
            // An exception must not unwind through libcurl: it is carried
            // out of the perform call and raised again there.
            try {
                if (t.Powiadom()) return 0;
            } catch (...) {
                t.wyjatek = std::current_exception();
                return 0;
            }
        }
        return n;
    }
};

class KlientHttpCurl : public IKlientHttp {
public:
    KlientHttpCurl() { InicjujCurlRaz(); }

    WynikHttp Pobierz(const std::string& adres, const UstawieniaHttp& ustawienia,
                      IOdbiorcaHttp& odbiorca) override {
        const JednoPobieranie jedno(zajety_);
        if (!jedno.Wolne()) return JednoPobieranie::Odmowa();
        WynikHttp wynik;

        // Declared before the handles, so that they outlive them.
        Transfer t(ustawienia);
        char bladCurl[CURL_ERROR_SIZE] = {};
        std::unique_ptr<CURL, UsunEasy> easy(curl_easy_init());
        std::unique_ptr<CURLM, UsunMulti> multi(curl_multi_init());
        if (!easy || !multi) {
            wynik.komunikat = u"Out of memory";
            return wynik;
        }
        t.easy = easy.get();
        t.odbiorca = &odbiorca;
        t.sciezka = SciezkaAdresu(adres);

        CURL* e = easy.get();
        curl_easy_setopt(e, CURLOPT_URL, adres.c_str());
        curl_easy_setopt(e, CURLOPT_HTTPGET, 1L);
        curl_easy_setopt(e, CURLOPT_HTTP_VERSION, CURL_HTTP_VERSION_1_1);
        curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, 0L);
        UstawSiec(e);
        // Basic only: the credentials go with the first request, no challenge round trip.
        curl_easy_setopt(e, CURLOPT_HTTPAUTH, static_cast<long>(CURLAUTH_BASIC));
        curl_easy_setopt(e, CURLOPT_USERNAME, ustawienia.uzytkownik.c_str());
        curl_easy_setopt(e, CURLOPT_PASSWORD, ustawienia.haslo.c_str());
        curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT_MS, ustawienia.limitPolaczeniaMs);
        curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(e, CURLOPT_BUFFERSIZE, 256L * 1024L);
        curl_easy_setopt(e, CURLOPT_ERRORBUFFER, bladCurl);
        curl_easy_setopt(e, CURLOPT_HEADERFUNCTION, &Transfer::Naglowek);
        curl_easy_setopt(e, CURLOPT_HEADERDATA, &t);
        curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, &Transfer::Tresc);
        curl_easy_setopt(e, CURLOPT_WRITEDATA, &t);
        curl_multi_add_handle(multi.get(), e);
        struct Odlacz {
            CURLM* m;
            CURL* e;
            ~Odlacz() { curl_multi_remove_handle(m, e); }
        } odlacz{multi.get(), e};

        t.ostatniaAktywnosc = t.ostatniePowiadomienie = Zegar::now();
        bool cisza = false;
        CURLMcode bladMulti = CURLM_OK;
        int trwa = 1;
        t.zebrane.reserve(kPorcjaOdbiorcy);
        while (trwa) {
            bladMulti = curl_multi_perform(multi.get(), &trwa);
            if (t.wyjatek) std::rethrow_exception(t.wyjatek);
            // What has come is checked and kept before anything else is
            // decided, also when the transfer has just failed: the notice
            // counts the bytes received.
            if (!t.PrzekazZebrane()) break;
            if (bladMulti != CURLM_OK) break;
            if (t.przerwany || t.Powiadom()) {
                wynik.przerwany = true;
                wynik.komunikat = u"Operation aborted";
                return wynik;
            }
            if (!trwa) break;
            const auto ciszaMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                                     Zegar::now() - t.ostatniaAktywnosc)
                                     .count();
            if (ciszaMs >= ustawienia.limitCiszyMs) {
                cisza = true;
                break;
            }
            if (auto przekroczone = t.limity.Przekroczone(); !przekroczone.empty()) {
                wynik.komunikat = std::move(przekroczone);
                return wynik;
            }
            curl_multi_poll(multi.get(), nullptr, 0, kOkresOdpytywaniaMs, nullptr);
        }

        if (cisza) {
            wynik.komunikat = KomunikatBleduPolaczenia(
                u"no data received for " +
                platforma::Utf16(std::to_string(ustawienia.limitCiszyMs)) + u" ms");
            return wynik;
        }

        CURLcode kod = CURLE_OK;
        bool zakonczony = false;
        int wKolejce = 0;
        while (CURLMsg* m = curl_multi_info_read(multi.get(), &wKolejce)) {
            if (m->msg == CURLMSG_DONE && m->easy_handle == e) {
                kod = m->data.result;
                zakonczony = true;
            }
        }
        if (t.poczatekZgloszony) odbiorca.Koniec();

        if (t.odpowiedzOdrzucona) {
            wynik.komunikat = t.komunikatOdrzucenia;
            return wynik;
        }
        if (t.bladOdbiorcy) {
            wynik.komunikat = t.komunikatOdbiorcy;
            return wynik;
        }
        // A multi-interface failure leaves the transfer unfinished: whatever
        // body has arrived may be cut short and must not count as the file.
        if (!zakonczony) {
            wynik.komunikat = platforma::Utf16(bladMulti != CURLM_OK ? curl_multi_strerror(bladMulti)
                                                                     : "The transfer did not finish");
            return wynik;
        }
        if (kod != CURLE_OK) {
            std::string przyczyna = curl_easy_strerror(kod);
            if (bladCurl[0]) przyczyna += std::string(" (") + bladCurl + ")";
            const auto tekst = platforma::Utf16(przyczyna);
            long kodTunelu = 0;
            curl_easy_getinfo(e, CURLINFO_HTTP_CONNECTCODE, &kodTunelu);
            if (kodTunelu == 407) {
                wynik.komunikat = OdmowaPosrednika("CONNECT 407 (" + przyczyna + ")");
            } else if (kod == CURLE_PARTIAL_FILE && t.naglowkiGotowe) {
                // The connection ended before the body did: fewer bytes than
                // announced, or no last chunk.
                wynik.komunikat = t.kontrola.Urwana();
            } else if (JestWadliwaOdpowiedzia(kod, bladCurl)) {
                wynik.komunikat = KomunikatBledu(BladPobierania::ZlaOdpowiedz, tekst);
            } else if (JestBledemPolaczenia(kod)) {
                wynik.komunikat = KomunikatBleduPolaczenia(tekst);
            } else {
                wynik.komunikat = tekst;
            }
            return wynik;
        }
        if (!t.naglowkiGotowe) {
            wynik.komunikat = KomunikatBledu(BladPobierania::ZlaOdpowiedz, u"no reply headers");
            return wynik;
        }
        wynik.udany = t.kontrola.Koniec(wynik.komunikat);
        return wynik;
    }

private:
    bool zajety_ = false;
};

}  // namespace

std::unique_ptr<IKlientHttp> UtworzKlientaHttp() { return std::make_unique<KlientHttpCurl>(); }
