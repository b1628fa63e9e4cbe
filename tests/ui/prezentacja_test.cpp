// The agreement presentation of the licence page, run instantly with a
// recording pointer, clock and pump.
#include <QListWidget>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <memory>
#include <optional>

#include "ArkMain.h"
#include "AtrapyUi.h"
#include "TrescUmowy.h"

using platforma::PunktEkranu;

namespace {

QStringList LinieUmowy() {
    QStringList w;
    for (const auto l : TrescUmowy)
        if (!l.empty()) w << QString::fromUtf16(l.data(), qsizetype(l.size()));
    return w;
}

// What the list showed at one pause.
struct Stan {
    std::uint32_t ms;
    int wierszy;
    QString ostatni;
    int gorny;  // row at the top of the view
    bool akceptacjaWlaczona;
    int odmalowan;  // paint events of the list so far
    bool zdarzeniaObsluzone;
};

class LicznikMalowania : public QObject {
public:
    int ile = 0;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) ++ile;
        return false;
    }
};

struct Instalator : AtrapyUslug {
    std::unique_ptr<TFormMain> okno;

    Instalator() { okno = std::make_unique<TFormMain>(uslugi); }

    PunktEkranu Rog() const {
        const QPoint p = okno->frameGeometry().topLeft();
        return {p.x(), p.y()};
    }
    int GornyWiersz() const { return okno->ListBox1->indexAt(QPoint(2, 2)).row(); }
};

}  // namespace

