// The installation page: its states, the folder choice, the acceptance
// handler with its notice and pointer glide, and the download lock.
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <memory>
#include <optional>
#include <vector>

#include "ArkMain.h"
#include "AtrapyUi.h"
#include "DialQst2.h"
#include "Instal.h"
#include "StronaQt.h"
#include "Uslugi.h"

namespace {

const std::u16string kSkrotPulpit = u"C:\\users\\jan\\Desktop\\_Kavrostel 8.lnk";
const std::u16string kSkrotMenu =
    u"C:\\users\\jan\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Orveliane\\"
    u"_Kavrostel 8.lnk";
const QString kPodpowiedzDeinstalacji =
    u"Ponowna instalacja nie wymaga usuwania poprzedniej wersji programu."_qs;

struct Komunikat {
    QString tytul, tekst;
};

// Answers every notice box as soon as it waits, and records its texts.
class Odpowiadacz : public QObject {
public:
    std::vector<Komunikat> komunikaty;
    Odpowiadacz() {
        auto* t = new QTimer(this);
        t->setInterval(5);
        connect(t, &QTimer::timeout, this, [this] {
            if (FormQst && FormQst->isVisible() && FormQst->ModalResult == 0) {
                komunikaty.push_back({FormQst->windowTitle(), FormQst->Label1->text()});
                FormQst->B1Click();
            }
        });
        t->start();
    }
};

// The two forms over fakes, as start-up makes them.
struct Stanowisko : AtrapyUslug {
    Odpowiadacz odpowiadacz;

    // Tests prepare the disk first, then create the forms.
    void Utworz() {
        pliki.DodajDysk(u"D:");
        pliki.DodajDysk(u"E:");
        new TFormMain(uslugi);
        FormMain->Timer1->stop();  // no presentation in these tests
        new TFormInstal(uslugi);
        FormMain->show();
        FormMain->move(200, 100);
    }
    ~Stanowisko() {
        delete FormInstal;
        delete FormMain;
    }

    TFormInstal& f() { return *FormInstal; }
    void Akceptuj() { FormMain->RGAkceptacja->SetItemIndex(0); }
    void Odmow() { FormMain->RGAkceptacja->SetItemIndex(1); }
    std::vector<platforma::PunktEkranu> Ruchy() const { return Polozenia(dziennik); }
    // The texts of the notices shown so far.
    QStringList Teksty() const {
        QStringList w;
        for (const auto& k : odpowiadacz.komunikaty) w << k.tekst;
        return w;
    }
};

QString Q(const std::u16string& s) { return QString::fromStdU16String(s); }

}  // namespace

class InstalTest : public QObject {
    Q_OBJECT
    std::unique_ptr<Stanowisko> s_;
    Stanowisko& s() { return *s_; }

private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void init() { s_ = std::make_unique<Stanowisko>(); }
    void cleanup() { s_.reset(); }

    void poUtworzeniu() {
        s().Utworz();
        auto& f = s().f();
        const auto& k = s().kontekst;
        QCOMPARE(Q(k.FolderPakietu), u"KV-Tek"_qs);
        QCOMPARE(Q(k.DyskInstalacji), u"C:"_qs);
        QCOMPARE(Q(FormMain->SDFile1->InitialDir), u"C:"_qs);
        QCOMPARE(f.PanelInstalacji->parentWidget(), FormMain);
        QCOMPARE(f.PanelInstalacji->geometry(), QRect(0, 34, 740, 330));
        QVERIFY(f.PanelInstalacji->isHidden());
        QVERIFY(f.RGWersja->isHidden() && f.RGWersja->isEnabled());
        QCOMPARE(f.Label3->text(), u"Kavrostel Sterowany"_qs);
        QVERIFY(!f.Label3->isHidden());
        QCOMPARE(f.LabelFolder->text(), u"\\KV-Tek\\Kavrostel8"_qs);
        QVERIFY(f.Edit1->isReadOnly());
        QCOMPARE(f.BBWstecz->toolTip(), u"Powrót do warunków licencji"_qs);
        QCOMPARE(f.BBClose->toolTip(), u"Koniec pracy Instalatora."_qs);
        QVERIFY(!f.RGBit->isEnabled());
        QCOMPARE(f.RGBit->ItemIndex(), 1);
        // The places the page computes with.
        QCOMPARE(f.Edit1->geometry(), QRect(212, 257, 100, 22));
        QCOMPARE(f.LabelFolder->pos(), QPoint(323, 260));
        QCOMPARE(f.RGWersja->geometry(), QRect(14, 78, 487, 53));
    }

