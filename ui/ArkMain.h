#pragma once
// TFormMain: the installer's only visible window, with the licence page, the
// place of the installation page and the completion view.
#include <memory>
#include <string>

#include "Kontrolki.h"
#include "Uslugi.h"

class TFormMain : public TForm {
public:
    // Builds the design, realises it on the application's backend, then runs
    // FormCreate. The first one made becomes FormMain and the application's
    // main window.
    explicit TFormMain(UslugiInterfejsu& uslugi);
    ~TFormMain() override;

    UslugiInterfejsu& Uslugi() const { return uslugi_; }

    // On the window.
    TPanel* PanelInfo = nullptr;
    TImage* Image9 = nullptr;
    TLabel* LabelInfo = nullptr;
    TImage* Image6 = nullptr;
    TPanel* PanelLic = nullptr;
    TPanel* PanelKoniec = nullptr;
    TTimer* Timer1 = nullptr;
    std::unique_ptr<TSaveDialog> SDFile1;

    // On PanelKoniec.
    TLabel* LabelKoniec = nullptr;
    TImage* Image7 = nullptr;
    TImage* Image8 = nullptr;

    // On PanelLic.
    TLabel* LabelHttp = nullptr;
    TLabel* Label5 = nullptr;
    TRadioGroup* RGAkceptacja = nullptr;
    TGroupBox* GroupBox1 = nullptr;
    TLabel* StaticTextStudio = nullptr;
    TImage* Image1 = nullptr;
    TImage* Image2 = nullptr;
    TGroupBox* GroupBox2 = nullptr;
    TLabel* LabelWWW = nullptr;
    TLabel* LabelTelefon1 = nullptr;
    TLabel* LabelTelefon2 = nullptr;
    TLabel* StaticText3 = nullptr;
    TGroupBox* GroupBox3 = nullptr;
    TLabel* LabelEmail = nullptr;
    TButton* BitBtn1 = nullptr;
    TGroupBox* GroupBox4 = nullptr;
    TLabel* LabelNazwa = nullptr;
    TLabel* LabelMail = nullptr;
    TEdit* EditNazwa = nullptr;
    TEdit* EditMail = nullptr;
    TListBox* ListBox1 = nullptr;

    // Handlers.
    void FormCreate();
    void FormMouseDown(TControl& nadawca, TMouseButton przycisk, int x, int y);
    void LabelWWWClick();
    void BitBtn1Click();
    // The agreement presentation (Prezentacja.cpp).
    void Timer1Timer();
    // Shows and prepares the installation page (Instal.cpp, with that page).
    void RGAkceptacjaClick();
    // For an empty name: DyskInstalacji, at once, without a dialog.
    std::u16string LokalizacjaFolderu(const std::u16string& nazwaPliku);

private:
    void Projekt();
    UslugiInterfejsu& uslugi_;
};

// The application's main window, set when it is made.
extern TFormMain* FormMain;