class PrezentacjaTest : public QObject {
    Q_OBJECT
private slots:
    void calaPrezentacja() {
        Instalator ins;
        TFormMain& okno = *ins.okno;
        QListWidget& lista = *okno.ListBox1;
        QVERIFY(okno.Timer1->isActive());
        QCOMPARE(okno.Timer1->interval(), 100);
        QVERIFY(!okno.RGAkceptacja->isEnabled());

        okno.show();
        QVERIFY(QTest::qWaitForWindowExposed(&okno));
        const PunktEkranu rog = ins.Rog();
        const PunktEkranu nadLista{rog.x + 50, rog.y + 72};
        const PunktEkranu nadGrupa{rog.x + 58, rog.y + 318};
        // 1000 pixels left of the list: a glide of 100 steps of 10.
        ins.kursor.pozycja = {nadLista.x - 1000, nadLista.y};

        LicznikMalowania malowanie;
        lista.viewport()->installEventFilter(&malowanie);

        // Posted events would run only if the presentation pumped them.
        bool zdarzeniaObsluzone = false;
        std::vector<Stan> stany;
        ins.zegar.wTrakcie = [&](std::uint32_t ms) {
            if (stany.empty())
                QTimer::singleShot(0, &okno, [&] { zdarzeniaObsluzone = true; });
            stany.push_back({ms, lista.count(), lista.count() ? lista.item(lista.count() - 1)->text() : QString(),
                             ins.GornyWiersz(), okno.RGAkceptacja->isEnabled(), malowanie.ile,
                             zdarzeniaObsluzone});
        };
        // A click that waits in the queue until a glide's pump.
        std::vector<bool> wlaczonaPrzyPompowaniu;
        ins.petla.wTrakcie = [&] {
            wlaczonaPrzyPompowaniu.push_back(okno.RGAkceptacja->isEnabled());
            QTest::mouseClick(okno.RGAkceptacja->Item(0), Qt::LeftButton);
        };

        QTRY_VERIFY_WITH_TIMEOUT(okno.RGAkceptacja->isEnabled(), 5000);
        QVERIFY(!okno.Timer1->isActive());

        const QStringList linie = LinieUmowy();
        QCOMPARE(linie.size(), 219);
        const QString tytul = linie.first();

        // The exact sequence of pauses up to the second glide.
        std::vector<std::uint32_t> oczekiwane(20, 10);        // first glide
        oczekiwane.insert(oczekiwane.end(), 34, 10);          // the title
        oczekiwane.insert(oczekiwane.end(), 14, 50);          // the first 14 lines
        oczekiwane.insert(oczekiwane.end(), {100, 100});
        const std::vector<std::uint32_t> pauzy = Pauzy(ins.dziennik);
        QVERIFY(pauzy.size() > oczekiwane.size());
        QCOMPARE(std::vector<std::uint32_t>(pauzy.begin(), pauzy.begin() + oczekiwane.size()),
                 oczekiwane);

        // The first glide ends on the list, before anything is listed.
        std::size_t pierwszaPompa = 0;
        while (ins.dziennik[pierwszaPompa].rodzaj != WpisKursora::Rodzaj::Pompuj) ++pierwszaPompa;
        const auto pierwsze = Polozenia(ins.dziennik, 0, pierwszaPompa);
        QCOMPARE(pierwsze.size(), std::size_t{100});
        QCOMPARE(pierwsze.back(), nadLista);
        QCOMPARE(Pauzy(ins.dziennik, 0, pierwszaPompa).size(), std::size_t{20});

        // The second glide starts there and ends inside the acceptance group,
        // pausing once every five steps.
        std::size_t poDrugiej100 = 0;
        for (std::size_t i = 0, sto = 0; i < ins.dziennik.size(); ++i)
            if (ins.dziennik[i].rodzaj == WpisKursora::Rodzaj::Spij && ins.dziennik[i].milisekundy == 100 &&
                ++sto == 2) {
                poDrugiej100 = i + 1;
                break;
            }
        const auto drugie = Polozenia(ins.dziennik, poDrugiej100);
        const auto pauzyDrugiej = Pauzy(ins.dziennik, poDrugiej100);
        QVERIFY(!drugie.empty());
        QCOMPARE(drugie.back(), nadGrupa);
        QCOMPARE(pauzyDrugiej.size(), (drugie.size() + 4) / 5);
        for (auto ms : pauzyDrugiej) QVERIFY(ms == 10 || ms == 20);
        QCOMPARE(Polozenia(ins.dziennik).size(), pierwsze.size() + drugie.size());
        QVERIFY(ins.dziennik.back().rodzaj == WpisKursora::Rodzaj::Pompuj);
        QCOMPARE(ins.kursor.odczyty, 2);

        // The title is typed one character per 10 ms pause, each change
        // painted before the next pause; then one line per 50 ms pause.
        for (int k = 0; k < 34; ++k) {
            const Stan& s = stany.at(20 + k);
            QCOMPARE(s.wierszy, 1);
            QCOMPARE(s.ostatni, tytul.left(k + 1));
            if (k > 0) QVERIFY2(s.odmalowan > stany.at(20 + k - 1).odmalowan, qPrintable(QString::number(k)));
        }
        for (int m = 1; m <= 14; ++m) {
            const Stan& s = stany.at(20 + 34 + m - 1);
            QCOMPARE(s.wierszy, m);
            QCOMPARE(s.ostatni, linie.at(m - 1));
            QCOMPARE(s.gorny, 0);
            if (m > 1) QVERIFY(s.odmalowan > stany.at(20 + 34 + m - 2).odmalowan);
        }
        // At the first 100 ms pause everything is listed, still from the top.
        const Stan& przedSkokiem = stany.at(20 + 34 + 14);
        QCOMPARE(przedSkokiem.wierszy, 219);
        QCOMPARE(przedSkokiem.gorny, 0);
        // At the second, the view has jumped, and that is painted.
        QCOMPARE(stany.at(20 + 34 + 15).gorny, 28);
        QVERIFY(stany.at(20 + 34 + 15).odmalowan > przedSkokiem.odmalowan);

        for (const Stan& s : stany) {
            QVERIFY(!s.akceptacjaWlaczona);
            QVERIFY(!s.zdarzeniaObsluzone);
        }
        // Clicks handled by the glides' pumps found the group disabled.
        QCOMPARE(wlaczonaPrzyPompowaniu, (std::vector<bool>{false, false}));
        QCOMPARE(okno.RGAkceptacja->ItemIndex(), -1);
        QVERIFY(!okno.RGAkceptacja->Item(0)->isChecked());

        // The final view.
        QCOMPARE(lista.count(), 219);
        for (int i = 0; i < lista.count(); ++i) {
            QCOMPARE(lista.item(i)->text(), linie.at(i));
            QVERIFY(!lista.item(i)->text().isEmpty());
        }
        QCOMPARE(ins.GornyWiersz(), 28);
        QCOMPARE(lista.currentRow(), 41);
        QCOMPARE(lista.selectedItems().size(), 1);
        QCOMPARE(lista.selectedItems().first(), lista.item(41));
        QCOMPARE(okno.focusWidget(), &lista);

        // 16-pixel items: 14 whole lines in view, 28 to 41.
        const QRect widok = lista.viewport()->rect();
        for (int i = 0; i < lista.count(); ++i) QCOMPARE(lista.visualItemRect(lista.item(i)).height(), 16);
        QVERIFY(widok.contains(lista.visualItemRect(lista.item(28))));
        QVERIFY(widok.contains(lista.visualItemRect(lista.item(41))));
        QVERIFY(!widok.contains(lista.visualItemRect(lista.item(42))));
        QVERIFY(!widok.contains(lista.visualItemRect(lista.item(27))));

        // Every line fits the list's width beside its scroll bar: none is cut.
        const QFontMetrics miara(lista.font());
        QStringList zaDlugie;
        for (int i = 0; i < lista.count(); ++i)
            if (miara.horizontalAdvance(lista.item(i)->text()) + 8 > widok.width())
                zaDlugie << QStringLiteral("%1 (%2 px)").arg(i).arg(miara.horizontalAdvance(lista.item(i)->text()));
        QVERIFY2(zaDlugie.isEmpty(), qPrintable(QStringLiteral("%1 px: ").arg(widok.width()) + zaDlugie.join(u", ")));

        // Once per run: the timer stays off and nothing runs again.
        const std::size_t wpisow = ins.dziennik.size();
        QTest::qWait(350);
        QCOMPARE(ins.dziennik.size(), wpisow);
        QVERIFY(!okno.Timer1->isActive());
        QVERIFY(zdarzeniaObsluzone);
    }

