#include "WidokiQt.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyleOptionButton>
#include <QStyleOptionSlider>
#include <QStyleOptionViewItem>
#include <QStylePainter>
#include <QWindow>
#include <algorithm>

#include "Aplikacja.h"
#include "CzcionkiQt.h"
#include "ZapleczeQt.h"

namespace {

QString Q(const std::u16string& tekst) { return QString::fromStdU16String(tekst); }

TMouseButton Przycisk(Qt::MouseButton przycisk) {
    switch (przycisk) {
    case Qt::RightButton:
        return TMouseButton::mbRight;
    case Qt::MiddleButton:
        return TMouseButton::mbMiddle;
    default:
        return TMouseButton::mbLeft;
    }
}

// Line breaks of any kind start a new line.
QString JednolitePodzialy(QString tekst) {
    tekst.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    tekst.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return tekst;
}

// A green check mark, drawn here so that the button needs no picture file.
QPixmap ZnakZatwierdzenia() {
    QPixmap glif(18, 18);
    glif.fill(Qt::transparent);
    QPainter p(&glif);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0, 150, 0), 3.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    const QPointF punkty[] = {{3.0, 9.5}, {7.0, 13.5}, {15.0, 4.0}};
    p.drawPolyline(punkty, 3);
    return glif;
}

}  // namespace

// ---------------------------------------------------------------- WidokQt

WidokQt::WidokQt(ZapleczeQt& zaplecze, TControl& kontrolka) : z_(zaplecze), k_(kontrolka) {}

WidokQt::~WidokQt() {
    if (w_) {
        z_.Wyrejestruj(w_);
        delete w_.data();
    }
}

void WidokQt::Przyjmij(QWidget* widzet, bool naciski) {
    w_ = widzet;
    naciski_ = naciski;
    z_.Zarejestruj(widzet, this);
    widzet->installEventFilter(this);
    if (k_.Rodzaj() != TRodzaj::Forma) UstawRodzica();
    for (TZmiana co : {TZmiana::Czcionka, TZmiana::Kolor, TZmiana::Napis, TZmiana::Wyrownanie, TZmiana::Obraz,
                       TZmiana::Elementy, TZmiana::Wybor, TZmiana::Zaznaczenie, TZmiana::Pasek, TZmiana::Wcisniety, TZmiana::Przyciski,
                       TZmiana::GornyElement, TZmiana::Miejsce, TZmiana::Dostepnosc, TZmiana::Podpowiedz,
                       TZmiana::Kursor, TZmiana::Widocznosc})
        Zmiana(co, -1);
}

// The widget goes under the view of the model's parent; a control without a
// parent (a page whose window went first) stays hidden on its own.
void WidokQt::UstawRodzica() {
    const TControl* rodzic = k_.Parent();
    QWidget* obszar = nullptr;
    if (rodzic && rodzic->Widok()) obszar = static_cast<WidokQt*>(rodzic->Widok())->Obszar();
    if (w_->parentWidget() != obszar) w_->setParent(obszar);
}

void WidokQt::Zmiana(TZmiana co, int indeks) {
    if (!w_) return;
    switch (co) {
    case TZmiana::Rodzic:
        UstawRodzica();
        Zmiana(TZmiana::Miejsce, -1);
        Zmiana(TZmiana::Widocznosc, -1);
        break;
    case TZmiana::Miejsce:
        if (k_.Rodzaj() != TRodzaj::Forma) w_->setGeometry(k_.Left, k_.Top, k_.Width, k_.Height);
        break;
    case TZmiana::Widocznosc:
        if (k_.Rodzaj() != TRodzaj::Forma) w_->setVisible(k_.Visible && w_->parentWidget());
        break;
    case TZmiana::Dostepnosc:
        w_->setEnabled(k_.Enabled);
        break;
    case TZmiana::Podpowiedz:
        w_->setToolTip(Q(k_.PokazywanaPodpowiedz()));
        break;
    case TZmiana::Czcionka:
        w_->setFont(CzcionkaQt(k_.Font));
        break;
    case TZmiana::Kursor:
        if (k_.Cursor == TCursor::crHandPoint)
            w_->setCursor(Qt::PointingHandCursor);
        else
            w_->unsetCursor();
        break;
    case TZmiana::Kolejnosc:
        w_->raise();
        break;
    default:
        break;
    }
    Odczytaj(co, indeks);
}

void WidokQt::Odczytaj(TZmiana, int) {}

void WidokQt::OdmalujTeraz() {
    if (w_) w_->repaint();
}

