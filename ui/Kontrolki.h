#pragma once
// Small controls the forms share: a radio group with an item index, and the
// file-save dialog with settable title, proposed name and initial folder.
#include <QGroupBox>
#include <QStringList>
#include <optional>
#include <string>
#include <vector>

class QRadioButton;
class QButtonGroup;

// A group box holding radio buttons in columns. ItemIndex is -1 when no item
// is selected. Clicked() is raised whenever the selection changes to an item,
// also when code selects it; selecting no item raises nothing.
class TRadioGroup : public QGroupBox {
    Q_OBJECT
public:
    TRadioGroup(const QString& caption, const QStringList& items, int columns, QWidget* parent);

    int ItemIndex() const { return indeks_; }
    void SetItemIndex(int indeks);
    QRadioButton* Item(int indeks) const { return przyciski_.at(static_cast<size_t>(indeks)); }
    int Count() const { return static_cast<int>(przyciski_.size()); }

signals:
    void Clicked();

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    void Rozmiesc();
    std::vector<QRadioButton*> przyciski_;
    QButtonGroup* grupa_;
    int kolumny_;
    int indeks_ = -1;
};

// How the file-save dialog is shown: a Qt dialog in the program, an answering
// fake in tests. Paths are Windows paths.
class IDialogZapisu {
public:
    virtual ~IDialogZapisu() = default;
    // The chosen full path, or nothing when the user cancels.
    virtual std::optional<std::u16string> Wykonaj(const std::u16string& tytul,
                                                  const std::u16string& nazwaPliku,
                                                  const std::u16string& folderPoczatkowy) = 0;
};

// SDFile1: the dialog's settings as properties, shown by Execute.
class TSaveDialog {
public:
    explicit TSaveDialog(IDialogZapisu& sposob) : sposob_(sposob) {}
    std::u16string Title;
    std::u16string FileName;    // proposed before, chosen full path after Execute
    std::u16string InitialDir;
    // True when the user chose a file; FileName then holds its full path.
    bool Execute();

private:
    IDialogZapisu& sposob_;
};
