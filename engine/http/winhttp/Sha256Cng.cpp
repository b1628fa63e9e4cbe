// SHA-256 from Windows' CNG (bcrypt.dll), part of the system.
#include <windows.h>
#include <bcrypt.h>

#include "Sha256.h"

namespace {

class Sha256Cng : public Sha256 {
public:
    Sha256Cng(BCRYPT_ALG_HANDLE algorytm, BCRYPT_HASH_HANDLE skrot) : algorytm_(algorytm), skrot_(skrot) {}
    ~Sha256Cng() override {
        BCryptDestroyHash(skrot_);
        BCryptCloseAlgorithmProvider(algorytm_, 0);
    }
    Sha256Cng(const Sha256Cng&) = delete;
    Sha256Cng& operator=(const Sha256Cng&) = delete;

    void Dodaj(const void* dane, std::size_t ile) override {
        auto* p = static_cast<UCHAR*>(const_cast<void*>(dane));
        while (ile > 0) {
            const ULONG porcja = ile > 0x40000000u ? 0x40000000u : static_cast<ULONG>(ile);
            BCryptHashData(skrot_, p, porcja, 0);
            p += porcja;
            ile -= porcja;
        }
    }

    WynikSha256 Wynik() override {
        WynikSha256 wynik{};
        BCryptFinishHash(skrot_, wynik.data(), static_cast<ULONG>(wynik.size()), 0);
        return wynik;
    }

private:
    BCRYPT_ALG_HANDLE algorytm_;
    BCRYPT_HASH_HANDLE skrot_;
};

}  // namespace

std::unique_ptr<Sha256> UtworzSha256() {
    BCRYPT_ALG_HANDLE algorytm = nullptr;
    if (!BCRYPT_SUCCESS(BCryptOpenAlgorithmProvider(&algorytm, BCRYPT_SHA256_ALGORITHM, nullptr, 0))) {
        return nullptr;
    }
    BCRYPT_HASH_HANDLE skrot = nullptr;
    // The hash object's memory is left to CNG (Windows 7 and later).
    if (!BCRYPT_SUCCESS(BCryptCreateHash(algorytm, &skrot, nullptr, 0, nullptr, 0, 0))) {
        BCryptCloseAlgorithmProvider(algorytm, 0);
        return nullptr;
    }
    return std::make_unique<Sha256Cng>(algorytm, skrot);
}