    // The page's states, reached by a sequence of choices on the licence
    // page: A = "Akceptuję", N = "Nie akceptuję", W = "<< Wstecz".
    void stanyStrony_data() {
        QTest::addColumn<QString>("kroki");
        QTest::addColumn<QString>("tytul");
        QTest::addColumn<bool>("stronaWidoczna");
        QTest::addColumn<bool>("folderWlaczony");
        QTest::addColumn<bool>("skrotyWlaczone");
        QTest::addColumn<bool>("instalWlaczony");
        QTest::addColumn<QString>("napisInstal");
        QTest::addColumn<int>("wersja");
        QTest::addColumn<bool>("szybowanie");
        const QString licencja = u"Warunki licencji - wersja demonstracyjna"_qs;
        const QString wybrany = u"Instalacja programu Vestra _Kavrostel 8.0"_qs;
        const QString odmowa = u"Nie zaakceptowano warunków licencji"_qs;
        const QString instaluj = u"Instaluj"_qs;
        QTest::newRow("po utworzeniu") << u""_qs << licencja << false << false << true << false
                                       << u"Instaluj zaznaczone"_qs << -1 << false;
        QTest::newRow("akceptacja") << u"A"_qs << wybrany << true << true << true << true
                                    << instaluj << 0 << true;
        QTest::newRow("odmowa") << u"N"_qs << odmowa << true << false << false << false << instaluj
                                << -1 << false;
        QTest::newRow("wstecz") << u"AW"_qs << licencja << false << true << true << true
                                << instaluj << -1 << false;
        QTest::newRow("ponowna akceptacja") << u"AWA"_qs << wybrany << true << true << true
                                            << true << instaluj << 0 << true;
        QTest::newRow("odmowa po akceptacji") << u"AWN"_qs << odmowa << true << false << false
                                              << false << instaluj << -1 << false;
        QTest::newRow("akceptacja po odmowie") << u"NWA"_qs << wybrany << true << true << true
                                               << true << instaluj << 0 << true;
    }
    void stanyStrony() {
        QFETCH(QString, kroki);
        QFETCH(QString, tytul);
        QFETCH(bool, stronaWidoczna);
        QFETCH(bool, folderWlaczony);
        QFETCH(bool, skrotyWlaczone);
        QFETCH(bool, instalWlaczony);
        QFETCH(QString, napisInstal);
        QFETCH(int, wersja);
        QFETCH(bool, szybowanie);
        s().Utworz();
        auto& f = s().f();
        std::size_t przedOstatnim = 0;
        for (QChar krok : kroki) {
            przedOstatnim = s().Ruchy().size();
            s().kursor.pozycja = {0, 0};
            if (krok == u'A') s().Akceptuj();
            if (krok == u'N') s().Odmow();
            if (krok == u'W') f.BBWstecz->click();
        }
        QCOMPARE(FormMain->LabelInfo->text(), tytul);
        QCOMPARE(!f.PanelInstalacji->isHidden(), stronaWidoczna);
        QCOMPARE(FormMain->PanelLic->isHidden(), stronaWidoczna);
        QCOMPARE(f.Edit1->isEnabled(), folderWlaczony);
        QCOMPARE(f.SBPrzegladaj->isEnabled(), folderWlaczony);
        QVERIFY(f.CBSkrotPulpit->isChecked() && f.CBSkrotMenuStart->isChecked());
        QCOMPARE(f.CBSkrotPulpit->isEnabled(), skrotyWlaczone);
        QCOMPARE(f.CBSkrotMenuStart->isEnabled(), skrotyWlaczone);
        QCOMPARE(f.BBInstal->isEnabled(), instalWlaczony);
        QCOMPARE(f.BBInstal->text(), napisInstal);
        QCOMPARE(f.BBInstal->toolTip(), instalWlaczony ? u"Instalacja programu"_qs : QString());
        QCOMPARE(f.RGWersja->ItemIndex(), wersja);
        QVERIFY(f.BBWstecz->isEnabled() && f.BBClose->isEnabled());
        QCOMPARE(s().Ruchy().size() > przedOstatnim, szybowanie);
        if (szybowanie) QCOMPARE(FormMain->focusWidget(), f.BBInstal);
        // One underscore in each name, however often the variant was chosen.
        QCOMPARE(Q(s().kontekst.PlikProgramu), u"_Kavrostel"_qs);
        QCOMPARE(Q(s().kontekst.NazwaProgramu),
                 kroki.contains(u'A') ? u"_Kavrostel"_qs : u"Kavrostel"_qs);
        QVERIFY(s().odpowiadacz.komunikaty.empty());
        // Outside the accepted state the install button does nothing.
        if (!instalWlaczony) {
            f.BBInstalClick();
            QVERIFY(s().http.zadania.empty());
        }
    }

