#pragma once
// The file system of a POSIX system, reached through Windows paths mapped as
// Wine maps them (SciezkiWine.h). Each operation imitates the Windows call it
// stands for, as far as the installer relies on it.
#include "SciezkiWine.h"
#include "platform/SystemPlikow.h"

namespace platforma {

class SystemPlikowPosix : public ISystemPlikow {
public:
    explicit SystemPlikowPosix(UstawieniaWine ustawienia = UstawieniaWine::ZeSrodowiska());

    bool PlikIstnieje(const std::u16string& sciezka) const override;
    bool FolderIstnieje(const std::u16string& sciezka) const override;
    bool UtworzFolder(const std::u16string& sciezka) override;
    StanFolderuProgramu PrzygotujFolderProgramu(const std::u16string& sciezka) override;
    bool UstawAtrybuty(const std::u16string& sciezka, std::uint32_t atrybuty) override;
    bool KopiujPlik(const std::u16string& zrodlo, const std::u16string& cel,
                    bool bladGdyIstnieje) override;
    bool UsunPlik(const std::u16string& sciezka) override;
    bool UsunFolder(const std::u16string& sciezka) override;
    std::unique_ptr<IPlikTymczasowy> UtworzPlikTymczasowy(const std::u16string& cel,
                                                          std::u16string& blad) override;
    int UsunPozostaleTymczasowe(const std::u16string& cel) override;
    std::u16string NaSciezkeSystemu(const std::u16string& sciezka) const override;
    std::u16string ZeSciezkiSystemu(const std::u16string& sciezkaSystemu) const override;

    const SciezkiWine& Sciezki() const { return sciezki_; }

private:
    SciezkiWine sciezki_;
};

}  // namespace platforma
