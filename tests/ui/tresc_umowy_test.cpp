// The structure of the agreement text: which slots are empty, where the
// sections begin, and the limits on every line.
#include <QRegularExpression>
#include <QString>
#include <QTest>
#include <set>

#include "TrescUmowy.h"

namespace {
QString Q(std::u16string_view s) { return QString::fromUtf16(s.data(), qsizetype(s.size())); }
}  // namespace

class TrescUmowyTest : public QObject {
    Q_OBJECT
private slots:
    void pusteSlotyDokladnieTe() {
        const std::set<std::size_t> puste{2, 31, 32, 33, 34, 54, 90, 97, 127, 137, 149, 170, 184, 209, 214};
        QCOMPARE(TrescUmowy.size(), std::size_t{234});
        int zTekstem = 0;
        for (std::size_t i = 0; i < TrescUmowy.size(); ++i) {
            const bool pusty = TrescUmowy[i].empty();
            QVERIFY2(pusty == puste.contains(i), qPrintable(QStringLiteral("slot %1").arg(i)));
            if (!pusty) ++zTekstem;
            // A line of blanks would list as an empty-looking item.
            if (!pusty) QVERIFY2(!Q(TrescUmowy[i]).trimmed().isEmpty(), qPrintable(QString::number(i)));
        }
        QCOMPARE(zTekstem, 219);
    }

    void sekcjeOdITylkoTam() {
        const std::size_t poczatki[] = {35, 55, 91, 98, 128, 138, 150, 171, 185, 210, 215};
        const char* rzymskie[] = {"I", "II", "III", "IV", "V", "VI", "VII", "VIII", "IX", "X", "XI"};
        const QRegularExpression naglowek(QStringLiteral("^([IVX]+)\\. \\S"));
        std::size_t sekcja = 0;
        for (std::size_t i = 0; i < TrescUmowy.size(); ++i) {
            const auto dopasowanie = naglowek.match(Q(TrescUmowy[i]));
            if (sekcja < 11 && i == poczatki[sekcja]) {
                QVERIFY2(dopasowanie.hasMatch(), qPrintable(QStringLiteral("slot %1").arg(i)));
                QCOMPARE(dopasowanie.captured(1), QString::fromLatin1(rzymskie[sekcja]));
                ++sekcja;
            } else {
                QVERIFY2(!dopasowanie.hasMatch(), qPrintable(QStringLiteral("slot %1").arg(i)));
            }
        }
        QCOMPARE(sekcja, std::size_t{11});
        QVERIFY(!TrescUmowy[233].empty());  // section XI runs to the last slot
    }

    void wierszeMieszczaSieWLiscie() {
        for (std::size_t i = 0; i < TrescUmowy.size(); ++i) {
            const QString w = Q(TrescUmowy[i]);
            QVERIFY2(TrescUmowy[i].size() <= 80, qPrintable(QStringLiteral("slot %1").arg(i)));
            QVERIFY2(!w.contains(u'\n') && !w.contains(u'\t') && !w.contains(u'\r'),
                     qPrintable(QStringLiteral("slot %1").arg(i)));
            // Valid UTF-16: no lone surrogates.
            for (const char16_t z : TrescUmowy[i])
                QVERIFY(z < 0xD800 || z > 0xDFFF);
        }
    }

    void naglowekUmowy() {
        const QString tytul = Q(TrescUmowy[0]);
        QCOMPARE(TrescUmowy[0].size(), std::size_t{34});
        QCOMPARE(tytul, tytul.toUpper());
        QVERIFY(tytul.contains(QStringLiteral("UMOWA")));
        QVERIFY(Q(TrescUmowy[1]).contains(QStringLiteral("KV-Tek")));
        const QString prosba = Q(TrescUmowy[3]);
        QCOMPARE(prosba, prosba.toUpper());
        QVERIFY(prosba.contains(QString::fromUtf16(u"PRZECZYTAĆ")));
    }

    void umowaNazywaProgramIRodzine() {
        QString calosc;
        for (const auto w : TrescUmowy) calosc += Q(w) + u' ';
        QVERIFY(calosc.contains(QStringLiteral("Kavrostel 8.0")));
        QVERIFY(calosc.contains(QStringLiteral("Vestra _Kavrostel")));
        QVERIFY(calosc.contains(QString::fromUtf16(u"\"Akceptuję\"")));
    }
};

QTEST_APPLESS_MAIN(TrescUmowyTest)
#include "tresc_umowy_test.moc"