    void ponownaAkceptacjaSprawdzaPoprzedniaInstalacje() {
        s().Utworz();
        auto& f = s().f();
        s().Akceptuj();
        QVERIFY(!f.BBDeinstal->isEnabled());
        f.BBWstecz->click();
        s().pliki.DodajPlik(kSkrotPulpit);
        s().Akceptuj();
        QVERIFY(f.BBDeinstal->isEnabled());
        // A refusal leaves the removal button as it was.
        f.BBWstecz->click();
        s().Odmow();
        QVERIFY(f.BBDeinstal->isEnabled());
    }

    // The removal button follows each of the three files; at creation the
    // program file still bears the name without underscore, after acceptance
    // the name with it.
    void przyciskUsuwania_data() {
        QTest::addColumn<QString>("plik");
        QTest::addColumn<bool>("poUtworzeniu");
        QTest::addColumn<bool>("poAkceptacji");
        QTest::addColumn<bool>("jakoFolder");
        QTest::newRow("nic") << QString() << false << false << false;
        QTest::newRow("skrót na pulpicie") << Q(kSkrotPulpit) << true << true << false;
        QTest::newRow("skrót w menu") << Q(kSkrotMenu) << true << true << false;
        QTest::newRow("program bez podkreślenia")
            << u"C:\\KV-Tek\\Kavrostel8\\Kavrostel.exe"_qs << true << false << false;
        QTest::newRow("program z podkreśleniem")
            << u"C:\\KV-Tek\\Kavrostel8\\_Kavrostel.exe"_qs << false << true << false;
        QTest::newRow("folder o nazwie skrótu") << Q(kSkrotPulpit) << false << false << true;
    }
    void przyciskUsuwania() {
        QFETCH(QString, plik);
        QFETCH(bool, poUtworzeniu);
        QFETCH(bool, poAkceptacji);
        QFETCH(bool, jakoFolder);
        if (jakoFolder)
            s().pliki.DodajFolder(plik.toStdU16String());
        else if (!plik.isEmpty())
            s().pliki.DodajPlik(plik.toStdU16String());
        // The product folder exists, so acceptance keeps the full folder.
        s().pliki.DodajFolder(u"C:\\KV-Tek\\Kavrostel8");
        s().Utworz();
        auto* b = s().f().BBDeinstal;
        QCOMPARE(b->isEnabled(), poUtworzeniu);
        QCOMPARE(b->toolTip(), poUtworzeniu ? kPodpowiedzDeinstalacji : QString());
        s().Akceptuj();
        QCOMPARE(b->isEnabled(), poAkceptacji);
        QCOMPARE(b->toolTip(), poAkceptacji ? kPodpowiedzDeinstalacji : QString());
    }

