#include "Czcionki.h"

#include <cwchar>
#include <optional>

#include "Win32Pomoc.h"

namespace {

constexpr wchar_t MS_SANS_SERIF[] = L"MS Sans Serif";

// TrueType faces that stand in for "MS Sans Serif", best first: its own
// TrueType twin (Windows 2000 and later), then the face that replaced it in
// the system's dialogs (Windows, and Wine's own fonts), then Arial.
constexpr const wchar_t* ZASTEPCZE[] = {L"Microsoft Sans Serif", L"Tahoma", L"Arial"};

LOGFONTW Opis(const wchar_t* kroj, int wysokosc, const TFont& czcionka) {
    LOGFONTW lf{};
    lf.lfHeight = wysokosc;
    lf.lfWeight = czcionka.Bold ? FW_BOLD : FW_NORMAL;
    lf.lfUnderline = czcionka.Underline ? TRUE : FALSE;
    lf.lfCharSet = EASTEUROPE_CHARSET;
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = DEFAULT_PITCH | FF_SWISS;
    wcsncpy(lf.lfFaceName, kroj, LF_FACESIZE - 1);
    return lf;
}

// What the system gives for a description.
Realizacja Zrealizuj(const LOGFONTW& lf) {
    HFONT czcionka = CreateFontIndirectW(&lf);
    const Realizacja r = ::Zrealizuj(czcionka);
    DeleteObject(czcionka);
    return r;
}

bool TenSamKroj(const std::wstring& a, const wchar_t* b) { return _wcsicmp(a.c_str(), b) == 0; }

// "MS Sans Serif" itself, when the system has it with the Central European
// character set and the Polish letters, and one of its bitmap sizes keeps
// the line of the height asked for within a pixel. A bitmap face has a few
// sizes only: at a scaled height (a window above 96 dpi) the system would
// give the nearest of them, and the TrueType stand-in keeps the line instead.
std::optional<LOGFONTW> MsSansSerif(const TFont& czcionka) {
    const LOGFONTW lf = Opis(MS_SANS_SERIF, -czcionka.Height, czcionka);
    const Realizacja r = Zrealizuj(lf);
    const int odchylenie = r.linia - LiniaZastepcza(czcionka.Height);
    if (TenSamKroj(r.kroj, MS_SANS_SERIF) && r.zestaw == EASTEUROPE_CHARSET && r.polskie && odchylenie >= -1 &&
        odchylenie <= 1)
        return lf;
    return std::nullopt;
}

// The size of a TrueType face whose line comes nearest to `linia` pixels.
// Faces round their heights differently (Tahoma has no 20-pixel line at
// all), so the nearest sizes are tried: a positive height asks for the whole
// line, a negative one for the character alone.
struct Proba {
    LOGFONTW opis;
    int roznica;      // of the line from the one asked for
    bool swojKroj;    // the system drew the face itself, not a substitute
};

std::optional<Proba> NajblizszyRozmiar(const wchar_t* kroj, int linia, const TFont& czcionka) {
    std::optional<Proba> najlepsza;
    for (int wysokosc : {linia, linia + 1, linia - 1, -czcionka.Height, linia + 2}) {
        const LOGFONTW lf = Opis(kroj, wysokosc, czcionka);
        const Realizacja r = Zrealizuj(lf);
        if (!r.polskie) return std::nullopt;
        const int roznica = r.linia > linia ? r.linia - linia : linia - r.linia;
        if (!najlepsza || roznica < najlepsza->roznica) najlepsza = Proba{lf, roznica, TenSamKroj(r.kroj, kroj)};
        if (roznica == 0) break;
    }
    return najlepsza;
}

// The stand-in: the first face that has the exact line under its own name;
// else the first the system gives the exact line under a substitute (Wine
// draws Arial as Liberation Sans, of the same metrics); else the nearest.
std::optional<LOGFONTW> Zastepcza(int linia, const TFont& czcionka) {
    std::optional<Proba> wlasna, podstawiona, najblizsza;
    for (const wchar_t* kroj : ZASTEPCZE) {
        const auto proba = NajblizszyRozmiar(kroj, linia, czcionka);
        if (!proba) continue;
        if (proba->roznica == 0 && proba->swojKroj && !wlasna) wlasna = proba;
        if (proba->roznica == 0 && !podstawiona) podstawiona = proba;
        if (!najblizsza || proba->roznica < najblizsza->roznica) najblizsza = proba;
    }
    for (const auto* wybor : {&wlasna, &podstawiona, &najblizsza})
        if (*wybor) return (*wybor)->opis;
    return std::nullopt;
}

}  // namespace

int LiniaZastepcza(int wysokoscZnaku) { return (wysokoscZnaku * 20 + 8) / 17; }

bool MaPolskieLitery(HDC dc) {
    const int ile = static_cast<int>(wcslen(POLSKIE_LITERY));
    WORD indeksy[32] = {};
    const DWORD wynik =
        GetGlyphIndicesW(dc, POLSKIE_LITERY, ile, indeksy, GGI_MARK_NONEXISTING_GLYPHS);
    if (wynik == GDI_ERROR) {
        // Some systems answer nothing for bitmap fonts: there the character
        // set tells, and the Central European one has every Polish letter.
        TEXTMETRICW tm{};
        return GetTextMetricsW(dc, &tm) && tm.tmCharSet == EASTEUROPE_CHARSET;
    }
    for (int i = 0; i < ile; ++i)
        if (indeksy[i] == 0xFFFF) return false;
    return true;
}

Realizacja Zrealizuj(HFONT czcionka) {
    Realizacja r;
    HDC dc = GetDC(nullptr);
    HGDIOBJ poprzednia = SelectObject(dc, czcionka);
    wchar_t nazwa[LF_FACESIZE] = {};
    GetTextFaceW(dc, LF_FACESIZE, nazwa);
    r.kroj = nazwa;
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    r.linia = tm.tmHeight;
    r.zestaw = tm.tmCharSet;
    r.polskie = MaPolskieLitery(dc);
    SelectObject(dc, poprzednia);
    ReleaseDC(nullptr, dc);
    return r;
}

Czcionki::~Czcionki() {
    for (auto& [klucz, czcionka] : pamiec_) DeleteObject(czcionka);
}

LOGFONTW Czcionki::Wybierz(const TFont& czcionka) {
    const std::wstring nazwa(platforma::Szeroki(czcionka.Name));
    if (!TenSamKroj(nazwa, MS_SANS_SERIF)) return Opis(nazwa.c_str(), -czcionka.Height, czcionka);
    if (auto wlasna = MsSansSerif(czcionka)) return *wlasna;
    if (auto zastepcza = Zastepcza(LiniaZastepcza(czcionka.Height), czcionka)) return *zastepcza;
    // No face passed: the system's own mapping of the name, as asked.
    return Opis(MS_SANS_SERIF, -czcionka.Height, czcionka);
}

HFONT Czcionki::Daj(const TFont& czcionka) {
    const auto klucz = std::make_tuple(czcionka.Name, czcionka.Height, czcionka.Bold, czcionka.Underline);
    if (auto it = pamiec_.find(klucz); it != pamiec_.end()) return it->second;
    const LOGFONTW lf = Wybierz(czcionka);
    HFONT wynik = CreateFontIndirectW(&lf);
    pamiec_.emplace(klucz, wynik);
    return wynik;
}
