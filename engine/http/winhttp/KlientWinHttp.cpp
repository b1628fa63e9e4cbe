// The HTTP client of the Windows build: WinHTTP, part of the system, for
// http:// and https:// addresses, through the user's proxy.
//
// WinHTTP runs in asynchronous mode so that the user-interface thread, which
// owns the transfer, never blocks for longer than one event-pump interval:
// each step (send, headers, wait for data, read) is started here, its
// completion comes from WinHTTP's own threads through the status callback,
// and meanwhile this thread waits. The receiver is asked whether to stop
// (and pumps the window then) once a tick, by the clock, whether completions
// keep coming or not: never per piece, so a fast body is not slowed down by
// the window. Every call of the receiver happens on the calling thread.
#include <windows.h>
#include <mmsystem.h>
#include <winhttp.h>

#include <atomic>
#include <cstdio>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "BledyPobierania.h"
#include "KlientHttp.h"
#include "KontrolaOdpowiedzi.h"
#include "platform/Tekst.h"

namespace {

// Well under one frame at 60 Hz (16.7 ms), so that the pump itself still fits.
constexpr DWORD kTaktMs = 8;
// The most read in one step of what WinHTTP holds already. Whatever has
// arrived is read piece after piece with no wait between them; the window is
// pumped by the clock, not per piece.
constexpr DWORD kRozmiarPorcji = 64 * 1024;
// While the body streams, one read is left to WinHTTP's own threads, sized
// so that it fills in a few milliseconds at the rate seen so far: from a
// piece up to this much. Every completion costs a switch between threads,
// so a fast body wants few of them; a slow one small reads, so that the
// bytes reach the receiver (and the bar) about once a tick.
constexpr DWORD kNajwiekszyOdczyt = 1024 * 1024;
// The most handed to the receiver between two looks at the clock.
constexpr DWORD kPrzekazanie = 256 * 1024;
// A streaming read that fills quicker than this may double, one slower than
// twice this halves.
constexpr DWORD kCzasOdczytuMs = 4;
// WinHTTP's own receive buffer (Wine's holds 8 KiB): an answer of this much
// or more means the body is streaming in.
constexpr DWORD kPelnyBufor = 8 * 1024;

using Zegar = std::chrono::steady_clock;

const wchar_t* Szeroki(const std::u16string& tekst) {
    return reinterpret_cast<const wchar_t*>(tekst.c_str());
}

std::u16string ZAscii(const std::string& tekst) {
    return std::u16string(tekst.begin(), tekst.end());
}

std::u16string Liczba(unsigned long long n) {
    return ZAscii(std::to_string(n));
}

// RFC 7617: user name and password, joined by ":", in Base64.
std::string Base64(const std::string& dane) {
    static const char kZnaki[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string wynik;
    std::size_t i = 0;
    for (; i + 2 < dane.size(); i += 3) {
        unsigned v = (unsigned char)dane[i] << 16 | (unsigned char)dane[i + 1] << 8 | (unsigned char)dane[i + 2];
        wynik += kZnaki[v >> 18 & 63];
        wynik += kZnaki[v >> 12 & 63];
        wynik += kZnaki[v >> 6 & 63];
        wynik += kZnaki[v & 63];
    }
    if (i + 1 == dane.size()) {
        unsigned v = (unsigned char)dane[i] << 16;
        wynik += kZnaki[v >> 18 & 63];
        wynik += kZnaki[v >> 12 & 63];
        wynik += "==";
    } else if (i + 2 == dane.size()) {
        unsigned v = (unsigned char)dane[i] << 16 | (unsigned char)dane[i + 1] << 8;
        wynik += kZnaki[v >> 18 & 63];
        wynik += kZnaki[v >> 12 & 63];
        wynik += kZnaki[v >> 6 & 63];
        wynik += '=';
    }
    return wynik;
}

// The text of a WinHTTP error code, from winhttp.dll's own message table.
std::u16string TekstBledu(DWORD kod) {
    wchar_t* bufor = nullptr;
    HMODULE modul = GetModuleHandleW(L"winhttp.dll");
    DWORD dlugosc = 0;
    if (modul) {
        dlugosc = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_HMODULE |
                                     FORMAT_MESSAGE_IGNORE_INSERTS,
                                 modul, kod, 0, reinterpret_cast<wchar_t*>(&bufor), 0, nullptr);
    }
    if (dlugosc == 0) {
        dlugosc = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                     FORMAT_MESSAGE_IGNORE_INSERTS,
                                 nullptr, kod, 0, reinterpret_cast<wchar_t*>(&bufor), 0, nullptr);
    }
    std::u16string tekst;
    if (dlugosc > 0 && bufor) {
        tekst.assign(reinterpret_cast<const char16_t*>(bufor), dlugosc);
    }
    if (bufor) {
        LocalFree(bufor);
    }
    while (!tekst.empty() && (tekst.back() == u'\r' || tekst.back() == u'\n' || tekst.back() == u' ' ||
                              tekst.back() == u'.')) {
        tekst.pop_back();
    }
    return tekst;
}

// WinHTTP codes that mean the connection itself failed (name, connect,
// reset, a time limit): the user is told there is no connection rather than
// shown a transfer error.
bool JestBledemPolaczenia(DWORD kod) {
    switch (kod) {
        case ERROR_WINHTTP_NAME_NOT_RESOLVED:
        case ERROR_WINHTTP_CANNOT_CONNECT:
        case ERROR_WINHTTP_CONNECTION_ERROR:
        case ERROR_WINHTTP_TIMEOUT:
        // Wine's WinHTTP hands on the sockets' own codes.
        case WSAECONNRESET:
        case WSAECONNABORTED:
        case WSAECONNREFUSED:
        case WSAETIMEDOUT:
        case WSAENETDOWN:
        case WSAENETUNREACH:
        case WSAENETRESET:
        case WSAEHOSTUNREACH:
        case WSAHOST_NOT_FOUND:
        case WSATRY_AGAIN:
        case WSANO_DATA:
            return true;
        default:
            return false;
    }
}

