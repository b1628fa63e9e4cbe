#include "Obrazy.h"

#include <objbase.h>
#include <wincodec.h>

namespace {

// Releases a COM interface at the end of its scope.
template <typename T>
class Com {
public:
    Com() = default;
    ~Com() {
        if (p_) p_->Release();
    }
    Com(const Com&) = delete;
    Com& operator=(const Com&) = delete;
    T** operator&() { return &p_; }
    T* operator->() const { return p_; }
    T* get() const { return p_; }

private:
    T* p_ = nullptr;
};

}  // namespace

std::wstring NazwaZasobuObrazu(const std::u16string& plik) {
    std::wstring nazwa;
    for (char16_t z : plik) {
        if (z == u'.')
            nazwa.push_back(L'_');
        else if (z >= u'a' && z <= u'z')
            nazwa.push_back(static_cast<wchar_t>(z - u'a' + u'A'));
        else
            nazwa.push_back(static_cast<wchar_t>(z));
    }
    return nazwa;
}

Obrazy::Obrazy(HINSTANCE modul) : modul_(modul) {
    // COM is already initialised on this thread (the backend does it first).
    CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                     reinterpret_cast<void**>(&fabryka_));
}

Obrazy::~Obrazy() {
    for (auto& [klucz, obraz] : pamiec_)
        if (obraz) DeleteObject(obraz);
    if (fabryka_) fabryka_->Release();
}

SIZE Obrazy::Rozmiar(const std::u16string& plik) {
    SIZE rozmiar{0, 0};
    if (HBITMAP obraz = Daj(plik)) {
        BITMAP opis{};
        GetObjectW(obraz, sizeof opis, &opis);
        rozmiar.cx = opis.bmWidth;
        rozmiar.cy = opis.bmHeight;
    }
    return rozmiar;
}

HBITMAP Obrazy::Daj(const std::u16string& plik, int szerokosc, int wysokosc) {
    const auto klucz = std::make_tuple(plik, szerokosc, wysokosc);
    if (auto it = pamiec_.find(klucz); it != pamiec_.end()) return it->second;
    HBITMAP wynik = nullptr;
    // A failure is kept too: a missing picture is not looked for again.
    struct Zapamietaj {
        std::map<std::tuple<std::u16string, int, int>, HBITMAP>& pamiec;
        const std::tuple<std::u16string, int, int>& klucz;
        HBITMAP& wynik;
        ~Zapamietaj() { pamiec.emplace(klucz, wynik); }
    } zapamietaj{pamiec_, klucz, wynik};

    if (!fabryka_ || plik.empty()) return nullptr;
    const std::wstring nazwa = NazwaZasobuObrazu(plik);
    HRSRC zasob = FindResourceW(modul_, nazwa.c_str(), MAKEINTRESOURCEW(10));  // RT_RCDATA
    if (!zasob) return nullptr;
    HGLOBAL dane = LoadResource(modul_, zasob);
    const DWORD rozmiar = SizeofResource(modul_, zasob);
    auto* bajty = static_cast<BYTE*>(LockResource(dane));
    if (!bajty || rozmiar == 0) return nullptr;

    Com<IWICStream> strumien;
    Com<IWICBitmapDecoder> dekoder;
    Com<IWICBitmapFrameDecode> klatka;
    if (FAILED(fabryka_->CreateStream(&strumien)) ||
        FAILED(strumien->InitializeFromMemory(bajty, rozmiar)) ||
        FAILED(fabryka_->CreateDecoderFromStream(strumien.get(), nullptr,
                                                 WICDecodeMetadataCacheOnDemand, &dekoder)) ||
        FAILED(dekoder->GetFrame(0, &klatka)))
        return nullptr;

    UINT w = 0, h = 0;
    klatka->GetSize(&w, &h);
    IWICBitmapSource* zrodlo = klatka.get();
    Com<IWICBitmapScaler> skaler;
    if (szerokosc > 0 && wysokosc > 0 &&
        (static_cast<UINT>(szerokosc) != w || static_cast<UINT>(wysokosc) != h)) {
        if (FAILED(fabryka_->CreateBitmapScaler(&skaler)) ||
            FAILED(skaler->Initialize(klatka.get(), static_cast<UINT>(szerokosc),
                                      static_cast<UINT>(wysokosc), WICBitmapInterpolationModeFant)))
            return nullptr;
        zrodlo = skaler.get();
        w = static_cast<UINT>(szerokosc);
        h = static_cast<UINT>(wysokosc);
    }
    Com<IWICFormatConverter> konwerter;
    if (FAILED(fabryka_->CreateFormatConverter(&konwerter)) ||
        FAILED(konwerter->Initialize(zrodlo, GUID_WICPixelFormat32bppBGR, WICBitmapDitherTypeNone,
                                     nullptr, 0.0, WICBitmapPaletteTypeCustom)))
        return nullptr;

    BITMAPINFO opis{};
    opis.bmiHeader.biSize = sizeof opis.bmiHeader;
    opis.bmiHeader.biWidth = static_cast<LONG>(w);
    opis.bmiHeader.biHeight = -static_cast<LONG>(h);  // top-down, as WIC delivers the rows
    opis.bmiHeader.biPlanes = 1;
    opis.bmiHeader.biBitCount = 32;
    opis.bmiHeader.biCompression = BI_RGB;
    void* piksele = nullptr;
    HBITMAP obraz = CreateDIBSection(nullptr, &opis, DIB_RGB_COLORS, &piksele, nullptr, 0);
    if (!obraz) return nullptr;
    const UINT wiersz = w * 4;
    if (FAILED(konwerter->CopyPixels(nullptr, wiersz, wiersz * h, static_cast<BYTE*>(piksele)))) {
        DeleteObject(obraz);
        return nullptr;
    }
    wynik = obraz;
    return wynik;
}
