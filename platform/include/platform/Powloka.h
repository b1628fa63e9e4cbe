#pragma once
// The shell: special folders, the running program, opening and starting things.
#include <string>

namespace platforma {

inline constexpr int CSIDL_PULPIT = 0;    // CSIDL_DESKTOP
inline constexpr int CSIDL_PROGRAMY = 2;  // CSIDL_PROGRAMS

class IPowloka {
public:
    virtual ~IPowloka() = default;
    // SHGetSpecialFolderPathW(0, buffer[260], csidl, FALSE): the text up to the
    // first NUL, at most 260 units; empty when the system has no such folder.
    virtual std::u16string FolderSpecjalny(int csidl) = 0;
    // Full path of the running program file, as a Windows path.
    virtual std::u16string SciezkaProgramu() = 0;
    // ShellExecuteW(owner, "open", adres, "", "", SW_SHOWNORMAL); result ignored.
    virtual void OtworzAdres(const std::u16string& adres) = 0;
    // ShellExecuteW(owner, nullptr, program, nullptr, nullptr, SW_SHOWNORMAL):
    // starts the program and returns at once; result ignored.
    virtual void UruchomProgram(const std::u16string& program) = 0;
};

}  // namespace platforma