    void wsteczZWidokuZakonczenia() {
        s().Utworz();
        auto& f = s().f();
        s().Akceptuj();
        f.Strona().PokazKoniec();
        f.Strona().UstawPrzyciskInstalacji(u"Uruchom", u"Uruchomienie programu");
        const auto ruchy = s().Ruchy().size();
        s().kursor.pozycja = {0, 0};
        f.BBWstecz->click();
        QVERIFY(FormMain->PanelKoniec->isHidden());
        QVERIFY(!f.PanelInstalacji->isHidden());
        QVERIFY(FormMain->PanelLic->isHidden());
        QCOMPARE(f.BBInstal->text(), u"Instaluj"_qs);
        QVERIFY(f.BBInstal->isEnabled());
        QCOMPARE(f.BBInstal->toolTip(), u"Instalacja programu"_qs);
        QCOMPARE(FormMain->RGAkceptacja->ItemIndex(), 0);
        QCOMPARE(f.RGWersja->ItemIndex(), 0);
        QCOMPARE(s().Ruchy().size(), ruchy);  // no glide from the completion view
    }

    void wyborFolderu_data() {
        QTest::addColumn<QString>("wybrany");
        QTest::addColumn<QString>("tekst");
        QTest::addColumn<int>("szerokosc");
        QTest::addColumn<int>("lewaEtykiety");
        QTest::newRow("folder na dysku D") << u"d:\\Dane\\plik.exe"_qs << u"D:\\Dane"_qs << 100 << 323;
        QTest::newRow("korzeń dysku") << u"E:\\plik.exe"_qs << u"E:"_qs << 100 << 323;
        QTest::newRow("10 znaków") << u"C:\\Program\\x.exe"_qs << u"C:\\Program"_qs << 100 << 323;
        QTest::newRow("11 znaków") << u"C:\\Programy\\x.exe"_qs << u"C:\\Programy"_qs << 110 << 327;
        QTest::newRow("26 znaków, polskie litery")
            << u"C:\\Program Files\\Narzędzia\\_Kavrostel.exe"_qs
            << u"C:\\Program Files\\Narzędzia"_qs << 260 << 477;
        QTest::newRow("40 znaków") << u"D:\\123456789\\123456789\\123456789\\12345678\\a.exe"_qs
                                   << u"D:\\123456789\\123456789\\123456789\\12345678"_qs << 400
                                   << 617;
        QTest::newRow("ponad 40 znaków")
            << u"D:\\Bardzo długa nazwa folderu na programy inżynierskie\\a.exe"_qs
            << u"D:\\Bardzo długa nazwa folderu na programy inżynierskie"_qs << 400 << 617;
    }
    void wyborFolderu() {
        QFETCH(QString, wybrany);
        QFETCH(QString, tekst);
        QFETCH(int, szerokosc);
        QFETCH(int, lewaEtykiety);
        s().Utworz();
        s().Akceptuj();
        s().dialog.odpowiedz = wybrany.toStdU16String();
        s().f().SBPrzegladaj->click();
        QCOMPARE(s().dialog.pytania.size(), size_t{1});
        QCOMPARE(Q(s().dialog.pytania[0].tytul), u"Wskaż folder instalacji"_qs);
        QCOMPARE(Q(s().dialog.pytania[0].nazwaPliku), u"_Kavrostel.exe"_qs);
        QCOMPARE(Q(s().dialog.pytania[0].folderPoczatkowy), u"C:"_qs);
        QCOMPARE(s().f().Edit1->text(), tekst);
        QCOMPARE(Q(s().kontekst.DyskInstalacji), tekst);
        QCOMPARE(Q(s().kontekst.FolderInstalacji), tekst + u"\\KV-Tek\\Kavrostel8"_qs);
        QCOMPARE(s().f().Edit1->width(), szerokosc);
        QCOMPARE(s().f().LabelFolder->x(), lewaEtykiety);
        QVERIFY(s().odpowiadacz.komunikaty.empty());
    }

    void bardzoDlugiTekstJestSkracany() {
        s().Utworz();
        s().Akceptuj();
        const std::u16string folder = u"d:\\" + std::u16string(1100, u'x');
        s().dialog.odpowiedz = folder + u"\\a.exe";
        s().f().SBPrzegladaj->click();
        QCOMPARE(s().f().Edit1->text().size(), 1025);
        QCOMPARE(s().f().Edit1->text(), Q(u"D" + folder.substr(1, 1024)));
        QCOMPARE(Q(s().kontekst.DyskInstalacji), s().f().Edit1->text());
    }

