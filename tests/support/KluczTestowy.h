#pragma once
// RFC 9421's published example key test-key-ecc-p256 (its Appendix B), which
// the fault-injecting server signs with (rfc9421-test-key-ecc-p256.key), and
// a client that trusts it instead of the keys the installer was built with.
#include <functional>
#include <string>

#include "KlientHttp.h"

inline KluczPodpisu KluczTestowy() {
    return {"test-key-ecc-p256",
            {0x04, 0xa8, 0x85, 0x58, 0x65, 0x52, 0xc2, 0xac, 0xf6, 0x47, 0x18, 0x78, 0xcf, 0xd7, 0xb0, 0x93, 0x5b,
             0x4f, 0xfe, 0x0f, 0xd2, 0xdf, 0xc3, 0x41, 0x24, 0x8e, 0xa1, 0x7b, 0xc4, 0x1e, 0x05, 0x8a, 0xf0, 0x31,
             0xce, 0x27, 0x37, 0xd2, 0xd3, 0x0c, 0xe0, 0x61, 0x7e, 0x85, 0x1e, 0x83, 0xc6, 0x1e, 0xf5, 0x67, 0x9d,
             0x15, 0x18, 0x67, 0x65, 0x76, 0x49, 0x03, 0x5d, 0x90, 0xa7, 0x4c, 0xd9, 0xe8, 0x5d}};
}

// Settings that trust the test key only.
inline UstawieniaHttp ZKluczemTestowym(UstawieniaHttp u = {}) {
    u.klucze = {KluczTestowy()};
    u.podpisOd = 0;
    return u;
}

// Passes every request on to a real client with the test key pinned, and
// with whatever else `zmien` changes (shorter limits, smaller bounds).
class KlientTestowy : public IKlientHttp {
public:
    explicit KlientTestowy(IKlientHttp& klient, std::function<void(UstawieniaHttp&)> zmien = {})
        : klient_(klient), zmien_(std::move(zmien)) {}
    WynikHttp Pobierz(const std::string& adres, const UstawieniaHttp& u, IOdbiorcaHttp& odbiorca) override {
        auto zmienione = ZKluczemTestowym(u);
        if (zmien_) zmien_(zmienione);
        return klient_.Pobierz(adres, zmienione, odbiorca);
    }

private:
    IKlientHttp& klient_;
    std::function<void(UstawieniaHttp&)> zmien_;
};
