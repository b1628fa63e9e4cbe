#pragma once
// The HTTP client behind the download: one GET of an http:// or https://
// address, through the system's proxy when one is set.
// One implementation per system (libcurl, WinHTTP); tests use fakes and a
// fault-injecting server.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "PodpisOdpowiedzi.h"

// The largest program file the installer accepts: a reply that announces
// more, or sends more, is not the program.
inline constexpr std::int64_t kNajwiekszyPlik = std::int64_t{2} << 30;  // 2 GiB

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
    // Called every few milliseconds (well within one frame at 60 Hz) while
    // the transfer runs, whether bytes arrive or not; true stops it at once
    // (WynikHttp::przerwany).
    virtual bool Przerwij() = 0;
};

struct UstawieniaHttp {
    std::string uzytkownik;  // Basic credentials, sent with the first request
    std::string haslo;
    long limitPolaczeniaMs = 30'000;   // to connect
    long limitCiszyMs = 60'000;        // with no byte received
    // The header block of the final reply, however many interim (1xx)
    // replies come first, counted from the start of the request.
    long limitNaglowkowMs = 60'000;
    // Fewer than `najmniejWOknie` bytes of body in `oknoTempaMs` end the
    // download as a connection failure. Both limits count the time the
    // server has, not the time the receiver spends in its calls.
    long oknoTempaMs = 60'000;
    std::int64_t najmniejWOknie = 1024;
    std::int64_t najwiecejBajtow = kNajwiekszyPlik;
    // Whose signature a reply must carry, and the oldest one accepted.
    std::vector<KluczPodpisu> klucze = KluczeWbudowane();
    std::int64_t podpisOd = PodpisOdWbudowany();
};

struct WynikHttp {
    // True only for a whole, non-empty body of a 2xx reply other than 204
    // and 206, signed by one of the pinned keys (KontrolaOdpowiedzi.h), that
    // matches the reply's signed sha-256 Repr-Digest.
    bool udany = false;
    // On failure: the status line as received for a reply outside 2xx; a text
    // containing "Socket" for connection failures; the message of its kind
    // from BledyPobierania.h for a reply that cannot be the file; the cause
    // otherwise.
    std::u16string komunikat;
    bool przerwany = false;  // stopped because Przerwij answered true
};

class IKlientHttp {
public:
    virtual ~IKlientHttp() = default;
    virtual WynikHttp Pobierz(const std::string& adres, const UstawieniaHttp& ustawienia,
                              IOdbiorcaHttp& odbiorca) = 0;
};

// One download at a time per client: the pump runs other handlers inside a
// transfer, and one of them may ask the same client for another download.
// Held for the whole of Pobierz; the second, inner request is refused.
class JednoPobieranie {
public:
    explicit JednoPobieranie(bool& zajety) : zajety_(zajety), wolne_(!zajety) { zajety_ = true; }
    ~JednoPobieranie() {
        if (wolne_) zajety_ = false;
    }
    JednoPobieranie(const JednoPobieranie&) = delete;
    JednoPobieranie& operator=(const JednoPobieranie&) = delete;

    bool Wolne() const { return wolne_; }
    static WynikHttp Odmowa() {
        WynikHttp wynik;
        wynik.komunikat = u"Trwa już inne pobieranie";
        return wynik;
    }

private:
    bool& zajety_;
    bool wolne_;
};

// The client of the system the installer was built for.
std::unique_ptr<IKlientHttp> UtworzKlientaHttp();
