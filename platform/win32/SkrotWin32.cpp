// Shortcut files through the shell's own link object (CLSID_ShellLink).
#include <windows.h>
#include <objbase.h>
#include <objidl.h>
#include <shlguid.h>
#include <shobjidl.h>

#include "PlatformaWin32.h"
#include "Win32Pomoc.h"
#include "platform/Blad.h"

namespace platforma {
namespace {

// Owns one reference of a COM interface.
template <typename T>
class Odwolanie {
public:
    Odwolanie() = default;
    explicit Odwolanie(T* wskaznik) : wskaznik_(wskaznik) {}
    Odwolanie(const Odwolanie&) = delete;
    Odwolanie& operator=(const Odwolanie&) = delete;
    Odwolanie(Odwolanie&& inne) noexcept : wskaznik_(inne.wskaznik_) { inne.wskaznik_ = nullptr; }
    ~Odwolanie() {
        if (wskaznik_) {
            wskaznik_->Release();
        }
    }
    T* operator->() const { return wskaznik_; }
    T* get() const { return wskaznik_; }
    void** Adres() { return reinterpret_cast<void**>(&wskaznik_); }

private:
    T* wskaznik_ = nullptr;
};

class ObiektSkrotuWin32 : public IObiektSkrotu {
public:
    ObiektSkrotuWin32(Odwolanie<IShellLinkW> link, Odwolanie<IPersistFile> plik)
        : link_(std::move(link)), plik_(std::move(plik)) {}

    // The results of the setters are the system's; the installer does not
    // examine them.
    void SetPath(const std::u16string& sciezka) override { link_->SetPath(Szeroki(sciezka)); }
    void SetWorkingDirectory(const std::u16string& folder) override {
        link_->SetWorkingDirectory(Szeroki(folder));
    }
    void SetArguments(const std::u16string& argumenty) override { link_->SetArguments(Szeroki(argumenty)); }
    void SetDescription(const std::u16string& opis) override { link_->SetDescription(Szeroki(opis)); }
    void SetShowCmd(std::int32_t rodzajOkna) override { link_->SetShowCmd(rodzajOkna); }
    void SetIconLocation(const std::u16string& sciezka, std::int32_t numer) override {
        link_->SetIconLocation(Szeroki(sciezka), numer);
    }
    void SetHotkey(std::uint16_t klawisz) override { link_->SetHotkey(klawisz); }
    bool Save(const std::u16string& sciezkaSkrotu, bool zapamietajNazwe) override {
        return SUCCEEDED(plik_->Save(Szeroki(sciezkaSkrotu), zapamietajNazwe ? TRUE : FALSE));
    }

private:
    // Released in reverse order of acquisition, the object with the last one.
    Odwolanie<IShellLinkW> link_;
    Odwolanie<IPersistFile> plik_;
};

class FabrykaSkrotowWin32 : public IFabrykaSkrotow {
public:
    std::unique_ptr<IObiektSkrotu> Utworz() override {
        Odwolanie<IUnknown> obiekt;
        HRESULT wynik = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                                         IID_IUnknown, obiekt.Adres());
        if (FAILED(wynik)) {
            throw BladPlatformy(TekstBledu(static_cast<DWORD>(wynik)));
        }
        Odwolanie<IShellLinkW> link;
        Odwolanie<IPersistFile> plik;
        if (FAILED(obiekt->QueryInterface(IID_IShellLinkW, link.Adres())) || !link.get() ||
            FAILED(obiekt->QueryInterface(IID_IPersistFile, plik.Adres())) || !plik.get()) {
            throw BladPlatformy(u"Interface not supported");
        }
        return std::make_unique<ObiektSkrotuWin32>(std::move(link), std::move(plik));
    }
};

}  // namespace

std::unique_ptr<IFabrykaSkrotow> UtworzFabrykeSkrotowWin32() {
    ZainicjujCom();
    return std::make_unique<FabrykaSkrotowWin32>();
}

}  // namespace platforma
