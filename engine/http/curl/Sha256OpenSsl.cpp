// SHA-256 from OpenSSL's libcrypto: its assembly uses the processor's SHA
// instructions where there are any.
#include <openssl/evp.h>

#include "Sha256.h"

namespace {

class Sha256OpenSsl : public Sha256 {
public:
    explicit Sha256OpenSsl(EVP_MD_CTX* kontekst) : kontekst_(kontekst) {}
    ~Sha256OpenSsl() override { EVP_MD_CTX_free(kontekst_); }
    Sha256OpenSsl(const Sha256OpenSsl&) = delete;
    Sha256OpenSsl& operator=(const Sha256OpenSsl&) = delete;

    void Dodaj(const void* dane, std::size_t ile) override { EVP_DigestUpdate(kontekst_, dane, ile); }

    WynikSha256 Wynik() override {
        WynikSha256 wynik{};
        unsigned int dlugosc = 0;
        EVP_DigestFinal_ex(kontekst_, wynik.data(), &dlugosc);
        return wynik;
    }

private:
    EVP_MD_CTX* kontekst_;
};

}  // namespace

std::unique_ptr<Sha256> UtworzSha256() {
    EVP_MD_CTX* kontekst = EVP_MD_CTX_new();
    if (!kontekst) return nullptr;
    if (EVP_DigestInit_ex(kontekst, EVP_sha256(), nullptr) != 1) {
        EVP_MD_CTX_free(kontekst);
        return nullptr;
    }
    return std::make_unique<Sha256OpenSsl>(kontekst);
}
