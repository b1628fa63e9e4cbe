#include "Aplikacja.h"

#include <QMessageBox>
#include <algorithm>
#include <exception>

#include "platform/Blad.h"

QString TytulAplikacji(const QString& sciezkaProgramu) {
    // Either separator: the program may be named by a Windows path.
    const qsizetype ukosnik =
        std::max(sciezkaProgramu.lastIndexOf(QLatin1Char('/')), sciezkaProgramu.lastIndexOf(QLatin1Char('\\')));
    QString nazwa = sciezkaProgramu.mid(ukosnik + 1);
    const qsizetype kropka = nazwa.indexOf(QLatin1Char('.'));
    if (kropka >= 0) nazwa.truncate(kropka);
    if (nazwa.isEmpty()) return nazwa;
    return nazwa.left(1).toUpper() + nazwa.mid(1).toLower();
}

namespace {

void PokazOkno(QMessageBox::Icon ikona, const QString& tekst) {
    QMessageBox okno(ikona, TytulAplikacji(QCoreApplication::applicationFilePath()), tekst,
                     QMessageBox::Ok, QApplication::activeWindow());
    okno.setTextFormat(Qt::PlainText);
    okno.exec();
}

}  // namespace

void KomunikatStandardowy(const QString& tekst) { PokazOkno(QMessageBox::NoIcon, tekst); }

TAplikacja::TAplikacja(int& argc, char** argv) : QApplication(argc, argv) {}

bool TAplikacja::notify(QObject* odbiorca, QEvent* zdarzenie) {
    try {
        return QApplication::notify(odbiorca, zdarzenie);
    } catch (const platforma::BladPlatformy& blad) {
        PokazBlad(QString::fromStdU16String(blad.Tekst()));
    } catch (const std::exception& blad) {
        PokazBlad(QString::fromUtf8(blad.what()));
    }
    return false;
}

void TAplikacja::PokazBlad(const QString& tekst) { PokazOkno(QMessageBox::Critical, tekst); }
