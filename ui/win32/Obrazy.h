#pragma once
// The installer's pictures: the JPEG files of ui/obrazy, built into the
// program as resources (obrazy.rc) and decoded by the Windows Imaging
// Component, which Windows has and Wine provides.
#include <windows.h>

#include <map>
#include <string>
#include <tuple>

struct IWICImagingFactory;

// The resource name of a picture file: its name in upper case with the dot
// as an underscore ("tlo.jpg" is TLO_JPG).
std::wstring NazwaZasobuObrazu(const std::u16string& plik);

class Obrazy {
public:
    explicit Obrazy(HINSTANCE modul);
    ~Obrazy();
    Obrazy(const Obrazy&) = delete;
    Obrazy& operator=(const Obrazy&) = delete;

    // The picture as a 32-bit top-down bitmap, at its own size (szerokosc
    // and wysokosc 0) or scaled to the given size; decoded once per size and
    // kept for the run. Null when the program has no such picture or it
    // cannot be decoded.
    HBITMAP Daj(const std::u16string& plik, int szerokosc = 0, int wysokosc = 0);
    // The picture's own size; 0 × 0 when it cannot be had.
    SIZE Rozmiar(const std::u16string& plik);

private:
    HINSTANCE modul_;
    IWICImagingFactory* fabryka_ = nullptr;
    std::map<std::tuple<std::u16string, int, int>, HBITMAP> pamiec_;
};
