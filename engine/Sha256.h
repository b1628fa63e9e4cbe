#pragma once
// SHA-256 of a body as it streams in, from the system's own cryptography:
// OpenSSL's libcrypto beside libcurl, CNG (BCrypt) on Windows.
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

using WynikSha256 = std::array<std::uint8_t, 32>;

class Sha256 {
public:
    virtual ~Sha256() = default;
    virtual void Dodaj(const void* dane, std::size_t ile) = 0;
    // The digest of everything added; called once, at the end.
    virtual WynikSha256 Wynik() = 0;
};

// Null when the system cannot provide the algorithm.
std::unique_ptr<Sha256> UtworzSha256();