    void folderZNazwaPakietuJestOdrzucany() {
        s().Utworz();
        s().Akceptuj();
        auto& f = s().f();
        f.UstawTekstEdit1(u"d:\\dane");  // a text the acceptance could have left
        s().dialog.odpowiedz = u"c:\\kv-tek\\stare\\plik.exe";
        f.SBPrzegladaj->click();
        QCOMPARE(s().odpowiadacz.komunikaty.size(), size_t{1});
        QCOMPARE(s().odpowiadacz.komunikaty[0].tytul, u"Uwaga!"_qs);
        QCOMPARE(s().odpowiadacz.komunikaty[0].tekst,
                 u"Folder:  \"KV-Tek\" jest już domyślnym podkatalogiem instalacji."_qs);
        QCOMPARE(f.Edit1->text(), u"D:\\dane"_qs);
        QCOMPARE(Q(s().kontekst.FolderInstalacji), u"D:\\dane\\KV-Tek\\Kavrostel8"_qs);
    }

    void anulowanieNiczegoNieZmienia() {
        s().Utworz();
        s().Akceptuj();
        auto& f = s().f();
        f.UstawTekstEdit1(u"d:\\dane");
        f.Edit1->resize(250, 22);
        s().kontekst.FolderInstalacji = u"d:\\dane\\KV-Tek\\Kavrostel8";
        s().dialog.odpowiedz.reset();
        f.SBPrzegladaj->click();
        QCOMPARE(s().dialog.pytania.size(), size_t{1});
        QCOMPARE(f.Edit1->text(), u"d:\\dane"_qs);
        QCOMPARE(f.Edit1->width(), 250);
        QCOMPARE(f.LabelFolder->x(), 323);
        QCOMPARE(Q(s().kontekst.FolderInstalacji), u"d:\\dane\\KV-Tek\\Kavrostel8"_qs);
        QVERIFY(s().odpowiadacz.komunikaty.empty());
    }

    void wyborFolderuNieSprawdzaPoprzedniejInstalacji() {
        s().Utworz();
        s().Akceptuj();
        QVERIFY(!s().f().BBDeinstal->isEnabled());
        s().pliki.DodajPlik(kSkrotPulpit);
        s().pliki.DodajPlik(u"D:\\Dane\\KV-Tek\\Kavrostel8\\_Kavrostel.exe");
        s().dialog.odpowiedz = u"D:\\Dane\\plik.exe";
        s().f().SBPrzegladaj->click();
        QCOMPARE(Q(s().kontekst.FolderInstalacji), u"D:\\Dane\\KV-Tek\\Kavrostel8"_qs);
        QVERIFY(!s().f().BBDeinstal->isEnabled());
    }

    void ustawienieTegoSamegoTekstuNieJestZmiana() {
        s().Utworz();
        s().kontekst.FolderInstalacji = u"znacznik";
        s().f().UstawTekstEdit1(u"C:");
        s().f().Edit1->setText(u"C:"_qs);
        QCOMPARE(Q(s().kontekst.FolderInstalacji), u"znacznik"_qs);
        s().f().UstawTekstEdit1(u"D:");
        QCOMPARE(Q(s().kontekst.FolderInstalacji), u"D:\\KV-Tek\\Kavrostel8"_qs);
    }

    // The notice about the old default folder, each time "Akceptuję" is
    // handled: first showing, again after Back, and from the completion view.
    void komunikatOStarymFolderze_data() {
        QTest::addColumn<bool>("folderJest");
        QTest::newRow("folder istnieje") << true;
        QTest::newRow("folderu brak") << false;
    }
    void komunikatOStarymFolderze() {
        QFETCH(bool, folderJest);
        if (folderJest) s().pliki.DodajFolder(u"C:\\Orveliane\\Vestra");
        s().pliki.DodajFolder(u"C:\\Orveliane\\Inny");
        s().Utworz();
        auto& f = s().f();
        s().Odmow();
        QVERIFY(s().odpowiadacz.komunikaty.empty());
        f.BBWstecz->click();
        s().Akceptuj();
        f.BBWstecz->click();
        s().Akceptuj();
        f.Strona().PokazKoniec();
        f.BBWstecz->click();
        const QString tekst = u"Zmiana domyślnego folderu instalacji na: C:\\KV-Tek."_qs;
        const QStringList oczekiwane = folderJest ? QStringList{tekst, tekst, tekst} : QStringList();
        QCOMPARE(s().Teksty(), oczekiwane);
        for (const auto& k : s().odpowiadacz.komunikaty) QCOMPARE(k.tytul, u"Uwaga!"_qs);
    }

