#pragma once
// Windows paths on Linux, laid out the way Wine lays them out, so that what the
// installer writes lands where Wine programs look for it:
//   drive X: is <prefix>/dosdevices/x: (usually a symbolic link, followed);
//   Z: is "/" when the prefix has no z: entry; any other drive without an
//   entry does not exist;
//   "\" and "/" both separate components, and a path that begins with one of
//   them lies on drive C:;
//   a component missing in the given letter case is looked up without regard
//   to case, as Windows names are compared.
// Nothing else is changed: ".." is not collapsed, nothing is stripped.
#include <optional>
#include <string>
#include <string_view>

namespace platforma {

// What the mapping depends on, read from the environment by default and
// given directly by tests.
struct UstawieniaWine {
    std::string prefiks;  // the Wine prefix folder (POSIX, UTF-8)
    std::string login;    // the user's login name, as in C:\users\<login>

    // $WINEPREFIX when set and not empty, else $HOME/.wine; the login name of
    // the effective user, else $USER.
    static UstawieniaWine ZeSrodowiska();
};

class SciezkiWine {
public:
    explicit SciezkiWine(UstawieniaWine ustawienia);

    const UstawieniaWine& Ustawienia() const { return ustawienia_; }

    // The folder that drive `litera` (either case) stands for; nullopt when the
    // prefix has no such drive.
    std::optional<std::string> FolderDysku(char16_t litera) const;

    // The POSIX path of a Windows path; nullopt when it lies on no drive (a
    // missing drive, or a relative path such as "plik.exe").
    std::optional<std::string> NaPosix(std::u16string_view sciezka) const;

    // The Windows path of an absolute POSIX path: on the drive whose folder
    // holds it (the longest such folder, other drives before Z:), else empty.
    std::u16string NaWindows(std::string_view posix) const;

    // The special folders of the shell: 0 the desktop, 2 the Start menu's
    // Programs. Empty for any other folder, without a login name, or when the
    // path would not fit the 260-unit buffer of the Windows call.
    std::u16string FolderSpecjalny(int csidl) const;

private:
    UstawieniaWine ustawienia_;
};

// A POSIX path shown on drive Z: ("/opt/kv/bin/instalator" ->
// "Z:\opt\kv\bin\instalator", "/" -> "Z:\").
std::u16string NaDyskuZ(std::string_view posix);

// True for a path that names the root of a drive: "C:", "C:\", "\" and the like.
bool JestKorzeniemDysku(std::u16string_view sciezka);

}  // namespace platforma
