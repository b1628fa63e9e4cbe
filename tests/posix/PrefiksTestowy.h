#pragma once
// A throw-away Wine prefix in a fresh temporary folder: drive_c with
// dosdevices/c: -> ../drive_c, as Wine sets one up, and helpers for files.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "SciezkiWine.h"

namespace fs = std::filesystem;

class PrefiksTestowy {
public:
    PrefiksTestowy() {
        std::string wzor = (fs::temp_directory_path() / "kv-wine-XXXXXX").string();
        if (!::mkdtemp(wzor.data())) throw std::runtime_error("mkdtemp");
        // Resolved, so that comparisons with realpath() results hold.
        katalog = fs::canonical(wzor);
        prefiks = katalog / "prefiks";
        dyskC = prefiks / "drive_c";
        fs::create_directories(prefiks / "dosdevices");
        fs::create_directories(dyskC);
        DodajDysk('c', "../drive_c");
    }
    ~PrefiksTestowy() {
        std::error_code blad;
        fs::remove_all(katalog, blad);
    }
    PrefiksTestowy(const PrefiksTestowy&) = delete;
    PrefiksTestowy& operator=(const PrefiksTestowy&) = delete;

    platforma::UstawieniaWine Ustawienia(std::string login = "jan") const {
        return {prefiks.string(), std::move(login)};
    }
    // dosdevices/<litera>: as a link to `cel`.
    void DodajDysk(char litera, const fs::path& cel) const {
        fs::create_directory_symlink(cel, Wpis(litera));
    }
    fs::path Wpis(char litera) const { return prefiks / "dosdevices" / (std::string(1, litera) + ":"); }
    std::string WpisC() const { return Wpis('c').string(); }

    fs::path katalog;
    fs::path prefiks;
    fs::path dyskC;
};

inline void ZapiszPlik(const fs::path& sciezka, const std::string& tresc) {
    std::ofstream plik(sciezka, std::ios::binary | std::ios::trunc);
    plik << tresc;
    if (!plik) throw std::runtime_error("cannot write " + sciezka.string());
}

inline std::string CzytajPlik(const fs::path& sciezka) {
    std::ifstream plik(sciezka, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(plik), std::istreambuf_iterator<char>());
}

// Names in a folder, sorted.
inline std::vector<std::string> Zawartosc(const fs::path& folder) {
    std::vector<std::string> nazwy;
    for (const auto& wpis : fs::directory_iterator(folder)) nazwy.push_back(wpis.path().filename().string());
    std::sort(nazwy.begin(), nazwy.end());
    return nazwy;
}

inline mode_t Tryb(const fs::path& sciezka) {
    struct stat st {};
    if (::stat(sciezka.c_str(), &st) != 0) return 0;
    return st.st_mode & 07777;
}

// Sets the umask for the life of the object.
class Umaska {
public:
    explicit Umaska(mode_t maska) : poprzednia_(::umask(maska)) {}
    ~Umaska() { ::umask(poprzednia_); }

private:
    mode_t poprzednia_;
};
