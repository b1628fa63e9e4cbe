#pragma once
// The shell on a POSIX desktop: Wine's special folders, the running program
// shown on drive Z:, web addresses opened with xdg-open and Windows programs
// started with wine.
#include <string>
#include <vector>

#include "SciezkiWine.h"
#include "platform/Powloka.h"

namespace platforma {

class PowlokaPosix : public IPowloka {
public:
    // `sciezkaProgramow` is the search list for xdg-open and wine, in the form
    // of $PATH (which it is by default).
    explicit PowlokaPosix(UstawieniaWine ustawienia = UstawieniaWine::ZeSrodowiska());
    PowlokaPosix(UstawieniaWine ustawienia, std::string sciezkaProgramow);

    std::u16string FolderSpecjalny(int csidl) override;
    std::u16string SciezkaProgramu() override;
    void OtworzAdres(const std::u16string& adres) override;
    void UruchomProgram(const std::u16string& program) override;

private:
    // The full path of a program found in the search list; empty when none.
    std::string ZnajdzProgram(const std::string& nazwa) const;

    SciezkiWine sciezki_;
    std::string sciezkaProgramow_;
};

// Starts `program` with `argumenty` (argv[0] included) and `srodowisko`,
// detached: in a session of its own, not a child of this process, with
// standard input from /dev/null. Returns as soon as it is under way; false
// when it could not be started.
bool UruchomOdlaczony(const std::string& program, const std::vector<std::string>& argumenty,
                      const std::vector<std::string>& srodowisko);

}  // namespace platforma