void WidokQt::UstawKolorTekstu(QPalette::ColorRole rola, bool tylkoWlaczony) {
    QPalette paleta = w_->palette();
    const QColor kolor = KolorQt(k_.Font().Color);
    if (tylkoWlaczony) {
        // Disabled, the text greys out like every other control's.
        paleta.setColor(QPalette::Active, rola, kolor);
        paleta.setColor(QPalette::Inactive, rola, kolor);
    } else {
        paleta.setColor(rola, kolor);
    }
    w_->setPalette(paleta);
}

void WidokQt::UstawTlo(bool wypelnij) {
    w_->setAutoFillBackground(wypelnij);
    if (!wypelnij) return;
    QPalette paleta = w_->palette();
    const TColor kolor = k_.KolorEfektywny();
    if (kolor != clDefault) paleta.setColor(QPalette::Window, KolorQt(kolor));
    w_->setPalette(paleta);
}

bool WidokQt::eventFilter(QObject* obiekt, QEvent* zdarzenie) {
    switch (zdarzenie->type()) {
    case QEvent::Paint:
        if (TForm* forma = k_.Forma(); forma && forma->Widok())
            static_cast<WidokFormy*>(forma->Widok())->ZglosMalowanie();
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        if (!naciski_) break;
        auto* mysz = static_cast<QMouseEvent*>(zdarzenie);
        auto* widzet = static_cast<QWidget*>(obiekt);
        // A press that a control inside left unhandled travels on to its
        // parents; it belongs to none of them.
        if (widzet->childAt(mysz->position().toPoint())) return false;
        z_.ZapiszNacisk(mysz->globalPosition());
        const QPoint w = mysz->position().toPoint();
        k_.ZdarzenieNacisku(Przycisk(mysz->button()), w.x(), w.y());
        return true;
    }
    case QEvent::MouseButtonRelease: {
        if (!naciski_) break;
        auto* mysz = static_cast<QMouseEvent*>(zdarzenie);
        auto* widzet = static_cast<QWidget*>(obiekt);
        if (mysz->button() == Qt::LeftButton && widzet->rect().contains(mysz->position().toPoint()))
            k_.ZdarzenieKlikniecia();
        return true;
    }
    default:
        break;
    }
    return QObject::eventFilter(obiekt, zdarzenie);
}

// ---------------------------------------------------------------- WidokFormy

namespace {

// The window of a form: the user's close and moves go to the model.
class OknoQt : public QWidget {
public:
    explicit OknoQt(TForm& forma) : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint), f_(forma) {}

protected:
    void closeEvent(QCloseEvent* zdarzenie) override {
        // The model decides; it hides the window when it really closes.
        zdarzenie->ignore();
        f_.ZdarzenieZamkniecia();
    }
    void moveEvent(QMoveEvent* zdarzenie) override {
        QWidget::moveEvent(zdarzenie);
        if (x() != f_.Left || y() != f_.Top) f_.ZdarzeniePrzesuniecia(x(), y());
    }
    void keyPressEvent(QKeyEvent* zdarzenie) override {
        switch (zdarzenie->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            f_.ZdarzenieKlawisza(TKlawisz::Enter);
            return;
        case Qt::Key_Escape:
            f_.ZdarzenieKlawisza(TKlawisz::Escape);
            return;
        default:
            QWidget::keyPressEvent(zdarzenie);
        }
    }

private:
    TForm& f_;
};

}  // namespace

WidokFormy::WidokFormy(ZapleczeQt& zaplecze, TForm& forma) : WidokQt(zaplecze, forma) {
    auto* okno = new OknoQt(forma);
    obszar_ = new QWidget(okno);
    obszar_->installEventFilter(this);
    z_.Zarejestruj(obszar_, this);
    Przyjmij(okno, true);
    Zmiana(TZmiana::Napis, -1);
}

WidokFormy::~WidokFormy() {
    // The modal loop waiting for this form ends with it.
    if (petla_) petla_->exit();
    if (obszar_) z_.Wyrejestruj(obszar_);
}

