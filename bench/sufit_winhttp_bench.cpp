// What the system's WinHTTP itself reaches, with no window, no receiver and
// nothing written: the ceiling the installer's client can at best come to.
// One GET of the same file (Basic credentials in the request) per round,
// its body read into memory and dropped, printed, never asserted:
//  - synchronous session, WinHttpReadData with a buffer of each size given;
//  - asynchronous session (as the installer's client opens it), one read of
//    each size at a time, this thread waiting for every completion;
//  - asynchronous, WinHttpQueryDataAvailable first and then one read of
//    what it reports (the pattern Microsoft's samples show), once: the
//    read's size does not matter there.
// For each: seconds, MiB/s, how many reads and the mean piece a read gave.
// Then what the installer's receiver adds to each piece, one cost at a time:
// the system's SHA-256 (CNG) alone over memory, and asynchronous 1 MiB reads
// whose pieces are hashed, written to a file (TEMP), or both.
//
//   sufit_winhttp_bench URL USER:PASSWORD [ROUNDS]
#include <windows.h>
#include <bcrypt.h>
#include <winhttp.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using Zegar = std::chrono::steady_clock;

struct Adres {
    std::wstring host, sciezka;
    INTERNET_PORT port = 80;
    bool tls = false;
};

bool RozbierzAdres(const std::wstring& url, Adres& a) {
    URL_COMPONENTS c{};
    c.dwStructSize = sizeof c;
    wchar_t host[256], sciezka[2048];
    c.lpszHostName = host;
    c.dwHostNameLength = 256;
    c.lpszUrlPath = sciezka;
    c.dwUrlPathLength = 2048;
    if (!WinHttpCrackUrl(url.c_str(), 0, 0, &c)) return false;
    a.host.assign(host, c.dwHostNameLength);
    a.sciezka.assign(sciezka, c.dwUrlPathLength);
    a.port = c.nPort;
    a.tls = c.nScheme == INTERNET_SCHEME_HTTPS;
    return true;
}

std::wstring Szeroki(const std::string& s) { return std::wstring(s.begin(), s.end()); }