// The certificate problems WinHTTP reports for a TLS connection, each as the
// system's own certificate error, whose text the system has (in the user's
// language on Windows).
std::u16string PowodyCertyfikatu(DWORD flagi) {
    static const struct {
        DWORD flaga;
        HRESULT blad;
    } kPowody[] = {
        {WINHTTP_CALLBACK_STATUS_FLAG_CERT_DATE_INVALID, CERT_E_EXPIRED},
        {WINHTTP_CALLBACK_STATUS_FLAG_CERT_CN_INVALID, CERT_E_CN_NO_MATCH},
        {WINHTTP_CALLBACK_STATUS_FLAG_INVALID_CA, CERT_E_UNTRUSTEDROOT},
        {WINHTTP_CALLBACK_STATUS_FLAG_CERT_REVOKED, CRYPT_E_REVOKED},
        {WINHTTP_CALLBACK_STATUS_FLAG_CERT_REV_FAILED, CRYPT_E_REVOCATION_OFFLINE},
        {WINHTTP_CALLBACK_STATUS_FLAG_CERT_WRONG_USAGE, CERT_E_WRONG_USAGE},
        {WINHTTP_CALLBACK_STATUS_FLAG_INVALID_CERT, CERT_E_MALFORMED},
    };
    std::u16string tekst;
    for (const auto& p : kPowody) {
        if (!(flagi & p.flaga)) continue;
        std::u16string powod = TekstBledu(static_cast<DWORD>(p.blad));
        if (powod.empty()) {
            char szesnastkowo[16];
            std::snprintf(szesnastkowo, sizeof szesnastkowo, "0x%08lX", static_cast<unsigned long>(p.blad));
            powod = ZAscii(szesnastkowo);
        }
        tekst += u"; " + powod;
    }
    return tekst;
}

// `odebrano`: the server has sent some bytes of a reply. WinHTTP gives the
// same code to a reply it cannot read and to a server that hangs up without
// replying at all; only the second is a connection failure.
std::u16string KomunikatBledu(DWORD kod, bool odebrano = false, DWORD flagiCertyfikatu = 0) {
    std::u16string tekst = TekstBledu(kod);
    tekst = (tekst.empty() ? u"WinHTTP error" : tekst) + u" (" + Liczba(kod) + u")" + PowodyCertyfikatu(flagiCertyfikatu);
    const bool wadliwa = kod == ERROR_WINHTTP_HEADER_SIZE_OVERFLOW ||
                         (kod == ERROR_WINHTTP_INVALID_SERVER_RESPONSE && odebrano);
    if (wadliwa) return KomunikatBledu(BladPobierania::ZlaOdpowiedz, tekst);
    if (JestBledemPolaczenia(kod) || kod == ERROR_WINHTTP_INVALID_SERVER_RESPONSE) {
        return KomunikatBleduPolaczenia(tekst);
    }
    return tekst;
}

// What the status callback hands to the waiting thread. Shared between that
// thread and WinHTTP's: the callback keeps its own reference until the
// request handle is closing, so a late completion after a cancel still finds
// its buffer.
struct Stan {
    HANDLE zdarzenie = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    DWORD zakonczenie = 0;   // WINHTTP_CALLBACK_STATUS_... of the last completion
    DWORD bajty = 0;         // of a read, or available for reading
    // The connection stands; from then on the silence limit applies. Some
    // implementations complete the sending only when the reply arrives.
    std::atomic<bool> polaczony{false};
    std::atomic<ULONGLONG> ostatniaAktywnosc{GetTickCount64()};
    // Some bytes of a reply have come.
    std::atomic<bool> odebrano{false};
    // Set while the body is read: a receive that got nothing, i.e. the
    // server closed the connection. Wine's WinHTTP then ends a chunked body
    // as if it were complete.
    std::atomic<bool> wCiele{false};
    std::atomic<bool> zamknietePodczasCiala{false};
    // Bytes received from the server while the body is read (WinHTTP's own
    // count, ahead of the pieces handed over).
    std::atomic<std::int64_t> bajtyCiala{0};
    DWORD blad = ERROR_SUCCESS;
    std::atomic<DWORD> flagiCertyfikatu{0};  // WINHTTP_CALLBACK_STATUS_FLAG_... of a TLS failure
    // Two streaming reads (one filling while the other is handed over) and a piece.
    std::vector<char> bufor = std::vector<char>(2 * kNajwiekszyOdczyt + kRozmiarPorcji);
    ~Stan() {
        if (zdarzenie) {
            CloseHandle(zdarzenie);
        }
    }
};

