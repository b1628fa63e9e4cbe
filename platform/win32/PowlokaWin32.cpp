// The shell: special folders, the running program, ShellExecuteW.
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <functional>
#include <utility>
#include <vector>

#include "PlatformaWin32.h"
#include "Win32Pomoc.h"

namespace platforma {
namespace {

class PowlokaWin32 : public IPowloka {
public:
    explicit PowlokaWin32(std::function<HWND()> wlasciciel) : wlasciciel_(std::move(wlasciciel)) {}

    std::u16string FolderSpecjalny(int csidl) override {
        // The result is not examined: a folder the system cannot supply
        // leaves the buffer empty.
        wchar_t bufor[MAX_PATH] = {};
        SHGetSpecialFolderPathW(nullptr, bufor, csidl, FALSE);
        return ZSzerokiego(bufor, wcsnlen(bufor, MAX_PATH));
    }

    std::u16string SciezkaProgramu() override {
        // Long paths do not fit MAX_PATH: the buffer grows until the whole
        // name fits (the call truncates and reports the buffer's size then).
        std::vector<wchar_t> bufor(MAX_PATH);
        for (;;) {
            DWORD dlugosc = GetModuleFileNameW(nullptr, bufor.data(), static_cast<DWORD>(bufor.size()));
            if (dlugosc == 0) {
                return {};
            }
            if (dlugosc < bufor.size()) {
                return ZSzerokiego(bufor.data(), dlugosc);
            }
            if (bufor.size() >= 32768) {
                return ZSzerokiego(bufor.data(), dlugosc);
            }
            bufor.resize(bufor.size() * 2);
        }
    }

    void OtworzAdres(const std::u16string& adres) override {
        ShellExecuteW(Wlasciciel(), L"open", Szeroki(adres), L"", L"", SW_SHOWNORMAL);
    }

    void UruchomProgram(const std::u16string& program) override {
        ShellExecuteW(Wlasciciel(), nullptr, Szeroki(program), nullptr, nullptr, SW_SHOWNORMAL);
    }

private:
    HWND Wlasciciel() const { return wlasciciel_ ? wlasciciel_() : nullptr; }
    std::function<HWND()> wlasciciel_;
};

class ZegarWin32 : public IZegar {
public:
    void Spij(std::uint32_t milisekundy) override { Sleep(milisekundy); }
};

}  // namespace

std::unique_ptr<IPowloka> UtworzPowlokeWin32() {
    return std::make_unique<PowlokaWin32>(nullptr);
}

std::unique_ptr<IPowloka> UtworzPowlokeWin32(std::function<HWND()> wlasciciel) {
    return std::make_unique<PowlokaWin32>(std::move(wlasciciel));
}

std::unique_ptr<IZegar> UtworzZegarWin32() {
    return std::make_unique<ZegarWin32>();
}

}  // namespace platforma
