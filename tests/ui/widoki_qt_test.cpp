// The Qt backend beyond the contract every backend keeps (tests/kontrakt):
// the forms' own widgets with Qt's fonts and the window's shape, the licence
// page's stacking, what a disabled field draws, the window drag, the list's
// partial repaints, the first paint before the first timer tick, and the
// focus during a download.
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyleOptionGroupBox>
#include <QTest>

#include "SrodowiskoQt.h"
#include "WidokiQt.h"

namespace {

QString Q(const std::u16string& s) { return QString::fromStdU16String(s); }

// Every component of a form (the timers and the dialog have no widget).
std::vector<TControl*> Kontrolki(const TForm& forma) {
    std::vector<TControl*> w;
    for (const auto& s : forma.Skladniki())
        if (s->Rodzaj() != TRodzaj::Zegar) w.push_back(static_cast<TControl*>(s.get()));
    return w;
}

// The widget shows what the model holds.
void SprawdzZgodnosc(const SrodowiskoQt& s, const TControl& k) {
    const QWidget* w = s.W(k);
    QVERIFY2(w, k.Name.c_str());
    const QString nazwa = QString::fromStdString(k.Name);
    if (k.Rodzaj() != TRodzaj::Forma) {
        QCOMPARE(w->geometry(), QRect(k.Left, k.Top, k.Width, k.Height));
        QCOMPARE(w->isHidden(), !k.Visible());
        const TControl* rodzic = k.Parent();
        QVERIFY2(rodzic, qPrintable(nazwa));
        QWidget* obszar = s.zaplecze.WidokiQt().Widok(*rodzic)->Obszar();
        QCOMPARE(w->parentWidget(), obszar);
    }
    QCOMPARE(w->isEnabledTo(w->parentWidget() ? w->parentWidget() : w), k.Enabled());
    QCOMPARE(w->toolTip(), Q(k.PokazywanaPodpowiedz()));
    QCOMPARE(w->font().pixelSize(), k.Font().Height);
    QCOMPARE(w->font().family(), QStringLiteral("DejaVu Sans"));
    QCOMPARE(w->font().bold(), k.Font().Bold);
    QCOMPARE(w->font().underline(), k.Font().Underline);
    switch (k.Rodzaj()) {
    case TRodzaj::Etykieta:
        QCOMPARE(static_cast<const QLabel*>(w)->text(), Q(k.Caption));
        break;
    case TRodzaj::Ramka:
        QCOMPARE(static_cast<const QGroupBox*>(w)->title(), Q(k.Caption));
        break;
    case TRodzaj::Przycisk:
        QCOMPARE(static_cast<const QPushButton*>(w)->text(), Q(k.Caption));
        break;
    case TRodzaj::PoleWyboru:
        QCOMPARE(static_cast<const QCheckBox*>(w)->text(), Q(k.Caption));
        QCOMPARE(static_cast<const QCheckBox*>(w)->isChecked(), static_cast<const TCheckBox&>(k).Checked());
        break;
    case TRodzaj::GrupaOpcji: {
        const auto& r = static_cast<const TRadioGroup&>(k);
        const auto& przyciski = static_cast<const GrupaOpcjiQt*>(w)->Przyciski();
        QCOMPARE(static_cast<const QGroupBox*>(w)->title(), Q(k.Caption));
        QCOMPARE(przyciski.size(), r.Items().size());
        for (std::size_t i = 0; i < przyciski.size(); ++i) {
            QCOMPARE(przyciski[i]->text(), Q(r.Items()[i]));
            QCOMPARE(przyciski[i]->isChecked(), r.ItemIndex == static_cast<int>(i));
            QCOMPARE(przyciski[i]->font().pixelSize(), k.Font().Height);
            const TProstokat m = r.MiejsceElementu(static_cast<int>(i), QFontMetrics(w->font()).height());
            QCOMPARE(przyciski[i]->geometry(), QRect(m.Left, m.Top, m.Width, m.Height));
        }
        break;
    }
    case TRodzaj::PoleEdycji:
        QCOMPARE(static_cast<const QLineEdit*>(w)->text(), Q(static_cast<const TEdit&>(k).Text));
        QCOMPARE(static_cast<const QLineEdit*>(w)->isReadOnly(), static_cast<const TEdit&>(k).ReadOnly());
        break;
    case TRodzaj::PasekPostepu: {
        const auto& p = static_cast<const TProgressBar&>(k);
        const auto* b = static_cast<const QProgressBar*>(w);
        QCOMPARE(b->maximum(), p.Max());
        QCOMPARE(b->value(), p.Position());
        break;
    }
    case TRodzaj::Obraz:
        QVERIFY2(!static_cast<const QLabel*>(w)->pixmap().isNull(), qPrintable(nazwa));
        break;
    case TRodzaj::Lista: {
        const auto* l = static_cast<const ListaQt*>(w);
        const auto& m = static_cast<const TListBox&>(k);
        QCOMPARE(l->verticalScrollBar()->value(), m.TopIndex());
        QCOMPARE(l->verticalScrollBar()->maximum(), std::max(0, m.Items.Count() - m.WidoczneElementy()));
        break;
    }
    default:
        break;
    }
}

// A press at `lokalny` on `cel`, one move by `przesuniecie` and the release,
// delivered as the window system would: the press to the control under the
// pointer, the rest to the widget holding the mouse.
void Przeciagnij(QWidget* cel, QPoint lokalny, Qt::MouseButton przycisk, QPoint przesuniecie) {
    const QPointF poczatek = cel->mapToGlobal(QPointF(lokalny));
    QMouseEvent nacisk(QEvent::MouseButtonPress, QPointF(lokalny), poczatek, przycisk, przycisk, Qt::NoModifier);
    QApplication::sendEvent(cel, &nacisk);
    QWidget* odbiorca = QWidget::mouseGrabber() ? QWidget::mouseGrabber() : cel;
    const QPointF koniec = poczatek + QPointF(przesuniecie);
    QMouseEvent ruch(QEvent::MouseMove, odbiorca->mapFromGlobal(koniec), koniec, Qt::NoButton, przycisk,
                     Qt::NoModifier);
    QApplication::sendEvent(odbiorca, &ruch);
    odbiorca = QWidget::mouseGrabber() ? QWidget::mouseGrabber() : cel;
    QMouseEvent puszczenie(QEvent::MouseButtonRelease, odbiorca->mapFromGlobal(koniec), koniec, przycisk,
                           Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(odbiorca, &puszczenie);
}

// The paint events of a widget, with what they painted.
class Malowania : public QObject {
public:
    QRegion obszar;
    int ile = 0;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) {
            ++ile;
            obszar += static_cast<QPaintEvent*>(e)->region();
        }
        return false;
    }
};

