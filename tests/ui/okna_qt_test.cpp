// The Qt backend's windows and dialogs: the notice box on screen with its
// modal loop, the standard message dialog and the top-level error display,
// and the file-save dialog with its Windows paths.
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <stdexcept>

#include "DialQst2.h"
#include "SrodowiskoQt.h"

namespace {

constexpr QPoint ROG_GLOWNEGO(40, 25);

struct Okienko {
    QString tytul, tekst;
    QMessageBox::Icon ikona = QMessageBox::NoIcon;
    int przyciski = 0;
    bool bylo = false;
};

// Reads the message dialog that is about to open and closes it with OK.
void PrzeczytajIZamknij(Okienko& o) {
    QTimer::singleShot(0, [&o] {
        auto* okno = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!okno) return;
        o.bylo = true;
        o.tytul = okno->windowTitle();
        o.tekst = okno->text();
        o.ikona = okno->icon();
        o.przyciski = static_cast<int>(okno->buttons().size());
        okno->button(QMessageBox::Ok)->click();
    });
}

// Runs `odpowiedz` on the file dialog as soon as it is shown.
void OdpowiedzDialogowi(std::function<void(QFileDialog&)> odpowiedz) {
    auto* t = new QTimer;
    t->setInterval(5);
    QObject::connect(t, &QTimer::timeout, [t, odpowiedz] {
        if (auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            t->stop();
            t->deleteLater();
            odpowiedz(*d);
        }
    });
    t->start();
}

// Drive C: is a temporary folder; other paths lie on no drive.
class PlikiNaDyskuC : public AtrapaSystemuPlikow {
public:
    explicit PlikiNaDyskuC(QString korzen) : korzen_(std::move(korzen)) {}
    std::u16string NaSciezkeSystemu(const std::u16string& s) const override {
        QString w = QString::fromStdU16String(s);
        if (!w.startsWith(u"C:\\"_qs, Qt::CaseInsensitive)) return {};
        return (korzen_ + u"/"_qs + w.mid(3).replace(u'\\', u'/')).toStdU16String();
    }
    std::u16string ZeSciezkiSystemu(const std::u16string& s) const override {
        const QString w = QString::fromStdU16String(s);
        if (!w.startsWith(korzen_ + u"/"_qs)) return {};
        return (u"C:\\"_qs + w.mid(korzen_.size() + 1).replace(u'/', u'\\')).toStdU16String();
    }

private:
    QString korzen_;
};

}  // namespace

class OknaQtTest : public QObject {
    Q_OBJECT

    // The notice box over a main window at (40, 25); `wTrakcie` runs once
    // the box waits and must close it. A box left open fails the test.
    bool Pokaz(const std::u16string& l1, const std::u16string& l2, const std::function<void()>& wTrakcie) {
        bool zawieszone = false;
        QTimer::singleShot(0, this, wTrakcie);
        QTimer awaryjny;
        awaryjny.setSingleShot(true);
        connect(&awaryjny, &QTimer::timeout, this, [&] {
            zawieszone = true;
            if (FormQst) FormQst->B1Click();
        });
        awaryjny.start(3000);
        PokazKomunikat(u"Uwaga!", l1, l2);
        return !zawieszone;
    }

