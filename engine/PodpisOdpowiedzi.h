#pragma once
// The maker's signature of a reply: HTTP Message Signatures (RFC 9421) with
// ecdsa-p256-sha256, read from the reply's Signature-Input and Signature
// fields (Structured Fields, RFC 8941). A reply is the maker's only when one
// of its signatures is made by a pinned key and covers the reply's
// Repr-Digest and the path of the request; the digest then vouches for the
// body.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "Ecdsa.h"

struct KluczPodpisu {
    std::string id;  // the signature's keyid
    PunktP256 punkt;
};

// The keys fixed when the installer was built (KAVROSTEL_KLUCZE).
const std::vector<KluczPodpisu>& KluczeWbudowane();
// Signatures created before this moment (Unix seconds) are refused; 0: no floor.
std::int64_t PodpisOdWbudowany();
// True in a build that made its own throw-away key.
bool KluczeTymczasowe();

// One field line of a reply: the name in lower case, the value without the
// white space around it.
struct PoleOdpowiedzi {
    std::string nazwa;
    std::string wartosc;
};

// Every line of the named field (lower case), joined with ", " as one
// field; empty when there is none.
std::string WartoscPola(const std::vector<PoleOdpowiedzi>& pola, std::string_view nazwa);

// Empty when one signature of the reply satisfies every demand; otherwise the
// reason, in the user's words. `sciezka`: the path of the request as sent.
std::u16string SprawdzPodpis(const std::vector<PoleOdpowiedzi>& pola, int kodStatusu, std::string_view sciezka,
                             std::span<const KluczPodpisu> klucze, std::int64_t podpisOd);

// The algorithm every signature must name.
inline constexpr std::string_view kAlgorytmPodpisu = "ecdsa-p256-sha256";
