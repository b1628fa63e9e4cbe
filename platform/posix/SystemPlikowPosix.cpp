#include "SystemPlikowPosix.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <random>
#include <string_view>
#include <system_error>
#include <utility>

#include "platform/Tekst.h"

namespace platforma {

namespace {

constexpr mode_t BITY_ZAPISU = S_IWUSR | S_IWGRP | S_IWOTH;

std::u16string OpisBledu(int kod) { return Utf16(std::system_category().message(kod)); }

// Wine shows a file without any write bit as read-only, and Windows refuses
// to overwrite or delete such a file.
bool TylkoDoOdczytu(const struct stat& st) { return (st.st_mode & BITY_ZAPISU) == 0; }

void ZamknijZachowujacErrno(int fd) {
    const int zapamietany = errno;
    ::close(fd);
    errno = zapamietany;
}

bool ZapiszWszystko(int fd, const void* dane, std::size_t ile) {
    const char* p = static_cast<const char*>(dane);
    while (ile > 0) {
        const ssize_t zapisane = ::write(fd, p, ile);
        if (zapisane < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += zapisane;
        ile -= static_cast<std::size_t>(zapisane);
    }
    return true;
}

void SynchronizujFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

struct Rozdzielona {
    std::string folder;  // "." never: the mapped paths are absolute
    std::string nazwa;
};

Rozdzielona Rozdziel(const std::string& sciezka) {
    const auto ukosnik = sciezka.find_last_of('/');
    if (ukosnik == std::string::npos) return {".", sciezka};
    return {ukosnik == 0 ? std::string("/") : sciezka.substr(0, ukosnik), sciezka.substr(ukosnik + 1)};
}

constexpr std::size_t DLUGOSC_ZNACZKA = 6;
constexpr char ZNAKI_ZNACZKA[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

// The temporary name must fit NAME_MAX (255 bytes) with its 14 added bytes;
// a long name is cut, at a character boundary of its UTF-8 form.
std::string NazwaDoTymczasowej(std::string nazwa) {
    constexpr std::size_t NAJDLUZSZA = 255 - 14;
    if (nazwa.size() > NAJDLUZSZA) {
        std::size_t koniec = NAJDLUZSZA;
        while (koniec > 0 && (static_cast<unsigned char>(nazwa[koniec]) & 0xC0) == 0x80) --koniec;
        nazwa.erase(koniec);
    }
    return nazwa;
}

// A new, empty file ".<name>.XXXXXX.czesc" beside `cel`, made with O_EXCL so
// that no other file is ever taken over, and with mode 0666 so that the
// umask gives it the mode of any new file of the user. The writer holds an
// advisory lock on it for as long as it is open: a later installer tells a
// file being written from one left by a killed one.
int UtworzObok(const std::string& cel, std::string& sciezkaTymczasowa) {
    const Rozdzielona czesci = Rozdziel(cel);
    if (czesci.nazwa.empty()) {
        errno = EISDIR;
        return -1;
    }
    const std::string nazwa = NazwaDoTymczasowej(czesci.nazwa);
    static std::mt19937_64 losowe{std::random_device{}() ^ static_cast<std::uint64_t>(::getpid())};
    for (int proba = 0; proba < 100; ++proba) {
        std::string znaczek(DLUGOSC_ZNACZKA, '0');
        for (auto& z : znaczek) z = ZNAKI_ZNACZKA[losowe() % (sizeof(ZNAKI_ZNACZKA) - 1)];
        sciezkaTymczasowa = czesci.folder + "/." + nazwa + "." + znaczek + ".czesc";
        const int fd = ::open(sciezkaTymczasowa.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            ::flock(fd, LOCK_EX | LOCK_NB);
            return fd;
        }
        if (errno != EEXIST) return fd;
    }
    return -1;
}

// Written data is handed to the disk in steps of this size while the
// download goes on, so that the flush before the rename, which no event
// pump interrupts, has little left to wait for.
constexpr off_t KROK_ZAPISU_NA_DYSK = 8 << 20;

class PlikTymczasowyPosix : public IPlikTymczasowy {
public:
    PlikTymczasowyPosix(int fd, std::string sciezka, std::string cel)
        : fd_(fd), sciezka_(std::move(sciezka)), cel_(std::move(cel)) {}

    ~PlikTymczasowyPosix() override {
        if (fd_ >= 0) ::close(fd_);
        if (!zatwierdzony_) ::unlink(sciezka_.c_str());
    }

    PlikTymczasowyPosix(const PlikTymczasowyPosix&) = delete;
    PlikTymczasowyPosix& operator=(const PlikTymczasowyPosix&) = delete;

    bool Zapisz(const void* dane, std::size_t ile, std::u16string& blad) override {
        if (fd_ < 0) {
            blad = OpisBledu(EBADF);
            return false;
        }
        if (!ZapiszWszystko(fd_, dane, ile)) {
            blad = OpisBledu(errno);
            return false;
        }
        zapisane_ += static_cast<off_t>(ile);
#ifdef __linux__
        if (zapisane_ - przekazane_ >= KROK_ZAPISU_NA_DYSK) {
            // Starts the writing without waiting for it; a failure here
            // only leaves more for the flush.
            ::sync_file_range(fd_, przekazane_, zapisane_ - przekazane_, SYNC_FILE_RANGE_WRITE);
            przekazane_ = zapisane_;
        }
#endif
        return true;
    }

    bool Zatwierdz(std::u16string& blad) override {
        if (fd_ < 0) {
            blad = OpisBledu(EBADF);
            return false;
        }
        const int fd = std::exchange(fd_, -1);
        if (::fsync(fd) != 0) {
            blad = OpisBledu(errno);
            ZamknijZachowujacErrno(fd);
            return false;
        }
        if (::close(fd) != 0) {
            blad = OpisBledu(errno);
            return false;
        }
        if (::rename(sciezka_.c_str(), cel_.c_str()) != 0) {
            blad = OpisBledu(errno);
            return false;
        }
        zatwierdzony_ = true;
        SynchronizujFolder(Rozdziel(cel_).folder);
        return true;
    }

private:
    int fd_;
    std::string sciezka_;
    std::string cel_;
    bool zatwierdzony_ = false;
    off_t zapisane_ = 0;
    off_t przekazane_ = 0;  // handed to the disk so far
};

}  // namespace

SystemPlikowPosix::SystemPlikowPosix(UstawieniaWine ustawienia) : sciezki_(std::move(ustawienia)) {}

bool SystemPlikowPosix::PlikIstnieje(const std::u16string& sciezka) const {
    const auto p = sciezki_.NaPosix(sciezka);
    struct stat st {};
    return p && ::stat(p->c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool SystemPlikowPosix::FolderIstnieje(const std::u16string& sciezka) const {
    const auto p = sciezki_.NaPosix(sciezka);
    struct stat st {};
    return p && ::stat(p->c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool SystemPlikowPosix::UtworzFolder(const std::u16string& sciezka) {
    const auto p = sciezki_.NaPosix(sciezka);
    if (!p) {
        errno = ENOENT;
        return false;
    }
    return ::mkdir(p->c_str(), 0777) == 0;
}

StanFolderuProgramu SystemPlikowPosix::PrzygotujFolderProgramu(const std::u16string& sciezka) {
    constexpr mode_t ZAPIS_INNYCH = S_IWGRP | S_IWOTH;
    const auto p = sciezki_.NaPosix(sciezka);
    if (!p) return StanFolderuProgramu::Brak;
    // The umask can only take bits away from 0755: whatever it is, nobody
    // but the user may write into the new folder.
    if (::mkdir(p->c_str(), 0755) == 0) return StanFolderuProgramu::Chroniony;
    struct stat st {};
    if (errno != EEXIST || ::stat(p->c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        return StanFolderuProgramu::Brak;
    }
    if (st.st_uid == ::geteuid()) {
        if ((st.st_mode & ZAPIS_INNYCH) && ::chmod(p->c_str(), st.st_mode & 07777 & ~ZAPIS_INNYCH) != 0) {
            return StanFolderuProgramu::OtwartyDlaInnych;
        }
        return StanFolderuProgramu::Chroniony;
    }
    // The administrator's folder is taken as it is, when it is closed to others.
    if (st.st_uid != 0) return StanFolderuProgramu::Obcy;
    return (st.st_mode & ZAPIS_INNYCH) ? StanFolderuProgramu::OtwartyDlaInnych : StanFolderuProgramu::Chroniony;
}

bool SystemPlikowPosix::UstawAtrybuty(const std::u16string& sciezka, std::uint32_t atrybuty) {
    const auto p = sciezki_.NaPosix(sciezka);
    struct stat st {};
    if (!p || ::stat(p->c_str(), &st) != 0) {
        if (!p) errno = ENOENT;
        return false;
    }
    // Hidden and system have no counterpart in the mode; like Wine, a folder
    // keeps its mode whatever the read-only attribute says.
    if (S_ISDIR(st.st_mode)) return true;
    mode_t tryb = st.st_mode & 07777;
    if (atrybuty & ATRYBUT_TYLKO_DO_ODCZYTU) {
        tryb &= ~BITY_ZAPISU;
    } else {
        tryb |= S_IWUSR;
    }
    if (tryb == (st.st_mode & 07777)) return true;
    return ::chmod(p->c_str(), tryb) == 0;
}

bool SystemPlikowPosix::KopiujPlik(const std::u16string& zrodlo, const std::u16string& cel,
                                   bool bladGdyIstnieje) {
    const auto z = sciezki_.NaPosix(zrodlo);
    const auto c = sciezki_.NaPosix(cel);
    if (!z || !c) {
        errno = ENOENT;
        return false;
    }
    const int wejscie = ::open(z->c_str(), O_RDONLY | O_CLOEXEC);
    if (wejscie < 0) return false;
    struct stat st {};
    if (::fstat(wejscie, &st) != 0 || !S_ISREG(st.st_mode)) {
        if (S_ISDIR(st.st_mode)) errno = EISDIR;
        ZamknijZachowujacErrno(wejscie);
        return false;
    }
    struct stat stCelu {};
    if (::stat(c->c_str(), &stCelu) == 0) {
        // CopyFileW refuses an existing target when asked to, a folder, and a
        // read-only file (the installer clears the attributes first).
        const int kod = bladGdyIstnieje ? EEXIST : S_ISDIR(stCelu.st_mode) ? EISDIR
                                                   : TylkoDoOdczytu(stCelu)  ? EACCES
                                                                             : 0;
        if (kod != 0) {
            ::close(wejscie);
            errno = kod;
            return false;
        }
    }

    // The copy is written beside the target and renamed over it only when it
    // is complete, so a failed copy leaves the old target as it was.
    std::string tymczasowy;
    const int wyjscie = UtworzObok(*c, tymczasowy);
    if (wyjscie < 0) {
        ZamknijZachowujacErrno(wejscie);
        return false;
    }
    bool udane = true;
    char bufor[64 * 1024];
    while (true) {
        const ssize_t przeczytane = ::read(wejscie, bufor, sizeof bufor);
        if (przeczytane < 0 && errno == EINTR) continue;
        if (przeczytane <= 0) {
            udane = przeczytane == 0;
            break;
        }
        if (!ZapiszWszystko(wyjscie, bufor, static_cast<std::size_t>(przeczytane))) {
            udane = false;
            break;
        }
    }
    udane = udane && ::fsync(wyjscie) == 0;
    int blad = udane ? 0 : errno;
    if (::close(wyjscie) != 0 && udane) {
        udane = false;
        blad = errno;
    }
    ::close(wejscie);
    if (udane) {
        if (bladGdyIstnieje) {
            // link() fails when the name is taken, even by a file that
            // appeared during the copy.
            udane = ::link(tymczasowy.c_str(), c->c_str()) == 0;
        } else {
            udane = ::rename(tymczasowy.c_str(), c->c_str()) == 0;
        }
        if (!udane) blad = errno;
    }
    if (!udane || bladGdyIstnieje) ::unlink(tymczasowy.c_str());
    if (!udane) {
        errno = blad;
        return false;
    }
    SynchronizujFolder(Rozdziel(*c).folder);
    return true;
}

bool SystemPlikowPosix::UsunPlik(const std::u16string& sciezka) {
    const auto p = sciezki_.NaPosix(sciezka);
    struct stat st {};
    if (!p || ::lstat(p->c_str(), &st) != 0) {
        if (!p) errno = ENOENT;
        return false;
    }
    // DeleteFileW removes a link itself, never a folder, and refuses a
    // read-only file.
    if (S_ISDIR(st.st_mode)) {
        errno = EISDIR;
        return false;
    }
    if (!S_ISLNK(st.st_mode) && TylkoDoOdczytu(st)) {
        errno = EACCES;
        return false;
    }
    return ::unlink(p->c_str()) == 0;
}

bool SystemPlikowPosix::UsunFolder(const std::u16string& sciezka) {
    // A drive root is never removed, even an empty one: "C:\" would otherwise
    // take the prefix's drive_c folder away.
    const auto p = sciezki_.NaPosix(sciezka);
    if (!p || JestKorzeniemDysku(sciezka)) {
        errno = p ? EBUSY : ENOENT;
        return false;
    }
    return ::rmdir(p->c_str()) == 0;
}

std::unique_ptr<IPlikTymczasowy> SystemPlikowPosix::UtworzPlikTymczasowy(const std::u16string& cel,
                                                                       std::u16string& blad) {
    const auto c = sciezki_.NaPosix(cel);
    if (!c) {
        blad = OpisBledu(ENOENT);
        return nullptr;
    }
    std::string tymczasowy;
    const int fd = UtworzObok(*c, tymczasowy);
    if (fd < 0) {
        blad = OpisBledu(errno);
        return nullptr;
    }
    return std::make_unique<PlikTymczasowyPosix>(fd, std::move(tymczasowy), *c);
}

int SystemPlikowPosix::UsunPozostaleTymczasowe(const std::u16string& cel) {
    const auto c = sciezki_.NaPosix(cel);
    if (!c) return 0;
    const Rozdzielona czesci = Rozdziel(*c);
    if (czesci.nazwa.empty()) return 0;
    const std::string przedrostek = "." + NazwaDoTymczasowej(czesci.nazwa) + ".";
    constexpr std::string_view KONCOWKA = ".czesc";
    DIR* folder = ::opendir(czesci.folder.c_str());
    if (!folder) return 0;
    int usuniete = 0;
    while (const dirent* wpis = ::readdir(folder)) {
        const std::string_view nazwa = wpis->d_name;
        if (nazwa.size() != przedrostek.size() + DLUGOSC_ZNACZKA + KONCOWKA.size() || !nazwa.starts_with(przedrostek) ||
            !nazwa.ends_with(KONCOWKA)) {
            continue;
        }
        const std::string_view znaczek = nazwa.substr(przedrostek.size(), DLUGOSC_ZNACZKA);
        if (znaczek.find_first_not_of(ZNAKI_ZNACZKA) != std::string_view::npos) continue;
        const std::string sciezka = czesci.folder + "/" + std::string(nazwa);
        // Never through a link, never anything but a regular file.
        const int fd = ::open(sciezka.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat otwarty{};
        struct stat teraz{};
        // The lock fails while its writer still has it open.
        if (::fstat(fd, &otwarty) == 0 && S_ISREG(otwarty.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
            ::lstat(sciezka.c_str(), &teraz) == 0 && teraz.st_ino == otwarty.st_ino && teraz.st_dev == otwarty.st_dev &&
            ::unlink(sciezka.c_str()) == 0) {
            ++usuniete;
        }
        ::close(fd);
    }
    ::closedir(folder);
    return usuniete;
}

std::u16string SystemPlikowPosix::NaSciezkeSystemu(const std::u16string& sciezka) const {
    const auto p = sciezki_.NaPosix(sciezka);
    return p ? Utf16(*p) : std::u16string();
}

std::u16string SystemPlikowPosix::ZeSciezkiSystemu(const std::u16string& sciezkaSystemu) const {
    return sciezki_.NaWindows(Utf8(sciezkaSystemu));
}

}  // namespace platforma
