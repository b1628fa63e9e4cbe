#pragma once
// One row of a form's design table: what the form designer stores for a
// control (place, caption, font, colour, initial state), given as data. A
// form's design is one Kontrolka<...>(...) call per control, in declaration
// order, so that it reads like the design tables:
//
//   LabelInfo = Kontrolka<TLabel>(*this, PanelInfo, "LabelInfo",
//       {.miejsce = {31, 4}, .napis = u"Warunki licencji", .czcionka = Pismo(19, clBlue)});
//
// A field the control's kind does not have must be left at its default: a row
// that sets one is refused when the form is made (the forms' tests make
// every form), so that no designed value is dropped without a word.
#include <algorithm>
#include <optional>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <vector>

#include "Kontrolki.h"

struct Wiersz {
    // Left, top, width, height relative to the parent's client area. A label
    // with AutoSize takes its width and height from its text, a word-wrapped
    // one its height.
    TProstokat miejsce{};
    std::u16string napis{};       // Caption; the text of an edit
    std::u16string podpowiedz{};  // Hint
    std::optional<TFont> czcionka{};  // none: the parent's font
    TColor kolor = clDefault;   // Color (the background)
    bool kolorRodzica = false;  // ParentColor
    bool widoczny = true;
    bool wlaczony = true;
    TCursor kursor = TCursor::crDefault;

    // TLabel
    bool autoRozmiar = true;
    bool zawijanie = false;
    TAlignment wyrownanie = TAlignment::taLeftJustify;
    bool przezroczysta = true;
    // TPanel
    bool tloRodzica = false;  // ParentBackground
    // TImage
    std::u16string obraz{};
    bool rozciagniety = false;
    // TRadioGroup
    std::vector<std::u16string> elementy{};
    int kolumny = 1;
    int wybrany = -1;
    // TCheckBox
    bool zaznaczony = false;
    // TEdit
    bool tylkoDoOdczytu = false;
    // TButton
    TGlif glif = TGlif::Brak;
    bool domyslny = false;
    bool anulujacy = false;
};

// A font of the form designer: "MS Sans Serif" of the given character height
// in pixels unless another face is named.
inline TFont Pismo(int wysokosc, TColor kolor = clWindowText, bool pogrubione = false,
                   bool podkreslone = false, std::u16string kroj = u"MS Sans Serif") {
    return TFont{std::move(kroj), wysokosc, pogrubione, podkreslone, kolor};
}

// Refuses a row that sets a field of a property the control's kind does not
// have (TComponent::Wlasciwosci).
inline void SprawdzWiersz(const TControl& k, const Wiersz& w) {
    const Wiersz d{};
    const std::span<const TZmiana> ma = k.Wlasciwosci();
    auto pole = [&](bool ustawione, TZmiana co, const char* nazwa) {
        if (ustawione && std::find(ma.begin(), ma.end(), co) == ma.end())
            throw std::logic_error("Wiersz projektu kontrolki " + k.Name + " ustawia pole ." + nazwa +
                                   ", którego jej rodzaj nie ma.");
    };
    pole(w.autoRozmiar != d.autoRozmiar, TZmiana::AutoRozmiar, "autoRozmiar");
    pole(w.zawijanie != d.zawijanie, TZmiana::Zawijanie, "zawijanie");
    pole(w.wyrownanie != d.wyrownanie, TZmiana::Wyrownanie, "wyrownanie");
    pole(w.przezroczysta != d.przezroczysta, TZmiana::Przezroczystosc, "przezroczysta");
    pole(w.tloRodzica != d.tloRodzica, TZmiana::TloRodzica, "tloRodzica");
    pole(w.obraz != d.obraz, TZmiana::Obraz, "obraz");
    pole(w.rozciagniety != d.rozciagniety, TZmiana::Rozciagniecie, "rozciagniety");
    pole(w.elementy != d.elementy, TZmiana::Elementy, "elementy");
    pole(w.kolumny != d.kolumny, TZmiana::Kolumny, "kolumny");
    pole(w.wybrany != d.wybrany, TZmiana::Wybor, "wybrany");
    pole(w.zaznaczony != d.zaznaczony, TZmiana::Zaznaczenie, "zaznaczony");
    pole(w.tylkoDoOdczytu != d.tylkoDoOdczytu, TZmiana::TylkoDoOdczytu, "tylkoDoOdczytu");
    pole(w.glif != d.glif, TZmiana::Glif, "glif");
    pole(w.domyslny != d.domyslny, TZmiana::Domyslny, "domyslny");
    pole(w.anulujacy != d.anulujacy, TZmiana::Anulujacy, "anulujacy");
}

// Makes the control on `rodzic` and gives it the row's properties. The font
// goes first and the caption last, so that a label measures its text in its
// own font and, when word-wrapped, at its own width.
template <typename T>
T* Kontrolka(TForm& forma, TControl* rodzic, std::string nazwa, const Wiersz& w) {
    T* k = forma.Utworz<T>(rodzic, std::move(nazwa));
    SprawdzWiersz(*k, w);
    if (w.czcionka) k->Font = *w.czcionka;
    k->Color = w.kolor;
    k->ParentColor = w.kolorRodzica;
    k->Cursor = w.kursor;
    if constexpr (std::is_same_v<T, TLabel>) {
        k->AutoSize = w.autoRozmiar;
        k->WordWrap = w.zawijanie;
        k->Alignment = w.wyrownanie;
        k->Transparent = w.przezroczysta;
    }
    if constexpr (std::is_same_v<T, TPanel>) k->ParentBackground = w.tloRodzica;
    k->SetBounds(w.miejsce.Left, w.miejsce.Top, w.miejsce.Width, w.miejsce.Height);
    if constexpr (std::is_same_v<T, TImage>) {
        k->Stretch = w.rozciagniety;
        k->Picture = w.obraz;
    }
    if constexpr (std::is_same_v<T, TRadioGroup>) {
        k->Columns = w.kolumny;
        k->Items = w.elementy;
        k->ItemIndex = w.wybrany;
    }
    if constexpr (std::is_same_v<T, TListBox>) {
        for (const std::u16string& element : w.elementy) k->Items.Add(element);
        k->ItemIndex = w.wybrany;
    }
    if constexpr (std::is_same_v<T, TCheckBox>) k->Checked = w.zaznaczony;
    if constexpr (std::is_same_v<T, TEdit>) {
        k->ReadOnly = w.tylkoDoOdczytu;
        k->Text = w.napis;
    } else {
        k->Caption = w.napis;
    }
    if constexpr (std::is_same_v<T, TButton>) {
        k->Glyph = w.glif;
        k->Default = w.domyslny;
        k->Cancel = w.anulujacy;
    }
    k->Hint = w.podpowiedz;
    k->Visible = w.widoczny;
    k->Enabled = w.wlaczony;
    return k;
}
