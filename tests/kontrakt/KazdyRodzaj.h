#pragma once
// One control of every kind the forms use, on a panel that fills a 600 x 400
// form: the window the backends' tests look at. The places are chosen so
// that nothing overlaps; the captions carry access keys where the forms'
// own do.
#include "Kontrolki.h"

struct KazdyRodzaj {
    void UtworzKazdyRodzaj(TForm& forma) {
        forma.SetBounds(100, 100, 600, 400);
        forma.Caption = u"Okno testowe";
        panel = forma.Utworz<TPanel>(nullptr, "Panel");
        panel->SetBounds(0, 0, 600, 400);
        etykieta = forma.Utworz<TLabel>(panel, "Etykieta");
        etykieta->SetBounds(20, 20, 0, 0);
        etykieta->Caption = u"Warunki licencji";
        grupa = forma.Utworz<TRadioGroup>(panel, "Grupa");
        grupa->SetBounds(8, 100, 122, 76);
        grupa->Caption = u"-";
        grupa->Items = {u"Akceptuję", u"Nie akceptuję"};
        przycisk = forma.Utworz<TButton>(panel, "Przycisk");
        przycisk->SetBounds(10, 300, 100, 30);
        przycisk->Caption = u"&Zamknij";
        drugi = forma.Utworz<TButton>(panel, "Drugi");
        drugi->SetBounds(120, 300, 100, 30);
        drugi->Caption = u"<< Wstecz";
        pole = forma.Utworz<TCheckBox>(panel, "Pole");
        pole->SetBounds(300, 20, 150, 20);
        pole->Caption = u"Skrót na &Pulpicie";
        edycja = forma.Utworz<TEdit>(panel, "Edycja");
        edycja->SetBounds(300, 60, 100, 22);
        lista = forma.Utworz<TListBox>(panel, "Lista");
        lista->SetBounds(300, 100, 200, 100);
        pasek = forma.Utworz<TProgressBar>(panel, "Pasek");
        pasek->SetBounds(10, 250, 300, 13);
        ramka = forma.Utworz<TGroupBox>(panel, "Ramka");
        ramka->SetBounds(300, 210, 183, 85);
        ramka->Caption = u"Producent";
    }

    TPanel* panel = nullptr;
    TLabel* etykieta = nullptr;
    TRadioGroup* grupa = nullptr;
    TButton* przycisk = nullptr;
    TButton* drugi = nullptr;
    TCheckBox* pole = nullptr;
    TEdit* edycja = nullptr;
    TListBox* lista = nullptr;
    TProgressBar* pasek = nullptr;
    TGroupBox* ramka = nullptr;
};