void WidokFormy::Odczytaj(TZmiana co, int) {
    TForm& f = Forma();
    switch (co) {
    case TZmiana::Miejsce: {
        w_->setFixedSize(f.Width, f.Height);
        w_->move(f.Left, f.Top);
        const int ramka = f.BorderWidth;
        obszar_->setGeometry(ramka, ramka, f.ClientWidth(), f.ClientHeight());
        break;
    }
    case TZmiana::Napis:
        w_->setWindowTitle(Q(f.Caption));
        break;
    case TZmiana::Kolor:
        UstawTlo(true);
        obszar_->setAutoFillBackground(false);
        break;
    case TZmiana::Widocznosc:
        if (f.Visible && !w_->isVisible()) {
            // A modal form keeps the other windows from input while it is on screen.
            w_->setWindowModality(f.Modalna() ? Qt::ApplicationModal : Qt::NonModal);
            if (!f.Glowna && Application && Application->MainForm && Application->MainForm->Widok()) {
                QWidget* glowne = static_cast<WidokQt*>(Application->MainForm->Widok())->Widzet();
                w_->winId();
                if (w_->windowHandle() && glowne->windowHandle())
                    w_->windowHandle()->setTransientParent(glowne->windowHandle());
            }
            w_->show();
            // As a window being shown is on Windows, it becomes the active one.
            w_->raise();
            w_->activateWindow();
            Zmiana(TZmiana::Fokus, -1);
        } else if (!f.Visible && w_->isVisible()) {
            w_->hide();
        }
        break;
    case TZmiana::Fokus: {
        TControl* aktywna = f.ActiveControl;
        QWidget* cel = w_;
        if (aktywna && aktywna->Widok()) cel = static_cast<WidokQt*>(aktywna->Widok())->WidzetFokusu();
        if (cel && cel->window() == w_ && cel != QApplication::focusWidget()) cel->setFocus(Qt::OtherFocusReason);
        break;
    }
    case TZmiana::ModalResult:
        if (f.ModalResult != mrNone && petla_) petla_->exit();
        break;
    default:
        break;
    }
}

void WidokFormy::ZglosMalowanie() {
    if (Forma().Visible && !Forma().Namalowana()) Forma().ZdarzenieMalowania();
}

void WidokFormy::PodazajZaMysza(QPointF punktNacisku) {
    podaza_ = true;
    chwyt_ = punktNacisku.toPoint() - w_->pos();
    w_->grabMouse();
}

bool WidokFormy::eventFilter(QObject* obiekt, QEvent* zdarzenie) {
    if (podaza_ && obiekt == w_) {
        if (zdarzenie->type() == QEvent::MouseMove) {
            w_->move(static_cast<QMouseEvent*>(zdarzenie)->globalPosition().toPoint() - chwyt_);
            return true;
        }
        if (zdarzenie->type() == QEvent::MouseButtonRelease) {
            podaza_ = false;
            w_->releaseMouse();
            return true;
        }
    }
    return WidokQt::eventFilter(obiekt, zdarzenie);
}

// ---------------------------------------------------------------- controls

namespace {

class WidokPanelu : public WidokQt {
public:
    WidokPanelu(ZapleczeQt& z, TPanel& panel) : WidokQt(z, panel) { Przyjmij(new QWidget, true); }

protected:
    void Odczytaj(TZmiana co, int) override {
        if (co == TZmiana::Kolor) UstawTlo(!static_cast<TPanel&>(k_).ParentBackground);
    }
};

class WidokEtykiety : public WidokQt {
public:
    WidokEtykiety(ZapleczeQt& z, TLabel& etykieta) : WidokQt(z, etykieta) {
        auto* l = new QLabel;
        l->setTextFormat(Qt::PlainText);
        Przyjmij(l, true);
    }

protected:
    void Odczytaj(TZmiana co, int) override {
        auto& e = static_cast<TLabel&>(k_);
        auto* l = static_cast<QLabel*>(w_.data());
        switch (co) {
        case TZmiana::Napis:
            l->setText(JednolitePodzialy(Q(e.Caption)));
            break;
        case TZmiana::Wyrownanie:
            l->setWordWrap(e.WordWrap);
            // A label of one line is as high as Qt's drawing of its text and
            // is drawn centred in it, as Qt's labels are; wrapped lines go
            // from the top.
            l->setAlignment((e.Alignment == TAlignment::taCenter ? Qt::AlignHCenter : Qt::AlignLeft) |
                            (e.WordWrap ? Qt::AlignTop : Qt::AlignVCenter));
            break;
        case TZmiana::Czcionka:
            UstawKolorTekstu(QPalette::WindowText);
            break;
        case TZmiana::Kolor:
            // A label that is not transparent is a static text: it paints its background.
            UstawTlo(!e.Transparent);
            break;
        default:
            break;
        }
    }
};

class WidokObrazu : public WidokQt {
public:
    WidokObrazu(ZapleczeQt& z, TImage& obraz) : WidokQt(z, obraz) { Przyjmij(new QLabel, true); }

protected:
    void Odczytaj(TZmiana co, int) override {
        if (co != TZmiana::Obraz) return;
        auto& o = static_cast<TImage&>(k_);
        auto* l = static_cast<QLabel*>(w_.data());
        // The installer's pictures are built in, by file name.
        l->setPixmap(o.Picture().empty() ? QPixmap() : QPixmap(QStringLiteral(":/obrazy/") + Q(o.Picture)));
        l->setScaledContents(o.Stretch);
    }
};

class WidokRamki : public WidokQt {
public:
    WidokRamki(ZapleczeQt& z, TGroupBox& ramka) : WidokQt(z, ramka) { Przyjmij(new QGroupBox, true); }

protected:
    void Odczytaj(TZmiana co, int) override {
        if (co == TZmiana::Napis) static_cast<QGroupBox*>(w_.data())->setTitle(Q(k_.Caption));
    }
};

class WidokPrzycisku : public WidokQt {
public:
    WidokPrzycisku(ZapleczeQt& z, TButton& przycisk) : WidokQt(z, przycisk) {
        auto* b = new PrzyciskQt;
        // Enter and Escape are the model's to handle (its Default and Cancel).
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, [this] { k_.ZdarzenieKlikniecia(); });
        Przyjmij(b, false);
    }

protected:
    void Odczytaj(TZmiana co, int) override {
        auto& p = static_cast<TButton&>(k_);
        auto* b = static_cast<PrzyciskQt*>(w_.data());
        switch (co) {
        case TZmiana::Napis:
            b->setText(Q(p.Caption));
            b->UstawGlif(p.Glyph);
            break;
        case TZmiana::Wcisniety:
            b->setDown(p.Down);
            break;
        case TZmiana::Przyciski:
            // The default button looks like one; Enter on it clicks it, as
            // the model's Enter would.
            b->setDefault(p.Default);
            break;
        case TZmiana::Czcionka:
            UstawKolorTekstu(QPalette::ButtonText, true);
            break;
        default:
            break;
        }
    }
};

