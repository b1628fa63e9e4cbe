#pragma once
// Small helpers shared by the Win32 implementation: the installer's UTF-16
// texts are the Windows API's wide strings, and system error codes become
// the system's own message texts.
#include <windows.h>

#include <string>
#include <string_view>

namespace platforma {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide characters are UTF-16 units");

inline const wchar_t* Szeroki(const std::u16string& tekst) {
    return reinterpret_cast<const wchar_t*>(tekst.c_str());
}

inline std::u16string ZSzerokiego(const wchar_t* tekst, std::size_t dlugosc) {
    return std::u16string(reinterpret_cast<const char16_t*>(tekst), dlugosc);
}

inline std::u16string ZSzerokiego(const wchar_t* tekst) {
    return ZSzerokiego(tekst, wcslen(tekst));
}

// The system's text for an error code (GetLastError or an HRESULT), without
// the trailing line break. `modul` names a module with its own message table
// (winhttp.dll); when the text is unknown, the code in hexadecimal is given.
std::u16string TekstBledu(DWORD kod, HMODULE modul = nullptr);

// COM for the calling thread as a single-threaded apartment, once per
// process; the user-interface thread is the first to ask.
void ZainicjujCom();

}  // namespace platforma
