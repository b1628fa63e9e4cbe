// Adds a certificate (PEM or DER file) to the Root store of the current
// user's Windows, that is of the test's own throw-away Wine prefix: the
// test CA the HTTPS tests trust, as an administrator's would be trusted.
//
//   kv_zaufaj CERT_FILE
#include <windows.h>
#include <wincrypt.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s CERT_FILE\n", argv[0]);
        return 2;
    }
    std::ifstream plik(argv[1], std::ios::binary);
    const std::string tresc((std::istreambuf_iterator<char>(plik)), std::istreambuf_iterator<char>());
    std::vector<BYTE> der(tresc.begin(), tresc.end());
    DWORD rozmiar = 0;
    if (CryptStringToBinaryA(tresc.c_str(), static_cast<DWORD>(tresc.size()), CRYPT_STRING_BASE64HEADER, nullptr,
                             &rozmiar, nullptr, nullptr)) {
        der.resize(rozmiar);
        CryptStringToBinaryA(tresc.c_str(), static_cast<DWORD>(tresc.size()), CRYPT_STRING_BASE64HEADER, der.data(),
                             &rozmiar, nullptr, nullptr);
    }
    if (!CertAddEncodedCertificateToSystemStoreW(L"Root", der.data(), static_cast<DWORD>(der.size()))) {
        std::fprintf(stderr, "CertAddEncodedCertificateToSystemStoreW: error %lu\n", GetLastError());
        return 1;
    }
    std::printf("trusted\n");
    return 0;
}