    void folderInstalacjiPoAkceptacji_data() {
        QTest::addColumn<bool>("folderJest");
        QTest::addColumn<QString>("folderInstalacji");
        QTest::newRow("brak folderu: goły dysk") << false << u"C:"_qs;
        QTest::newRow("folder jest: bez zmian") << true << u"\\KV-Tek\\Kavrostel8"_qs;
    }
    void folderInstalacjiPoAkceptacji() {
        QFETCH(bool, folderJest);
        QFETCH(QString, folderInstalacji);
        if (folderJest) s().pliki.DodajFolder(u"C:\\KV-Tek\\Kavrostel8");
        s().Utworz();
        s().Akceptuj();
        QCOMPARE(Q(s().kontekst.FolderInstalacji), folderInstalacji);
        QCOMPARE(s().f().Edit1->text(), u"C:"_qs);
        QCOMPARE(Q(s().kontekst.DyskInstalacji), u"C:"_qs);
    }

    // The pointer glides to the hidden program group: window left + group
    // left + 50, window top + frame + panel top + group top + 50.
    void szybowanieDoNazwyProgramu() {
        s().Utworz();
        auto& f = s().f();
        f.RGWersja->move(30, 90);
        f.PanelInstalacji->move(0, 40);
        s().kursor.pozycja = {10, 10};
        int wybranyWTrakcie = -2;
        s().petla.wTrakcie = [&] { wybranyWTrakcie = f.RGWersja->ItemIndex(); };
        s().Akceptuj();
        const QRect okno = FormMain->frameGeometry();
        const int ramka = okno.height() - FormMain->height();
        const platforma::PunktEkranu cel{okno.x() + 30 + 50, okno.y() + ramka + 40 + 90 + 50};
        QCOMPARE(okno.topLeft(), QPoint(200, 100));
        const auto ruchy = s().Ruchy();
        QVERIFY(ruchy.size() > 1);
        QCOMPARE(ruchy.back().x, cel.x);
        QCOMPARE(ruchy.back().y, cel.y);
        QCOMPARE(wybranyWTrakcie, -1);  // the variant is chosen after the glide
        QCOMPARE(f.RGWersja->ItemIndex(), 0);
        QVERIFY(!Pauzy(s().dziennik).empty());  // paced, not a jump
    }

    void blokadaPodczasPobierania() {
        s().Utworz();
        auto& f = s().f();
        s().Akceptuj();
        s().http.odpowiedz.cialo = "MZ program Kavrostel";
        std::vector<bool> wTrakcie;
        s().http.wTrakcie = [&] {
            for (QWidget* w : {static_cast<QWidget*>(f.BBInstal), static_cast<QWidget*>(f.BBDeinstal),
                               static_cast<QWidget*>(f.BBWstecz),
                               static_cast<QWidget*>(f.SBPrzegladaj)})
                wTrakcie.push_back(w->isEnabled());
            f.BBWstecz->click();  // disabled: no effect
        };
        f.BBInstal->click();
        QVERIFY(!wTrakcie.empty());
        for (bool w : wTrakcie) QVERIFY(!w);
        QCOMPARE(s().http.zadania.size(), size_t{1});
        // Installed: the buttons take clicks again and the page is intact.
        QVERIFY(!FormMain->PanelKoniec->isHidden());
        QVERIFY(!f.PanelInstalacji->isHidden());
        QCOMPARE(f.BBInstal->text(), u"Uruchom"_qs);
        QVERIFY(f.BBInstal->isEnabled());
        QVERIFY(f.BBWstecz->isEnabled());
        QVERIFY(f.SBPrzegladaj->isEnabled());
        QVERIFY(f.BBDeinstal->isEnabled());  // the shortcuts were made meanwhile
        QCOMPARE(f.BBDeinstal->toolTip(), kPodpowiedzDeinstalacji);
        QVERIFY(FormMain->isVisible());
        QVERIFY(!f.Strona().ZamkniecieZadane());
    }

