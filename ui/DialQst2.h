#pragma once
// The installer's own notice box FormQst: borderless, rounded, two centred
// lines and one "&Ok" button, shown modally over the main window.
#include <string>

#include <QPushButton>
#include <QWidget>

class QEventLoop;
class QLabel;

// The argument list of MessageBoxW: owner and style are ignored (callers pass 0).
int Informacja(void* wlasciciel, const std::u16string& tekst, const std::u16string& tytul,
               unsigned styl);

// Shows a notice and returns when it is closed, or at once when a box is
// already on screen (that box then shows the new texts).
void PokazKomunikat(const std::u16string& tytul, const std::u16string& linia1,
                    const std::u16string& linia2);

// A push button with its glyph 2 pixels from the left edge and the caption
// centred in the rest, as a button with a glyph draws itself.
class TBitBtn : public QPushButton {
    Q_OBJECT
public:
    TBitBtn(const QString& napis, const QPixmap& glif, QWidget* rodzic);
    QPixmap Glif() const { return glif_; }

protected:
    void paintEvent(QPaintEvent* zdarzenie) override;

private:
    QPixmap glif_;
};

class TFormQst : public QWidget {
    Q_OBJECT
public:
    TFormQst();
    ~TFormQst() override;

    // The controls, placed in the client area, which lies 3 pixels inside the
    // window on every side.
    QWidget* Obszar = nullptr;
    QWidget* Panel1 = nullptr;
    QLabel* Label1 = nullptr;
    QWidget* Panel2 = nullptr;
    QLabel* Label2 = nullptr;
    TBitBtn* B1 = nullptr;

    // Sets a label's text; the label takes the height of its wrapped text at
    // once and the labels below it follow.
    void UstawLinie(QLabel* etykieta, const QString& tekst);

    void FormShow();
    void B1Click();
    // The box has closed: the global reference is emptied; the caller then
    // disposes of the box.
    void FormClose();

    // 0 while the box waits; set when it is asked to close.
    int ModalResult = 0;
    // Shows the box modally and returns when it has been asked to close.
    void ShowModal();

protected:
    void keyPressEvent(QKeyEvent* zdarzenie) override;
    void closeEvent(QCloseEvent* zdarzenie) override;

private:
    void Ulozenie();
    QEventLoop* petla_ = nullptr;  // the modal wait, while it runs
};

// The box on screen, or null.
extern TFormQst* FormQst;
