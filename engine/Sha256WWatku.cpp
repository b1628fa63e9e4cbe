#include "Sha256WWatku.h"

#include <algorithm>
#include <cstring>
#include <system_error>

Sha256WWatku::Sha256WWatku(std::unique_ptr<Sha256> sha)
    : sha_(std::move(sha)), bufory_(kBufory), dlugosci_(kBufory, 0) {
    for (auto& b : bufory_) b.resize(kRozmiarBufora);
    try {
        watek_ = std::thread(&Sha256WWatku::Watek, this);
    } catch (const std::system_error&) {
        bufory_.clear();  // no thread: hashed where it arrives
    }
}

Sha256WWatku::~Sha256WWatku() { Zakoncz(true); }

void Sha256WWatku::Dodaj(const void* dane, std::size_t ile) {
    if (!watek_.joinable()) {
        sha_->Dodaj(dane, ile);
        return;
    }
    const auto* p = static_cast<const unsigned char*>(dane);
    while (ile > 0) {
        const std::size_t ktory = oddane_ % kBufory;  // read without the lock: only this thread changes it
        const std::size_t porcja = std::min(ile, kRozmiarBufora - wypelnione_);
        std::memcpy(bufory_[ktory].data() + wypelnione_, p, porcja);
        wypelnione_ += porcja;
        p += porcja;
        ile -= porcja;
        if (wypelnione_ == kRozmiarBufora) Oddaj();
    }
}

void Sha256WWatku::Oddaj() {
    std::unique_lock<std::mutex> zamek(blokada_);
    dlugosci_[oddane_ % kBufory] = wypelnione_;
    ++oddane_;
    wypelnione_ = 0;
    zmiana_.notify_all();
    // The next buffer to fill must have been hashed: at most one buffer's
    // hashing to wait for, when the thread is behind.
    zmiana_.wait(zamek, [&] { return oddane_ - policzone_ < kBufory; });
}

void Sha256WWatku::Watek() {
    for (;;) {
        std::size_t ktory = 0;
        std::size_t dlugosc = 0;
        {
            std::unique_lock<std::mutex> zamek(blokada_);
            zmiana_.wait(zamek, [&] { return policzone_ < oddane_ || koniec_; });
            if (porzucony_ || policzone_ == oddane_) return;
            ktory = policzone_ % kBufory;
            dlugosc = dlugosci_[ktory];
        }
        sha_->Dodaj(bufory_[ktory].data(), dlugosc);
        {
            std::lock_guard<std::mutex> zamek(blokada_);
            ++policzone_;
        }
        zmiana_.notify_all();
    }
}

void Sha256WWatku::Zakoncz(bool porzuc) {
    if (!watek_.joinable()) return;
    {
        std::lock_guard<std::mutex> zamek(blokada_);
        koniec_ = true;
        porzucony_ = porzuc;
    }
    zmiana_.notify_all();
    watek_.join();
}

WynikSha256 Sha256WWatku::Wynik() {
    if (watek_.joinable()) {
        if (wypelnione_ > 0) {
            std::lock_guard<std::mutex> zamek(blokada_);
            dlugosci_[oddane_ % kBufory] = wypelnione_;
            ++oddane_;
            wypelnione_ = 0;
        }
        Zakoncz(false);
    }
    return sha_->Wynik();
}
