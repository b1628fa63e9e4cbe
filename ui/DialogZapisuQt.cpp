#include "DialogZapisuQt.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>

#include "ArkMain.h"
#include "platform/SystemPlikow.h"

std::optional<std::u16string> DialogZapisuQt::Wykonaj(const std::u16string& tytul,
                                                      const std::u16string& nazwaPliku,
                                                      const std::u16string& folderPoczatkowy) {
    const platforma::ISystemPlikow& pliki = pliki_ ? *pliki_ : FormMain->Uslugi().pliki;
    QFileDialog dialog(QApplication::activeWindow(), QString::fromStdU16String(tytul));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The chosen file is never written, so an existing one needs no warning.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    // A drive given as "C:" means its root, as the Windows dialog takes it.
    std::u16string folder = folderPoczatkowy;
    if (folder.size() == 2 && folder[1] == u':') folder += u'\\';
    const std::u16string folderSystemu = pliki.NaSciezkeSystemu(folder);
    if (!folderSystemu.empty()) dialog.setDirectory(QString::fromStdU16String(folderSystemu));
    dialog.selectFile(QString::fromStdU16String(nazwaPliku));
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList wybrane = dialog.selectedFiles();
    if (wybrane.isEmpty()) return std::nullopt;
    const std::u16string sciezka =
        pliki.ZeSciezkiSystemu(QDir::toNativeSeparators(wybrane.first()).toStdU16String());
    // A file outside every drive has no Windows path to offer.
    if (sciezka.empty()) return std::nullopt;
    return sciezka;
}
