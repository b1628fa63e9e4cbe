#pragma once
// TFormMain: the installer's only visible window, with the licence page, the
// place of the installation page and the completion view.
#include <QWidget>
#include <memory>
#include <string>

#include "Kontrolki.h"
#include "Uslugi.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTimer;

class TFormMain : public QWidget {
    Q_OBJECT
public:
    // Loads the design, then runs FormCreate.
    explicit TFormMain(UslugiInterfejsu& uslugi, QWidget* parent = nullptr);
    ~TFormMain() override;

    UslugiInterfejsu& Uslugi() { return uslugi_; }

    // Controls on the window.
    QWidget* PanelInfo = nullptr;
    QLabel* Image9 = nullptr;
    QLabel* LabelInfo = nullptr;
    QLabel* Image6 = nullptr;
    QWidget* PanelLic = nullptr;
    QWidget* PanelKoniec = nullptr;
    QTimer* Timer1 = nullptr;
    std::unique_ptr<TSaveDialog> SDFile1;

    // On PanelKoniec.
    QLabel* LabelKoniec = nullptr;
    QLabel* Image7 = nullptr;
    QLabel* Image8 = nullptr;

    // On PanelLic.
    QLabel* LabelHttp = nullptr;
    QLabel* Label5 = nullptr;
    TRadioGroup* RGAkceptacja = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    QLabel* StaticTextStudio = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* Image2 = nullptr;
    QGroupBox* GroupBox2 = nullptr;
    QLabel* LabelWWW = nullptr;
    QLabel* LabelTelefon1 = nullptr;
    QLabel* LabelTelefon2 = nullptr;
    QLabel* StaticText3 = nullptr;
    QGroupBox* GroupBox3 = nullptr;
    QLabel* LabelEmail = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QGroupBox* GroupBox4 = nullptr;
    QLineEdit* EditNazwa = nullptr;
    QLineEdit* EditMail = nullptr;
    QListWidget* ListBox1 = nullptr;

    // Handlers.
    void FormCreate();
    void LabelWWWClick();
    void BitBtn1Click();
    void Timer1Timer();
    // Shows and prepares the installation page (defined with that page, Instal.cpp).
    void RGAkceptacjaClick();
    // For an empty name: DyskInstalacji, at once, without a dialog.
    std::u16string LokalizacjaFolderu(const std::u16string& nazwaPliku);

protected:
    // Window drag: a left-button press on the background or the listed controls.
    bool eventFilter(QObject* obiekt, QEvent* zdarzenie) override;
    void mousePressEvent(QMouseEvent* zdarzenie) override;
    void mouseMoveEvent(QMouseEvent* zdarzenie) override;
    void mouseReleaseEvent(QMouseEvent* zdarzenie) override;
    void showEvent(QShowEvent* zdarzenie) override;

private:
    void FormMouseDown(Qt::MouseButton przycisk);
    void UtworzProjekt();
    // True when the press at this screen point lies on `obiekt` itself, not on
    // a control inside it (the press then belongs to that control).
    bool NaciskNaSamym(QObject* obiekt, const QPointF& punktEkranu) const;
    UslugiInterfejsu& uslugi_;
    // The drag that follows the mouse where the system cannot move the window.
    bool przeciaganie_ = false;
    QPoint chwytWOknie_;
    QPointF punktNacisku_;
};

// The application's main window, set at start-up.
extern TFormMain* FormMain;
