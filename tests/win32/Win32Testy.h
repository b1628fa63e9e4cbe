#pragma once
// What the tests of the Windows implementation share: a fresh folder of
// their own under the system's temporary folder, and direct Windows calls to
// check what the code under test did.
#include <windows.h>

#include <string>

namespace testy_win32 {

inline const wchar_t* W(const std::u16string& s) {
    return reinterpret_cast<const wchar_t*>(s.c_str());
}

inline std::u16string U(const wchar_t* s) {
    return std::u16string(reinterpret_cast<const char16_t*>(s));
}

// Removes a folder with everything below it, read-only files included.
void UsunDrzewo(const std::u16string& folder);

// A new empty folder (without a trailing "\"), removed with its content at
// the end of the test.
class FolderTestu {
public:
    FolderTestu();
    ~FolderTestu();
    FolderTestu(const FolderTestu&) = delete;
    FolderTestu& operator=(const FolderTestu&) = delete;
    const std::u16string& Sciezka() const { return sciezka_; }
    std::u16string operator/(const std::u16string& nazwa) const { return sciezka_ + u"\\" + nazwa; }

private:
    std::u16string sciezka_;
};

// Direct file access, independent of the code under test.
void ZapiszPlik(const std::u16string& sciezka, const std::string& tresc);
// The content, or "<brak>" when the file cannot be read.
std::string CzytajPlik(const std::u16string& sciezka);
bool Jest(const std::u16string& sciezka);
DWORD Atrybuty(const std::u16string& sciezka);
// Names in a folder, "." and ".." left out.
int LiczbaWpisow(const std::u16string& folder);

}  // namespace testy_win32
