#pragma once
// The shell-link object: the fields of IShellLinkW and IPersistFile::Save.
#include <cstdint>
#include <memory>
#include <string>

namespace platforma {

class IObiektSkrotu {
public:
    virtual ~IObiektSkrotu() = default;  // releases the interfaces
    virtual void SetPath(const std::u16string& sciezka) = 0;
    virtual void SetWorkingDirectory(const std::u16string& folder) = 0;
    virtual void SetArguments(const std::u16string& argumenty) = 0;
    virtual void SetDescription(const std::u16string& opis) = 0;
    virtual void SetShowCmd(std::int32_t rodzajOkna) = 0;
    virtual void SetIconLocation(const std::u16string& sciezka, std::int32_t numer) = 0;
    // Low byte: the key; high byte: HOTKEYF_ flags (0x02 Ctrl, 0x04 Alt).
    virtual void SetHotkey(std::uint16_t klawisz) = 0;
    // IPersistFile::Save; an existing file is replaced. The result is the
    // system's, which the installer does not examine.
    virtual bool Save(const std::u16string& sciezkaSkrotu, bool zapamietajNazwe) = 0;
};

class IFabrykaSkrotow {
public:
    virtual ~IFabrykaSkrotow() = default;
    // CoCreateInstance(CLSID_ShellLink) and QueryInterface for IShellLinkW and
    // IPersistFile. Throws BladPlatformy with the system's text, or with
    // "Interface not supported" when an interface is missing.
    virtual std::unique_ptr<IObiektSkrotu> Utworz() = 0;
};

}  // namespace platforma