void CALLBACK Zwrotna(HINTERNET, DWORD_PTR kontekst, DWORD status, LPVOID informacja, DWORD dlugosc) {
    auto* wskaznik = reinterpret_cast<std::shared_ptr<Stan>*>(kontekst);
    if (!wskaznik) {
        return;  // the session and the connection carry no context
    }
    if (status == WINHTTP_CALLBACK_STATUS_HANDLE_CLOSING) {
        delete wskaznik;
        return;
    }
    Stan& stan = **wskaznik;
    switch (status) {
        case WINHTTP_CALLBACK_STATUS_CONNECTED_TO_SERVER:
            stan.polaczony = true;
            stan.ostatniaAktywnosc = GetTickCount64();
            return;
        case WINHTTP_CALLBACK_STATUS_SECURE_FAILURE:
            if (informacja && dlugosc >= sizeof(DWORD)) stan.flagiCertyfikatu = *static_cast<DWORD*>(informacja);
            return;
        case WINHTTP_CALLBACK_STATUS_REQUEST_SENT:
            stan.ostatniaAktywnosc = GetTickCount64();
            return;
        case WINHTTP_CALLBACK_STATUS_RESPONSE_RECEIVED:
            stan.ostatniaAktywnosc = GetTickCount64();
            if (informacja && dlugosc >= sizeof(DWORD) && *static_cast<DWORD*>(informacja) > 0) {
                stan.odebrano = true;
                if (stan.wCiele) stan.bajtyCiala += *static_cast<DWORD*>(informacja);
            } else if (stan.wCiele) {
                stan.zamknietePodczasCiala = true;
            }
            return;
        case WINHTTP_CALLBACK_STATUS_DATA_AVAILABLE:
            stan.zakonczenie = status;
            stan.bajty = informacja ? *static_cast<DWORD*>(informacja) : 0;
            break;
        case WINHTTP_CALLBACK_STATUS_SENDREQUEST_COMPLETE:
        case WINHTTP_CALLBACK_STATUS_HEADERS_AVAILABLE:
            stan.zakonczenie = status;
            break;
        case WINHTTP_CALLBACK_STATUS_READ_COMPLETE:
            stan.zakonczenie = status;
            stan.bajty = dlugosc;
            break;
        case WINHTTP_CALLBACK_STATUS_REQUEST_ERROR:
            stan.zakonczenie = status;
            stan.blad = informacja ? static_cast<WINHTTP_ASYNC_RESULT*>(informacja)->dwError
                                   : ERROR_WINHTTP_INTERNAL_ERROR;
            break;
        default:
            return;
    }
    SetEvent(stan.zdarzenie);
}

// The proxy of the signed-in user as Windows keeps it (the Internet
// Options' connection settings), read for each session.
struct Posrednik {
    DWORD dostep = WINHTTP_ACCESS_TYPE_NO_PROXY;
    std::wstring nazwa;      // a fixed proxy: "host:port" or "http=host:port;https=..."
    std::wstring pominiete;  // its bypass list: "host;*.domain;<local>"
};

Posrednik PosrednikUzytkownika() {
    Posrednik p;
    WINHTTP_CURRENT_USER_IE_PROXY_CONFIG ie{};
    if (!WinHttpGetIEProxyConfigForCurrentUser(&ie)) return p;
    if (ie.lpszProxy && *ie.lpszProxy) {
        p.dostep = WINHTTP_ACCESS_TYPE_NAMED_PROXY;
        p.nazwa = ie.lpszProxy;
        if (ie.lpszProxyBypass) p.pominiete = ie.lpszProxyBypass;
    } else if (ie.fAutoDetect || (ie.lpszAutoConfigUrl && *ie.lpszAutoConfigUrl)) {
        p.dostep = WINHTTP_ACCESS_TYPE_AUTOMATIC_PROXY;
    }
    for (LPWSTR tekst : {ie.lpszAutoConfigUrl, ie.lpszProxy, ie.lpszProxyBypass}) {
        if (tekst) GlobalFree(tekst);
    }
    return p;
}

// The session of one download, through the user's proxy. A fixed proxy and
// its bypass list go to the session itself (Wine's WINHTTP_OPTION_PROXY
// setter does nothing). Automatic detection and a configuration script are
// left to WinHTTP's own asynchronous work where Windows has it (8.1 and
// later): WinHttpGetProxyForUrl would fetch the script on this thread and
// freeze the window meanwhile. Where it does not, the connection is direct.
HINTERNET OtworzSesje() {
    const Posrednik p = PosrednikUzytkownika();
    if (p.dostep == WINHTTP_ACCESS_TYPE_NAMED_PROXY) {
        return WinHttpOpen(L"Instalator", WINHTTP_ACCESS_TYPE_NAMED_PROXY, p.nazwa.c_str(),
                           p.pominiete.empty() ? WINHTTP_NO_PROXY_BYPASS : p.pominiete.c_str(), WINHTTP_FLAG_ASYNC);
    }
    if (p.dostep == WINHTTP_ACCESS_TYPE_AUTOMATIC_PROXY) {
        if (HINTERNET sesja = WinHttpOpen(L"Instalator", WINHTTP_ACCESS_TYPE_AUTOMATIC_PROXY, WINHTTP_NO_PROXY_NAME,
                                          WINHTTP_NO_PROXY_BYPASS, WINHTTP_FLAG_ASYNC)) {
            return sesja;
        }
    }
    return WinHttpOpen(L"Instalator", WINHTTP_ACCESS_TYPE_NO_PROXY, WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS,
                       WINHTTP_FLAG_ASYNC);
}

// TLS 1.2 and 1.3, nothing older; a system that does not know 1.3 gets 1.2
// alone. The certificate is checked as WinHTTP always does (chain to
// Windows' trusted roots, the host name, the dates): nothing here relaxes it.
void UstawProtokolyTls(HINTERNET sesja) {
    DWORD protokoly = WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_2 | WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_3;
    if (!WinHttpSetOption(sesja, WINHTTP_OPTION_SECURE_PROTOCOLS, &protokoly, sizeof protokoly)) {
        protokoly = WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_2;
        WinHttpSetOption(sesja, WINHTTP_OPTION_SECURE_PROTOCOLS, &protokoly, sizeof protokoly);
    }
}

