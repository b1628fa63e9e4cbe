#pragma once
// The fault-injecting HTTP server of the download tests (serwer_awarii.py),
// a separate process. Started here and stopped with the object, or, when the
// environment variable KV_SERWER_AWARII=host:port names one already running
// (the Windows tests start it outside Wine), that one is used.
#include <string>
#include <vector>

class SerwerAwarii {
public:
    SerwerAwarii();
    ~SerwerAwarii();
    SerwerAwarii(const SerwerAwarii&) = delete;
    SerwerAwarii& operator=(const SerwerAwarii&) = delete;

    // False when the server could not be started; Blad() says why.
    bool Dziala() const { return !hostPort_.empty(); }
    const std::string& Blad() const { return blad_; }

    // A base address ending in "/" whose requests get the reply of
    // `scenariusz` (see serwer_awarii.py) and are logged under this object.
    std::string Adres(const std::string& scenariusz) const;
    std::string HostPort() const { return hostPort_; }

    struct Zapis {
        std::string sciezka;
        std::string autoryzacja;  // the Authorization header, empty when absent
    };
    // The requests made through Adres() so far, in order of arrival.
    std::vector<Zapis> Dziennik() const;

private:
    std::string hostPort_;
    std::string blad_;
    std::string identyfikator_;
    long pid_ = 0;
};

// The body the server sends: byte i is i % 251.
std::string TrescWzorcowa(std::size_t ile);
