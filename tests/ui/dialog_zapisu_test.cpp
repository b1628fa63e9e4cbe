// The Qt file-save dialog: Windows paths in and out, nothing written.
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

#include "Atrapy.h"
#include "DialogZapisuQt.h"

namespace {

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

}  // namespace

class DialogZapisuTest : public QObject {
    Q_OBJECT
    QTemporaryDir katalog_;

private slots:
    void wybranaSciezkaWracaJakoSciezkaWindows() {
        const QString korzen = QDir(katalog_.path()).canonicalPath();
        QVERIFY(QDir(korzen).mkpath(u"Dane"_qs));
        PlikiNaDyskuC pliki(korzen);
        DialogZapisuQt dialog(pliki);
        QString folderDialogu, tytul, zaproponowany;
        OdpowiedzDialogowi([&](QFileDialog& d) {
            folderDialogu = d.directory().absolutePath();
            tytul = d.windowTitle();
            zaproponowany = QFileInfo(d.selectedFiles().value(0)).fileName();
            d.selectFile(korzen + u"/Dane/plik.exe"_qs);
            QMetaObject::invokeMethod(&d, "accept");
        });
        const auto wynik = dialog.Wykonaj(u"Wskaż folder instalacji", u"_Kavrostel.exe", u"C:");
        QCOMPARE(tytul, u"Wskaż folder instalacji"_qs);
        QCOMPARE(zaproponowany, u"_Kavrostel.exe"_qs);
        QCOMPARE(folderDialogu, korzen);  // "C:" is the drive's root
        QVERIFY(wynik.has_value());
        QCOMPARE(QString::fromStdU16String(*wynik), u"C:\\Dane\\plik.exe"_qs);
        QVERIFY(!QFileInfo::exists(korzen + u"/Dane/plik.exe"_qs));
    }

    void anulowanieIPlikPozaDyskami_data() {
        QTest::addColumn<bool>("anuluj");
        QTest::newRow("anulowanie") << true;
        QTest::newRow("plik poza dyskami") << false;
    }
    void anulowanieIPlikPozaDyskami() {
        QFETCH(bool, anuluj);
        QTemporaryDir inny;
        PlikiNaDyskuC pliki(QDir(katalog_.path()).canonicalPath());
        DialogZapisuQt dialog(pliki);
        const QString poza = QDir(inny.path()).canonicalPath() + u"/plik.exe"_qs;
        OdpowiedzDialogowi([&](QFileDialog& d) {
            if (anuluj) {
                d.reject();
            } else {
                d.selectFile(poza);
                QMetaObject::invokeMethod(&d, "accept");
            }
        });
        QVERIFY(!dialog.Wykonaj(u"Wskaż folder instalacji", u"_Kavrostel.exe", u"C:").has_value());
    }
};

QTEST_MAIN(DialogZapisuTest)
#include "dialog_zapisu_test.moc"