// A form of one control of each kind the user acts on.
struct Proba : TForm {
    TButton* Przycisk = nullptr;
    TButton* Anuluj = nullptr;
    TCheckBox* Wybor = nullptr;
    TRadioGroup* Grupa = nullptr;
    TLabel* Etykieta = nullptr;
    TListBox* Lista = nullptr;
    TEdit* Pole = nullptr;
    Proba() : TForm("Proba") {
        SetBounds(50, 60, 400, 300);
        Przycisk = Utworz<TButton>(this, "Przycisk");
        Przycisk->SetBounds(10, 10, 80, 25);
        Przycisk->Caption = u"Ok";
        Przycisk->Default = true;
        Anuluj = Utworz<TButton>(this, "Anuluj");
        Anuluj->SetBounds(100, 10, 80, 25);
        Anuluj->Cancel = true;
        Wybor = Utworz<TCheckBox>(this, "Wybor");
        Wybor->SetBounds(10, 40, 150, 20);
        Grupa = Utworz<TRadioGroup>(this, "Grupa");
        Grupa->SetBounds(10, 70, 150, 70);
        Grupa->Items = {u"a", u"b"};
        Etykieta = Utworz<TLabel>(this, "Etykieta");
        Etykieta->SetBounds(200, 40, 0, 0);
        Etykieta->Caption = u"odnośnik";
        Lista = Utworz<TListBox>(this, "Lista");
        Lista->SetBounds(10, 150, 300, 100);  // 6 items of 16 pixels in view
        Pole = Utworz<TEdit>(this, "Pole");
        Pole->SetBounds(200, 70, 150, 22);
        Realizuj();
    }
};

}  // namespace

