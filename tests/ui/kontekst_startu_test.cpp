// The install context as start-up leaves it: the main window's creation
// handler fixes the names and folders, the installation page then sets the
// drive and the suite folder.
#include <QTest>
#include <QTimer>
#include <memory>

#include "ArkMain.h"
#include "AtrapyUi.h"
#include "Instal.h"

namespace {
QString Q(const std::u16string& s) { return QString::fromStdU16String(s); }
}  // namespace

class KontekstStartuTest : public QObject {
    Q_OBJECT
private slots:
    void folderInstalatora_data() {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("folder");
        QTest::newRow("w korzeniu dysku") << "D:\\setup.exe" << "D:\\";
        QTest::newRow("poniżej korzenia") << "D:\\Instalator\\setup.exe" << "D:\\Instalator";
        QTest::newRow("głębiej") << "Z:\\opt\\kv\\bin\\instalator" << "Z:\\opt\\kv\\bin";
        QTest::newRow("korzeń dysku Z") << "Z:\\instalator" << "Z:\\";
        QTest::newRow("polskie litery") << "E:\\Narzędzia\\Źródła\\instalator.exe"
                                        << "E:\\Narzędzia\\Źródła";
        QTest::newRow("udział sieciowy") << "\\\\serwer\\udzial\\setup.exe" << "\\\\serwer\\udzial";
        QTest::newRow("dysk bez ukośnika") << "D:setup.exe" << "D:";
    }

    void folderInstalatora() {
        QFETCH(QString, program);
        QFETCH(QString, folder);
        AtrapyUslug a;
        a.powloka.sciezkaProgramu = program.toStdU16String();
        TFormMain f(a.uslugi);
        f.Timer1->stop();
        QCOMPARE(Q(a.kontekst.FolderInstalatora), folder);
    }

    void nazwyPoUtworzeniuOknaGlownego() {
        AtrapyUslug a;
        TFormMain f(a.uslugi);
        f.Timer1->stop();
        const KontekstInstalacji& k = a.kontekst;
        QCOMPARE(Q(k.WersjaProgramu), QStringLiteral("8.0"));
        QCOMPARE(Q(k.KoncowkaSkrotu), QStringLiteral(" 8.lnk"));
        QCOMPARE(Q(k.NazwaKatalogu), QStringLiteral("Kavrostel8"));
        QCOMPARE(Q(k.PlikProgramu), QStringLiteral("_Kavrostel"));
        QCOMPARE(Q(k.NazwaProgramu), QStringLiteral("Kavrostel"));
        QCOMPARE(Q(k.FolderBDE), QStringLiteral("Sterowniki\\BDE"));
        QCOMPARE(Q(k.FolderPulpitu), QStringLiteral("C:\\users\\jan\\Desktop"));
        QCOMPARE(Q(k.FolderMenuProgramy),
                 QStringLiteral("C:\\users\\jan\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs"));
        // The page does not exist yet: no drive, no suite folder, so the
        // folder has no drive letter.
        QCOMPARE(FormInstal, static_cast<TFormInstal*>(nullptr));
        QCOMPARE(Q(k.DyskInstalacji), QString());
        QCOMPARE(Q(k.FolderPakietu), QString());
        QCOMPARE(Q(k.FolderInstalacji), QStringLiteral("\\KV-Tek\\Kavrostel8"));
    }

    void brakFolderowSpecjalnychDajePustyTekst() {
        AtrapyUslug a;
        a.powloka.folderySpecjalne.clear();
        TFormMain f(a.uslugi);
        f.Timer1->stop();
        QCOMPARE(Q(a.kontekst.FolderPulpitu), QString());
        QCOMPARE(Q(a.kontekst.FolderMenuProgramy), QString());
    }

    void poUtworzeniuStronyInstalacji() {
        AtrapyUslug a;
        auto glowne = std::make_unique<TFormMain>(a.uslugi);
        glowne->Timer1->stop();
        auto strona = std::make_unique<TFormInstal>(a.uslugi);
        const KontekstInstalacji& k = a.kontekst;
        QCOMPARE(Q(k.DyskInstalacji), QStringLiteral("C:"));
        QCOMPARE(Q(k.FolderPakietu), QStringLiteral("KV-Tek"));
        // Still as the main window left it, until the licence is accepted.
        QCOMPARE(Q(k.FolderInstalacji), QStringLiteral("\\KV-Tek\\Kavrostel8"));
        QCOMPARE(Q(k.PlikProgramu), QStringLiteral("_Kavrostel"));
        QCOMPARE(Q(k.NazwaProgramu), QStringLiteral("Kavrostel"));
        // The page lies on the main window, hidden.
        QCOMPARE(strona->PanelInstalacji->parentWidget(), static_cast<QWidget*>(glowne.get()));
        QVERIFY(strona->PanelInstalacji->isHidden());

        QCOMPARE(Q(glowne->LokalizacjaFolderu(u"")), QStringLiteral("C:"));
        a.kontekst.DyskInstalacji = u"D:";
        QCOMPARE(Q(glowne->LokalizacjaFolderu(u"")), QStringLiteral("D:"));
        // Nothing was shown to the user.
        QVERIFY(a.dialog.pytania.empty());
        strona.reset();
        glowne.reset();
    }

    void kazdeOknoGlowneZaczynaOdWartosciPoczatkowych() {
        AtrapyUslug a;
        a.kontekst.PlikProgramu = u"_KavrostelSterowany";
        a.kontekst.NazwaProgramu = u"KavrostelSterowany";
        a.kontekst.FolderInstalacji = u"C:\\Inny";
        TFormMain f(a.uslugi);
        f.Timer1->stop();
        QCOMPARE(Q(a.kontekst.PlikProgramu), QStringLiteral("_Kavrostel"));
        QCOMPARE(Q(a.kontekst.NazwaProgramu), QStringLiteral("Kavrostel"));
        QCOMPARE(Q(a.kontekst.FolderInstalacji), QStringLiteral("\\KV-Tek\\Kavrostel8"));
    }
};

QTEST_MAIN(KontekstStartuTest)
#include "kontekst_startu_test.moc"
