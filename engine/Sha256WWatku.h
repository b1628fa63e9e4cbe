#pragma once
// SHA-256 on a thread of its own. The body arrives on the user-interface
// thread, which also writes it and pumps the window; hashing it there as
// well would slow the download by about half. The pieces are copied into a
// few fixed buffers and hashed in order on the helper thread, which touches
// nothing else; the result waits for it. Its memory does not grow with the
// file. When no thread can be started, the hashing stays on the caller's.
#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "Sha256.h"

class Sha256WWatku : public Sha256 {
public:
    explicit Sha256WWatku(std::unique_ptr<Sha256> sha);
    ~Sha256WWatku() override;
    Sha256WWatku(const Sha256WWatku&) = delete;
    Sha256WWatku& operator=(const Sha256WWatku&) = delete;

    void Dodaj(const void* dane, std::size_t ile) override;
    WynikSha256 Wynik() override;

private:
    static constexpr std::size_t kRozmiarBufora = 256 * 1024;
    static constexpr std::size_t kBufory = 8;

    void Watek();
    void Oddaj();  // hands the buffer being filled over to the thread
    void Zakoncz(bool porzuc);

    std::unique_ptr<Sha256> sha_;
    std::vector<std::vector<unsigned char>> bufory_;
    std::vector<std::size_t> dlugosci_;
    std::size_t wypelnione_ = 0;  // bytes in the buffer being filled

    std::mutex blokada_;
    std::condition_variable zmiana_;
    std::size_t oddane_ = 0;    // buffers handed over so far
    std::size_t policzone_ = 0;  // of them, hashed
    bool koniec_ = false;
    bool porzucony_ = false;
    std::thread watek_;
};
