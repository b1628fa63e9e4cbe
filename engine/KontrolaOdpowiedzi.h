#pragma once
// What a reply must be before its body may replace the installed program
// file, the same for every HTTP client: a whole, non-empty body of a 2xx
// reply that is neither 204 nor 206, and, when the reply's Repr-Digest names
// sha-256, a body with that digest. The client hands over the reply's head,
// every piece of the body and the way the body ended; each step answers
// with the failure's message when the reply cannot be the file.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "ReprDigest.h"
#include "Sha256.h"

class KontrolaOdpowiedzi {
public:
    struct Glowa {
        int kodStatusu = 0;
        std::u16string liniaStatusu;   // as received, without CR/LF
        std::int64_t dlugosc = -1;     // Content-Length, -1 when the reply states none
        bool porcjami = false;         // Transfer-Encoding: chunked
        std::string reprDigest;        // every Repr-Digest field line, joined with ", "
    };

    // The head of the final reply. False: the reply cannot be the file,
    // `blad` says why, and no byte of its body may be kept.
    bool Naglowek(Glowa glowa, std::u16string& blad);

    // A piece of the body.
    void Dane(const void* dane, std::size_t ile);

    // The body ended as the transfer defines its end (the last chunk, the
    // announced length, or the connection's close for a reply with
    // neither). False: the body cannot be the file.
    bool Koniec(std::u16string& blad);

    // The message for a body that the connection ended before its end.
    std::u16string Urwana() const;

    std::int64_t Bajty() const { return bajty_; }
    bool SprawdzaSume() const { return sha_ != nullptr; }

private:
    Glowa glowa_;
    OczekiwanySha256 oczekiwany_;
    std::unique_ptr<Sha256> sha_;
    std::int64_t bajty_ = 0;
};