    void Przygotuj(SrodowiskoQt& s) {
        s.Utworz();
        s.glowne->Timer1->Enabled = false;
        s.glowne->Show();
        s.glowne->SetBounds(ROG_GLOWNEGO.x(), ROG_GLOWNEGO.y(), 730, 360);
        QVERIFY(QTest::qWaitForWindowExposed(s.W(*s.glowne)));
    }

private slots:
    void komunikatNaEkranie() {
        SrodowiskoQt s;
        Przygotuj(s);
        QRect geometria, b1;
        QRegion maska;
        bool modalny = false, fokusNaB1 = false, namalowany = false;
        QColor tlo;
        const bool zamkniety = Pokaz(u"Folder istnieje.", u"", [&] {
            QWidget* okno = s.W(*FormQst);
            QVERIFY(QTest::qWaitForWindowExposed(okno));
            geometria = okno->geometry();
            b1 = s.W(*FormQst->B1)->geometry();
            maska = okno->mask();
            modalny = QApplication::activeModalWidget() == okno;
            fokusNaB1 = QApplication::focusWidget() == s.W(*FormQst->B1);
            namalowany = FormQst->Namalowana();
            tlo = okno->palette().color(QPalette::Window);
            QTest::keyClick(okno, Qt::Key_Escape);
        });
        QVERIFY(zamkniety);
        QCOMPARE(geometria, QRect(ROG_GLOWNEGO + QPoint(129, 138), QSize(471, 109)));
        QCOMPARE(b1, QRect(190, 69, 80, 27));  // in the client area, 3 pixels inside
        QVERIFY(modalny);
        QVERIFY(fokusNaB1);
        QVERIFY(namalowany);
        QCOMPARE(tlo, QApplication::palette().color(QPalette::ToolTipBase));
        QCOMPARE(maska.boundingRect(), QRect(0, 0, 471, 109));
        for (const QPoint rog : {QPoint(0, 0), QPoint(470, 0), QPoint(0, 108), QPoint(470, 108), QPoint(1, 1)})
            QVERIFY(!maska.contains(rog));
        QVERIFY(maska.contains(QPoint(11, 0)));
        QCOMPARE(FormQst, static_cast<TFormQst*>(nullptr));
        // The main window is the active one again.
        QTRY_COMPARE(QApplication::activeWindow(), s.W(*s.glowne));
    }

    void sposobyZamkniecia_data() {
        QTest::addColumn<int>("klawisz");
        QTest::newRow("click") << 0;
        QTest::newRow("Enter") << int(Qt::Key_Enter);
        QTest::newRow("Return") << int(Qt::Key_Return);
        QTest::newRow("Escape") << int(Qt::Key_Escape);
        QTest::newRow("Space") << int(Qt::Key_Space);
    }
    void sposobyZamkniecia() {
        QFETCH(int, klawisz);
        SrodowiskoQt s;
        Przygotuj(s);
        bool otwartyPoInnymKlawiszu = false;
        QVERIFY(Pokaz(u"Tekst", u"", [&] {
            QWidget* b1 = s.W(*FormQst->B1);
            QTest::keyClick(b1, Qt::Key_A);
            QTest::keyClick(b1, Qt::Key_Tab);
            otwartyPoInnymKlawiszu = FormQst && FormQst->Visible && FormQst->ModalResult == mrNone;
            if (klawisz == 0)
                QTest::mouseClick(b1, Qt::LeftButton);
            else
                QTest::keyClick(b1, Qt::Key(klawisz));
        }));
        QVERIFY(otwartyPoInnymKlawiszu);
        QCOMPARE(FormQst, static_cast<TFormQst*>(nullptr));
    }

    void zegaryDzialajaWTrakcie() {
        SrodowiskoQt s;
        Przygotuj(s);
        int tykniecia = 0;
        QTimer zegar;
        connect(&zegar, &QTimer::timeout, this, [&] { ++tykniecia; });
        zegar.start(5);
        QVERIFY(Pokaz(u"Tekst", u"", [&] { QTimer::singleShot(60, this, [] { FormQst->B1Click(); }); }));
        QVERIFY(tykniecia >= 3);
    }

    void drugiKomunikatNaOknieNaEkranie() {
        SrodowiskoQt s;
        Przygotuj(s);
        QRect przed, po;
        QString linia1;
        QVERIFY(Pokaz(u"jedna linia", u"", [&] {
            przed = s.W(*FormQst)->geometry();
            PokazKomunikat(u"Drugi", u"a\nb\nc", u"x");
            po = s.W(*FormQst)->geometry();
            linia1 = s.W<QLabel>(*FormQst->Label1)->text();
        }));
        QCOMPARE(po, przed);
        QCOMPARE(linia1, QStringLiteral("a\nb\nc"));
        QCOMPARE(FormQst, static_cast<TFormQst*>(nullptr));
    }

