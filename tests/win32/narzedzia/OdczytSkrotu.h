#pragma once
// A link file read back through the shell's own object: IShellLinkW after
// IPersistFile::Load. Shared by the COM link tests and the comparison tool.
#include <windows.h>
#include <objbase.h>
#include <objidl.h>
#include <shlguid.h>
#include <shobjidl.h>

#include <string>

#include "PolaSkrotu.h"

// Fills `pola` with what IShellLinkW reports for the link at `plik`. COM must
// be initialised on the calling thread. False when the object cannot be made
// or the file not loaded.
inline bool WczytajPrzezPowloke(const wchar_t* plik, PolaSkrotu& pola) {
    IShellLinkW* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link)))) {
        return false;
    }
    IPersistFile* trwaly = nullptr;
    link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&trwaly));
    const bool wczytany = trwaly && SUCCEEDED(trwaly->Load(plik, STGM_READ));
    if (wczytany) {
        auto tekst = [](const wchar_t* b) { return std::u16string(reinterpret_cast<const char16_t*>(b)); };
        wchar_t b[1024];
        b[0] = 0;
        link->GetPath(b, 1024, nullptr, SLGP_RAWPATH);
        pola.sciezka = tekst(b);
        b[0] = 0;
        link->GetWorkingDirectory(b, 1024);
        pola.katalogRoboczy = tekst(b);
        b[0] = 0;
        link->GetArguments(b, 1024);
        pola.argumenty = tekst(b);
        b[0] = 0;
        link->GetDescription(b, 1024);
        pola.opis = tekst(b);
        b[0] = 0;
        int numer = 0;
        link->GetIconLocation(b, 1024, &numer);
        pola.ikona = tekst(b);
        pola.numerIkony = numer;
        int rodzaj = 0;
        link->GetShowCmd(&rodzaj);
        pola.rodzajOkna = rodzaj;
        WORD klawisz = 0;
        link->GetHotkey(&klawisz);
        pola.klawisz = klawisz;
    }
    if (trwaly) trwaly->Release();
    link->Release();
    return wczytany;
}
