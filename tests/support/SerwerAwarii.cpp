#include "SerwerAwarii.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <sstream>

#include "KlientHttp.h"
#include "KluczTestowy.h"

#if __has_include(<spawn.h>)
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
extern char** environ;
#define KV_MOZNA_URUCHOMIC 1
#endif

namespace {

// Tells this object's requests apart from those of other tests sharing the server.
std::string NowyIdentyfikator() {
    static std::atomic<int> licznik{0};
    std::ostringstream s;
    s << "t" << std::hex << std::random_device{}() << "x" << ++licznik;
    return s.str();
}

#ifdef KV_MOZNA_URUCHOMIC
// The server script lies next to this file.
std::string SciezkaSkryptu() {
    std::string plik = __FILE__;
    const auto ukosnik = plik.find_last_of("/\\");
    return (ukosnik == std::string::npos ? std::string(".") : plik.substr(0, ukosnik)) +
           "/serwer_awarii.py";
}
#endif

// Collects a body in memory, for the fixture's own requests.
class Zbieracz : public IOdbiorcaHttp {
public:
    std::string tresc;
    void Poczatek(std::int64_t) override {}
    bool Dane(const char* d, std::size_t ile, std::u16string&) override {
        tresc.append(d, ile);
        return true;
    }
    void Postep(std::int64_t) override {}
    void Koniec() override {}
    bool Przerwij() override { return false; }
};

}  // namespace

SerwerAwarii::SerwerAwarii() : identyfikator_(NowyIdentyfikator()) {
    if (const char* zewnetrzny = std::getenv("KV_SERWER_AWARII"); zewnetrzny && *zewnetrzny) {
        hostPort_ = zewnetrzny;
        return;
    }
#ifdef KV_MOZNA_URUCHOMIC
    int rura[2];
    if (pipe(rura) != 0) {
        blad_ = "pipe failed";
        return;
    }
    posix_spawn_file_actions_t akcje;
    posix_spawn_file_actions_init(&akcje);
    posix_spawn_file_actions_adddup2(&akcje, rura[1], 1);
    posix_spawn_file_actions_addclose(&akcje, rura[0]);
    posix_spawn_file_actions_addclose(&akcje, rura[1]);
    std::string skrypt = SciezkaSkryptu();
    char* argv[] = {const_cast<char*>("python3"), skrypt.data(), nullptr};
    pid_t pid = 0;
    const int rc = posix_spawnp(&pid, "python3", &akcje, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&akcje);
    close(rura[1]);
    if (rc != 0) {
        close(rura[0]);
        blad_ = "python3 could not be started";
        return;
    }
    pid_ = pid;
    std::string linia;
    char znak;
    while (read(rura[0], &znak, 1) == 1 && znak != '\n') linia += znak;
    close(rura[0]);
    if (linia.empty()) {
        blad_ = "the server printed no port";
        return;
    }
    hostPort_ = "127.0.0.1:" + linia;
#else
    blad_ = "set KV_SERWER_AWARII=host:port to a running tests/support/serwer_awarii.py";
#endif
}

SerwerAwarii::~SerwerAwarii() {
#ifdef KV_MOZNA_URUCHOMIC
    if (pid_ > 0) {
        kill(static_cast<pid_t>(pid_), SIGTERM);
        int status = 0;
        waitpid(static_cast<pid_t>(pid_), &status, 0);
    }
#endif
}

std::string SerwerAwarii::Adres(const std::string& scenariusz) const {
    return "http://" + hostPort_ + "/" + identyfikator_ + "/" + scenariusz + "/";
}

std::vector<SerwerAwarii::Zapis> SerwerAwarii::Dziennik() const {
    std::vector<Zapis> zapisy;
    auto klient = UtworzKlientaHttp();
    Zbieracz zbieracz;
    const auto wynik = klient->Pobierz("http://" + hostPort_ + "/_dziennik/" + identyfikator_,
                                       ZKluczemTestowym(), zbieracz);
    if (!wynik.udany) return zapisy;
    std::istringstream linie(zbieracz.tresc);
    std::string linia;
    while (std::getline(linie, linia)) {
        const auto tab = linia.find('\t');
        zapisy.push_back({linia.substr(0, tab),
                          tab == std::string::npos ? std::string{} : linia.substr(tab + 1)});
    }
    return zapisy;
}

std::string TrescWzorcowa(std::size_t ile) {
    std::string t(ile, '\0');
    for (std::size_t i = 0; i < ile; ++i) t[i] = static_cast<char>(i % 251);
    return t;
}