    void nieaktywnaAplikacjaNieRuszaWskaznika() {
        Instalator ins;
        ins.kursor.aktywna = false;
        ins.kursor.pozycja = {3, 4};
        ins.okno->show();
        QVERIFY(QTest::qWaitForWindowExposed(ins.okno.get()));
        QTRY_VERIFY_WITH_TIMEOUT(ins.okno->RGAkceptacja->isEnabled(), 5000);
        QVERIFY(Polozenia(ins.dziennik).empty());
        QCOMPARE(ins.kursor.pozycja, (PunktEkranu{3, 4}));
        // The pauses of the listing run as usual.
        const auto pauzy = Pauzy(ins.dziennik);
        QCOMPARE(std::count(pauzy.begin(), pauzy.end(), 50u), 14);
        QCOMPARE(std::count(pauzy.begin(), pauzy.end(), 100u), 2);
        QCOMPARE(ins.okno->ListBox1->count(), 219);
    }

    void celeIdaZaOknem() {
        // The targets follow the window wherever it is.
        Instalator ins;
        ins.okno->show();
        QVERIFY(QTest::qWaitForWindowExposed(ins.okno.get()));
        ins.okno->move(17, 23);
        const PunktEkranu rog = ins.Rog();
        ins.kursor.pozycja = {rog.x + 50, rog.y + 72};  // already on the list
        QTRY_VERIFY_WITH_TIMEOUT(ins.okno->RGAkceptacja->isEnabled(), 5000);
        const auto p = Polozenia(ins.dziennik);
        QVERIFY(!p.empty());
        QCOMPARE(p.back(), (PunktEkranu{rog.x + 58, rog.y + 318}));
        // No steps and no pauses in the first glide: the title's pause comes first.
        QCOMPARE(Pauzy(ins.dziennik).front(), 10u);
        QVERIFY(ins.dziennik.front().rodzaj == WpisKursora::Rodzaj::Pompuj);
    }
};

QTEST_MAIN(PrezentacjaTest)
#include "prezentacja_test.moc"
