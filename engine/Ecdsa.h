#pragma once
// ECDSA over P-256 with SHA-256, from the system's own cryptography, the
// same side as Sha256.h: OpenSSL's libcrypto beside libcurl, CNG (BCrypt) on
// Windows.
#include <array>
#include <cstdint>
#include <string_view>

// A public key as the uncompressed point: 0x04, X and Y, 32 bytes each.
using PunktP256 = std::array<std::uint8_t, 65>;
// A signature as HTTP message signatures send it: r and s, 32 bytes each.
using PodpisP256 = std::array<std::uint8_t, 64>;

enum class WynikEcdsa {
    Wazny,
    Niewazny,     // not made by this key over these bytes, or a key that is no point of the curve
    Niedostepny,  // the system cannot check it at all
};

WynikEcdsa SprawdzEcdsaP256(const PunktP256& klucz, std::string_view dane, const PodpisP256& podpis);
