// The main window: its design, the state after creation, the window drag, the
// web link and the close button.
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionGroupBox>
#include <QTest>
#include <QTimer>
#include <memory>

#include "ArkMain.h"
#include "AtrapyUi.h"

Q_DECLARE_METATYPE(QWidget*)

namespace {

struct Okno {
    AtrapyUslug atrapy;
    std::unique_ptr<TFormMain> forma;

    Okno() : forma(std::make_unique<TFormMain>(atrapy.uslugi)) {
        // The presentation has tests of its own; here it must not run.
        forma->Timer1->stop();
    }
};

// A press at `lokalny` on `cel`, one move by `przesuniecie` and the release,
// delivered as the window system would: the press to the control under the
// pointer, the rest to the widget holding the mouse.
void Przeciagnij(QWidget* cel, QPoint lokalny, Qt::MouseButton przycisk, QPoint przesuniecie) {
    const QPointF poczatek = cel->mapToGlobal(QPointF(lokalny));
    QMouseEvent nacisk(QEvent::MouseButtonPress, QPointF(lokalny), poczatek, przycisk, przycisk,
                       Qt::NoModifier);
    QApplication::sendEvent(cel, &nacisk);
    QWidget* odbiorca = QWidget::mouseGrabber() ? QWidget::mouseGrabber() : cel;
    const QPointF koniec = poczatek + QPointF(przesuniecie);
    QMouseEvent ruch(QEvent::MouseMove, odbiorca->mapFromGlobal(koniec), koniec, Qt::NoButton,
                     przycisk, Qt::NoModifier);
    QApplication::sendEvent(odbiorca, &ruch);
    odbiorca = QWidget::mouseGrabber() ? QWidget::mouseGrabber() : cel;
    QMouseEvent puszczenie(QEvent::MouseButtonRelease, odbiorca->mapFromGlobal(koniec), koniec,
                           przycisk, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(odbiorca, &puszczenie);
}

std::map<QString, QWidget*> Kontrolki(TFormMain& f) {
    return {
        {"PanelInfo", f.PanelInfo},         {"Image9", f.Image9},
        {"LabelInfo", f.LabelInfo},         {"Image6", f.Image6},
        {"PanelLic", f.PanelLic},           {"PanelKoniec", f.PanelKoniec},
        {"LabelKoniec", f.LabelKoniec},     {"Image7", f.Image7},
        {"Image8", f.Image8},               {"LabelHttp", f.LabelHttp},
        {"Label5", f.Label5},               {"RGAkceptacja", f.RGAkceptacja},
        {"GroupBox1", f.GroupBox1},         {"StaticTextStudio", f.StaticTextStudio},
        {"Image1", f.Image1},               {"Image2", f.Image2},
        {"GroupBox2", f.GroupBox2},         {"LabelWWW", f.LabelWWW},
        {"LabelTelefon1", f.LabelTelefon1}, {"LabelTelefon2", f.LabelTelefon2},
        {"StaticText3", f.StaticText3},     {"GroupBox3", f.GroupBox3},
        {"LabelEmail", f.LabelEmail},       {"BitBtn1", f.BitBtn1},
        {"GroupBox4", f.GroupBox4},         {"EditNazwa", f.EditNazwa},
        {"EditMail", f.EditMail},           {"ListBox1", f.ListBox1},
    };
}

void Kliknij(QWidget* cel, Qt::MouseButton przycisk) {
    const QPoint srodek = cel->rect().center();
    const QPointF g = cel->mapToGlobal(QPointF(srodek));
    QMouseEvent nacisk(QEvent::MouseButtonPress, QPointF(srodek), g, przycisk, przycisk, Qt::NoModifier);
    QApplication::sendEvent(cel, &nacisk);
    QMouseEvent puszczenie(QEvent::MouseButtonRelease, QPointF(srodek), g, przycisk, Qt::NoButton,
                           Qt::NoModifier);
    QApplication::sendEvent(cel, &puszczenie);
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { Q_INIT_RESOURCE(obrazy); }

    void oknoBezRamkiOStalymRozmiarze() {
        Okno o;
        TFormMain& f = *o.forma;
        QCOMPARE(FormMain, &f);
        QCOMPARE(f.size(), QSize(730, 360));
        QVERIFY(f.windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(f.windowTitle(), QStringLiteral("Warunki licencji"));
        QCOMPARE(QFontMetrics(f.font()).height(), 15);
        QCOMPARE(f.LabelInfo->text(), QStringLiteral("Warunki licencji - wersja demonstracyjna"));
        QCOMPARE(f.Timer1->interval(), 100);
        AtrapyUslug atrapy;
        TFormMain drugie(atrapy.uslugi);
        QVERIFY(drugie.Timer1->isActive());  // started at creation
        drugie.Timer1->stop();
    }

    void kontrolkiNaSwoichMiejscach_data() {
        QTest::addColumn<QString>("nazwa");
        QTest::addColumn<QString>("rodzic");
        QTest::addColumn<QRect>("miejsce");  // width -1: sized by its text
        const QList<std::tuple<const char*, const char*, QRect>> tabela = {
            {"PanelInfo", "", {0, 0, 730, 30}},
            {"Image9", "PanelInfo", {0, 0, 730, 30}},
            {"LabelInfo", "PanelInfo", {31, 4, -1, -1}},
            {"Image6", "", {0, 30, 730, 330}},
            {"PanelLic", "", {0, 32, 730, 330}},
            {"PanelKoniec", "", {0, 32, 730, 288}},
            {"LabelKoniec", "PanelKoniec", {227, 199, -1, -1}},
            {"Image7", "PanelKoniec", {218, 81, 300, 100}},
            {"Image8", "PanelKoniec", {170, 81, 400, 100}},
            {"LabelHttp", "PanelLic", {532, 297, -1, -1}},
            {"Label5", "PanelLic", {531, 264, -1, -1}},
            {"RGAkceptacja", "PanelLic", {8, 246, 122, 76}},
            {"GroupBox1", "PanelLic", {523, 3, 183, 85}},
            {"StaticTextStudio", "GroupBox1", {11, 18, -1, -1}},
            {"Image1", "GroupBox1", {36, 40, 112, 36}},
            {"Image2", "GroupBox1", {12, 36, 117, 41}},
            {"GroupBox2", "PanelLic", {523, 90, 183, 100}},
            {"LabelWWW", "GroupBox2", {17, 18, -1, -1}},
            {"LabelTelefon1", "GroupBox2", {17, 38, -1, -1}},
            {"LabelTelefon2", "GroupBox2", {17, 57, -1, -1}},
            {"StaticText3", "PanelLic", {15, 245, -1, -1}},
            {"GroupBox3", "PanelLic", {523, 196, 183, 47}},
            {"LabelEmail", "GroupBox3", {11, 20, -1, -1}},
            {"BitBtn1", "PanelLic", {655, 295, 65, 25}},
            {"GroupBox4", "PanelLic", {138, 246, 373, 76}},
            {"EditNazwa", "GroupBox4", {62, 20, 302, 24}},
            {"EditMail", "GroupBox4", {62, 47, 302, 21}},
            {"ListBox1", "PanelLic", {8, 9, 509, 231}},
        };
        for (const auto& [nazwa, rodzic, miejsce] : tabela)
            QTest::newRow(nazwa) << QString::fromLatin1(nazwa) << QString::fromLatin1(rodzic) << miejsce;
    }

    void kontrolkiNaSwoichMiejscach() {
        QFETCH(QString, nazwa);
        QFETCH(QString, rodzic);
        QFETCH(QRect, miejsce);
        Okno o;
        const auto kontrolki = Kontrolki(*o.forma);
        QWidget* w = kontrolki.at(nazwa);
        QCOMPARE(w->parentWidget(), rodzic.isEmpty() ? o.forma.get() : kontrolki.at(rodzic));
        QCOMPARE(w->pos(), miejsce.topLeft());
        if (miejsce.width() >= 0)
            QCOMPARE(w->size(), miejsce.size());
        else  // a label sized to its text shows all of it
            QVERIFY(w->width() >= w->sizeHint().width());
    }

    void pozniejszeKontrolkiLezaNaWczesniejszych() {
        Okno o;
        TFormMain& f = *o.forma;
        // "Wybór:" hides the radio group's own caption on its top edge.
        QCOMPARE(f.PanelLic->childAt(16, 246), static_cast<QWidget*>(f.StaticText3));
        QVERIFY(f.StaticText3->autoFillBackground());
        QStyleOptionGroupBox opcje;
        opcje.initFrom(f.RGAkceptacja);
        opcje.text = f.RGAkceptacja->title();
        opcje.textAlignment = f.RGAkceptacja->alignment();
        opcje.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
        opcje.lineWidth = 1;
        const QRect tytul = f.RGAkceptacja->style()
                                ->subControlRect(QStyle::CC_GroupBox, &opcje, QStyle::SC_GroupBoxLabel,
                                                 f.RGAkceptacja)
                                .translated(f.RGAkceptacja->pos());
        QVERIFY2(f.StaticText3->geometry().contains(tytul.center()), "the caption \"-\" shows");
        QVERIFY(f.StaticText3->geometry().left() <= tytul.left());
        // The licence page lies over the background picture.
        QWidget* naSrodku = f.childAt(100, 100);
        QVERIFY(naSrodku == f.ListBox1 || f.ListBox1->isAncestorOf(naSrodku));
    }

    void stanPoUtworzeniu() {
        Okno o;
        TFormMain& f = *o.forma;
        QVERIFY(!f.PanelLic->isHidden());
        QVERIFY(f.PanelKoniec->isHidden());
        QVERIFY(!f.LabelHttp->isHidden());
        QVERIFY(!f.Image1->isHidden());
        QVERIFY(f.Image2->isHidden());
        QVERIFY(!f.Image7->isHidden());
        QVERIFY(f.Image8->isHidden());
        QCOMPARE(f.BitBtn1->toolTip(), QStringLiteral("Koniec pracy Instalatora."));
        for (QWidget* odnosnik : std::initializer_list<QWidget*>{f.Image1, f.Image2, f.LabelWWW})
            QCOMPARE(odnosnik->cursor().shape(), Qt::PointingHandCursor);
        // The pictures are built in and decoded.
        for (QLabel* obraz : {f.Image1, f.Image2, f.Image6, f.Image7, f.Image8, f.Image9})
            QVERIFY(!obraz->pixmap().isNull());
    }

    void wyborAkceptacjiNieaktywnyIPusty() {
        Okno o;
        TRadioGroup& rg = *o.forma->RGAkceptacja;
        QVERIFY(!rg.isEnabled());
        QCOMPARE(rg.title(), QStringLiteral("-"));
        QCOMPARE(rg.Count(), 2);
        QCOMPARE(rg.Item(0)->text(), QStringLiteral("Akceptuję"));
        QCOMPARE(rg.Item(1)->text(), QStringLiteral("Nie akceptuję"));
        QCOMPARE(rg.ItemIndex(), -1);
    }

    void daneUzytkownikaNieaktywneISrebrne() {
        Okno o;
        o.forma->show();
        for (QLineEdit* pole : {o.forma->EditNazwa, o.forma->EditMail}) {
            QVERIFY(!pole->isEnabled());
            // What is drawn, not only what is asked for.
            const QImage obraz = pole->grab().toImage();
            QCOMPARE(QColor(obraz.pixel(obraz.width() / 2, obraz.height() / 2)), QColor(192, 192, 192));
            QTest::keyClicks(pole, QStringLiteral("abc"));
            QVERIFY(pole->text().isEmpty());
        }
    }

    void ksztaltZaokraglonyElipsami40_data() {
        QTest::addColumn<QPoint>("punkt");
        QTest::addColumn<bool>("wOknie");
        QTest::newRow("środek") << QPoint(365, 180) << true;
        QTest::newRow("lewy górny róg") << QPoint(0, 0) << false;
        QTest::newRow("prawy górny róg") << QPoint(729, 0) << false;
        QTest::newRow("lewy dolny róg") << QPoint(0, 359) << false;
        QTest::newRow("prawy dolny róg") << QPoint(729, 359) << false;
        QTest::newRow("blisko rogu, poza łukiem") << QPoint(3, 3) << false;
        QTest::newRow("blisko rogu, w łuku") << QPoint(10, 10) << true;
        QTest::newRow("prawy dolny, w łuku") << QPoint(719, 349) << true;
        QTest::newRow("koniec łuku na górnej krawędzi") << QPoint(21, 0) << true;
        QTest::newRow("koniec łuku na lewej krawędzi") << QPoint(0, 21) << true;
        QTest::newRow("środek prawej krawędzi") << QPoint(729, 180) << true;
        QTest::newRow("za prawą krawędzią") << QPoint(730, 180) << false;
        QTest::newRow("za dolną krawędzią") << QPoint(365, 360) << false;
    }

    void ksztaltZaokraglonyElipsami40() {
        QFETCH(QPoint, punkt);
        QFETCH(bool, wOknie);
        Okno o;
        QCOMPARE(o.forma->mask().contains(punkt), wOknie);
    }

    void kolejnoscTabulacji() {
        Okno o;
        TFormMain& f = *o.forma;
        QList<QWidget*> lancuch;
        for (QWidget* w = f.nextInFocusChain(); w && w != &f; w = w->nextInFocusChain())
            lancuch.append(w);
        const QList<QWidget*> kolejnosc = {f.RGAkceptacja, f.GroupBox1, f.GroupBox2, f.StaticText3,
                                           f.GroupBox3,    f.BitBtn1,   f.GroupBox4, f.ListBox1};
        int poprzedni = -1;
        for (QWidget* w : kolejnosc) {
            const int i = static_cast<int>(lancuch.indexOf(w));
            QVERIFY2(i > poprzedni, qPrintable(w->metaObject()->className()));
            poprzedni = i;
        }
        // The controls that take the focus follow the same order.
        QList<QWidget*> zatrzymania;
        for (QWidget* w : lancuch)
            if (w->focusPolicy() & Qt::TabFocus) zatrzymania.append(w);
        const QList<QWidget*> oczekiwane = {f.RGAkceptacja->Item(0), f.RGAkceptacja->Item(1),
                                            f.BitBtn1, f.EditNazwa, f.EditMail, f.ListBox1};
        QList<QWidget*> naStronie;
        for (QWidget* w : zatrzymania)
            if (oczekiwane.contains(w)) naStronie.append(w);
        QCOMPARE(naStronie, oczekiwane);
    }

    void przeciaganieOkna_data() {
        QTest::addColumn<QString>("cel");
        QTest::addColumn<QPoint>("punkt");
        QTest::addColumn<int>("przycisk");
        QTest::addColumn<bool>("przesuwa");
        const QList<std::tuple<const char*, QPoint>> zrodla = {
            {"PanelLic", {715, 265}},  {"PanelKoniec", {10, 10}}, {"GroupBox1", {5, 80}},
            {"GroupBox2", {5, 90}},    {"GroupBox3", {5, 40}},    {"Image9", {5, 15}},
            {"LabelInfo", {10, 10}},
        };
        for (const auto& [nazwa, punkt] : zrodla) {
            QTest::addRow("lewy na %s", nazwa) << QString::fromLatin1(nazwa) << punkt
                                               << int(Qt::LeftButton) << true;
            QTest::addRow("prawy na %s", nazwa) << QString::fromLatin1(nazwa) << punkt
                                                << int(Qt::RightButton) << false;
            QTest::addRow("środkowy na %s", nazwa) << QString::fromLatin1(nazwa) << punkt
                                                   << int(Qt::MiddleButton) << false;
        }
        // Controls that are not listed keep the press, even when it travels
        // on to a listed parent.
        const QList<std::tuple<const char*, QPoint>> inne = {
            {"Label5", {3, 3}},     {"LabelHttp", {3, 3}}, {"StaticTextStudio", {3, 3}},
            {"GroupBox4", {5, 70}}, {"Image1", {5, 5}},    {"LabelWWW", {3, 3}},
            {"StaticText3", {3, 3}}, {"LabelKoniec", {3, 3}},
        };
        for (const auto& [nazwa, punkt] : inne)
            QTest::addRow("lewy na %s", nazwa) << QString::fromLatin1(nazwa) << punkt
                                               << int(Qt::LeftButton) << false;
    }

    void przeciaganieOkna() {
        QFETCH(QString, cel);
        QFETCH(QPoint, punkt);
        QFETCH(int, przycisk);
        QFETCH(bool, przesuwa);
        Okno o;
        TFormMain& f = *o.forma;
        f.show();
        f.PanelKoniec->show();  // over the licence page, as after an installation
        if (cel != "PanelKoniec" && cel != "LabelKoniec") f.PanelKoniec->hide();
        f.move(100, 80);
        const auto kontrolki = Kontrolki(f);
        QWidget* w = kontrolki.at(cel);
        // The point really lies on that control and on none inside it.
        QCOMPARE(f.childAt(w->mapTo(&f, punkt)), w);
        const QPoint przed = f.pos();
        Przeciagnij(w, punkt, Qt::MouseButton(przycisk), QPoint(37, -21));
        QCOMPARE(f.pos(), przesuwa ? przed + QPoint(37, -21) : przed);
        QCOMPARE(QWidget::mouseGrabber(), static_cast<QWidget*>(nullptr));
    }

    void przeciaganieKolejnymiRuchami() {
        Okno o;
        TFormMain& f = *o.forma;
        f.show();
        f.move(50, 60);
        const QPointF start = f.LabelInfo->mapToGlobal(QPointF(10, 10));
        QMouseEvent nacisk(QEvent::MouseButtonPress, QPointF(10, 10), start, Qt::LeftButton,
                           Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(f.LabelInfo, &nacisk);
        QCOMPARE(QWidget::mouseGrabber(), static_cast<QWidget*>(&f));
        for (const QPoint krok : {QPoint(5, 0), QPoint(10, 4), QPoint(-30, 12)}) {
            const QPointF g = start + QPointF(krok);
            QMouseEvent ruch(QEvent::MouseMove, f.mapFromGlobal(g), g, Qt::NoButton, Qt::LeftButton,
                             Qt::NoModifier);
            QApplication::sendEvent(&f, &ruch);
            QCOMPARE(f.pos(), QPoint(50, 60) + krok);
        }
        const QPointF g = start + QPointF(-30, 12);
        QMouseEvent puszczenie(QEvent::MouseButtonRelease, f.mapFromGlobal(g), g, Qt::LeftButton,
                               Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&f, &puszczenie);
        // After the release the pointer moves alone.
        const QPointF dalej = g + QPointF(40, 40);
        QMouseEvent ruch(QEvent::MouseMove, f.mapFromGlobal(dalej), dalej, Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&f, &ruch);
        QCOMPARE(f.pos(), QPoint(20, 72));
    }

    void odnosnikOtwieraStroneProducenta() {
        Okno o;
        TFormMain& f = *o.forma;
        f.show();
        f.Image2->show();
        for (QWidget* w : std::initializer_list<QWidget*>{f.Image1, f.Image2, f.LabelWWW})
            Kliknij(w, Qt::LeftButton);
        const std::u16string adres = u"http://www.kv-tek.example/";
        QCOMPARE(o.atrapy.powloka.otwarteAdresy, (std::vector<std::u16string>(3, adres)));
        // The address shown is the one opened.
        QVERIFY(QStringLiteral("http://%1/").arg(f.LabelWWW->text()) ==
                QString::fromStdU16String(adres));
        Kliknij(f.LabelWWW, Qt::RightButton);
        Kliknij(f.Label5, Qt::LeftButton);
        QCOMPARE(o.atrapy.powloka.otwarteAdresy.size(), size_t(3));
    }

    void zamknijKonczyBezPytania() {
        Okno o;
        TFormMain& f = *o.forma;
        f.show();
        QVERIFY(f.isVisible());
        QTest::mouseClick(f.BitBtn1, Qt::LeftButton);
        QVERIFY(!f.isVisible());
        QCOMPARE(QApplication::activeModalWidget(), static_cast<QWidget*>(nullptr));
    }

    void wysrodkowaneNaEkranie() {
        Okno o;
        TFormMain& f = *o.forma;
        f.move(0, 0);
        f.show();
        const QRect ekran = f.screen()->geometry();
        QCOMPARE(f.pos(), QPoint(ekran.x() + (ekran.width() - 730) / 2,
                                 ekran.y() + (ekran.height() - 360) / 2));
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
