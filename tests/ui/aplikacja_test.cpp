// The application object: the title of standard dialogs, the standard
// message dialog and the one top-level display of errors raised in handlers.
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <stdexcept>

#include "Aplikacja.h"
#include "platform/Blad.h"

namespace {

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

}  // namespace

class AplikacjaTest : public QObject {
    Q_OBJECT
private slots:
    void tytulZNazwyProgramu_data() {
        QTest::addColumn<QString>("sciezka");
        QTest::addColumn<QString>("tytul");
        QTest::newRow("bez rozszerzenia") << "/opt/kv/bin/instalator" << "Instalator";
        QTest::newRow("wielkie litery") << "C:\\Setup\\INSTALATOR.EXE" << "Instalator";
        QTest::newRow("do pierwszej kropki") << "/tmp/my.setup.exe" << "My";
        QTest::newRow("reszta małymi") << "D:\\kAVROSTEL_X.exe" << "Kavrostel_x";
        QTest::newRow("polska litera na początku") << "/x/żuraw.exe" << "Żuraw";
        QTest::newRow("kropka w folderze") << "/opt/kv.8/instalator" << "Instalator";
        QTest::newRow("pusta") << "" << "";
    }

    void tytulZNazwyProgramu() {
        QFETCH(QString, sciezka);
        QFETCH(QString, tytul);
        QCOMPARE(TytulAplikacji(sciezka), tytul);
    }

    void komunikatStandardowyBezIkonyZJednymOk() {
        Okienko o;
        PrzeczytajIZamknij(o);
        KomunikatStandardowy(QStringLiteral("Nieudane pobranie pliku: 404 Not Found"));
        QVERIFY(o.bylo);
        QCOMPARE(o.tytul, QStringLiteral("Aplikacja_test"));
        QCOMPARE(o.tekst, QStringLiteral("Nieudane pobranie pliku: 404 Not Found"));
        QCOMPARE(o.ikona, QMessageBox::NoIcon);
        QCOMPARE(o.przyciski, 1);
    }

    void bladWObsludzePokazanyIInstalatorDziala_data() {
        QTest::addColumn<int>("rodzaj");
        QTest::addColumn<QString>("tekst");
        QTest::newRow("std::runtime_error") << 0 << "Nie można utworzyć obiektu skrótu";
        QTest::newRow("błąd platformy") << 1 << "Błąd systemu: żółć";
    }

    void bladWObsludzePokazanyIInstalatorDziala() {
        QFETCH(int, rodzaj);
        QFETCH(QString, tekst);
        QPushButton przycisk(QStringLiteral("Instaluj"));
        int wywolania = 0;
        bool poBledzie = false;
        QObject::connect(&przycisk, &QPushButton::clicked, [&] {
            ++wywolania;
            if (wywolania == 1) {
                if (rodzaj == 0) throw std::runtime_error(tekst.toStdString());
                throw platforma::BladPlatformy(tekst.toStdU16String());
            }
        });
        QObject::connect(&przycisk, &QPushButton::clicked, [&] { poBledzie = true; });
        przycisk.show();

        Okienko o;
        PrzeczytajIZamknij(o);
        QTest::mouseClick(&przycisk, Qt::LeftButton);
        QVERIFY(o.bylo);
        QCOMPARE(o.tekst, tekst);
        QCOMPARE(o.tytul, QStringLiteral("Aplikacja_test"));
        QCOMPARE(o.przyciski, 1);
        // The handler stopped where the error was raised.
        QVERIFY(!poBledzie);

        // The installer keeps running: the next click is handled normally.
        Okienko drugie;
        PrzeczytajIZamknij(drugie);
        QTest::mouseClick(&przycisk, Qt::LeftButton);
        QCOMPARE(wywolania, 2);
        QVERIFY(poBledzie);
        QVERIFY(!drugie.bylo);
        QCoreApplication::processEvents();
    }

    void bladZZegaraPokazany() {
        Okienko o;
        QTimer zegar;
        zegar.setSingleShot(true);
        QObject::connect(&zegar, &QTimer::timeout, [&] {
            PrzeczytajIZamknij(o);
            throw std::runtime_error("Przerwano");
        });
        zegar.start(0);
        QTRY_VERIFY_WITH_TIMEOUT(o.bylo, 2000);
        QCOMPARE(o.tekst, QStringLiteral("Przerwano"));
    }
};

int main(int argc, char** argv) {
    TAplikacja aplikacja(argc, argv);
    AplikacjaTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "aplikacja_test.moc"