class WidokPolaWyboru : public WidokQt {
public:
    WidokPolaWyboru(ZapleczeQt& z, TCheckBox& pole) : WidokQt(z, pole) {
        auto* c = new QCheckBox;
        connect(c, &QCheckBox::clicked, this,
                [this](bool zaznaczone) { static_cast<TCheckBox&>(k_).ZdarzenieZaznaczenia(zaznaczone); });
        Przyjmij(c, false);
    }

protected:
    void Odczytaj(TZmiana co, int) override {
        auto* c = static_cast<QCheckBox*>(w_.data());
        if (co == TZmiana::Napis) c->setText(Q(k_.Caption));
        if (co == TZmiana::Zaznaczenie) c->setChecked(static_cast<TCheckBox&>(k_).Checked);
        if (co == TZmiana::Czcionka) UstawKolorTekstu(QPalette::WindowText);
    }
};

class WidokGrupyOpcji : public WidokQt {
public:
    WidokGrupyOpcji(ZapleczeQt& z, TRadioGroup& grupa) : WidokQt(z, grupa) {
        auto* g = new GrupaOpcjiQt(grupa);
        connect(g->Grupa(), &QButtonGroup::idClicked, this,
                [this](int id) { static_cast<TRadioGroup&>(k_).ZdarzenieWyboru(id); });
        Przyjmij(g, true);
    }
    QWidget* WidzetFokusu() const override {
        auto* g = static_cast<GrupaOpcjiQt*>(w_.data());
        const int i = static_cast<TRadioGroup&>(k_).ItemIndex;
        if (g->Przyciski().empty()) return w_;
        return g->Przyciski().at(static_cast<std::size_t>(std::max(i, 0)));
    }

private:
    // A group with a style sheet does not hand its font down to its buttons.
    void UstawCzcionkePrzyciskow() {
        auto* g = static_cast<GrupaOpcjiQt*>(w_.data());
        for (QRadioButton* p : g->Przyciski()) p->setFont(g->font());
    }

protected:
    void Odczytaj(TZmiana co, int) override {
        auto& r = static_cast<TRadioGroup&>(k_);
        auto* g = static_cast<GrupaOpcjiQt*>(w_.data());
        switch (co) {
        case TZmiana::Napis:
            g->setTitle(Q(r.Caption));
            break;
        case TZmiana::Elementy:
            g->UstawElementy(r.Items);
            g->Zaznacz(r.ItemIndex);
            UstawCzcionkePrzyciskow();
            g->Rozmiesc();
            break;
        case TZmiana::Czcionka:
            UstawCzcionkePrzyciskow();
            g->Rozmiesc();
            break;
        case TZmiana::Miejsce:
            g->Rozmiesc();
            break;
        case TZmiana::Wybor:
            g->Zaznacz(r.ItemIndex);
            break;
        default:
            break;
        }
    }
};

