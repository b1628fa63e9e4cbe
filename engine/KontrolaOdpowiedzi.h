#pragma once
// What a reply must be before its body may replace the installed program
// file, the same for every HTTP client: a 2xx reply other than 204 and 206
// with a well-formed head, signed by one of the maker's pinned keys over its
// sha-256 Repr-Digest and the path of the request (PodpisOdpowiedzi.h), and
// a whole, non-empty body within the bounds that has that digest. The client
// hands over the reply's head, every piece of the body before it keeps it,
// and the way the body ended; each step answers with the failure's message
// when the reply cannot be the file.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "KlientHttp.h"
#include "ReprDigest.h"
#include "Sha256.h"

class KontrolaOdpowiedzi {
public:
    explicit KontrolaOdpowiedzi(const UstawieniaHttp& ustawienia);

    struct Glowa {
        int kodStatusu = 0;
        std::u16string liniaStatusu;     // as received, without CR/LF
        // The final reply's field lines as received, without CR/LF, folded
        // continuation lines included: the check reads Content-Length,
        // Transfer-Encoding, Repr-Digest and the signature from them itself,
        // whatever the library made of them.
        std::vector<std::string> linie;
        std::string sciezka;             // of the request, as sent ("@path")
    };

    // The head of the final reply. False: the reply cannot be the file,
    // `blad` says why, and no byte of its body may be kept.
    bool Naglowek(Glowa glowa, std::u16string& blad);

    // A piece of the body, before the receiver keeps it. False: more than
    // the reply announced or than the largest program file.
    bool Dane(const void* dane, std::size_t ile, std::u16string& blad);

    // The body ended as the transfer defines its end (the last chunk, the
    // announced length, or the connection's close for a reply with
    // neither). False: the body cannot be the file.
    bool Koniec(std::u16string& blad);

    // The message for a body that the connection ended before its end.
    std::u16string Urwana() const;

    std::int64_t Bajty() const { return bajty_; }
    // Content-Length of the accepted head, -1 when it states none.
    std::int64_t Dlugosc() const { return dlugosc_; }
    bool Porcjami() const { return porcjami_; }

private:
    bool Pola(std::u16string& blad);

    const UstawieniaHttp& ustawienia_;
    Glowa glowa_;
    std::vector<PoleOdpowiedzi> pola_;
    std::int64_t dlugosc_ = -1;
    bool porcjami_ = false;
    OczekiwanySha256 oczekiwany_;
    std::unique_ptr<Sha256> sha_;
    std::int64_t bajty_ = 0;
};

// The path of an http:// address as a request sends it ("/" when it has none).
std::string SciezkaAdresu(std::string_view adres);

// The time bounds of one transfer that every client keeps in its own code:
// the header block within limitNaglowkowMs, and then at least
// najmniejWOknie bytes of body in every oknoTempaMs. Counted on a clock that
// stands still while the receiver runs (Wstrzymaj), so that a notice's modal
// loop inside the pump is never taken for a slow server.
class LimityCzasu {
public:
    using Zegar = std::chrono::steady_clock;

    explicit LimityCzasu(const UstawieniaHttp& ustawienia);

    // Runs a call of the receiver with the clock stopped.
    template <class F>
    decltype(auto) Wstrzymaj(F&& f) {
        struct Odlicz {
            LimityCzasu& l;
            Zegar::time_point od = Zegar::now();
            ~Odlicz() { l.wstrzymany_ += Zegar::now() - od; }
        } odlicz{*this};
        return f();
    }

    void NaglowkiGotowe();
    void Dane(std::size_t ile);
    // Empty while within the bounds; otherwise the connection failure's message.
    std::u16string Przekroczone() const;

private:
    Zegar::time_point Teraz() const { return Zegar::now() - wstrzymany_; }

    const UstawieniaHttp& ustawienia_;
    Zegar::duration wstrzymany_{};
    Zegar::time_point start_;
    bool naglowki_ = false;
    Zegar::time_point poczatekOkna_;
    std::int64_t bajtyOkna_ = 0;
};
