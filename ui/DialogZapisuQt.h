#pragma once
// The file-save dialog of the running program: a Qt file dialog. Paths cross
// between Windows spelling and the system's own at this edge.
#include "Kontrolki.h"

namespace platforma {
class ISystemPlikow;
}

class DialogZapisuQt : public IDialogZapisu {
public:
    // Without a file system of its own the dialog converts paths with the
    // main window's.
    DialogZapisuQt() = default;
    explicit DialogZapisuQt(const platforma::ISystemPlikow& pliki) : pliki_(&pliki) {}

    // Nothing is written to the chosen file; only its path is returned.
    std::optional<std::u16string> Wykonaj(const std::u16string& tytul,
                                          const std::u16string& nazwaPliku,
                                          const std::u16string& folderPoczatkowy) override;

private:
    const platforma::ISystemPlikow* pliki_ = nullptr;
};
