// ECDSA P-256 from Windows' CNG (bcrypt.dll), part of the system. CNG takes
// the signature as the raw r||s the reply carries. Under Wine it goes through
// GnuTLS.
#include <windows.h>
#include <bcrypt.h>

#include <vector>

#include "Ecdsa.h"
#include "Sha256.h"

WynikEcdsa SprawdzEcdsaP256(const PunktP256& punkt, std::string_view dane, const PodpisP256& podpis) {
    if (punkt[0] != 0x04) return WynikEcdsa::Niewazny;
    auto sha = UtworzSha256();
    if (!sha) return WynikEcdsa::Niedostepny;
    sha->Dodaj(dane.data(), dane.size());
    WynikSha256 skrot = sha->Wynik();

    BCRYPT_ALG_HANDLE algorytm = nullptr;
    if (!BCRYPT_SUCCESS(BCryptOpenAlgorithmProvider(&algorytm, BCRYPT_ECDSA_P256_ALGORITHM, nullptr, 0))) {
        return WynikEcdsa::Niedostepny;
    }
    // BCRYPT_ECCKEY_BLOB followed by X and Y.
    std::vector<UCHAR> blob(sizeof(BCRYPT_ECCKEY_BLOB) + 64);
    auto* naglowek = reinterpret_cast<BCRYPT_ECCKEY_BLOB*>(blob.data());
    naglowek->dwMagic = BCRYPT_ECDSA_PUBLIC_P256_MAGIC;
    naglowek->cbKey = 32;
    std::copy(punkt.begin() + 1, punkt.end(), blob.begin() + sizeof(BCRYPT_ECCKEY_BLOB));
    BCRYPT_KEY_HANDLE klucz = nullptr;
    if (!BCRYPT_SUCCESS(BCryptImportKeyPair(algorytm, nullptr, BCRYPT_ECCPUBLIC_BLOB, &klucz, blob.data(),
                                            static_cast<ULONG>(blob.size()), 0))) {
        BCryptCloseAlgorithmProvider(algorytm, 0);
        return WynikEcdsa::Niewazny;
    }
    PodpisP256 kopia = podpis;
    const NTSTATUS status = BCryptVerifySignature(klucz, nullptr, skrot.data(), static_cast<ULONG>(skrot.size()),
                                                  kopia.data(), static_cast<ULONG>(kopia.size()), 0);
    BCryptDestroyKey(klucz);
    BCryptCloseAlgorithmProvider(algorytm, 0);
    return BCRYPT_SUCCESS(status) ? WynikEcdsa::Wazny : WynikEcdsa::Niewazny;
}