class Uchwyt {
public:
    explicit Uchwyt(HINTERNET h = nullptr) : h_(h) {}
    Uchwyt(const Uchwyt&) = delete;
    Uchwyt& operator=(const Uchwyt&) = delete;
    ~Uchwyt() { Zamknij(); }
    void Zamknij() {
        if (h_) {
            WinHttpCloseHandle(h_);
            h_ = nullptr;
        }
    }
    HINTERNET get() const { return h_; }
    explicit operator bool() const { return h_ != nullptr; }

private:
    HINTERNET h_;
};

// Windows' timer ticks every 15.6 ms unless asked for more, so a wait of
// kTaktMs would last a whole tick and the pumps would drift towards a frame
// apart. For the time of a transfer it is asked for 1 ms.
class DokladnyZegar {
public:
    DokladnyZegar() : dziala_(timeBeginPeriod(1) == TIMERR_NOERROR) {}
    ~DokladnyZegar() {
        if (dziala_) {
            timeEndPeriod(1);
        }
    }
    DokladnyZegar(const DokladnyZegar&) = delete;
    DokladnyZegar& operator=(const DokladnyZegar&) = delete;

private:
    bool dziala_;
};

class KlientWinHttp : public IKlientHttp {
public:
    WynikHttp Pobierz(const std::string& adres, const UstawieniaHttp& ustawienia,
                      IOdbiorcaHttp& odbiorca) override {
        const JednoPobieranie jedno(zajety_);
        if (!jedno.Wolne()) return JednoPobieranie::Odmowa();
        const DokladnyZegar zegar;
        Transfer transfer(adres, ustawienia, odbiorca);
        return transfer.Wykonaj();
    }

private:
    class Transfer {
    public:
        Transfer(const std::string& adres, const UstawieniaHttp& u, IOdbiorcaHttp& o)
            : adres_(platforma::Utf16(adres)),
              sciezka_(SciezkaAdresu(adres)),
              ustawienia_(u),
              odbiorca_(o),
              stan_(std::make_shared<Stan>()),
              kontrola_(u),
              limity_(u) {}

        WynikHttp Wykonaj() {
            WynikHttp wynik;
            if (!Przygotuj(wynik)) {
                return wynik;
            }
            // Connecting and sending the request: the connection limit.
            if (!Wyslij(wynik)) {
                return wynik;
            }
            DWORD kodStatusu = 0;
            if (!Naglowki(wynik, kodStatusu)) {
                return wynik;
            }
            if (kodStatusu == HTTP_STATUS_PROXY_AUTH_REQ && !ZalogujUPosrednika(wynik, kodStatusu)) {
                return wynik;
            }
            KontrolaOdpowiedzi::Glowa glowa;
            glowa.kodStatusu = static_cast<int>(kodStatusu);
            glowa.liniaStatusu = LiniaStatusu(kodStatusu);
            glowa.linie = LinieNaglowka();
            glowa.sciezka = sciezka_;
            if (!kontrola_.Naglowek(std::move(glowa), wynik.komunikat)) {
                return wynik;
            }
            limity_.NaglowkiGotowe();
            return Cialo(kontrola_.Dlugosc(), kontrola_.Porcjami());
        }

    private:
        std::u16string Cisza() const {
            return KomunikatBleduPolaczenia(u"no data received for " + Liczba(ustawienia_.limitCiszyMs) + u" ms");
        }

