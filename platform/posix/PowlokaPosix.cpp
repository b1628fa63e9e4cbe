#include "PowlokaPosix.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string_view>
#include <utility>

#include "platform/Tekst.h"

extern char** environ;

namespace platforma {

namespace {

std::string SciezkaZSrodowiska() {
    const char* p = std::getenv("PATH");
    return p ? std::string(p) : std::string("/usr/local/bin:/usr/bin:/bin");
}

bool KonczySieNaExe(std::u16string_view nazwa) {
    if (nazwa.size() < 4) return false;
    const std::u16string_view koncowka = nazwa.substr(nazwa.size() - 4);
    return koncowka[0] == u'.' && (koncowka[1] | 0x20) == u'e' && (koncowka[2] | 0x20) == u'x' &&
           (koncowka[3] | 0x20) == u'e';
}

// The environment of this process with `nazwa` set to `wartosc`.
std::vector<std::string> SrodowiskoZ(const std::string& nazwa, const std::string& wartosc) {
    std::vector<std::string> wynik;
    const std::string poczatek = nazwa + "=";
    for (char** z = environ; z && *z; ++z) {
        if (std::string_view(*z).substr(0, poczatek.size()) != poczatek) wynik.emplace_back(*z);
    }
    wynik.push_back(poczatek + wartosc);
    return wynik;
}

std::vector<std::string> BiezaceSrodowisko() {
    std::vector<std::string> wynik;
    for (char** z = environ; z && *z; ++z) wynik.emplace_back(*z);
    return wynik;
}

}  // namespace

bool UruchomOdlaczony(const std::string& program, const std::vector<std::string>& argumenty,
                      const std::vector<std::string>& srodowisko) {
    // Everything the children need is prepared here: between fork and exec
    // only async-signal-safe calls are made.
    std::vector<char*> argv;
    for (const auto& a : argumenty) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (const auto& e : srodowisko) envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);

    const int pustka = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    // The grandchild reports a failed exec through this pipe; a successful
    // exec closes it without a word.
    int zgloszenie[2];
    if (::pipe2(zgloszenie, O_CLOEXEC) != 0) {
        if (pustka >= 0) ::close(pustka);
        return false;
    }

    const pid_t dziecko = ::fork();
    if (dziecko == 0) {
        ::close(zgloszenie[0]);
        ::setsid();
        const pid_t wnuk = ::fork();
        if (wnuk == 0) {
            sigset_t wszystkie;
            sigemptyset(&wszystkie);
            ::sigprocmask(SIG_SETMASK, &wszystkie, nullptr);
            if (pustka >= 0) ::dup2(pustka, STDIN_FILENO);
            ::execve(program.c_str(), argv.data(), envp.data());
            const int kod = errno;
            [[maybe_unused]] ssize_t n = ::write(zgloszenie[1], &kod, sizeof kod);
            ::_exit(127);
        }
        // The grandchild is handed to init at once, so nobody has to reap it.
        ::_exit(wnuk < 0 ? 1 : 0);
    }
    ::close(zgloszenie[1]);
    if (pustka >= 0) ::close(pustka);
    bool udane = false;
    if (dziecko > 0) {
        int stan = 0;
        while (::waitpid(dziecko, &stan, 0) < 0 && errno == EINTR) {
        }
        udane = WIFEXITED(stan) && WEXITSTATUS(stan) == 0;
        if (udane) {
            int kod = 0;
            ssize_t n;
            while ((n = ::read(zgloszenie[0], &kod, sizeof kod)) < 0 && errno == EINTR) {
            }
            udane = n == 0;
        }
    }
    ::close(zgloszenie[0]);
    return udane;
}

PowlokaPosix::PowlokaPosix(UstawieniaWine ustawienia)
    : PowlokaPosix(std::move(ustawienia), SciezkaZSrodowiska()) {}

PowlokaPosix::PowlokaPosix(UstawieniaWine ustawienia, std::string sciezkaProgramow)
    : sciezki_(std::move(ustawienia)), sciezkaProgramow_(std::move(sciezkaProgramow)) {}

std::u16string PowlokaPosix::FolderSpecjalny(int csidl) { return sciezki_.FolderSpecjalny(csidl); }

std::u16string PowlokaPosix::SciezkaProgramu() {
    std::string bufor(256, '\0');
    while (true) {
        const ssize_t n = ::readlink("/proc/self/exe", bufor.data(), bufor.size());
        if (n < 0) return {};
        if (static_cast<std::size_t>(n) < bufor.size()) {
            bufor.resize(static_cast<std::size_t>(n));
            break;
        }
        bufor.resize(bufor.size() * 2);
    }
    // Drive Z: shows the whole system as long as it stands for "/", which it
    // does without an entry and in Wine's own set-up. An entry that leads
    // elsewhere would make the Z: path name another file: the drive that
    // really holds the program answers then.
    if (const auto z = sciezki_.FolderDysku(u'z'); z && *z != "/") {
        char* dokad = ::realpath(z->c_str(), nullptr);
        const bool korzen = dokad && std::string_view(dokad) == "/";
        std::free(dokad);
        if (!korzen) {
            if (std::u16string naDysku = sciezki_.NaWindows(bufor); !naDysku.empty()) return naDysku;
        }
    }
    return NaDyskuZ(bufor);
}

std::string PowlokaPosix::ZnajdzProgram(const std::string& nazwa) const {
    std::size_t poczatek = 0;
    while (poczatek <= sciezkaProgramow_.size()) {
        std::size_t koniec = sciezkaProgramow_.find(':', poczatek);
        if (koniec == std::string::npos) koniec = sciezkaProgramow_.size();
        const std::string folder = sciezkaProgramow_.substr(poczatek, koniec - poczatek);
        poczatek = koniec + 1;
        // An empty element stands for the current folder in $PATH; a program
        // from wherever the installer happens to be started is not wanted.
        if (folder.empty()) continue;
        const std::string kandydat = folder + "/" + nazwa;
        struct stat st {};
        if (::stat(kandydat.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(kandydat.c_str(), X_OK) == 0) {
            return kandydat;
        }
    }
    return {};
}

void PowlokaPosix::OtworzAdres(const std::u16string& adres) {
    const std::string program = ZnajdzProgram("xdg-open");
    if (program.empty() || adres.empty()) return;
    UruchomOdlaczony(program, {"xdg-open", Utf8(adres)}, BiezaceSrodowisko());
}

void PowlokaPosix::UruchomProgram(const std::u16string& program) {
    if (!KonczySieNaExe(program)) return;
    const auto sciezka = sciezki_.NaPosix(program);
    if (!sciezka) return;
    const std::string wine = ZnajdzProgram("wine");
    if (wine.empty()) return;
    // The same prefix as the installation, whether it came from $WINEPREFIX
    // or from the default $HOME/.wine.
    UruchomOdlaczony(wine, {"wine", *sciezka}, SrodowiskoZ("WINEPREFIX", sciezki_.Ustawienia().prefiks));
}

}  // namespace platforma
