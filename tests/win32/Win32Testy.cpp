#include "Win32Testy.h"

#include <atomic>
#include <stdexcept>
#include <vector>

namespace testy_win32 {

void UsunDrzewo(const std::u16string& folder) {
    WIN32_FIND_DATAW dane;
    HANDLE szukanie = FindFirstFileW(W(folder + u"\\*"), &dane);
    if (szukanie != INVALID_HANDLE_VALUE) {
        do {
            std::u16string nazwa = U(dane.cFileName);
            if (nazwa == u"." || nazwa == u"..") {
                continue;
            }
            std::u16string sciezka = folder + u"\\" + nazwa;
            SetFileAttributesW(W(sciezka), FILE_ATTRIBUTE_NORMAL);
            if (dane.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                UsunDrzewo(sciezka);
            } else {
                DeleteFileW(W(sciezka));
            }
        } while (FindNextFileW(szukanie, &dane));
        FindClose(szukanie);
    }
    RemoveDirectoryW(W(folder));
}

FolderTestu::FolderTestu() {
    static std::atomic<unsigned> licznik{0};
    wchar_t temp[MAX_PATH + 1];
    DWORD n = GetTempPathW(MAX_PATH + 1, temp);
    if (n == 0 || n > MAX_PATH) {
        throw std::runtime_error("GetTempPathW");
    }
    std::u16string baza(reinterpret_cast<const char16_t*>(temp), n);
    if (!baza.empty() && baza.back() == u'\\') {
        baza.pop_back();
    }
    for (int proba = 0; proba < 100; ++proba) {
        std::wstring nazwa = L"\\kv-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                             std::to_wstring(licznik++);
        std::u16string sciezka = baza + std::u16string(nazwa.begin(), nazwa.end());
        if (CreateDirectoryW(W(sciezka), nullptr)) {
            sciezka_ = sciezka;
            return;
        }
    }
    throw std::runtime_error("CreateDirectoryW");
}

FolderTestu::~FolderTestu() {
    UsunDrzewo(sciezka_);
}

void ZapiszPlik(const std::u16string& sciezka, const std::string& tresc) {
    HANDLE h = CreateFileW(W(sciezka), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        throw std::runtime_error("CreateFileW");
    }
    DWORD zapisane = 0;
    WriteFile(h, tresc.data(), static_cast<DWORD>(tresc.size()), &zapisane, nullptr);
    CloseHandle(h);
}

std::string CzytajPlik(const std::u16string& sciezka) {
    HANDLE h = CreateFileW(W(sciezka), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           0, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        return "<brak>";
    }
    std::string tresc;
    std::vector<char> bufor(65536);
    DWORD przeczytane = 0;
    while (ReadFile(h, bufor.data(), static_cast<DWORD>(bufor.size()), &przeczytane, nullptr) && przeczytane > 0) {
        tresc.append(bufor.data(), przeczytane);
    }
    CloseHandle(h);
    return tresc;
}

bool Jest(const std::u16string& sciezka) {
    return GetFileAttributesW(W(sciezka)) != INVALID_FILE_ATTRIBUTES;
}

DWORD Atrybuty(const std::u16string& sciezka) {
    return GetFileAttributesW(W(sciezka));
}

int LiczbaWpisow(const std::u16string& folder) {
    WIN32_FIND_DATAW dane;
    HANDLE szukanie = FindFirstFileW(W(folder + u"\\*"), &dane);
    if (szukanie == INVALID_HANDLE_VALUE) {
        return 0;
    }
    int n = 0;
    do {
        std::u16string nazwa = U(dane.cFileName);
        if (nazwa != u"." && nazwa != u"..") {
            ++n;
        }
    } while (FindNextFileW(szukanie, &dane));
    FindClose(szukanie);
    return n;
}

}  // namespace testy_win32