        bool Przygotuj(WynikHttp& wynik) {
            if (!stan_->zdarzenie) {
                wynik.komunikat = KomunikatBledu(GetLastError());
                return false;
            }
            URL_COMPONENTS czesci{};
            czesci.dwStructSize = sizeof czesci;
            czesci.dwHostNameLength = static_cast<DWORD>(-1);
            czesci.dwUrlPathLength = static_cast<DWORD>(-1);
            czesci.dwExtraInfoLength = static_cast<DWORD>(-1);
            czesci.dwSchemeLength = static_cast<DWORD>(-1);
            if (!WinHttpCrackUrl(Szeroki(adres_), 0, 0, &czesci) ||
                (czesci.nScheme != INTERNET_SCHEME_HTTP && czesci.nScheme != INTERNET_SCHEME_HTTPS) ||
                czesci.dwHostNameLength == 0) {
                wynik.komunikat = u"Malformed or unsupported address: " + adres_;
                return false;
            }
            std::u16string host(reinterpret_cast<const char16_t*>(czesci.lpszHostName), czesci.dwHostNameLength);
            std::u16string sciezka(reinterpret_cast<const char16_t*>(czesci.lpszUrlPath), czesci.dwUrlPathLength);
            sciezka.append(reinterpret_cast<const char16_t*>(czesci.lpszExtraInfo), czesci.dwExtraInfoLength);
            if (sciezka.empty()) {
                sciezka = u"/";
            }

            const bool szyfrowane = czesci.nScheme == INTERNET_SCHEME_HTTPS;
            sesja_ = std::make_unique<Uchwyt>(OtworzSesje());
            if (!*sesja_) {
                wynik.komunikat = KomunikatBledu(GetLastError());
                return false;
            }
            UstawProtokolyTls(sesja_->get());
            // The system's own limits back up the ones kept here; they are
            // a little longer so that the limits below decide.
            int polaczenie = static_cast<int>(ustawienia_.limitPolaczeniaMs) + 1000;
            int cisza = static_cast<int>(ustawienia_.limitCiszyMs) + 1000;
            WinHttpSetTimeouts(sesja_->get(), polaczenie, polaczenie, cisza, cisza);
            WinHttpSetStatusCallback(sesja_->get(), Zwrotna,
                                     WINHTTP_CALLBACK_FLAG_ALL_COMPLETIONS | WINHTTP_CALLBACK_FLAG_HANDLES |
                                         WINHTTP_CALLBACK_FLAG_CONNECT_TO_SERVER |
                                         WINHTTP_CALLBACK_FLAG_SEND_REQUEST |
                                         WINHTTP_CALLBACK_FLAG_RECEIVE_RESPONSE |
                                         WINHTTP_CALLBACK_FLAG_SECURE_FAILURE,
                                     0);

            polaczenie_ = std::make_unique<Uchwyt>(WinHttpConnect(sesja_->get(), Szeroki(host), czesci.nPort, 0));
            if (!*polaczenie_) {
                wynik.komunikat = KomunikatBledu(GetLastError());
                return false;
            }
            zadanie_ = std::make_unique<Uchwyt>(WinHttpOpenRequest(polaczenie_->get(), L"GET", Szeroki(sciezka),
                                                                   nullptr, WINHTTP_NO_REFERER,
                                                                   WINHTTP_DEFAULT_ACCEPT_TYPES,
                                                                   szyfrowane ? WINHTTP_FLAG_SECURE : 0));
            if (!*zadanie_) {
                wynik.komunikat = KomunikatBledu(GetLastError());
                return false;
            }
            // From here on the callback owns a reference, given back when the
            // request handle closes.
            auto* kontekst = new std::shared_ptr<Stan>(stan_);
            DWORD_PTR wartosc = reinterpret_cast<DWORD_PTR>(kontekst);
            if (!WinHttpSetOption(zadanie_->get(), WINHTTP_OPTION_CONTEXT_VALUE, &wartosc, sizeof wartosc)) {
                delete kontekst;
                wynik.komunikat = KomunikatBledu(GetLastError());
                return false;
            }
            kontekst_ = wartosc;

            // Redirections are reported, never followed.
            DWORD polityka = WINHTTP_OPTION_REDIRECT_POLICY_NEVER;
            WinHttpSetOption(zadanie_->get(), WINHTTP_OPTION_REDIRECT_POLICY, &polityka, sizeof polityka);
            DWORD wylacz = WINHTTP_DISABLE_REDIRECTS;
            WinHttpSetOption(zadanie_->get(), WINHTTP_OPTION_DISABLE_FEATURE, &wylacz, sizeof wylacz);

            if (!ustawienia_.uzytkownik.empty() || !ustawienia_.haslo.empty()) {
                // Sent with the first request, without waiting for a challenge.
                std::u16string naglowek =
                    u"Authorization: Basic " + ZAscii(Base64(ustawienia_.uzytkownik + ":" + ustawienia_.haslo));
                if (!WinHttpAddRequestHeaders(zadanie_->get(), Szeroki(naglowek), static_cast<DWORD>(-1),
                                              WINHTTP_ADDREQ_FLAG_ADD | WINHTTP_ADDREQ_FLAG_REPLACE)) {
                    wynik.komunikat = KomunikatBledu(GetLastError());
                    return false;
                }
            }
            return true;
        }

        bool Wyslij(WynikHttp& wynik) {
            ResetEvent(stan_->zdarzenie);
            if (!WinHttpSendRequest(zadanie_->get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0,
                                    0, kontekst_)) {
                wynik.komunikat = KomunikatBledu(GetLastError());
                return false;
            }
            return Poczekaj(wynik, WINHTTP_CALLBACK_STATUS_SENDREQUEST_COMPLETE, true);
        }

        bool Naglowki(WynikHttp& wynik, DWORD& kodStatusu) {
            ResetEvent(stan_->zdarzenie);
            if (!WinHttpReceiveResponse(zadanie_->get(), nullptr)) {
                wynik.komunikat = KomunikatBledu(GetLastError());
                return false;
            }
            if (!Poczekaj(wynik, WINHTTP_CALLBACK_STATUS_HEADERS_AVAILABLE, false)) {
                return false;
            }
            DWORD rozmiar = sizeof kodStatusu;
            if (!WinHttpQueryHeaders(zadanie_->get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                                     WINHTTP_HEADER_NAME_BY_INDEX, &kodStatusu, &rozmiar, WINHTTP_NO_HEADER_INDEX)) {
                wynik.komunikat = KomunikatBledu(GetLastError());
                return false;
            }
            return true;
        }

        // A proxy that wants to know who the user is. Negotiate and NTLM are
        // answered once, with the signed-in user's own credentials (no name
        // given: Windows' logon session), by sending the request again on
        // the same connection; what the installer has no credentials for
        // (Basic, or a second refusal) ends the download with the notice.
        bool ZalogujUPosrednika(WynikHttp& wynik, DWORD& kodStatusu) {
            DWORD obslugiwane = 0, pierwszy = 0, cel = 0;
            if (WinHttpQueryAuthSchemes(zadanie_->get(), &obslugiwane, &pierwszy, &cel) &&
                cel == WINHTTP_AUTH_TARGET_PROXY) {
                const DWORD schemat = (obslugiwane & WINHTTP_AUTH_SCHEME_NEGOTIATE) ? WINHTTP_AUTH_SCHEME_NEGOTIATE
                                      : (obslugiwane & WINHTTP_AUTH_SCHEME_NTLM) ? WINHTTP_AUTH_SCHEME_NTLM
                                                                                  : 0;
                if (schemat != 0 && WinHttpSetCredentials(zadanie_->get(), WINHTTP_AUTH_TARGET_PROXY, schemat,
                                                          nullptr, nullptr, nullptr)) {
                    if (!Wyslij(wynik) || !Naglowki(wynik, kodStatusu)) return false;
                    if (kodStatusu != HTTP_STATUS_PROXY_AUTH_REQ) return true;
                }
            }
            wynik.komunikat = KomunikatBledu(BladPobierania::Posrednik, LiniaStatusu(kodStatusu));
            zadanie_->Zamknij();
            return false;
        }