    void zamkniecieWTrakciePobieraniaCzekaNaKoniec_data() {
        QTest::addColumn<int>("sposob");
        QTest::newRow("Zamknij na stronie") << 0;
        QTest::newRow("Zamknij na stronie licencji") << 1;
        QTest::newRow("zamknięcie okna") << 2;
    }
    void zamkniecieWTrakciePobieraniaCzekaNaKoniec() {
        QFETCH(int, sposob);
        s().Utworz();
        auto& f = s().f();
        s().Akceptuj();
        s().http.odpowiedz.cialo = std::string(64, 'x');
        int kawalki = 0;
        bool widoczneWTrakcie = false;
        s().http.wTrakcie = [&] {
            if (++kawalki == 2) {
                if (sposob == 0) f.BBClose->click();
                else if (sposob == 1) FormMain->BitBtn1Click();
                else FormMain->close();
                widoczneWTrakcie = FormMain->isVisible();
            }
        };
        f.BBInstal->click();
        QVERIFY(widoczneWTrakcie);
        QCOMPARE(kawalki, 2);  // the transfer stopped at once
        QVERIFY(!FormMain->isVisible());
        QVERIFY(!s().pliki.PlikIstnieje(u"C:\\KV-Tek\\Kavrostel8\\_Kavrostel.exe"));
        QVERIFY(FormMain->PanelKoniec->isHidden());
        QVERIFY(s().odpowiadacz.komunikaty.empty());
    }

    void zamkniecieBezPobieraniaOdRazu() {
        s().Utworz();
        s().f().BBClose->click();
        QVERIFY(!FormMain->isVisible());
        QVERIFY(!s().f().Strona().ZamkniecieZadane());
    }

    // The lock gives back the states it took; a change asked for while it
    // holds takes effect when it ends.
    void blokadaOddajeStany() {
        s().Utworz();
        auto& f = s().f();
        auto& strona = f.Strona();
        s().Akceptuj();
        f.SBPrzegladaj->setEnabled(false);
        QCOMPARE(FormMain->focusWidget(), f.BBInstal);
        strona.ZablokujPrzyciskiStrony(true);
        QVERIFY(!f.BBInstal->isEnabled() && !f.BBWstecz->isEnabled());
        QCOMPARE(FormMain->focusWidget(), f.BBClose);  // not the drive text
        QVERIFY(f.BBInstal->toolTip().isEmpty());
        QVERIFY(!strona.PrzegladajWlaczony());
        QVERIFY(f.BBClose->isEnabled());
        strona.WlaczDeinstalacje(true);
        QVERIFY(!f.BBDeinstal->isEnabled());
        strona.ZablokujPrzyciskiStrony(false);
        QVERIFY(f.BBInstal->isEnabled());
        QCOMPARE(FormMain->focusWidget(), f.BBInstal);
        QCOMPARE(f.BBInstal->toolTip(), u"Instalacja programu"_qs);
        QVERIFY(f.BBWstecz->isEnabled());
        QVERIFY(!f.SBPrzegladaj->isEnabled());
        QVERIFY(f.BBDeinstal->isEnabled());
        QCOMPARE(f.BBDeinstal->toolTip(), kPodpowiedzDeinstalacji);
        strona.WlaczDeinstalacje(false);
        QVERIFY(f.BBDeinstal->toolTip().isEmpty());
    }

    void paskPostepu() {
        s().Utworz();
        auto& f = s().f();
        f.Strona().UstawMaksimumPaska(0);
        QVERIFY(f.ProgressBar1->maximum() > f.ProgressBar1->minimum());  // no busy indicator
        f.Strona().UstawMaksimumPaska(200);
        f.Strona().UstawPozycjePaska(150);
        QCOMPARE(f.ProgressBar1->value(), 150);
        f.Strona().UstawPozycjePaska(500);
        QCOMPARE(f.ProgressBar1->value(), 200);
    }
};

QTEST_MAIN(InstalTest)
#include "instal_test.moc"
