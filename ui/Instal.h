#pragma once
// TFormInstal: the installation page. The form is never shown; its panel
// PanelInstalacji is moved onto the main window when the form is created.
#include <QWidget>
#include <memory>

#include "Kontrolki.h"
#include "Uslugi.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class IStronaInstalacji;

class TFormInstal : public QWidget {
    Q_OBJECT
public:
    // Loads the design, then runs FormCreate. FormMain must exist.
    explicit TFormInstal(UslugiInterfejsu& uslugi, QWidget* parent = nullptr);
    ~TFormInstal() override;

    QWidget* PanelInstalacji = nullptr;
    QPushButton* SBPrzegladaj = nullptr;
    QLabel* LabelFolder = nullptr;
    QLabel* Image2 = nullptr;
    QLabel* Image3 = nullptr;
    QLabel* Image4 = nullptr;
    QLabel* Image5 = nullptr;
    QLabel* Label3 = nullptr;
    TRadioGroup* RGWersja = nullptr;
    QLineEdit* Edit1 = nullptr;
    QCheckBox* CBSkrotPulpit = nullptr;
    QCheckBox* CBSkrotMenuStart = nullptr;
    QPushButton* BBWstecz = nullptr;
    QPushButton* BBClose = nullptr;
    QPushButton* BBInstal = nullptr;
    QPushButton* BBDeinstal = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    TRadioGroup* RGBit = nullptr;

    void FormCreate();
    void RGWersjaClick();
    void Edit1Change();
    void SBPrzegladajClick();
    void BBWsteczClick();
    void BBCloseClick();
    void BBInstalClick();
    void BBDeinstalClick();
    bool JestPoprzedniaInstalacja();

    // The page as the installing core sees it.
    IStronaInstalacji& Strona();

private:
    UslugiInterfejsu& uslugi_;
};

extern TFormInstal* FormInstal;