        // One header of the reply as text; empty when absent.
        std::u16string Naglowek(DWORD ktory) {
            DWORD rozmiar = 0;
            WinHttpQueryHeaders(zadanie_->get(), ktory, WINHTTP_HEADER_NAME_BY_INDEX, WINHTTP_NO_OUTPUT_BUFFER,
                                &rozmiar, WINHTTP_NO_HEADER_INDEX);
            if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || rozmiar == 0) {
                return {};
            }
            std::vector<wchar_t> bufor(rozmiar / sizeof(wchar_t) + 1);
            if (!WinHttpQueryHeaders(zadanie_->get(), ktory, WINHTTP_HEADER_NAME_BY_INDEX, bufor.data(), &rozmiar,
                                     WINHTTP_NO_HEADER_INDEX)) {
                return {};
            }
            return std::u16string(reinterpret_cast<const char16_t*>(bufor.data()), rozmiar / sizeof(wchar_t));
        }

        // The status line as the server sent it ("HTTP/1.1 404 Not Found");
        // composed from its parts when the raw headers do not start with it.
        std::u16string LiniaStatusu(DWORD kodStatusu) {
            std::u16string surowe = Naglowek(WINHTTP_QUERY_RAW_HEADERS_CRLF);
            std::u16string linia = surowe.substr(0, surowe.find(u"\r\n"));
            if (linia.rfind(u"HTTP/", 0) == 0) {
                return linia;
            }
            std::u16string wersja = Naglowek(WINHTTP_QUERY_VERSION);
            std::u16string tekst = Naglowek(WINHTTP_QUERY_STATUS_TEXT);
            linia = (wersja.empty() ? u"HTTP/1.1" : wersja) + u" " + Liczba(kodStatusu);
            if (!tekst.empty()) {
                linia += u" " + tekst;
            }
            return linia;
        }

        // The final reply's field lines as WinHTTP kept them, without the
        // status line; bytes outside ASCII are kept as "?".
        std::vector<std::string> LinieNaglowka() {
            const std::u16string surowe = Naglowek(WINHTTP_QUERY_RAW_HEADERS_CRLF);
            std::vector<std::string> linie;
            std::size_t od = surowe.find(u"\r\n");
            while (od != std::u16string::npos) {
                od += 2;
                const std::size_t koniec = surowe.find(u"\r\n", od);
                const std::u16string linia = surowe.substr(od, koniec == std::u16string::npos ? koniec : koniec - od);
                if (linia.empty()) {
                    break;
                }
                std::string tekst;
                for (char16_t z : linia) {
                    tekst += z < 0x80 ? static_cast<char>(z) : '?';
                }
                linie.push_back(std::move(tekst));
                od = koniec;
            }
            return linie;
        }

        // `oczekiwane`: the announced length, -1 when none; `porcjami`: chunked.
        WynikHttp Cialo(std::int64_t oczekiwane, bool porcjami) {
            WynikHttp wynik;
            limity_.Wstrzymaj([&] { odbiorca_.Poczatek(oczekiwane > 0 ? oczekiwane : 0); });
            stan_->wCiele = true;
            // The body streams in faster than WinHTTP's own buffer holds.
            bool plynie = false;
            DWORD odczyt = kRozmiarPorcji;  // of a streaming read
            char* const duze[2] = {stan_->bufor.data(), stan_->bufor.data() + kNajwiekszyOdczyt};
            char* const male = stan_->bufor.data() + 2 * kNajwiekszyOdczyt;
            int ktory = 0;
            // A streaming read not handed over yet: it goes to the receiver
            // while WinHTTP fills the next one, so that writing and hashing
            // it cost no time of the transfer.
            const char* zalegle = nullptr;
            DWORD ileZaleglych = 0;
            for (;;) {
                // First ask what is there, then read no more than that: a
                // read of more, while WinHTTP holds some bytes already, is
                // done on the calling thread until it is filled (Wine's is),
                // and a slow server would hold the window meanwhile.
                ResetEvent(stan_->zdarzenie);
                if (!WinHttpQueryDataAvailable(zadanie_->get(), nullptr)) {
                    wynik.komunikat = KomunikatBledu(GetLastError());
                    break;
                }
                if (!Poczekaj(wynik, WINHTTP_CALLBACK_STATUS_DATA_AVAILABLE, false)) {
                    break;
                }
                DWORD dostepne = stan_->bajty;
                plynie = plynie || dostepne >= kPelnyBufor;
                DWORD ile = 0;
                bool dalej = true;
                // What is there, up to a piece, waits with the streaming read
                // before it; more, or the end, and both go now, in order.
                DWORD ileMalych = 0;
                if (zalegle && dostepne > 0 && dostepne <= kRozmiarPorcji && plynie && !porcjami) {
                    dalej = Zacznij(wynik, male, dostepne) && Dokoncz(wynik, ile);
                    ileMalych = ile;
                } else {
                    if (zalegle) {
                        dalej = Przekaz(wynik, zalegle, ileZaleglych);
                        zalegle = nullptr;
                    }
                    while (dostepne > 0 && dalej) {
                        dalej = Czytaj(wynik, male, dostepne < kRozmiarPorcji ? dostepne : kRozmiarPorcji, ile);
                        dostepne = ile < dostepne ? dostepne - ile : 0;
                        if (ile == 0) break;
                    }
                }
                // WinHTTP's buffer is empty now: while the body streams, a
                // large read is asked for, and WinHTTP fills it on its own
                // threads. One completion then brings many of its buffers,
                // where asking first brings one buffer for two.
                if (dalej && ile > 0 && plynie && !porcjami) {
                    char* const cel = duze[ktory];
                    ktory ^= 1;
                    dalej = Zacznij(wynik, cel, odczyt);
                    const auto start = Zegar::now();
                    if (dalej && zalegle) dalej = Przekaz(wynik, zalegle, ileZaleglych);
                    if (dalej && ileMalych > 0) dalej = Przekaz(wynik, male, ileMalych);
                    zalegle = nullptr;
                    ileMalych = 0;
                    const auto przekazanie = Zegar::now() - start;
                    dalej = dalej && Dokoncz(wynik, ile);
                    // The receiver's share of the wait is WinHTTP's time too.
                    const auto ms =
                        std::chrono::duration_cast<std::chrono::milliseconds>(wypelnianie_ - przekazanie).count();
                    plynie = ile == odczyt;
                    if (plynie && ms < kCzasOdczytuMs && odczyt < kNajwiekszyOdczyt) {
                        odczyt *= 2;
                    } else if (ms >= 2 * kCzasOdczytuMs && odczyt > kRozmiarPorcji) {
                        odczyt /= 2;
                    }
                    if (dalej && ile > 0) {
                        if (plynie) {
                            zalegle = cel;
                            ileZaleglych = ile;
                        } else {
                            dalej = Przekaz(wynik, cel, ile);
                        }
                    }
                }
                if (dalej && (zalegle || ileMalych > 0) && ile == 0) {
                    // The end came while bytes before it wait.
                    if (zalegle) dalej = Przekaz(wynik, zalegle, ileZaleglych);
                    if (dalej && ileMalych > 0) dalej = Przekaz(wynik, male, ileMalych);
                    zalegle = nullptr;
                    ileMalych = 0;
                }
                if (!dalej) break;
                if (ile == 0) {
                    // The end as WinHTTP sees it. A chunked body is whole
                    // only when its last chunk came, and the server closing
                    // the connection first is not that: Wine reports both
                    // alike, so the closed connection tells them apart.
                    if (porcjami && stan_->zamknietePodczasCiala) {
                        wynik.komunikat = kontrola_.Urwana();
                    } else {
                        wynik.udany = kontrola_.Koniec(wynik.komunikat);
                    }
                    break;
                }
            }
            if (wynik.udany && zgloszone_ != dotad_) {
                zgloszone_ = dotad_;
                limity_.Wstrzymaj([&] { odbiorca_.Postep(dotad_); });
            }
            limity_.Wstrzymaj([&] { odbiorca_.Koniec(); });
            return wynik;
        }

