#include "ZestawSerwera.h"

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace {

std::string Cytuj(const std::string& s) {
    std::string w = "'";
    for (char c : s) w += (c == '\'') ? std::string("'\\''") : std::string(1, c);
    return w + "'";
}

}  // namespace

int WolnyPort() {
    const int gniazdo = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in adres{};
    adres.sin_family = AF_INET;
    adres.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t dlugosc = sizeof adres;
    int port = 0;
    if (::bind(gniazdo, reinterpret_cast<sockaddr*>(&adres), sizeof adres) == 0 &&
        ::getsockname(gniazdo, reinterpret_cast<sockaddr*>(&adres), &dlugosc) == 0) {
        port = ntohs(adres.sin_port);
    }
    ::close(gniazdo);
    return port;
}

ZestawSerwera::ZestawSerwera(std::string folder) : folder_(std::move(folder)) {
    std::filesystem::create_directories(Wydanie());
    std::string wzor = (std::filesystem::temp_directory_path() / "kv-drzewo-XXXXXX").string();
    if (!::mkdtemp(wzor.data())) throw std::runtime_error("mkdtemp");
    std::filesystem::permissions(wzor, std::filesystem::perms::owner_all | std::filesystem::perms::group_read |
                                           std::filesystem::perms::group_exec | std::filesystem::perms::others_read |
                                           std::filesystem::perms::others_exec);
    drzewo_ = wzor;
}

ZestawSerwera::~ZestawSerwera() {
    if (dziala_) std::system((Polecenie("stop") + " >/dev/null").c_str());
    std::error_code blad;
    std::filesystem::remove_all(drzewo_, blad);
}

int ZestawSerwera::Wykonaj(const std::string& czynnosc) const {
    return std::system((Polecenie(czynnosc) + " >/dev/null").c_str());
}

std::string ZestawSerwera::Polecenie(const std::string& czynnosc) const {
    return Cytuj(std::string(KV_ZRODLA) + "/server/serwer.sh") + " -t " + Cytuj(drzewo_) + " -w " +
           Cytuj(folder_ + "/praca") + " -l 127.0.0.1:" + std::to_string(port_) + " " + czynnosc;
}

std::string PlikKluczaWydania() {
    const char* z_otoczenia = std::getenv("KV_KLUCZ_PRYWATNY");
    return z_otoczenia && *z_otoczenia ? z_otoczenia : KV_KLUCZ_PRYWATNY_BUDOWY;
}

std::string IdKluczaWydania() {
    const char* z_otoczenia = std::getenv("KV_KLUCZ_ID");
    return z_otoczenia && *z_otoczenia ? z_otoczenia : KV_KLUCZ_ID_BUDOWY;
}

bool ZestawSerwera::Pakuj() {
    if (PlikKluczaWydania().empty()) {
        blad_ = "no signing key: the build names none (KV_KLUCZ_PRYWATNY)";
        return false;
    }
    const std::string pakuj = Cytuj(std::string(KV_ZRODLA) + "/server/pakuj.sh") + " -k " + Cytuj(PlikKluczaWydania()) +
                              " -i " + Cytuj(IdKluczaWydania()) + " -b " + Cytuj(baza_) + " " + Cytuj(Wydanie()) +
                              " " + Cytuj(drzewo_) + " >/dev/null";
    if (std::system(pakuj.c_str()) != 0) {
        blad_ = "pakuj.sh failed";
        return false;
    }
    return true;
}

bool ZestawSerwera::Uruchom(const std::string& limit) {
    if (!Pakuj()) return false;
    // A port taken between the probe and nginx's bind: try another.
    for (int proba = 0; proba < 5 && !dziala_; ++proba) {
        port_ = WolnyPort();
        std::string start = Polecenie("start");
        if (!limit.empty()) start = "KV_LIMIT=" + Cytuj(limit) + " " + start;
        dziala_ = std::system((start + " >/dev/null").c_str()) == 0;
    }
    if (!dziala_) blad_ = "serwer.sh start failed; see " + folder_ + "/praca/error.log";
    return dziala_;
}
