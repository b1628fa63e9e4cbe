// The HTTP client of the Windows build: WinHTTP, part of the system.
//
// WinHTTP runs in asynchronous mode so that the user-interface thread, which
// owns the transfer, never blocks for longer than one event-pump interval:
// each step (send, headers, wait for data, read) is started here, its
// completion comes from WinHTTP's own threads through the status callback,
// and meanwhile this thread waits in slices of a few milliseconds and asks
// the receiver whether to stop (the receiver pumps the window then). Every call of the receiver therefore happens on the
// calling thread. Reads ask only for what is already there, because a read
// of more may block its caller until it is filled (Wine's does).
#include <windows.h>
#include <mmsystem.h>
#include <winhttp.h>

#include <atomic>
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
constexpr DWORD kRozmiarPorcji = 64 * 1024;

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

// `odebrano`: the server has sent some bytes of a reply. WinHTTP gives the
// same code to a reply it cannot read and to a server that hangs up without
// replying at all; only the second is a connection failure.
std::u16string KomunikatBledu(DWORD kod, bool odebrano = false) {
    std::u16string tekst = TekstBledu(kod);
    tekst = (tekst.empty() ? u"WinHTTP error" : tekst) + u" (" + Liczba(kod) + u")";
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
    DWORD blad = ERROR_SUCCESS;
    std::vector<char> bufor = std::vector<char>(kRozmiarPorcji);
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
        case WINHTTP_CALLBACK_STATUS_REQUEST_SENT:
            stan.ostatniaAktywnosc = GetTickCount64();
            return;
        case WINHTTP_CALLBACK_STATUS_RESPONSE_RECEIVED:
            stan.ostatniaAktywnosc = GetTickCount64();
            if (informacja && dlugosc >= sizeof(DWORD) && *static_cast<DWORD*>(informacja) > 0) {
                stan.odebrano = true;
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
            if (!WinHttpCrackUrl(Szeroki(adres_), 0, 0, &czesci) || czesci.nScheme != INTERNET_SCHEME_HTTP ||
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

            sesja_ = std::make_unique<Uchwyt>(WinHttpOpen(L"Instalator", WINHTTP_ACCESS_TYPE_NO_PROXY,
                                                          WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS,
                                                          WINHTTP_FLAG_ASYNC));
            if (!*sesja_) {
                wynik.komunikat = KomunikatBledu(GetLastError());
                return false;
            }
            // The system's own limits back up the ones kept here; they are
            // a little longer so that the limits below decide.
            int polaczenie = static_cast<int>(ustawienia_.limitPolaczeniaMs) + 1000;
            int cisza = static_cast<int>(ustawienia_.limitCiszyMs) + 1000;
            WinHttpSetTimeouts(sesja_->get(), polaczenie, polaczenie, cisza, cisza);
            WinHttpSetStatusCallback(sesja_->get(), Zwrotna,
                                     WINHTTP_CALLBACK_FLAG_ALL_COMPLETIONS | WINHTTP_CALLBACK_FLAG_HANDLES |
                                         WINHTTP_CALLBACK_FLAG_CONNECT_TO_SERVER |
                                         WINHTTP_CALLBACK_FLAG_SEND_REQUEST |
                                         WINHTTP_CALLBACK_FLAG_RECEIVE_RESPONSE,
                                     0);

            polaczenie_ = std::make_unique<Uchwyt>(WinHttpConnect(sesja_->get(), Szeroki(host), czesci.nPort, 0));
            if (!*polaczenie_) {
                wynik.komunikat = KomunikatBledu(GetLastError());
                return false;
            }
            zadanie_ = std::make_unique<Uchwyt>(WinHttpOpenRequest(polaczenie_->get(), L"GET", Szeroki(sciezka),
                                                                   nullptr, WINHTTP_NO_REFERER,
                                                                   WINHTTP_DEFAULT_ACCEPT_TYPES, 0));
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
            std::int64_t dotad = 0;
            for (;;) {
                // First wait until something can be read, then read no more
                // than that.
                ResetEvent(stan_->zdarzenie);
                if (!WinHttpQueryDataAvailable(zadanie_->get(), nullptr)) {
                    wynik.komunikat = KomunikatBledu(GetLastError());
                    break;
                }
                if (!Poczekaj(wynik, WINHTTP_CALLBACK_STATUS_DATA_AVAILABLE, false)) {
                    break;
                }
                DWORD ile = stan_->bajty;
                if (ile > 0) {
                    ResetEvent(stan_->zdarzenie);
                    DWORD porcja = ile < kRozmiarPorcji ? ile : kRozmiarPorcji;
                    if (!WinHttpReadData(zadanie_->get(), stan_->bufor.data(), porcja, nullptr)) {
                        wynik.komunikat = KomunikatBledu(GetLastError());
                        break;
                    }
                    if (!Poczekaj(wynik, WINHTTP_CALLBACK_STATUS_READ_COMPLETE, false)) {
                        break;
                    }
                    ile = stan_->bajty;
                }
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
                std::u16string blad;
                // Bounded before a byte is kept.
                if (!kontrola_.Dane(stan_->bufor.data(), ile, blad) ||
                    !limity_.Wstrzymaj([&] { return odbiorca_.Dane(stan_->bufor.data(), ile, blad); })) {
                    zadanie_->Zamknij();
                    wynik.komunikat = blad;
                    break;
                }
                limity_.Dane(ile);
                dotad += ile;
                limity_.Wstrzymaj([&] { odbiorca_.Postep(dotad); });
                if (auto przekroczone = limity_.Przekroczone(); !przekroczone.empty()) {
                    zadanie_->Zamknij();
                    wynik.komunikat = std::move(przekroczone);
                    break;
                }
            }
            limity_.Wstrzymaj([&] { odbiorca_.Koniec(); });
            return wynik;
        }

        // Waits for the completion of the step just started, asking the
        // receiver every few milliseconds whether to stop. A failure, a stop
        // or a time limit closes the request and fills `wynik`. While `laczenie`, the
        // connection limit counts until the connection stands; after that,
        // and in every other step, the silence limit since the last sign of
        // life.
        bool Poczekaj(WynikHttp& wynik, DWORD oczekiwane, bool laczenie) {
            ULONGLONG poczatek = GetTickCount64();
            if (!laczenie) {
                stan_->ostatniaAktywnosc = poczatek;
            }
            for (;;) {
                DWORD w = WaitForSingleObject(stan_->zdarzenie, kTaktMs);
                if (w == WAIT_OBJECT_0) {
                    break;
                }
                if (limity_.Wstrzymaj([&] { return odbiorca_.Przerwij(); })) {
                    zadanie_->Zamknij();
                    wynik.przerwany = true;
                    wynik.komunikat = u"Operation aborted";
                    return false;
                }
                // Some implementations complete the sending only with the
                // reply: the header limit counts there too.
                if (!laczenie || stan_->polaczony) {
                    if (auto przekroczone = limity_.Przekroczone(); !przekroczone.empty()) {
                        zadanie_->Zamknij();
                        wynik.komunikat = std::move(przekroczone);
                        return false;
                    }
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
                wynik.komunikat = KomunikatBledu(stan_->blad, stan_->odebrano);
                zadanie_->Zamknij();
                return false;
            }
            if (stan_->zakonczenie != oczekiwane) {
                wynik.komunikat = KomunikatBledu(ERROR_WINHTTP_INCORRECT_HANDLE_STATE);
                zadanie_->Zamknij();
                return false;
            }
            // A stop asked for during a busy transfer is seen at once too.
            if (limity_.Wstrzymaj([&] { return odbiorca_.Przerwij(); })) {
                zadanie_->Zamknij();
                wynik.przerwany = true;
                wynik.komunikat = u"Operation aborted";
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