        // Reads up to `porcja` bytes into the buffer and hands them to the
        // receiver, bounded before a byte is kept; `ile` is 0 at the end of
        // the body. False: the transfer has failed or stopped, `wynik` says why.
        bool Czytaj(WynikHttp& wynik, char* cel, DWORD porcja, DWORD& ile) {
            return Zacznij(wynik, cel, porcja) && Dokoncz(wynik, ile) && (ile == 0 || Przekaz(wynik, cel, ile));
        }

        // Starts a read into `cel`, kept in the shared state so that a read
        // still pending when the request closes writes into live memory.
        bool Zacznij(WynikHttp& wynik, char* cel, DWORD porcja) {
            startOdczytu_ = Zegar::now();
            wOdbiorcyPrzedOdczytem_ = wOdbiorcy_;
            ResetEvent(stan_->zdarzenie);
            if (!WinHttpReadData(zadanie_->get(), cel, porcja, nullptr)) {
                wynik.komunikat = KomunikatBledu(GetLastError());
                return false;
            }
            return true;
        }

        // Waits for the read just started; `ile` is 0 at the end of the body.
        bool Dokoncz(WynikHttp& wynik, DWORD& ile) {
            ile = 0;
            if (!Poczekaj(wynik, WINHTTP_CALLBACK_STATUS_READ_COMPLETE, false)) {
                return false;
            }
            wypelnianie_ = Zegar::now() - startOdczytu_ - (wOdbiorcy_ - wOdbiorcyPrzedOdczytem_);
            ile = stan_->bajty;
            return true;
        }

        // Hands bytes read to the receiver, bounded before a byte is kept,
        // a piece at a time: writing and hashing a whole streaming read at
        // once would keep the window from its pump for longer than a frame,
        // so the receiver is asked between pieces when its tick is due.
        bool Przekaz(WynikHttp& wynik, const char* dane, DWORD ile) {
            while (ile > 0) {
                const DWORD kawalek = ile < kPrzekazanie ? ile : kPrzekazanie;
                std::u16string blad;
                if (!kontrola_.Dane(dane, kawalek, blad) ||
                    !limity_.Wstrzymaj([&] { return odbiorca_.Dane(dane, kawalek, blad); })) {
                    zadanie_->Zamknij();
                    wynik.komunikat = blad;
                    return false;
                }
                dotad_ += kawalek;
                dane += kawalek;
                ile -= kawalek;
                PoliczDoLimitu();
                if (Przekroczony(wynik)) return false;
                if (ile > 0 && DoPytania() == 0 && Przerwac()) return Przerwany(wynik);
            }
            return true;
        }

        // The rate rule counts what has come from the server: the pieces
        // handed over, or, while a whole piece is still being filled, the
        // bytes WinHTTP reports received, whichever is more. A piece of a
        // body that slows down is not counted as silence meanwhile.
        void PoliczDoLimitu() {
            const std::int64_t odebrane = stan_->bajtyCiala.load();
            const std::int64_t dotad = odebrane > dotad_ ? odebrane : dotad_;
            if (dotad > policzone_) {
                limity_.Dane(static_cast<std::size_t>(dotad - policzone_));
                policzone_ = dotad;
            }
        }