class WidokPolaEdycji : public WidokQt {
public:
    WidokPolaEdycji(ZapleczeQt& z, TEdit& pole) : WidokQt(z, pole) {
        auto* l = new QLineEdit;
        connect(l, &QLineEdit::textEdited, this,
                [this](const QString& tekst) { static_cast<TEdit&>(k_).ZdarzenieZmianyTekstu(tekst.toStdU16String()); });
        Przyjmij(l, false);
    }

protected:
    void Odczytaj(TZmiana co, int) override {
        auto& e = static_cast<TEdit&>(k_);
        auto* l = static_cast<QLineEdit*>(w_.data());
        switch (co) {
        case TZmiana::Napis:
            if (l->text() != Q(e.Text)) l->setText(Q(e.Text));
            break;
        case TZmiana::Wyrownanie:
            l->setReadOnly(e.ReadOnly);
            break;
        case TZmiana::Czcionka:
            UstawKolorTekstu(QPalette::Text, true);
            break;
        case TZmiana::Kolor:
            if (const TColor kolor = e.KolorEfektywny(); kolor != clDefault) {
                // The field's colour also while disabled, as Windows paints it.
                QPalette paleta = l->palette();
                for (auto grupa : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
                    paleta.setColor(grupa, QPalette::Base, KolorQt(kolor));
                l->setPalette(paleta);
            }
            break;
        default:
            break;
        }
    }
};

class WidokListy : public WidokQt {
public:
    WidokListy(ZapleczeQt& z, TListBox& lista) : WidokQt(z, lista) { Przyjmij(new ListaQt(lista, nullptr), false); }
    void OdmalujTeraz() override {
        if (w_) static_cast<ListaQt*>(w_.data())->OdmalujTeraz();
    }

protected:
    void Odczytaj(TZmiana co, int indeks) override {
        auto* l = static_cast<ListaQt*>(w_.data());
        switch (co) {
        case TZmiana::ElementDodany:
            l->Dodany(indeks);
            break;
        case TZmiana::ElementZmieniony:
            l->Zmieniony(indeks);
            break;
        case TZmiana::ElementyWyczyszczone:
        case TZmiana::Elementy:
        case TZmiana::Czcionka:
        case TZmiana::Miejsce:
            l->CalaZmieniona();
            break;
        case TZmiana::GornyElement:
            l->Przewinieta();
            break;
        case TZmiana::Wybor:
            l->Wybrany(poprzedni_);
            break;
        case TZmiana::Kolor:
            if (const TColor kolor = k_.KolorEfektywny(); kolor != clDefault) {
                QPalette paleta = l->palette();
                paleta.setColor(QPalette::Base, KolorQt(kolor));
                l->setPalette(paleta);
            }
            break;
        default:
            break;
        }
        poprzedni_ = static_cast<TListBox&>(k_).ItemIndex;
    }

private:
    int poprzedni_ = -1;
};

class WidokPaska : public WidokQt {
public:
    WidokPaska(ZapleczeQt& z, TProgressBar& pasek) : WidokQt(z, pasek) {
        auto* p = new QProgressBar;
        p->setTextVisible(false);
        Przyjmij(p, false);
    }

protected:
    void Odczytaj(TZmiana co, int) override {
        if (co != TZmiana::Pasek) return;
        auto& m = static_cast<TProgressBar&>(k_);
        auto* p = static_cast<QProgressBar*>(w_.data());
        // An empty range would turn the bar into a busy indicator: it shows
        // an empty bar instead.
        if (m.Max > m.Min) {
            p->setRange(m.Min, m.Max);
            p->setValue(m.Position);
        } else {
            p->setRange(0, 1);
            p->setValue(0);
        }
    }
};

}  // namespace