    void zielonyZnakPrzyLewejKrawedzi() {
        SrodowiskoQt s;
        Przygotuj(s);
        bool zielony = false, wPrawejCzesci = false;
        QVERIFY(Pokaz(u"Tekst", u"", [&] {
            const QImage obraz = s.W(*FormQst->B1)->grab().toImage();
            for (int x = 0; x < obraz.width(); ++x)
                for (int y = 0; y < obraz.height(); ++y) {
                    const QColor c(obraz.pixel(x, y));
                    if (c.green() > 110 && c.red() < 80 && c.blue() < 80) (x >= 2 && x < 22 ? zielony : wPrawejCzesci) = true;
                }
            FormQst->B1Click();
        }));
        QVERIFY(zielony);
        QVERIFY(!wPrawejCzesci);
    }

    void komunikatStandardowyIBledu() {
        SrodowiskoQt s;
        Okienko o;
        PrzeczytajIZamknij(o);
        s.zaplecze.KomunikatStandardowy(u"Instalator", u"Nieudane pobranie pliku: HTTP/1.1 404 Not Found");
        QVERIFY(o.bylo);
        QCOMPARE(o.tytul, QStringLiteral("Instalator"));
        QCOMPARE(o.tekst, QStringLiteral("Nieudane pobranie pliku: HTTP/1.1 404 Not Found"));
        QCOMPARE(o.ikona, QMessageBox::NoIcon);
        QCOMPARE(o.przyciski, 1);
        // An error raised by a handler is shown under the application's title.
        Okienko b;
        PrzeczytajIZamknij(b);
        Application->Obsluz([] { throw std::runtime_error("Przerwano"); });
        QVERIFY(b.bylo);
        QCOMPARE(b.tytul, QStringLiteral("Instalator"));
        QCOMPARE(b.tekst, QStringLiteral("Przerwano"));
        QCOMPARE(b.ikona, QMessageBox::Critical);
    }

    void dialogZapisuMowiSciezkamiWindows() {
        QTemporaryDir katalog;
        const QString korzen = QDir(katalog.path()).canonicalPath();
        QVERIFY(QDir(korzen).mkpath(u"Dane"_qs));
        PlikiNaDyskuC pliki(korzen);
        ZegarBezCzekania zegar;
        ZapleczeQt z(pliki, zegar);
        QString folderDialogu, tytul, zaproponowany;
        OdpowiedzDialogowi([&](QFileDialog& d) {
            folderDialogu = d.directory().absolutePath();
            tytul = d.windowTitle();
            zaproponowany = QFileInfo(d.selectedFiles().value(0)).fileName();
            d.selectFile(korzen + u"/Dane/plik.exe"_qs);
            QMetaObject::invokeMethod(&d, "accept");
        });
        const auto wynik = z.DialogZapisu(nullptr, u"Wskaż folder instalacji", u"_Kavrostel.exe", u"C:\\");
        QCOMPARE(tytul, u"Wskaż folder instalacji"_qs);
        QCOMPARE(zaproponowany, u"_Kavrostel.exe"_qs);
        QCOMPARE(folderDialogu, korzen);  // "C:\\" is the drive's root
        QVERIFY(wynik.has_value());
        QCOMPARE(QString::fromStdU16String(*wynik), u"C:\\Dane\\plik.exe"_qs);
        QVERIFY(!QFileInfo::exists(korzen + u"/Dane/plik.exe"_qs));  // nothing is written

        // Cancelled, or a file outside every drive: nothing chosen.
        QTemporaryDir inny;
        const QString poza = QDir(inny.path()).canonicalPath() + u"/plik.exe"_qs;
        for (const bool anuluj : {true, false}) {
            OdpowiedzDialogowi([&](QFileDialog& d) {
                if (anuluj) {
                    d.reject();
                } else {
                    d.selectFile(poza);
                    QMetaObject::invokeMethod(&d, "accept");
                }
            });
            QVERIFY(!z.DialogZapisu(nullptr, u"Wskaż folder instalacji", u"_Kavrostel.exe", u"C:").has_value());
        }
    }
};

QTEST_MAIN(OknaQtTest)
#include "okna_qt_test.moc"