        bool Przekroczony(WynikHttp& wynik) {
            auto przekroczone = limity_.Przekroczone();
            if (przekroczone.empty()) return false;
            zadanie_->Zamknij();
            wynik.komunikat = std::move(przekroczone);
            return true;
        }

        // Tells the receiver how far the body has come and asks whether to
        // stop. The receiver pumps the window here, so this happens once a
        // tick, however many pieces arrive meanwhile: a pump (and the bar's
        // redrawing) for every piece would cost more than the piece. The
        // time spent in the receiver (a notice's modal loop among it) does
        // not count towards the limits.
        bool Przerwac() {
            ostatniePytanie_ = Zegar::now();
            const bool przerwac = limity_.Wstrzymaj([&] {
                if (zgloszone_ != dotad_) {
                    zgloszone_ = dotad_;
                    odbiorca_.Postep(dotad_);
                }
                return odbiorca_.Przerwij();
            });
            wOdbiorcy_ += Zegar::now() - ostatniePytanie_;
            return przerwac;
        }

        // Milliseconds until the receiver is due to be asked again, 0 when due.
        DWORD DoPytania() const {
            const auto zostalo = std::chrono::ceil<std::chrono::milliseconds>(
                                     ostatniePytanie_ + std::chrono::milliseconds(kTaktMs) - Zegar::now())
                                     .count();
            return zostalo <= 0 ? 0 : static_cast<DWORD>(zostalo);
        }

        bool Przerwany(WynikHttp& wynik) {
            zadanie_->Zamknij();
            wynik.przerwany = true;
            wynik.komunikat = u"Operation aborted";
            return false;
        }

        // Waits for the completion of the step just started, asking the
        // receiver every few milliseconds whether to stop, also while
        // completions keep coming. A failure, a stop or a time limit closes
        // the request and fills `wynik`. While `laczenie`, the connection
        // limit counts until the connection stands; after that, and in every
        // other step, the silence limit since the last sign of life, and the
        // limits of the reply's head and of the body's rate.
        bool Poczekaj(WynikHttp& wynik, DWORD oczekiwane, bool laczenie) {
            ULONGLONG poczatek = GetTickCount64();
            if (!laczenie) {
                stan_->ostatniaAktywnosc = poczatek;
            }
            for (;;) {
                DWORD czekaj = DoPytania();
                if (czekaj == 0) {
                    if (Przerwac()) return Przerwany(wynik);
                    // Some implementations complete the sending only with
                    // the reply: the header limit counts there too.
                    if (!laczenie || stan_->polaczony) {
                        PoliczDoLimitu();
                        if (Przekroczony(wynik)) return false;
                    }
                    czekaj = kTaktMs;
                }
                DWORD w = WaitForSingleObject(stan_->zdarzenie, czekaj);
                if (w == WAIT_OBJECT_0) {
                    break;
                }
                ULONGLONG teraz = GetTickCount64();
                if (laczenie && !stan_->polaczony) {
                    if (teraz - poczatek >= static_cast<ULONGLONG>(ustawienia_.limitPolaczeniaMs)) {
                        zadanie_->Zamknij();
                        wynik.komunikat = KomunikatBleduPolaczenia(
                            u"connection timed out after " + Liczba(ustawienia_.limitPolaczeniaMs) + u" ms");
                        return false;
                    }
                } else {
                    ULONGLONG od = stan_->ostatniaAktywnosc;
                    if (teraz > od && teraz - od >= static_cast<ULONGLONG>(ustawienia_.limitCiszyMs)) {
                        zadanie_->Zamknij();
                        wynik.komunikat = Cisza();
                        return false;
                    }
                }
            }
            if (stan_->zakonczenie == WINHTTP_CALLBACK_STATUS_REQUEST_ERROR) {
                wynik.komunikat = KomunikatBledu(stan_->blad, stan_->odebrano, stan_->flagiCertyfikatu);
                zadanie_->Zamknij();
                return false;
            }
            if (stan_->zakonczenie != oczekiwane) {
                wynik.komunikat = KomunikatBledu(ERROR_WINHTTP_INCORRECT_HANDLE_STATE);
                zadanie_->Zamknij();
                return false;
            }
            return true;
        }

        std::u16string adres_;
        std::string sciezka_;
        const UstawieniaHttp& ustawienia_;
        IOdbiorcaHttp& odbiorca_;
        std::shared_ptr<Stan> stan_;
        KontrolaOdpowiedzi kontrola_;
        LimityCzasu limity_;
        DWORD_PTR kontekst_ = 0;
        Zegar::time_point ostatniePytanie_{};  // of the receiver; never yet: at once
        Zegar::duration wOdbiorcy_{};          // spent asking the receiver, all told
        Zegar::duration wypelnianie_{};        // the last read's wait, the receiver's time left out
        Zegar::time_point startOdczytu_{};
        Zegar::duration wOdbiorcyPrzedOdczytem_{};
        std::int64_t dotad_ = 0;               // body bytes received
        std::int64_t zgloszone_ = 0;           // of them, told to the receiver
        std::int64_t policzone_ = 0;           // of them, counted by the rate rule
        // Closed in reverse order: request, connection, session.
        std::unique_ptr<Uchwyt> sesja_;
        std::unique_ptr<Uchwyt> polaczenie_;
        std::unique_ptr<Uchwyt> zadanie_;
    };

    bool zajety_ = false;
};

}  // namespace

std::unique_ptr<IKlientHttp> UtworzKlientaHttp() {
    return std::make_unique<KlientWinHttp>();
}
