#pragma once
// The Qt views of the model's controls: one thin class per kind. A view makes
// its native widget, mirrors every property change the model reports into it
// (reading the new value from the model), and turns the user's actions into
// the model's events. Which control is enabled, what a click means, when a
// handler runs: all of that is decided in the model and the forms.
#include <QAbstractScrollArea>
#include <QEventLoop>
#include <QHash>
#include <QPointF>
#include <QGroupBox>
#include <QObject>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QRegion>
#include <QTimer>
#include <QWidget>
#include <vector>

#include "Kontrolki.h"
#include "Zaplecze.h"

class QButtonGroup;
class QRadioButton;
class WidokQt;

// Makes the Qt views, and keeps what they share: which view a widget or a
// model control belongs to, where the last press began (a drag starts
// there), and the modal loops that run, so that ending the application ends
// them all.
class FabrykaWidokowQt : public IFabrykaWidokow {
public:
    std::unique_ptr<IWidokFormy> Utworz(TForm& forma) override;
    std::unique_ptr<IWidokKontrolki> Utworz(TPanel& panel) override;
    std::unique_ptr<IWidokKontrolki> Utworz(TLabel& etykieta) override;
    std::unique_ptr<IWidokKontrolki> Utworz(TImage& obraz) override;
    std::unique_ptr<IWidokKontrolki> Utworz(TGroupBox& ramka) override;
    std::unique_ptr<IWidokKontrolki> Utworz(TButton& przycisk) override;
    std::unique_ptr<IWidokKontrolki> Utworz(TCheckBox& pole) override;
    std::unique_ptr<IWidokKontrolki> Utworz(TRadioGroup& grupa) override;
    std::unique_ptr<IWidokKontrolki> Utworz(TEdit& pole) override;
    std::unique_ptr<IWidokKontrolki> Utworz(TListBox& lista) override;
    std::unique_ptr<IWidokKontrolki> Utworz(TProgressBar& pasek) override;
    std::unique_ptr<IWidok> Utworz(TTimer& zegar) override;

    // The view of a control; null before it is realised and for a timer.
    WidokQt* Widok(const TComponent& skladnik) const { return widoki_.value(&skladnik, nullptr); }
    // The view a widget belongs to: its own, or its nearest parent's.
    WidokQt* WidokWidzetu(const QWidget* widzet) const;
    // The widget of a control's view, or null.
    QWidget* Widzet(const TComponent& skladnik) const;

    // Ends every modal loop; none starts afterwards.
    void Zakoncz();
    bool Zakonczona() const { return zakonczona_; }

private:
    friend class WidokQt;
    friend class WidokFormy;
    QHash<const QWidget*, WidokQt*> widzety_;
    QHash<const TComponent*, WidokQt*> widoki_;
    std::vector<QEventLoop*> petle_;
    bool zakonczona_ = false;
    QPointF nacisk_;
};

// The view of a control: it owns one widget.
class WidokQt : public QObject, public virtual IWidokKontrolki {
public:
    WidokQt(FabrykaWidokowQt& fabryka, TControl& kontrolka);
    ~WidokQt() override;

    TControl& Kontrolka() const { return k_; }
    QWidget* Widzet() const { return w_; }
    // Where the widgets of the children go: the widget itself, or a form's
    // client area.
    virtual QWidget* Obszar() const { return w_; }
    // The widget that takes the keyboard focus for the control.
    virtual QWidget* WidzetFokusu() const { return w_; }

    void Zmiana(TZmiana co, int indeks) override;
    // Paints the pending changes now, without waiting for the event loop.
    void OdmalujTeraz() override;

protected:
    // Made by the subclass: the widget goes under the parent's view and is
    // watched and registered; the model then gives it every property.
    void Przyjmij(QWidget* widzet, bool naciski);
    // The part of a change that depends on the kind.
    virtual void Odczytaj(TZmiana co, int indeks);
    void UstawKolorTekstu(QPalette::ColorRole rola, bool tylkoWlaczony = false);
    void UstawTlo(bool wypelnij);
    bool eventFilter(QObject* obiekt, QEvent* zdarzenie) override;

