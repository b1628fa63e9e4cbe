// ECDSA P-256 from OpenSSL 3's libcrypto. It takes a signature only as DER,
// so the raw r||s of the reply is wrapped first.
#include <openssl/bn.h>
#include <openssl/core_names.h>
#include <openssl/ec.h>
#include <openssl/evp.h>
#include <openssl/params.h>

#include <memory>
#include <vector>

#include "Ecdsa.h"

namespace {

struct UsunKlucz {
    void operator()(EVP_PKEY* k) const { EVP_PKEY_free(k); }
};
struct UsunKontekst {
    void operator()(EVP_PKEY_CTX* k) const { EVP_PKEY_CTX_free(k); }
};
struct UsunSkrot {
    void operator()(EVP_MD_CTX* k) const { EVP_MD_CTX_free(k); }
};
struct UsunPodpis {
    void operator()(ECDSA_SIG* p) const { ECDSA_SIG_free(p); }
};

std::unique_ptr<EVP_PKEY, UsunKlucz> Klucz(const PunktP256& punkt) {
    std::unique_ptr<EVP_PKEY_CTX, UsunKontekst> kontekst(EVP_PKEY_CTX_new_from_name(nullptr, "EC", nullptr));
    if (!kontekst || EVP_PKEY_fromdata_init(kontekst.get()) != 1) return nullptr;
    char grupa[] = "prime256v1";
    std::array<std::uint8_t, 65> kopia = punkt;
    OSSL_PARAM parametry[] = {
        OSSL_PARAM_construct_utf8_string(OSSL_PKEY_PARAM_GROUP_NAME, grupa, 0),
        OSSL_PARAM_construct_octet_string(OSSL_PKEY_PARAM_PUB_KEY, kopia.data(), kopia.size()),
        OSSL_PARAM_construct_end(),
    };
    EVP_PKEY* klucz = nullptr;
    if (EVP_PKEY_fromdata(kontekst.get(), &klucz, EVP_PKEY_PUBLIC_KEY, parametry) != 1) return nullptr;
    return std::unique_ptr<EVP_PKEY, UsunKlucz>(klucz);
}

// r||s as the DER SEQUENCE of two INTEGERs that OpenSSL verifies.
std::vector<unsigned char> Der(const PodpisP256& podpis) {
    std::unique_ptr<ECDSA_SIG, UsunPodpis> sig(ECDSA_SIG_new());
    if (!sig) return {};
    BIGNUM* r = BN_bin2bn(podpis.data(), 32, nullptr);
    BIGNUM* s = BN_bin2bn(podpis.data() + 32, 32, nullptr);
    if (!r || !s || ECDSA_SIG_set0(sig.get(), r, s) != 1) {
        BN_free(r);
        BN_free(s);
        return {};
    }
    const int dlugosc = i2d_ECDSA_SIG(sig.get(), nullptr);
    if (dlugosc <= 0) return {};
    std::vector<unsigned char> der(static_cast<std::size_t>(dlugosc));
    unsigned char* p = der.data();
    i2d_ECDSA_SIG(sig.get(), &p);
    return der;
}

}  // namespace

WynikEcdsa SprawdzEcdsaP256(const PunktP256& punkt, std::string_view dane, const PodpisP256& podpis) {
    auto klucz = Klucz(punkt);
    if (!klucz) return WynikEcdsa::Niewazny;
    const auto der = Der(podpis);
    if (der.empty()) return WynikEcdsa::Niedostepny;
    std::unique_ptr<EVP_MD_CTX, UsunSkrot> skrot(EVP_MD_CTX_new());
    if (!skrot || EVP_DigestVerifyInit(skrot.get(), nullptr, EVP_sha256(), nullptr, klucz.get()) != 1) {
        return WynikEcdsa::Niedostepny;
    }
    const int wynik = EVP_DigestVerify(skrot.get(), der.data(), der.size(),
                                       reinterpret_cast<const unsigned char*>(dane.data()), dane.size());
    return wynik == 1 ? WynikEcdsa::Wazny : WynikEcdsa::Niewazny;
}
