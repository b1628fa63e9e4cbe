#pragma once
// The distribution server kit (server/pakuj.sh, server/serwer.sh) run for a
// test or a benchmark: a release folder packed and signed into a tree with
// the build's key, and nginx started
// on a free loopback port with a working folder of its own; stopped and
// removed with the object. The tree lies in a folder of its own that others
// may read: started as root, the kit runs nginx's workers as "nobody".
#include <string>

class ZestawSerwera {
public:
    // `folder`: an empty scratch folder that the kit may fill.
    explicit ZestawSerwera(std::string folder);
    ~ZestawSerwera();
    ZestawSerwera(const ZestawSerwera&) = delete;
    ZestawSerwera& operator=(const ZestawSerwera&) = delete;

    // The release folder: put the files to serve here before Uruchom().
    std::string Wydanie() const { return folder_ + "/wydanie"; }
    // Packs the release and starts nginx; false (and Blad()) when it fails.
    bool Uruchom(const std::string& limit = "");
    // Packs the release into the tree again (server/pakuj.sh).
    bool Pakuj();
    const std::string& Blad() const { return blad_; }
    // The path the installer's base address has on this server ("/" unless
    // set before packing): the signatures cover it.
    void UstawBaze(const std::string& baza) { baza_ = baza; }
    // The installer's base address, "http://127.0.0.1:PORT" + the base path.
    std::string Adres() const { return "http://127.0.0.1:" + std::to_string(port_) + baza_; }
    int Port() const { return port_; }
    // The packed tree, and the folder its release lands in.
    std::string Drzewo() const { return drzewo_; }
    std::string Aktualne() const { return drzewo_ + "/programy/wersja8/aktualne"; }
    // Runs a command of server/serwer.sh (stop, reload, status) on this server;
    // its exit status.
    int Wykonaj(const std::string& czynnosc) const;

private:
    std::string Polecenie(const std::string& czynnosc) const;
    std::string folder_;
    std::string drzewo_;
    std::string blad_;
    std::string baza_ = "/";
    int port_ = 0;
    bool dziala_ = false;
};

// A port nobody listens on at the moment of the call.
int WolnyPort();

// The key releases are signed with for the built installer, and its keyid:
// the environment's KV_KLUCZ_PRYWATNY and KV_KLUCZ_ID, else the build's.
std::string PlikKluczaWydania();
std::string IdKluczaWydania();