    FabrykaWidokowQt& f_;
    TControl& k_;
    QPointer<QWidget> w_;

private:
    void UstawRodzica();
    bool naciski_ = false;  // presses on the widget itself are the control's own (no native handling)
};

// A form: a borderless top-level window with its client area inside
// BorderWidth pixels. Reports closing, moving, the first paint and the keys
// Enter and Escape that no control took; follows the mouse in a drag where
// the system cannot move the window.
class WidokFormy : public WidokQt, public IWidokFormy {
public:
    WidokFormy(FabrykaWidokowQt& fabryka, TForm& forma);
    ~WidokFormy() override;

    QWidget* Obszar() const override { return obszar_; }

    void PetlaModalna() override;
    void Przeciagnij() override;
    // Qt scales the window by itself: the model keeps its design pixels.
    int Dpi() const override { return 96; }

protected:
    void Odczytaj(TZmiana co, int indeks) override;
    bool eventFilter(QObject* obiekt, QEvent* zdarzenie) override;

private:
    // Moves the window with the mouse until the button is released.
    void PodazajZaMysza(QPointF punktNacisku);
    // The window's region: its rectangle with the corners rounded.
    void Przytnij();

    TForm& forma_;
    QPointer<QWidget> obszar_;
    QSize przyciety_;
    TRozmiar zaokraglenie_;
    QEventLoop* petla_ = nullptr;
    bool podaza_ = false;
    QPoint chwyt_;
};

// A push button; with a glyph, the glyph 2 pixels from the left edge and the
// caption centred in the rest, as a button with a glyph draws itself.
class PrzyciskQt : public QPushButton {
public:
    using QPushButton::QPushButton;
    void UstawGlif(TGlif glif);

protected:
    void paintEvent(QPaintEvent* zdarzenie) override;

private:
    QPixmap glif_;
};

// A group box of radio buttons, placed where the model's radio group puts
// its items.
class GrupaOpcjiQt : public QGroupBox {
public:
    explicit GrupaOpcjiQt(const TRadioGroup& grupa);
    void UstawElementy(const std::vector<std::u16string>& elementy);
    void Rozmiesc();
    void Zaznacz(int indeks);
    const std::vector<QRadioButton*>& Przyciski() const { return przyciski_; }
    QButtonGroup* Grupa() const { return grupa_; }

protected:
    void resizeEvent(QResizeEvent* zdarzenie) override;

private:
    const TRadioGroup& r_;
    std::vector<QRadioButton*> przyciski_;
    QButtonGroup* grupa_;
};

// A list box of fixed-height items, drawn from the model's items. Only what
// changed is painted: an added or changed item's row, the scroll bar, the
// whole view only when it scrolls or is cleared.
class ListaQt : public QAbstractScrollArea {
public:
    ListaQt(TListBox& lista, QWidget* rodzic);

    void Dodany(int indeks);
    void Zmieniony(int indeks);
    void CalaZmieniona();
    void Przewinieta();
    void Wybrany(int poprzedni);
    void OdmalujTeraz();
    QRect ProstokatElementu(int indeks) const;

protected:
    void paintEvent(QPaintEvent* zdarzenie) override;
    void mousePressEvent(QMouseEvent* zdarzenie) override;
    void keyPressEvent(QKeyEvent* zdarzenie) override;
    void scrollContentsBy(int dx, int dy) override;
    void focusInEvent(QFocusEvent* zdarzenie) override;
    void focusOutEvent(QFocusEvent* zdarzenie) override;
    bool eventFilter(QObject* obiekt, QEvent* zdarzenie) override;

private:
    void UstawPasek();
    QRect Suwak() const;
    void Brudny(const QRect& prostokat);
    void WybierzPrzezUzytkownika(int indeks);
    TListBox& l_;
    QRegion brudne_;
    bool pasekBrudny_ = false;
    bool ustawiamPasek_ = false;
};

// A timer of a form: no widget, a QTimer ticking the model while enabled.
class WidokZegara : public QObject, public virtual IWidok {
public:
    explicit WidokZegara(TTimer& zegar);
    void Zmiana(TZmiana co, int indeks) override;

private:
    TTimer& t_;
    QTimer timer_;
};
