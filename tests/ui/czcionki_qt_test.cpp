// The substitute font and the text measurement of the Qt backend: the line
// heights the layouts rest on, labels sized to their text as Qt draws it,
// wrapping as a word-wrapped label wraps, and the agreement fitting its list.
#include <QApplication>
#include <QFontInfo>
#include <QLabel>
#include <QScrollBar>
#include <QTest>

#include "CzcionkiQt.h"
#include "SrodowiskoQt.h"
#include "TrescUmowy.h"
#include "WidokiQt.h"

class CzcionkiQtTest : public QObject {
    Q_OBJECT
private slots:
    void zastepczaRodzinaIWysokosciLinii() {
        QCOMPARE(QFontInfo(CzcionkaQt(TFont{u"MS Sans Serif", 17})).family(), RodzinaZastepcza());
        QCOMPARE(QFontInfo(CzcionkaQt(TFont{u"Arial", 21})).family(), RodzinaZastepcza());
        SrodowiskoQt s;
        // A line of the notice box's 17-pixel font is 20 pixels high, one of
        // the window's 13-pixel font 15, wrapped or not.
        QCOMPARE(s.zaplecze.ZmierzTekst(TFont{u"MS Sans Serif", 17}, u"Tekst", 465).Height, 20);
        QCOMPARE(s.zaplecze.ZmierzTekst(TFont{u"MS Sans Serif", 17}, u"a\r\nb\rc\n\nd", 465).Height, 100);
        QCOMPARE(s.zaplecze.ZmierzTekst(TFont{u"MS Sans Serif", 17}, u"", 465).Height, 20);
        QCOMPARE(s.zaplecze.ZmierzTekst(TFont{u"MS Sans Serif", 13}, u"Tekst", 100).Height, 15);
    }

    // A label sized by the model shows all of its text, as Qt sizes a label.
    void etykietaMaRozmiarSwojegoTekstu() {
        SrodowiskoQt s;
        s.Utworz();
        for (const TLabel* l : {s.glowne->LabelInfo, s.glowne->Label5, s.glowne->LabelWWW, s.glowne->LabelKoniec,
                                s.glowne->StaticText3, s.strona->Label3}) {
            const QLabel* w = s.W<QLabel>(*l);
            QCOMPARE(w->size(), w->sizeHint());
        }
    }

    // A long text wraps within the 465-pixel line as the label draws it.
    void zawijanieJakWEtykiecie() {
        SrodowiskoQt s;
        QString tekst;
        for (int i = 0; i < 30; ++i) tekst += QStringLiteral("zażółć gęślą ");
        const TRozmiar r = s.zaplecze.ZmierzTekst(TFont{u"MS Sans Serif", 17}, tekst.toStdU16String(), 465);
        QLabel l(tekst);
        l.setWordWrap(true);
        l.setFont(CzcionkaQt(TFont{u"MS Sans Serif", 17}));
        const int potrzebne = l.heightForWidth(465);
        QVERIFY(r.Height > 40);
        QCOMPARE(r.Height % 20, 0);
        QVERIFY(potrzebne <= r.Height);
        QVERIFY(potrzebne > r.Height - 20);
    }

    // Every line of the agreement fits the list's width beside its scroll bar.
    void umowaMiesciSieWLiscie() {
        SrodowiskoQt s;
        s.Utworz();
        const auto* lista = s.W<ListaQt>(*s.glowne->ListBox1);
        for (int i = 0; i < 20; ++i) s.glowne->ListBox1->Items.Add(u"x");
        const int szerokosc = lista->width() - 2 * lista->frameWidth() - lista->verticalScrollBar()->sizeHint().width();
        const QFontMetrics miara(lista->font());
        QStringList zaDlugie;
        for (const auto linia : TrescUmowy) {
            const QString w = QString::fromUtf16(linia.data(), qsizetype(linia.size()));
            if (miara.horizontalAdvance(w) + 8 > szerokosc) zaDlugie << w;
        }
        QVERIFY2(zaDlugie.isEmpty(), qPrintable(zaDlugie.join(u", ")));
    }
};

QTEST_MAIN(CzcionkiQtTest)
#include "czcionki_qt_test.moc"