std::wstring Base64(const std::string& dane) {
    static const char kZnaki[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::wstring w;
    for (std::size_t i = 0; i < dane.size(); i += 3) {
        unsigned v = (unsigned char)dane[i] << 16;
        if (i + 1 < dane.size()) v |= (unsigned char)dane[i + 1] << 8;
        if (i + 2 < dane.size()) v |= (unsigned char)dane[i + 2];
        w += kZnaki[v >> 18 & 63];
        w += kZnaki[v >> 12 & 63];
        w += i + 1 < dane.size() ? kZnaki[v >> 6 & 63] : '=';
        w += i + 2 < dane.size() ? kZnaki[v & 63] : '=';
    }
    return w;
}

struct Wynik {
    bool ok = false;
    double sekundy = 0;
    unsigned long long bajty = 0;
    unsigned long odczyty = 0;
};

// What the callback hands to the waiting thread.
struct Stan {
    HANDLE zdarzenie = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    DWORD status = 0;
    DWORD bajty = 0;
    bool blad = false;
};

void CALLBACK Wywolanie(HINTERNET, DWORD_PTR kontekst, DWORD status, void* info, DWORD dlugosc) {
    auto* s = reinterpret_cast<Stan*>(kontekst);
    if (!s) return;
    switch (status) {
        case WINHTTP_CALLBACK_STATUS_SENDREQUEST_COMPLETE:
        case WINHTTP_CALLBACK_STATUS_HEADERS_AVAILABLE:
            s->status = status;
            SetEvent(s->zdarzenie);
            break;
        case WINHTTP_CALLBACK_STATUS_DATA_AVAILABLE:
            s->status = status;
            s->bajty = *static_cast<DWORD*>(info);
            SetEvent(s->zdarzenie);
            break;
        case WINHTTP_CALLBACK_STATUS_READ_COMPLETE:
            s->status = status;
            s->bajty = dlugosc;
            SetEvent(s->zdarzenie);
            break;
        case WINHTTP_CALLBACK_STATUS_REQUEST_ERROR:
            s->status = status;
            s->blad = true;
            SetEvent(s->zdarzenie);
            break;
        default:
            break;
    }
}

enum class Tryb { Synchroniczny, Asynchroniczny, AsynchronicznyDostepne };

// What is done with each piece read, as the installer's receiver does it.
struct Odbior {
    bool skrot = false;
    bool zapis = false;
};

struct Skrot {
    BCRYPT_ALG_HANDLE algorytm = nullptr;
    BCRYPT_HASH_HANDLE skrot = nullptr;
    Skrot() {
        BCryptOpenAlgorithmProvider(&algorytm, BCRYPT_SHA256_ALGORITHM, nullptr, 0);
        if (algorytm) BCryptCreateHash(algorytm, &skrot, nullptr, 0, nullptr, 0, 0);
    }
    ~Skrot() {
        if (skrot) BCryptDestroyHash(skrot);
        if (algorytm) BCryptCloseAlgorithmProvider(algorytm, 0);
    }
    void Dodaj(const char* dane, DWORD ile) { BCryptHashData(skrot, (PUCHAR)dane, ile, 0); }
};

std::wstring PlikRoboczy() {
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    return std::wstring(folder) + L"sufit_winhttp.bin";
}

Wynik Pobierz(const Adres& a, const std::wstring& autoryzacja, Tryb tryb, DWORD rozmiar, Odbior odbior = {}) {
    Wynik w;
    Skrot skrot;
    HANDLE plik = odbior.zapis ? CreateFileW(PlikRoboczy().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                             FILE_ATTRIBUTE_NORMAL, nullptr)
                               : INVALID_HANDLE_VALUE;
    const bool async = tryb != Tryb::Synchroniczny;
    const auto start = Zegar::now();
    HINTERNET sesja = WinHttpOpen(L"sufit", WINHTTP_ACCESS_TYPE_NO_PROXY, WINHTTP_NO_PROXY_NAME,
                                  WINHTTP_NO_PROXY_BYPASS, async ? WINHTTP_FLAG_ASYNC : 0);
    HINTERNET polaczenie = sesja ? WinHttpConnect(sesja, a.host.c_str(), a.port, 0) : nullptr;
    HINTERNET zadanie = polaczenie ? WinHttpOpenRequest(polaczenie, L"GET", a.sciezka.c_str(), nullptr,
                                                        WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                                                        a.tls ? WINHTTP_FLAG_SECURE : 0)
                                   : nullptr;
    Stan stan;
    std::vector<char> bufor(rozmiar);
    auto czekaj = [&](DWORD oczekiwany) {
        WaitForSingleObject(stan.zdarzenie, INFINITE);
        return !stan.blad && stan.status == oczekiwany;
    };
    if (!zadanie) goto koniec;
    if (async) {
        WinHttpSetStatusCallback(zadanie, Wywolanie, WINHTTP_CALLBACK_FLAG_ALL_COMPLETIONS, 0);
        DWORD_PTR kontekst = reinterpret_cast<DWORD_PTR>(&stan);
        WinHttpSetOption(zadanie, WINHTTP_OPTION_CONTEXT_VALUE, &kontekst, sizeof kontekst);
    }
    if (!WinHttpSendRequest(zadanie, autoryzacja.c_str(), static_cast<DWORD>(-1), WINHTTP_NO_REQUEST_DATA, 0, 0,
                            0))
        goto koniec;
    if (async && !czekaj(WINHTTP_CALLBACK_STATUS_SENDREQUEST_COMPLETE)) goto koniec;
    if (!WinHttpReceiveResponse(zadanie, nullptr)) goto koniec;
    if (async && !czekaj(WINHTTP_CALLBACK_STATUS_HEADERS_AVAILABLE)) goto koniec;
    for (;;) {
        DWORD ile = 0;
        DWORD doOdczytu = rozmiar;
        if (tryb == Tryb::AsynchronicznyDostepne) {
            if (!WinHttpQueryDataAvailable(zadanie, nullptr)) goto koniec;
            if (!czekaj(WINHTTP_CALLBACK_STATUS_DATA_AVAILABLE)) goto koniec;
            if (stan.bajty == 0) break;
            doOdczytu = std::min<DWORD>(stan.bajty, rozmiar);
        }
        if (!WinHttpReadData(zadanie, bufor.data(), doOdczytu, async ? nullptr : &ile)) goto koniec;
        if (async) {
            if (!czekaj(WINHTTP_CALLBACK_STATUS_READ_COMPLETE)) goto koniec;
            ile = stan.bajty;
        }
        ++w.odczyty;
        if (ile == 0) break;
        w.bajty += ile;
        if (odbior.skrot) skrot.Dodaj(bufor.data(), ile);
        if (plik != INVALID_HANDLE_VALUE) {
            DWORD zapisane = 0;
            WriteFile(plik, bufor.data(), ile, &zapisane, nullptr);
        }
    }
    w.ok = true;
koniec:
    w.sekundy = std::chrono::duration<double>(Zegar::now() - start).count();
    if (zadanie) {
        if (async) WinHttpSetStatusCallback(zadanie, nullptr, 0, 0);
        WinHttpCloseHandle(zadanie);
    }
    if (polaczenie) WinHttpCloseHandle(polaczenie);
    if (sesja) WinHttpCloseHandle(sesja);
    if (!w.ok) std::fprintf(stderr, "failed: %lu\n", GetLastError());
    if (plik != INVALID_HANDLE_VALUE) {
        CloseHandle(plik);
        DeleteFileW(PlikRoboczy().c_str());
    }
    // A late notice of the closing handle may still come; the event stays.
    Sleep(20);
    CloseHandle(stan.zdarzenie);
    return w;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s URL USER:PASSWORD [ROUNDS]\n", argv[0]);
        return 2;
    }
    Adres a;
    if (!RozbierzAdres(Szeroki(argv[1]), a)) {
        std::fprintf(stderr, "not an address: %s\n", argv[1]);
        return 2;
    }
    const std::wstring autoryzacja = L"Authorization: Basic " + Base64(argv[2]);
    const int rundy = argc > 3 ? std::max(1, std::atoi(argv[3])) : 3;
    const struct {
        Tryb tryb;
        const char* nazwa;
    } kTryby[] = {{Tryb::Synchroniczny, "sync"},
                  {Tryb::Asynchroniczny, "async"},
                  {Tryb::AsynchronicznyDostepne, "async query+read"}};
    const DWORD kRozmiary[] = {64 * 1024, 256 * 1024, 1024 * 1024, 4 * 1024 * 1024};
    bool wszystkie = true;
    for (const auto& t : kTryby) {
        for (DWORD rozmiar : kRozmiary) {
            // A read after asking gets what WinHTTP's own buffer holds, whatever its size.
            if (t.tryb == Tryb::AsynchronicznyDostepne && rozmiar != kRozmiary[0]) continue;
            double najlepszy = 1e9;
            Wynik wn;
            for (int r = 0; r < rundy; ++r) {
                const Wynik w = Pobierz(a, autoryzacja, t.tryb, rozmiar);
                wszystkie = wszystkie && w.ok;
                if (w.ok && w.sekundy < najlepszy) {
                    najlepszy = w.sekundy;
                    wn = w;
                }
            }
            if (!wn.ok) {
                std::printf("ceiling %s read %lu KiB: failed\n", t.nazwa, rozmiar / 1024);
                continue;
            }
            std::printf("ceiling %s read %lu KiB: %.1f MiB in %.3f s (%.1f MiB/s), %lu reads, %.1f KiB a read\n",
                        t.nazwa, rozmiar / 1024, wn.bajty / 1048576.0, wn.sekundy,
                        wn.bajty / 1048576.0 / wn.sekundy, wn.odczyty,
                        wn.bajty / 1024.0 / std::max<unsigned long>(wn.odczyty, 1));
        }
    }

    {
        std::vector<char> pamiec(1 << 20, 'k');
        Skrot skrot;
        const auto start = Zegar::now();
        for (int i = 0; i < 256; ++i) skrot.Dodaj(pamiec.data(), static_cast<DWORD>(pamiec.size()));
        const double sekundy = std::chrono::duration<double>(Zegar::now() - start).count();
        std::printf("CNG SHA-256 over memory: 256 MiB in %.3f s (%.1f MiB/s)\n", sekundy, 256 / sekundy);
    }
    const struct {
        Odbior odbior;
        const char* nazwa;
    } kOdbiory[] = {{{true, false}, "hashed"}, {{false, true}, "written"}, {{true, true}, "hashed and written"}};
    for (const auto& o : kOdbiory) {
        Wynik wn;
        for (int r = 0; r < rundy; ++r) {
            const Wynik w = Pobierz(a, autoryzacja, Tryb::Asynchroniczny, 1024 * 1024, o.odbior);
            wszystkie = wszystkie && w.ok;
            if (w.ok && (!wn.ok || w.sekundy < wn.sekundy)) wn = w;
        }
        if (wn.ok)
            std::printf("receiver async read 1024 KiB, %s: %.1f MiB in %.3f s (%.1f MiB/s)\n", o.nazwa,
                        wn.bajty / 1048576.0, wn.sekundy, wn.bajty / 1048576.0 / wn.sekundy);
    }
    return wszystkie ? 0 : 1;
}
