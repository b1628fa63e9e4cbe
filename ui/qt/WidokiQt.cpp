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
#include <QPainterPath>
#include <QWindow>
#include <algorithm>
#include <iterator>
#include <optional>

#include "CzcionkiQt.h"

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

// The model's green check mark, drawn here so that the button needs no
// picture file.
QPixmap ZnakZatwierdzenia() {
    using Znak = TZnakZatwierdzenia;
    QPixmap glif(Znak::Rozmiar, Znak::Rozmiar);
    glif.fill(Qt::transparent);
    QPainter p(&glif);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(KolorQt(Znak::Kolor), Znak::Grubosc, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    QPointF punkty[std::size(Znak::Punkty)];
    for (std::size_t i = 0; i < std::size(Znak::Punkty); ++i) punkty[i] = QPointF(Znak::Punkty[i].x, Znak::Punkty[i].y);
    p.drawPolyline(punkty, static_cast<int>(std::size(punkty)));
    return glif;
}

// A button's caption keeps its "&" for drawing, but Qt makes no shortcut of
// it: the access keys are the model's.
void BezSkrotu(QAbstractButton* przycisk) { przycisk->setShortcut(QKeySequence()); }

// The arrow keys as the model names them; none for another key.
std::optional<TKlawisz> Strzalka(int klawisz) {
    switch (klawisz) {
    case Qt::Key_Left:
        return TKlawisz::Lewo;
    case Qt::Key_Right:
        return TKlawisz::Prawo;
    case Qt::Key_Up:
        return TKlawisz::Gora;
    case Qt::Key_Down:
        return TKlawisz::Dol;
    default:
        return std::nullopt;
    }
}

}  // namespace

// ---------------------------------------------------------------- FabrykaWidokowQt

WidokQt* FabrykaWidokowQt::WidokWidzetu(const QWidget* widzet) const {
    for (const QWidget* w = widzet; w; w = w->parentWidget())
        if (WidokQt* widok = widzety_.value(w, nullptr)) return widok;
    return nullptr;
}

QWidget* FabrykaWidokowQt::Widzet(const TComponent& skladnik) const {
    const WidokQt* w = Widok(skladnik);
    return w ? w->Widzet() : nullptr;
}

void FabrykaWidokowQt::Zakoncz() {
    zakonczona_ = true;
    for (QEventLoop* petla : petle_) petla->exit();
}

// ---------------------------------------------------------------- WidokQt

WidokQt::WidokQt(FabrykaWidokowQt& fabryka, TControl& kontrolka) : f_(fabryka), k_(kontrolka) {
    f_.widoki_.insert(&k_, this);
}

WidokQt::~WidokQt() {
    f_.widoki_.remove(&k_);
    if (w_) {
        f_.widzety_.remove(w_);
        delete w_.data();
    }
}

void WidokQt::Przyjmij(QWidget* widzet, bool naciski) {
    w_ = widzet;
    naciski_ = naciski;
    f_.widzety_.insert(widzet, this);
    widzet->installEventFilter(this);
    if (k_.Rodzaj() != TRodzaj::Forma) UstawRodzica();
}

// The widget goes under the view of the model's parent; a control without a
// parent (a page whose window went first) stays hidden on its own.
void WidokQt::UstawRodzica() {
    const TControl* rodzic = k_.Parent();
    const WidokQt* widokRodzica = rodzic ? f_.Widok(*rodzic) : nullptr;
    QWidget* obszar = widokRodzica ? widokRodzica->Obszar() : nullptr;
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
        // The form hears of its first paint from any of its widgets.
        if (TForm* forma = k_.Forma(); forma && forma->Visible && !forma->Namalowana()) forma->ZdarzenieMalowania();
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        if (!naciski_) break;
        auto* mysz = static_cast<QMouseEvent*>(zdarzenie);
        auto* widzet = static_cast<QWidget*>(obiekt);
        // A press that a control inside left unhandled travels on to its
        // parents; it belongs to none of them.
        if (widzet->childAt(mysz->position().toPoint())) return false;
        f_.nacisk_ = mysz->globalPosition();
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
            break;
        }
        // Alt with a letter: the model's access keys. Qt does not tell the
        // left Alt from the right one; AltGr comes as no Alt at all (X11's
        // third level) or with the group switch.
        const Qt::KeyboardModifiers mod = zdarzenie->modifiers();
        if (mod & Qt::AltModifier) {
            const int k = zdarzenie->key();
            char16_t znak = 0;
            if (k >= Qt::Key_A && k <= Qt::Key_Z)
                znak = static_cast<char16_t>(u'a' + (k - Qt::Key_A));
            else if (k >= Qt::Key_0 && k <= Qt::Key_9)
                znak = static_cast<char16_t>(u'0' + (k - Qt::Key_0));
            else if (zdarzenie->text().size() == 1)
                znak = zdarzenie->text().at(0).unicode();
            const TModyfikatory m{.lewyAlt = true,
                                  .prawyAlt = (mod & Qt::GroupSwitchModifier) != 0,
                                  .ctrl = (mod & Qt::ControlModifier) != 0};
            if (znak && f_.ZdarzenieKlawiszaDostepu(znak, m)) return;
        }
        QWidget::keyPressEvent(zdarzenie);
    }
    // Tab and Shift+Tab from any widget of the window: the model's tab order.
    bool focusNextPrevChild(bool dalej) override {
        f_.ZdarzenieKlawisza(dalej ? TKlawisz::Tab : TKlawisz::TabWstecz);
        return true;
    }

