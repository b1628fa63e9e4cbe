#pragma once
// The HTTP client behind the download: one GET of an http:// address.
// One implementation per system (libcurl, WinHTTP); tests use fakes and a
// fault-injecting server.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

// Receives one transfer. All calls come on the user-interface thread, inside
// Pobierz. Postep and Przerwij pump the window, so other handlers run inside
// them; an exception they raise passes out of Pobierz unchanged, once the
// transfer has been dropped.
class IOdbiorcaHttp {
public:
    virtual ~IOdbiorcaHttp() = default;
    // The reply's headers have arrived; 0 when the reply does not state its size.
    virtual void Poczatek(std::int64_t oczekiwaneBajty) = 0;
    // A piece of the body. False stops the transfer as failed with `blad`.
    virtual bool Dane(const char* dane, std::size_t ile, std::u16string& blad) = 0;
    // Bytes of the body received so far.
    virtual void Postep(std::int64_t bajtyDotad) = 0;
    virtual void Koniec() = 0;
    // Called at least every 50 ms while the transfer runs, whether bytes
    // arrive or not; true stops it at once (WynikHttp::przerwany).
    virtual bool Przerwij() = 0;
};

struct UstawieniaHttp {
    std::string uzytkownik;  // Basic credentials, sent with the first request
    std::string haslo;
    long limitPolaczeniaMs = 30'000;   // to connect
    long limitCiszyMs = 60'000;        // with no byte received
};

struct WynikHttp {
    bool udany = false;
    // On failure: the status line as received for a reply outside 2xx; a text
    // containing "Socket" for connection failures; the cause otherwise.
    std::u16string komunikat;
    bool przerwany = false;  // stopped because Przerwij answered true
};

class IKlientHttp {
public:
    virtual ~IKlientHttp() = default;
    virtual WynikHttp Pobierz(const std::string& adres, const UstawieniaHttp& ustawienia,
                              IOdbiorcaHttp& odbiorca) = 0;
};

// The client of the system the installer was built for.
std::unique_ptr<IKlientHttp> UtworzKlientaHttp();