std::unique_ptr<IWidok> UtworzWidokQt(ZapleczeQt& z, TComponent& s) {
    switch (s.Rodzaj()) {
    case TRodzaj::Forma:
        return std::make_unique<WidokFormy>(z, static_cast<TForm&>(s));
    case TRodzaj::Panel:
        return std::make_unique<WidokPanelu>(z, static_cast<TPanel&>(s));
    case TRodzaj::Etykieta:
        return std::make_unique<WidokEtykiety>(z, static_cast<TLabel&>(s));
    case TRodzaj::Obraz:
        return std::make_unique<WidokObrazu>(z, static_cast<TImage&>(s));
    case TRodzaj::Ramka:
        return std::make_unique<WidokRamki>(z, static_cast<TGroupBox&>(s));
    case TRodzaj::Przycisk:
        return std::make_unique<WidokPrzycisku>(z, static_cast<TButton&>(s));
    case TRodzaj::PoleWyboru:
        return std::make_unique<WidokPolaWyboru>(z, static_cast<TCheckBox&>(s));
    case TRodzaj::GrupaOpcji:
        return std::make_unique<WidokGrupyOpcji>(z, static_cast<TRadioGroup&>(s));
    case TRodzaj::PoleEdycji:
        return std::make_unique<WidokPolaEdycji>(z, static_cast<TEdit&>(s));
    case TRodzaj::Lista:
        return std::make_unique<WidokListy>(z, static_cast<TListBox&>(s));
    case TRodzaj::PasekPostepu:
        return std::make_unique<WidokPaska>(z, static_cast<TProgressBar&>(s));
    case TRodzaj::Zegar:
        return std::make_unique<WidokZegara>(static_cast<TTimer&>(s));
    }
    return nullptr;
}

// ---------------------------------------------------------------- PrzyciskQt

void PrzyciskQt::UstawGlif(TGlif glif) {
    glif_ = glif == TGlif::Zatwierdzenie ? ZnakZatwierdzenia() : QPixmap();
    update();
}

void PrzyciskQt::paintEvent(QPaintEvent* zdarzenie) {
    if (glif_.isNull()) {
        QPushButton::paintEvent(zdarzenie);
        return;
    }
    QStylePainter p(this);
    QStyleOptionButton opcje;
    initStyleOption(&opcje);
    const QString napis = opcje.text;
    opcje.text.clear();
    opcje.icon = QIcon();
    p.drawControl(QStyle::CE_PushButton, opcje);
    const int glifX = 2;
    p.drawPixmap(glifX, (height() - glif_.height()) / 2, glif_);
    const QRect naNapis(glifX + glif_.width(), 0, width() - glifX - glif_.width(), height());
    p.drawItemText(naNapis, Qt::AlignCenter | Qt::TextShowMnemonic, palette(), isEnabled(), napis,
                   QPalette::ButtonText);
}

// ---------------------------------------------------------------- GrupaOpcjiQt

GrupaOpcjiQt::GrupaOpcjiQt(const TRadioGroup& grupa) : r_(grupa), grupa_(new QButtonGroup(this)) {
    // The caption sits 8 pixels in, as Windows draws it.
    setStyleSheet(QStringLiteral("QGroupBox::title { subcontrol-origin: margin; left: 8px; }"));
}

void GrupaOpcjiQt::UstawElementy(const std::vector<std::u16string>& elementy) {
    for (QRadioButton* p : przyciski_) delete p;
    przyciski_.clear();
    for (std::size_t i = 0; i < elementy.size(); ++i) {
        auto* p = new QRadioButton(Q(elementy[i]), this);
        grupa_->addButton(p, static_cast<int>(i));
        przyciski_.push_back(p);
        p->show();
    }
}

void GrupaOpcjiQt::Zaznacz(int indeks) {
    if (indeks >= 0 && indeks < static_cast<int>(przyciski_.size())) {
        przyciski_[static_cast<std::size_t>(indeks)]->setChecked(true);
        return;
    }
    // A button group keeps one button checked unless exclusivity is lifted.
    grupa_->setExclusive(false);
    for (QRadioButton* p : przyciski_) p->setChecked(false);
    grupa_->setExclusive(true);
}

void GrupaOpcjiQt::resizeEvent(QResizeEvent* zdarzenie) {
    QGroupBox::resizeEvent(zdarzenie);
    Rozmiesc();
}

// The items lie where the model's radio group puts them, measured with the
// line height of the group's font.
void GrupaOpcjiQt::Rozmiesc() {
    const int linia = QFontMetrics(font()).height();
    for (std::size_t i = 0; i < przyciski_.size(); ++i) {
        const TProstokat m = r_.MiejsceElementu(static_cast<int>(i), linia);
        przyciski_[i]->setGeometry(m.Left, m.Top, m.Width, m.Height);
    }
}

// ---------------------------------------------------------------- ListaQt

ListaQt::ListaQt(TListBox& lista, QWidget* rodzic) : QAbstractScrollArea(rodzic), l_(lista) {
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    verticalScrollBar()->installEventFilter(this);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int wartosc) {
        if (!ustawiamPasek_) l_.ZdarzeniePrzewiniecia(wartosc);
    });
}

