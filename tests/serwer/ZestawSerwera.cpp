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

// The key the release is signed with: KV_KLUCZ_PRYWATNY and KV_KLUCZ_ID
// when the test's environment names them, else the throw-away pair that
// configuring made beside the tests (build-dir/klucze), whose public half the
// installer built there trusts. Empty when there is neither.
static std::string ArgumentyKlucza() {
    const char* klucz = std::getenv("KV_KLUCZ_PRYWATNY");
    const char* id = std::getenv("KV_KLUCZ_ID");
    if (klucz && *klucz && id && *id) return "-k " + Cytuj(klucz) + " -i " + Cytuj(id) + " ";
    std::error_code blad;
    const auto zbudowany =
        std::filesystem::read_symlink("/proc/self/exe", blad).parent_path().parent_path() / "klucze" /
        "kavrostel-test.key";
    if (!blad && std::filesystem::exists(zbudowany, blad)) {
        return "-k " + Cytuj(zbudowany.string()) + " -i kavrostel-test ";
    }
    return {};
}

bool ZestawSerwera::Pakuj() {
    const std::string pakuj = Cytuj(std::string(KV_ZRODLA) + "/server/pakuj.sh") + " " + ArgumentyKlucza() +
                              Cytuj(Wydanie()) + " " + Cytuj(drzewo_) + " >/dev/null";
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