private:
    TForm& f_;
};

}  // namespace

WidokFormy::WidokFormy(FabrykaWidokowQt& fabryka, TForm& forma) : WidokQt(fabryka, forma), forma_(forma) {
    auto* okno = new OknoQt(forma);
    obszar_ = new QWidget(okno);
    obszar_->installEventFilter(this);
    f_.widzety_.insert(obszar_, this);
    Przyjmij(okno, true);
}

WidokFormy::~WidokFormy() {
    // The modal loop waiting for this form ends with it.
    if (petla_) petla_->exit();
    if (obszar_) f_.widzety_.remove(obszar_);
}

void WidokFormy::Odczytaj(TZmiana co, int) {
    TForm& f = forma_;
    switch (co) {
    case TZmiana::Miejsce:
    case TZmiana::Ramka: {
        w_->setFixedSize(f.Width, f.Height);
        w_->move(f.Left, f.Top);
        const int ramka = f.BorderWidth;
        obszar_->setGeometry(ramka, ramka, f.ClientWidth(), f.ClientHeight());
        Przytnij();
        break;
    }
    case TZmiana::Zaokraglenie:
        Przytnij();
        break;
    case TZmiana::Napis:
        w_->setWindowTitle(Q(f.Caption));
        break;
    case TZmiana::Kolor:
    case TZmiana::KolorRodzica:
        UstawTlo(true);
        obszar_->setAutoFillBackground(false);
        break;
    case TZmiana::Widocznosc:
        if (f.Visible && !w_->isVisible()) {
            // A modal form keeps the other windows from input while it is on screen.
            w_->setWindowModality(f.Modalna() ? Qt::ApplicationModal : Qt::NonModal);
            if (const TForm* wlasciciel = f.WlascicielOkna()) {
                if (QWidget* glowne = f_.Widzet(*wlasciciel)) {
                    w_->winId();
                    if (w_->windowHandle() && glowne->windowHandle())
                        w_->windowHandle()->setTransientParent(glowne->windowHandle());
                }
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
        if (const WidokQt* widok = aktywna ? f_.Widok(*aktywna) : nullptr) cel = widok->WidzetFokusu();
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

// The corners rounded by ellipses of the form's Zaokraglenie; the region
// covers 0 .. width - 1 and 0 .. height - 1, as a Windows region excludes its
// right and bottom edges.
void WidokFormy::Przytnij() {
    const TRozmiar e = forma_.Zaokraglenie;
    const QSize rozmiar(forma_.Width, forma_.Height);
    if (e == zaokraglenie_ && rozmiar == przyciety_) return;
    zaokraglenie_ = e;
    przyciety_ = rozmiar;
    if (e.Width <= 0 && e.Height <= 0) {
        w_->clearMask();
        return;
    }
    QPainterPath ksztalt;
    ksztalt.addRoundedRect(QRectF(0, 0, rozmiar.width(), rozmiar.height()), e.Width / 2.0, e.Height / 2.0);
    w_->setMask(QRegion(ksztalt.toFillPolygon().toPolygon()));
}

void WidokFormy::PetlaModalna() {
    if (!w_ || f_.zakonczona_) return;
    QPointer<QWidget> poprzednie = QApplication::activeWindow();
    QPointer<WidokFormy> straz = this;
    QEventLoop petla;
    f_.petle_.push_back(&petla);
    petla_ = &petla;
    FabrykaWidokowQt& fabryka = f_;
    if (forma_.ModalResult == mrNone) petla.exec(QEventLoop::DialogExec);
    std::erase(fabryka.petle_, &petla);
    if (straz) petla_ = nullptr;
    // The window the box was shown over is active again, as on Windows when
    // a modal window closes.
    if (poprzednie && poprzednie->isVisible() && !fabryka.zakonczona_) poprzednie->activateWindow();
}

void WidokFormy::Przeciagnij() {
    if (!w_) return;
    if (QWindow* okno = w_->windowHandle(); okno && okno->startSystemMove()) return;
    // No window manager to move it (a bare X server): the window follows the
    // mouse until the button is released.
    PodazajZaMysza(f_.nacisk_);
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
    WidokPanelu(FabrykaWidokowQt& f, TPanel& panel) : WidokQt(f, panel) { Przyjmij(new QWidget, true); }

protected:
    void Odczytaj(TZmiana co, int) override {
        if (co == TZmiana::Kolor || co == TZmiana::KolorRodzica || co == TZmiana::TloRodzica)
            UstawTlo(!k_.PokazujePodspod());
    }
};

class WidokEtykiety : public WidokQt {
public:
    WidokEtykiety(FabrykaWidokowQt& f, TLabel& etykieta) : WidokQt(f, etykieta), e_(etykieta), l_(new QLabel) {
        l_->setTextFormat(Qt::PlainText);
        Przyjmij(l_, true);
    }

protected:
    void Odczytaj(TZmiana co, int) override {
        TLabel& e = e_;
        QLabel* l = l_;
        switch (co) {
        case TZmiana::Napis:
            l->setText(JednolitePodzialy(Q(e.Caption)));
            break;
        case TZmiana::Wyrownanie:
        case TZmiana::Zawijanie:
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
        case TZmiana::KolorRodzica:
        case TZmiana::Przezroczystosc:
            // A label that is not transparent is a static text: it paints its background.
            UstawTlo(!e.PokazujePodspod());
            break;
        default:
            break;
        }
    }

private:
    TLabel& e_;
    QLabel* l_;
};

class WidokObrazu : public WidokQt {
public:
    WidokObrazu(FabrykaWidokowQt& f, TImage& obraz) : WidokQt(f, obraz), o_(obraz), l_(new QLabel) {
        Przyjmij(l_, true);
    }

protected:
    void Odczytaj(TZmiana co, int) override {
        // The installer's pictures are built in, by file name.
        if (co == TZmiana::Obraz)
            l_->setPixmap(o_.Picture().empty() ? QPixmap() : QPixmap(QStringLiteral(":/obrazy/") + Q(o_.Picture)));
        if (co == TZmiana::Rozciagniecie) l_->setScaledContents(o_.Stretch);
    }

private:
    TImage& o_;
    QLabel* l_;
};

class WidokRamki : public WidokQt {
public:
    WidokRamki(FabrykaWidokowQt& f, TGroupBox& ramka) : WidokQt(f, ramka), g_(new QGroupBox) { Przyjmij(g_, true); }

protected:
    void Odczytaj(TZmiana co, int) override {
        if (co == TZmiana::Napis) g_->setTitle(Q(k_.Caption));
    }

private:
    QGroupBox* g_;
};

class WidokPrzycisku : public WidokQt {
public:
    WidokPrzycisku(FabrykaWidokowQt& f, TButton& przycisk) : WidokQt(f, przycisk), p_(przycisk), b_(new PrzyciskQt) {
        // Enter and Escape are the model's to handle (its Default and Cancel).
        b_->setAutoDefault(false);
        connect(b_, &QPushButton::clicked, this, [this] { k_.ZdarzenieKlikniecia(); });
        Przyjmij(b_, false);
    }

protected:
    void Odczytaj(TZmiana co, int) override {
        TButton& p = p_;
        PrzyciskQt* b = b_;
        switch (co) {
        case TZmiana::Napis:
            b->setText(Q(p.Caption));
            BezSkrotu(b);
            break;
        case TZmiana::Glif:
            b->UstawGlif(p.Glyph);
            break;
        case TZmiana::Wcisniety:
            b->setDown(p.Down);
            break;
        case TZmiana::Domyslny:
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

private:
    TButton& p_;
    PrzyciskQt* b_;
};

class WidokPolaWyboru : public WidokQt {
public:
    WidokPolaWyboru(FabrykaWidokowQt& f, TCheckBox& pole) : WidokQt(f, pole), p_(pole), c_(new QCheckBox) {
        connect(c_, &QCheckBox::clicked, this, [this](bool zaznaczone) { p_.ZdarzenieZaznaczenia(zaznaczone); });
        Przyjmij(c_, false);
    }

protected:
    void Odczytaj(TZmiana co, int) override {
        if (co == TZmiana::Napis) {
            c_->setText(Q(k_.Caption));
            BezSkrotu(c_);
        }
        if (co == TZmiana::Zaznaczenie) c_->setChecked(p_.Checked);
        if (co == TZmiana::Czcionka) UstawKolorTekstu(QPalette::WindowText);
    }

private:
    TCheckBox& p_;
    QCheckBox* c_;
};

class WidokGrupyOpcji : public WidokQt {
public:
    WidokGrupyOpcji(FabrykaWidokowQt& f, TRadioGroup& grupa)
        : WidokQt(f, grupa), r_(grupa), g_(new GrupaOpcjiQt(grupa)) {
        connect(g_->Grupa(), &QButtonGroup::idClicked, this, [this](int id) { r_.ZdarzenieWyboru(id); });
        Przyjmij(g_, true);
    }
    QWidget* WidzetFokusu() const override {
        const int i = r_.ItemIndex;
        if (g_->Przyciski().empty()) return w_;
        return g_->Przyciski().at(static_cast<std::size_t>(std::max(i, 0)));
    }

private:
    // A group with a style sheet does not hand its font down to its buttons.
    void UstawCzcionkePrzyciskow() {
        for (QRadioButton* p : g_->Przyciski()) p->setFont(g_->font());
    }

protected:
    void Odczytaj(TZmiana co, int) override {
        switch (co) {
        case TZmiana::Napis:
            g_->setTitle(Q(r_.Caption));
            break;
        case TZmiana::Elementy:
            g_->UstawElementy(r_.Items);
            for (QRadioButton* p : g_->Przyciski()) {
                BezSkrotu(p);
                p->installEventFilter(this);
            }
            g_->Zaznacz(r_.ItemIndex);
            UstawCzcionkePrzyciskow();
            g_->Rozmiesc();
            break;
        case TZmiana::Czcionka:
            UstawCzcionkePrzyciskow();
            g_->Rozmiesc();
            break;
        case TZmiana::Miejsce:
        case TZmiana::Kolumny:
            g_->Rozmiesc();
            break;
        case TZmiana::Wybor: {
            g_->Zaznacz(r_.ItemIndex);
            // The focus, on an item, goes with the choice.
            const auto& p = g_->Przyciski();
            if (std::find(p.begin(), p.end(), QApplication::focusWidget()) != p.end())
                WidzetFokusu()->setFocus(Qt::OtherFocusReason);
            break;
        }
        default:
            break;
        }
    }

    // The arrow keys on an item are the model's.
    bool eventFilter(QObject* obiekt, QEvent* zdarzenie) override {
        if (obiekt == w_) return WidokQt::eventFilter(obiekt, zdarzenie);
        if (zdarzenie->type() == QEvent::KeyPress) {
            const auto klawisz = Strzalka(static_cast<QKeyEvent*>(zdarzenie)->key());
            TForm* forma = k_.Forma();
            if (klawisz && forma && forma->ZdarzenieKlawisza(*klawisz)) return true;
        }
        return QObject::eventFilter(obiekt, zdarzenie);
    }

private:
    TRadioGroup& r_;
    GrupaOpcjiQt* g_;
};

class WidokPolaEdycji : public WidokQt {
public:
    WidokPolaEdycji(FabrykaWidokowQt& f, TEdit& pole) : WidokQt(f, pole), e_(pole), l_(new QLineEdit) {
        connect(l_, &QLineEdit::textEdited, this,
                [this](const QString& tekst) { e_.ZdarzenieZmianyTekstu(tekst.toStdU16String()); });
        Przyjmij(l_, false);
    }

protected:
    void Odczytaj(TZmiana co, int) override {
        TEdit& e = e_;
        QLineEdit* l = l_;
        switch (co) {
        case TZmiana::Tekst:
            if (l->text() != Q(e.Text)) l->setText(Q(e.Text));
            break;
        case TZmiana::TylkoDoOdczytu:
            l->setReadOnly(e.ReadOnly);
            break;
        case TZmiana::CalyTekst:
            l->selectAll();
            break;
        case TZmiana::Czcionka:
            UstawKolorTekstu(QPalette::Text, true);
            break;
        case TZmiana::Kolor:
        case TZmiana::KolorRodzica:
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

private:
    TEdit& e_;
    QLineEdit* l_;
};

class WidokListy : public WidokQt {
public:
    WidokListy(FabrykaWidokowQt& f, TListBox& lista) : WidokQt(f, lista), m_(lista), l_(new ListaQt(lista, nullptr)) {
        Przyjmij(l_, false);
    }
    void OdmalujTeraz() override {
        if (w_) l_->OdmalujTeraz();
    }

protected:
    void Odczytaj(TZmiana co, int indeks) override {
        ListaQt* l = l_;
        switch (co) {
        case TZmiana::ElementDodany:
            l->Dodany(indeks);
            break;
        case TZmiana::ElementZmieniony:
            l->Zmieniony(indeks);
            break;
        case TZmiana::ElementyWyczyszczone:
        case TZmiana::Elementy:
        case TZmiana::WysokoscElementu:
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
        case TZmiana::KolorRodzica:
            if (const TColor kolor = k_.KolorEfektywny(); kolor != clDefault) {
                QPalette paleta = l->palette();
                paleta.setColor(QPalette::Base, KolorQt(kolor));
                l->setPalette(paleta);
            }
            break;
        default:
            break;
        }
        poprzedni_ = m_.ItemIndex;
    }

private:
    TListBox& m_;
    ListaQt* l_;
    int poprzedni_ = -1;
};

class WidokPaska : public WidokQt {
public:
    WidokPaska(FabrykaWidokowQt& f, TProgressBar& pasek) : WidokQt(f, pasek), m_(pasek), p_(new QProgressBar) {
        p_->setTextVisible(false);
        Przyjmij(p_, false);
    }

protected:
    void Odczytaj(TZmiana co, int) override {
        if (co != TZmiana::Minimum && co != TZmiana::Maksimum && co != TZmiana::Postep) return;
        TProgressBar& m = m_;
        QProgressBar* p = p_;
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

private:
    TProgressBar& m_;
    QProgressBar* p_;
};

}  // namespace

std::unique_ptr<IWidokFormy> FabrykaWidokowQt::Utworz(TForm& s) { return std::make_unique<WidokFormy>(*this, s); }
std::unique_ptr<IWidokKontrolki> FabrykaWidokowQt::Utworz(TPanel& s) { return std::make_unique<WidokPanelu>(*this, s); }
std::unique_ptr<IWidokKontrolki> FabrykaWidokowQt::Utworz(TLabel& s) { return std::make_unique<WidokEtykiety>(*this, s); }
std::unique_ptr<IWidokKontrolki> FabrykaWidokowQt::Utworz(TImage& s) { return std::make_unique<WidokObrazu>(*this, s); }
std::unique_ptr<IWidokKontrolki> FabrykaWidokowQt::Utworz(TGroupBox& s) { return std::make_unique<WidokRamki>(*this, s); }
std::unique_ptr<IWidokKontrolki> FabrykaWidokowQt::Utworz(TButton& s) { return std::make_unique<WidokPrzycisku>(*this, s); }
std::unique_ptr<IWidokKontrolki> FabrykaWidokowQt::Utworz(TCheckBox& s) { return std::make_unique<WidokPolaWyboru>(*this, s); }
std::unique_ptr<IWidokKontrolki> FabrykaWidokowQt::Utworz(TRadioGroup& s) { return std::make_unique<WidokGrupyOpcji>(*this, s); }
std::unique_ptr<IWidokKontrolki> FabrykaWidokowQt::Utworz(TEdit& s) { return std::make_unique<WidokPolaEdycji>(*this, s); }
std::unique_ptr<IWidokKontrolki> FabrykaWidokowQt::Utworz(TListBox& s) { return std::make_unique<WidokListy>(*this, s); }
std::unique_ptr<IWidokKontrolki> FabrykaWidokowQt::Utworz(TProgressBar& s) { return std::make_unique<WidokPaska>(*this, s); }
std::unique_ptr<IWidok> FabrykaWidokowQt::Utworz(TTimer& s) { return std::make_unique<WidokZegara>(s); }

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

// The scroll bar moved. The user's move reaches the model before the bar is
// set from the model again, or the bar would spring back while the view
// stays where the user left it.
void ListaQt::scrollContentsBy(int, int) {
    if (!ustawiamPasek_) l_.ZdarzeniePrzewiniecia(verticalScrollBar()->value());
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
}

void WidokZegara::Zmiana(TZmiana co, int) {
    if (co != TZmiana::Dostepnosc && co != TZmiana::Interwal) return;
    if (t_.Enabled && t_.Interval > 0) {
        if (!timer_.isActive() || timer_.interval() != t_.Interval) timer_.start(t_.Interval);
    } else {
        timer_.stop();
    }
}