QRect ListaQt::ProstokatElementu(int indeks) const {
    const int h = l_.ItemHeight;
    return QRect(0, (indeks - l_.TopIndex) * h, viewport()->width(), h);
}

void ListaQt::Brudny(const QRect& prostokat) {
    const QRect widoczny = prostokat & viewport()->rect();
    if (widoczny.isEmpty()) return;
    brudne_ += widoczny;
    viewport()->update(widoczny);
}

// Where the scroll bar's handle is drawn: its size follows the range.
QRect ListaQt::Suwak() const {
    const QScrollBar* pasek = verticalScrollBar();
    QStyleOptionSlider opcje;
    opcje.initFrom(pasek);
    opcje.subControls = QStyle::SC_All;
    opcje.orientation = Qt::Vertical;
    opcje.minimum = pasek->minimum();
    opcje.maximum = pasek->maximum();
    opcje.sliderPosition = pasek->sliderPosition();
    opcje.sliderValue = pasek->value();
    opcje.singleStep = pasek->singleStep();
    opcje.pageStep = pasek->pageStep();
    return pasek->style()->subControlRect(QStyle::CC_ScrollBar, &opcje, QStyle::SC_ScrollBarSlider, pasek);
}

// The scroll bar follows the model: shown when the items do not fit (as a
// list box shows it, at once), its range the items out of view. It needs
// painting only when its handle moved or changed its length: once the handle
// is at its shortest, more items below the view change nothing on screen.
void ListaQt::UstawPasek() {
    const int widoczne = l_.WidoczneElementy();
    const int najwyzej = std::max(0, l_.Items.Count() - widoczne);
    ustawiamPasek_ = true;
    QScrollBar* pasek = verticalScrollBar();
    const bool potrzebny = najwyzej > 0;
    if (potrzebny != (verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOn)) {
        setVerticalScrollBarPolicy(potrzebny ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
        brudne_ += viewport()->rect();
        pasekBrudny_ = true;
    }
    const QRect przed = Suwak();
    if (pasek->maximum() != najwyzej || pasek->pageStep() != std::max(widoczne, 1)) {
        pasek->setRange(0, najwyzej);
        pasek->setPageStep(std::max(widoczne, 1));
    }
    if (pasek->value() != l_.TopIndex) pasek->setValue(l_.TopIndex);
    if (Suwak() != przed) pasekBrudny_ = true;
    ustawiamPasek_ = false;
}

void ListaQt::Dodany(int indeks) {
    UstawPasek();
    Brudny(ProstokatElementu(indeks));
}

void ListaQt::Zmieniony(int indeks) { Brudny(ProstokatElementu(indeks)); }

void ListaQt::CalaZmieniona() {
    UstawPasek();
    Brudny(viewport()->rect());
}

void ListaQt::Przewinieta() {
    UstawPasek();
    Brudny(viewport()->rect());
}

void ListaQt::Wybrany(int poprzedni) {
    Brudny(ProstokatElementu(poprzedni));
    Brudny(ProstokatElementu(l_.ItemIndex));
}

void ListaQt::OdmalujTeraz() {
    // One synchronous repaint paints every region marked for this window.
    const QRegion doMalowania = brudne_;
    const bool pasek = pasekBrudny_;
    brudne_ = QRegion();
    pasekBrudny_ = false;
    if (!doMalowania.isEmpty())
        viewport()->repaint(doMalowania);
    else if (pasek)
        verticalScrollBar()->repaint();
}

// What the event loop paints no longer waits for an explicit repaint.
bool ListaQt::eventFilter(QObject* obiekt, QEvent* zdarzenie) {
    if (obiekt == verticalScrollBar() && zdarzenie->type() == QEvent::Paint) pasekBrudny_ = false;
    return QAbstractScrollArea::eventFilter(obiekt, zdarzenie);
}

void ListaQt::paintEvent(QPaintEvent* zdarzenie) {
    brudne_ -= zdarzenie->region();
    QPainter p(viewport());
    const int h = l_.ItemHeight;
    if (h <= 0) return;
    const QRect obszar = zdarzenie->rect();
    const int od = std::max(l_.TopIndex + obszar.top() / h, 0);
    const int doElementu = std::min(l_.TopIndex + obszar.bottom() / h, l_.Items.Count() - 1);
    // Each row as an item view draws its items (QAbstractItemView's options):
    // active only while the list has the focus, the focus frame only on the
    // selected row.
    QStyleOptionViewItem opcje;
    opcje.initFrom(this);
    opcje.state &= ~(QStyle::State_MouseOver | QStyle::State_HasFocus);
    if (!hasFocus()) opcje.state &= ~QStyle::State_Active;
    opcje.widget = this;
    opcje.locale = locale();
    opcje.font = font();
    opcje.fontMetrics = fontMetrics();
    opcje.displayAlignment = Qt::AlignLeft | Qt::AlignVCenter;
    opcje.textElideMode = Qt::ElideNone;
    opcje.features = QStyleOptionViewItem::HasDisplay;
    opcje.viewItemPosition = QStyleOptionViewItem::OnlyOne;
    opcje.showDecorationSelected = style()->styleHint(QStyle::SH_ItemView_ShowDecorationSelected, nullptr, this);
    const QStyle::State stan = opcje.state;
    for (int i = od; i <= doElementu; ++i) {
        opcje.rect = ProstokatElementu(i);
        opcje.text = Q(l_.Items[i]);
        opcje.state = stan;
        if (i == l_.ItemIndex) {
            opcje.state |= QStyle::State_Selected;
            if (hasFocus()) opcje.state |= QStyle::State_HasFocus;
        }
        style()->drawControl(QStyle::CE_ItemViewItem, &opcje, &p, this);
    }
}

void ListaQt::WybierzPrzezUzytkownika(int indeks) {
    if (indeks < 0 || indeks >= l_.Items.Count()) return;
    const int poprzedni = l_.ItemIndex;
    l_.ZdarzenieWyboru(indeks);
    Brudny(ProstokatElementu(poprzedni));
    Brudny(ProstokatElementu(indeks));
    // Kept in view, as a list box scrolls to its selection.
    const int widoczne = std::max(l_.WidoczneElementy(), 1);
    if (indeks < l_.TopIndex)
        verticalScrollBar()->setValue(indeks);
    else if (indeks >= l_.TopIndex + widoczne)
        verticalScrollBar()->setValue(indeks - widoczne + 1);
}

void ListaQt::mousePressEvent(QMouseEvent* zdarzenie) {
    if (zdarzenie->button() == Qt::LeftButton && l_.ItemHeight > 0)
        WybierzPrzezUzytkownika(l_.TopIndex + zdarzenie->position().toPoint().y() / l_.ItemHeight);
    zdarzenie->accept();
}

void ListaQt::keyPressEvent(QKeyEvent* zdarzenie) {
    const int widoczne = std::max(l_.WidoczneElementy(), 1);
    const int teraz = l_.ItemIndex;
    int nowy = teraz;
    switch (zdarzenie->key()) {
    case Qt::Key_Up:
        nowy = teraz - 1;
        break;
    case Qt::Key_Down:
        nowy = teraz + 1;
        break;
    case Qt::Key_PageUp:
        nowy = teraz - widoczne + 1;
        break;
    case Qt::Key_PageDown:
        nowy = teraz + widoczne - 1;
        break;
    case Qt::Key_Home:
        nowy = 0;
        break;
    case Qt::Key_End:
        nowy = l_.Items.Count() - 1;
        break;
    default:
        QAbstractScrollArea::keyPressEvent(zdarzenie);
        return;
    }
    WybierzPrzezUzytkownika(std::clamp(nowy, 0, std::max(l_.Items.Count() - 1, 0)));
}

void ListaQt::scrollContentsBy(int, int) {
    UstawPasek();
    viewport()->update();
}

void ListaQt::focusInEvent(QFocusEvent* zdarzenie) {
    QAbstractScrollArea::focusInEvent(zdarzenie);
    Brudny(ProstokatElementu(l_.ItemIndex));
}

void ListaQt::focusOutEvent(QFocusEvent* zdarzenie) {
    QAbstractScrollArea::focusOutEvent(zdarzenie);
    Brudny(ProstokatElementu(l_.ItemIndex));
}

// ---------------------------------------------------------------- WidokZegara

WidokZegara::WidokZegara(TTimer& zegar) : t_(zegar) {
    connect(&timer_, &QTimer::timeout, this, [this] { t_.ZdarzenieTykniecia(); });
    Zmiana(TZmiana::Zegar, -1);
}

void WidokZegara::Zmiana(TZmiana co, int) {
    if (co != TZmiana::Zegar) return;
    if (t_.Enabled && t_.Interval > 0) {
        if (!timer_.isActive() || timer_.interval() != t_.Interval) timer_.start(t_.Interval);
    } else {
        timer_.stop();
    }
}