class WidokiQtTest : public QObject {
    Q_OBJECT
private slots:
    void kazdaKontrolkaMaZgodnyWidzet() {
        SrodowiskoQt s;
        s.Utworz();
        for (const TForm* f : {static_cast<TForm*>(s.glowne.get()), static_cast<TForm*>(s.strona.get())})
            for (const TControl* k : Kontrolki(*f)) {
                SprawdzZgodnosc(s, *k);
                if (QTest::currentTestFailed()) QFAIL(k->Name.c_str());
            }
        // The page lies on the main window, hidden.
        QCOMPARE(s.W(*s.strona->PanelInstalacji)->window(), s.W(*s.glowne));
        QVERIFY(s.W(*s.glowne)->windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(s.W(*s.glowne)->windowTitle(), QStringLiteral("Warunki licencji"));
        QCOMPARE(s.W(*s.glowne)->size(), QSize(730, 360));
        // The window's shape: corners rounded by 40 x 40 ellipses; the region
        // excludes the right and bottom edges, as a Windows region does.
        const QRegion ksztalt = s.W(*s.glowne)->mask();
        for (const auto& [punkt, w] : std::vector<std::pair<QPoint, bool>>{
                 {{365, 180}, true}, {{0, 0}, false}, {{729, 0}, false}, {{0, 359}, false}, {{729, 359}, false},
                 {{3, 3}, false}, {{10, 10}, true}, {{719, 349}, true}, {{21, 0}, true}, {{0, 21}, true},
                 {{729, 180}, true}, {{730, 180}, false}, {{365, 360}, false}})
            QVERIFY2(ksztalt.contains(punkt) == w, qPrintable(QStringLiteral("%1,%2").arg(punkt.x()).arg(punkt.y())));
    }

    // "Wybór:" lies over the radio group's top edge and hides its caption
    // "-"; the licence page lies over the background picture; the tab order
    // of the licence page's controls that take the focus is their order.
    void ulozenieStronyLicencji() {
        SrodowiskoQt s;
        s.Utworz();
        TFormMain& f = *s.glowne;
        QWidget* panel = s.W(*f.PanelLic);
        auto* grupa = s.W<QGroupBox>(*f.RGAkceptacja);
        QCOMPARE(panel->childAt(16, 246), s.W(*f.StaticText3));
        QVERIFY(s.W(*f.StaticText3)->autoFillBackground());
        QStyleOptionGroupBox opcje;
        opcje.initFrom(grupa);
        opcje.text = grupa->title();
        opcje.textAlignment = grupa->alignment();
        opcje.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
        opcje.lineWidth = 1;
        const QRect tytul = grupa->style()
                                ->subControlRect(QStyle::CC_GroupBox, &opcje, QStyle::SC_GroupBoxLabel, grupa)
                                .translated(grupa->pos());
        QVERIFY2(s.W(*f.StaticText3)->geometry().contains(tytul.center()), "the caption \"-\" shows");
        QWidget* naSrodku = s.W(f)->childAt(100, 100);
        QVERIFY(naSrodku == s.W(*f.ListBox1) || s.W(*f.ListBox1)->isAncestorOf(naSrodku));


        // Tab walks the model's tab order, whichever widget has the focus,
        // and round again; Shift+Tab walks it back.
        f.Timer1->Enabled = false;
        f.RGAkceptacja->Enabled = true;
        f.Show();
        QVERIFY(QTest::qWaitForWindowActive(s.W(f)));
        const auto& przyciski = s.W<GrupaOpcjiQt>(*f.RGAkceptacja)->Przyciski();
        const QList<QWidget*> oczekiwane = {przyciski[0], s.W(*f.BitBtn1), s.W(*f.ListBox1)};
        QList<QWidget*> naprzod, wstecz;
        for (int i = 0; i < 4; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            naprzod.append(QApplication::focusWidget());
        }
        QCOMPARE(naprzod, (QList<QWidget*>{oczekiwane[0], oczekiwane[1], oczekiwane[2], oczekiwane[0]}));
        for (int i = 0; i < 3; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
            wstecz.append(QApplication::focusWidget());
        }
        QCOMPARE(wstecz, (QList<QWidget*>{oczekiwane[2], oczekiwane[1], oczekiwane[0]}));
    }

    // Disabled and silver for the whole run: what is drawn, not only what is
    // asked for; typing changes nothing.
    void daneUzytkownikaNieaktywneISrebrne() {
        SrodowiskoQt s;
        s.Utworz();
        s.glowne->Timer1->Enabled = false;
        s.glowne->Show();
        QVERIFY(QTest::qWaitForWindowExposed(s.W(*s.glowne)));
        for (TEdit* e : {s.glowne->EditNazwa, s.glowne->EditMail}) {
            auto* pole = s.W<QLineEdit>(*e);
            QVERIFY(!pole->isEnabled());
            const QImage obraz = pole->grab().toImage();
            QCOMPARE(QColor(obraz.pixel(obraz.width() / 2, obraz.height() / 2)), QColor(192, 192, 192));
            QTest::keyClicks(pole, QStringLiteral("abc"));
            QVERIFY(pole->text().isEmpty());
            QCOMPARE(e->Text(), u"");
        }
    }

    void zmianyModeluIdaDoWidzetow() {
        SrodowiskoQt s;
        s.Utworz();
        TFormInstal& f = *s.strona;
        TFormMain& g = *s.glowne;
        f.PanelInstalacji->Visible = true;
        g.PanelLic->Visible = false;
        f.Edit1->Text = u"D:\\Dane";
        f.Edit1->Width = 260;
        f.LabelFolder->Left = 477;
        f.BBDeinstal->Enabled = true;
        f.BBInstal->Caption = u"Uruchom";
        f.BBInstal->Hint = u"Uruchomienie programu";
        f.BBInstal->Enabled = true;
        f.CBSkrotPulpit->Checked = false;
        f.RGBit->ItemIndex = 0;
        f.ProgressBar1->Max = 200;
        f.ProgressBar1->Position = 150;
        g.LabelInfo->Caption = u"Pobranie pliku: _Kavrostel.exe";
        g.LabelInfo->Font = TFont{u"MS Sans Serif", 16, true, false, clNavy};
        for (int i = 0; i < 40; ++i) g.ListBox1->Items.Add(u"wiersz " + std::u16string(1, char16_t(u'a' + i % 26)));
        g.ListBox1->TopIndex = 20;
        g.ListBox1->ItemIndex = 25;
        g.EditMail->Color = clWhite;
        for (const TControl* k : {static_cast<TControl*>(f.PanelInstalacji), static_cast<TControl*>(g.PanelLic),
                                  static_cast<TControl*>(f.Edit1), static_cast<TControl*>(f.LabelFolder),
                                  static_cast<TControl*>(f.BBDeinstal), static_cast<TControl*>(f.BBInstal),
                                  static_cast<TControl*>(f.CBSkrotPulpit), static_cast<TControl*>(f.RGBit),
                                  static_cast<TControl*>(f.ProgressBar1), static_cast<TControl*>(g.LabelInfo),
                                  static_cast<TControl*>(g.ListBox1)}) {
            SprawdzZgodnosc(s, *k);
            if (QTest::currentTestFailed()) QFAIL(k->Name.c_str());
        }
        QCOMPARE(s.W<QLabel>(*g.LabelInfo)->palette().color(QPalette::WindowText), QColor(0, 0, 128));
        QCOMPARE(s.W<QLineEdit>(*g.EditMail)->palette().color(QPalette::Disabled, QPalette::Base), QColor(255, 255, 255));
        // The hint is shown exactly while the button is enabled.
        f.BBInstal->Enabled = false;
        QCOMPARE(s.W(*f.BBInstal)->toolTip(), QString());
        f.BBInstal->Enabled = true;
        QCOMPARE(s.W(*f.BBInstal)->toolTip(), QStringLiteral("Uruchomienie programu"));
        // The focus follows ActiveControl; none is the window itself.
        g.Show();
        QVERIFY(QTest::qWaitForWindowActive(s.W(g)));
        g.ActiveControl = f.BBInstal;
        QCOMPARE(QApplication::focusWidget(), s.W(*f.BBInstal));
        g.ActiveControl = nullptr;
        QCOMPARE(QApplication::focusWidget(), s.W(g));
        // A speed button held pressed.
        f.SBPrzegladaj->Down = true;
        QVERIFY(s.W<QPushButton>(*f.SBPrzegladaj)->isDown());
        // An unknown length sets no maximum: the bar stays empty, not busy.
        f.ProgressBar1->Position = 0;
        f.ProgressBar1->Max = 0;
        QVERIFY(s.W<QProgressBar>(*f.ProgressBar1)->maximum() > s.W<QProgressBar>(*f.ProgressBar1)->minimum());
        QCOMPARE(s.W<QProgressBar>(*f.ProgressBar1)->value(), 0);
    }

    // Beyond the contract every backend keeps (tests/kontrakt): a label
    // clicked with either button, the list's own click and the focus it
    // takes, the window moved.
    void dzialaniaUzytkownikaIdaDoModelu() {
        SrodowiskoQt s;
        Proba p;
        p.Show();
        QWidget* okno = s.W(p);
        QVERIFY(QTest::qWaitForWindowActive(okno));
        QVERIFY(p.Namalowana());  // the first paint was reported
        int etykieta = 0;
        p.Etykieta->OnClick = [&] { ++etykieta; };
        QTest::mouseClick(s.W(*p.Etykieta), Qt::LeftButton);
        QTest::mouseClick(s.W(*p.Etykieta), Qt::RightButton);
        QCOMPARE(etykieta, 1);
        // The list: a click selects, and the focus comes with it.
        for (int i = 0; i < 20; ++i) p.Lista->Items.Add(u"x");
        auto* lista = s.W<ListaQt>(*p.Lista);
        QTest::mouseClick(lista->viewport(), Qt::LeftButton, {}, QPoint(20, 16 * 3 + 5));
        QCOMPARE(p.Lista->ItemIndex(), 3);
        QCOMPARE(p.ActiveControl(), p.Lista);
        // Moving the window tells the model.
        okno->move(77, 88);
        QTRY_COMPARE(p.Left(), 77);
        QCOMPARE(p.Top(), 88);
        p.Hide();
        QVERIFY(!okno->isVisible());
    }

    // The timer runs from the window's creation; the presentation starts
    // only once the window is on the screen and painted.
    void pierwszeTykniecieDopieroPoNamalowaniu() {
        SrodowiskoQt s;
        s.Utworz();
        QTest::qWait(350);  // three intervals of Timer1
        QCOMPARE(s.glowne->ListBox1->Items.Count(), 0);
        QVERIFY(s.glowne->Timer1->Enabled);
        QVERIFY(!s.glowne->Namalowana());
        s.glowne->Show();
        QVERIFY(QTest::qWaitForWindowExposed(s.W(*s.glowne)));
        QTRY_VERIFY_WITH_TIMEOUT(s.glowne->RGAkceptacja->Enabled, 5000);
        QVERIFY(s.glowne->Namalowana());
        QCOMPARE(s.glowne->ListBox1->Items.Count(), 219);
        auto* lista = s.W<ListaQt>(*s.glowne->ListBox1);
        QCOMPARE(lista->verticalScrollBar()->value(), 28);
        QCOMPARE(QApplication::focusWidget(), s.W(*s.glowne->ListBox1));
        // 16-pixel items: 14 whole lines in view, 28 to 41.
        const QRect widok = lista->viewport()->rect();
        QVERIFY(widok.contains(lista->ProstokatElementu(28)));
        QVERIFY(widok.contains(lista->ProstokatElementu(41)));
        QVERIFY(!widok.contains(lista->ProstokatElementu(42)));
        QVERIFY(!widok.contains(lista->ProstokatElementu(27)));
        QCOMPARE(lista->ProstokatElementu(41).height(), 16);
    }

    // Only a left press on the window's background, a panel, a group box, the
    // title picture or the title line drags the window; no window manager
    // here, so the window follows the mouse until the release.
    void przeciaganieOkna_data() {
        QTest::addColumn<QString>("cel");
        QTest::addColumn<QPoint>("punkt");
        QTest::addColumn<int>("przycisk");
        QTest::addColumn<bool>("przesuwa");
        const QList<std::tuple<const char*, QPoint>> zrodla = {
            {"PanelLic", {715, 265}}, {"PanelKoniec", {10, 10}}, {"GroupBox1", {5, 80}}, {"GroupBox2", {5, 90}},
            {"GroupBox3", {5, 40}},   {"Image9", {5, 15}},       {"LabelInfo", {10, 10}},
        };
        for (const auto& [nazwa, punkt] : zrodla) {
            QTest::addRow("left on %s", nazwa) << QString::fromLatin1(nazwa) << punkt << int(Qt::LeftButton) << true;
            QTest::addRow("right on %s", nazwa) << QString::fromLatin1(nazwa) << punkt << int(Qt::RightButton) << false;
            QTest::addRow("middle on %s", nazwa) << QString::fromLatin1(nazwa) << punkt << int(Qt::MiddleButton) << false;
        }
        // Controls that are not listed keep the press, even when it travels
        // on to a listed parent.
        const QList<std::tuple<const char*, QPoint>> inne = {
            {"Label5", {3, 3}},    {"LabelHttp", {3, 3}},   {"StaticTextStudio", {3, 3}}, {"GroupBox4", {5, 70}},
            {"Image1", {5, 5}},    {"LabelWWW", {3, 3}},    {"StaticText3", {3, 3}},      {"LabelKoniec", {3, 3}},
            {"RGAkceptacja", {30, 30}},
        };
        for (const auto& [nazwa, punkt] : inne)
            QTest::addRow("left on %s", nazwa) << QString::fromLatin1(nazwa) << punkt << int(Qt::LeftButton) << false;
    }
    void przeciaganieOkna() {
        QFETCH(QString, cel);
        QFETCH(QPoint, punkt);
        QFETCH(int, przycisk);
        QFETCH(bool, przesuwa);
        SrodowiskoQt s;
        s.Utworz();
        s.glowne->Timer1->Enabled = false;
        s.glowne->PanelKoniec->Visible = cel == "PanelKoniec" || cel == "LabelKoniec";
        s.glowne->Show();
        s.glowne->SetBounds(100, 80, 730, 360);
        QWidget* okno = s.W(*s.glowne);
        QVERIFY(QTest::qWaitForWindowExposed(okno));
        QWidget* w = s.W(*static_cast<TControl*>(s.glowne->Znajdz(cel.toStdString())));
        const QPoint przed = okno->pos();
        Przeciagnij(w, punkt, Qt::MouseButton(przycisk), QPoint(37, -21));
        QCOMPARE(okno->pos(), przesuwa ? przed + QPoint(37, -21) : przed);
        QCOMPARE(QPoint(s.glowne->Left, s.glowne->Top), okno->pos());
        QCOMPARE(QWidget::mouseGrabber(), static_cast<QWidget*>(nullptr));
    }

    // The list paints the row it adds or changes, not the whole list; rows
    // added below the view paint nothing of the list's rows.
    void listaMalujeTylkoZmiany() {
        SrodowiskoQt s;
        Proba p;
        p.Show();
        auto* lista = s.W<ListaQt>(*p.Lista);
        QVERIFY(QTest::qWaitForWindowExposed(s.W(p)));
        QTest::qWait(100);  // the first paint of the whole window is over
        Malowania malowania;
        lista->viewport()->installEventFilter(&malowania);
        auto Odmaluj = [&] {
            malowania.obszar = QRegion();
            malowania.ile = 0;
            p.Lista->Repaint();
            return malowania.obszar;
        };
        QVERIFY(Odmaluj().isEmpty());
        p.Lista->Items.Add(u"pierwszy");
        QCOMPARE(Odmaluj(), QRegion(lista->ProstokatElementu(0)));
        p.Lista->Items.Add(u"drugi");
        QCOMPARE(Odmaluj(), QRegion(lista->ProstokatElementu(1)));
        p.Lista->Items.Set(0, u"pierwszy, zmieniony");
        QCOMPARE(Odmaluj(), QRegion(lista->ProstokatElementu(0)));
        for (int i = 2; i < 6; ++i) p.Lista->Items.Add(u"x");
        QCOMPARE(Odmaluj(), QRegion(lista->ProstokatElementu(2)) + lista->ProstokatElementu(3) +
                                lista->ProstokatElementu(4) + lista->ProstokatElementu(5));
        // The seventh row does not fit: the scroll bar appears, the view narrows.
        p.Lista->Items.Add(u"x");
        QVERIFY(lista->verticalScrollBar()->isVisible());
        Odmaluj();
        p.Lista->Items.Add(u"x");
        QVERIFY(Odmaluj().isEmpty());
        QCOMPARE(lista->verticalScrollBar()->maximum(), 2);
        p.Lista->TopIndex = 2;
        QCOMPARE(Odmaluj(), QRegion(lista->viewport()->rect()));
        p.Lista->ItemIndex = 3;
        QCOMPARE(Odmaluj(), QRegion(lista->ProstokatElementu(3)));
    }

    // During a download the focus is on the window itself: a key pressed
    // there ends and starts nothing. Afterwards the install button has it back.
    void fokusPodczasPobierania() {
        SrodowiskoQt s;
        s.pliki.DodajDysk(u"D:");
        s.Utworz();
        s.glowne->Timer1->Enabled = false;
        s.glowne->Show();
        QWidget* okno = s.W(*s.glowne);
        QVERIFY(QTest::qWaitForWindowActive(okno));
        s.glowne->RGAkceptacja->Enabled = true;
        s.glowne->RGAkceptacja->ItemIndex = 0;
        QCOMPARE(QApplication::focusWidget(), s.W(*s.strona->BBInstal));
        QWidget* fokusWTrakcie = nullptr;
        s.http.wTrakcie = [&] {
            if (fokusWTrakcie) return;
            fokusWTrakcie = QApplication::focusWidget();
            for (Qt::Key klawisz : {Qt::Key_Space, Qt::Key_Return, Qt::Key_Escape}) QTest::keyClick(fokusWTrakcie, klawisz);
        };
        QTest::mouseClick(s.W(*s.strona->BBInstal), Qt::LeftButton);
        QCOMPARE(fokusWTrakcie, okno);
        QVERIFY(okno->isVisible());
        QVERIFY(s.glowne->PanelKoniec->Visible);  // installed
        QCOMPARE(QApplication::focusWidget(), s.W(*s.strona->BBInstal));
    }
};

QTEST_MAIN(WidokiQtTest)
#include "widoki_qt_test.moc"
