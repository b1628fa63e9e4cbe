#pragma once
// TFormInstal: the installation page. The form is never shown; its panel
// PanelInstalacji is moved onto the main window when the form is created.
#include <QWidget>
#include <QPointer>
#include <QString>
#include <memory>
#include <string>

#include "Kontrolki.h"
#include "Srodowisko.h"
#include "Uslugi.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class IStronaInstalacji;
class StronaQt;

// A button's hint: its tooltip while it is enabled, none while it is disabled.
// The page's buttons keep to that whoever enables or disables them.
void UstawPodpowiedz(QWidget* przycisk, const QString& podpowiedz);
void OdswiezPodpowiedz(QWidget* przycisk);

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
    StronaQt& StronaStrony();

    // Sets Edit1's text; Edit1Change runs only when the text really changes.
    void UstawTekstEdit1(const std::u16string& tekst);

private:
    void UtworzProjekt();
    Srodowisko SrodowiskoStrony();
    template <typename Krok>
    void WykonajKrok(Krok krok);
    UslugiInterfejsu& uslugi_;
    std::unique_ptr<StronaQt> strona_;
    QPointer<QWidget> panel_;  // gone already when the main window went first
    QString tekstEdit1_;  // the text Edit1Change last saw
};

extern TFormInstal* FormInstal;
