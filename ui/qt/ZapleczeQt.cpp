#include "ZapleczeQt.h"

#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QFontMetrics>
#include <QMessageBox>
#include <QScreen>
#include <QTextLayout>
#include <QWindow>
#include <xcb/xcb.h>
#include <algorithm>

#include "Aplikacja.h"
#include "CzcionkiQt.h"
#include "Kontrolki.h"

namespace {

QString Q(const std::u16string& tekst) { return QString::fromStdU16String(tekst); }

}  // namespace

ZapleczeQt::ZapleczeQt(const platforma::ISystemPlikow& pliki, platforma::IZegar& zegar)
    : pliki_(pliki), zegar_(zegar) {
    Q_INIT_RESOURCE(obrazy);
    // The application ends when the model closes its main window, not when
    // the last Qt window goes.
    QApplication::setQuitOnLastWindowClosed(false);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* nowy) { ZmianaFokusu(nowy); });
}

ZapleczeQt::~ZapleczeQt() = default;

QWidget* ZapleczeQt::Widzet(const TComponent& skladnik) const { return widoki_.Widzet(skladnik); }

// The user moved the focus (a click, Tab): the model hears of it.
void ZapleczeQt::ZmianaFokusu(QWidget* nowy) {
    if (WidokQt* widok = nowy ? widoki_.WidokWidzetu(nowy) : nullptr) widok->Kontrolka().ZdarzenieOtrzymaniaFokusu();
}

QWidget* ZapleczeQt::WidzetGlownego() const {
    if (!Application || !Application->MainForm) return nullptr;
    return Widzet(*Application->MainForm);
}

platforma::PunktEkranu ZapleczeQt::Pozycja() {
    const QPoint p = QCursor::pos();
    return {p.x(), p.y()};
}

// SetCursorPos. On X11 the move goes to the X server at once: QCursor::setPos
// first asks the server where the pointer is (a round trip), and a glide moves
// it a few hundred times in a row, each step already knowing where it is.
// The model's points are Qt's device-independent pixels (Qt scales the window
// itself, the model keeps scale 1), as QCursor::pos gives them and
// QCursor::setPos takes them; the X server wants the device's. Qt keeps a
// screen's top-left corner as it is and scales the rest of it by the
// screen's devicePixelRatio.
void ZapleczeQt::Ustaw(platforma::PunktEkranu punkt) {
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    if (xcb_connection_t* polaczenie = x11 ? x11->connection() : nullptr) {
        const xcb_screen_t* ekran = xcb_setup_roots_iterator(xcb_get_setup(polaczenie)).data;
        QPoint p(punkt.x, punkt.y);
        const QScreen* monitor = QGuiApplication::screenAt(p);
        if (!monitor) monitor = QGuiApplication::primaryScreen();
        if (monitor && monitor->devicePixelRatio() != 1.0) {
            const QPoint rog = monitor->geometry().topLeft();
            p = rog + (QPointF(p - rog) * monitor->devicePixelRatio()).toPoint();
        }
        xcb_warp_pointer(polaczenie, XCB_NONE, ekran->root, 0, 0, 0, 0, static_cast<int16_t>(p.x()),
                         static_cast<int16_t>(p.y()));
        xcb_flush(polaczenie);
        return;
    }
    QCursor::setPos(punkt.x, punkt.y);
}

bool ZapleczeQt::AplikacjaAktywna() { return QApplication::activeWindow() != nullptr; }

void ZapleczeQt::Spij(std::uint32_t milisekundy) { zegar_.Spij(milisekundy); }

void ZapleczeQt::Pompuj() { QCoreApplication::processEvents(); }

int ZapleczeQt::PetlaGlowna() {
    if (widoki_.Zakonczona()) return 0;
    return QApplication::exec();
}

void ZapleczeQt::Zakoncz() {
    widoki_.Zakoncz();
    QCoreApplication::exit(0);
}

void ZapleczeQt::PokazOkno(int ikona, const std::u16string& tytul, const std::u16string& tekst) {
    QMessageBox okno(static_cast<QMessageBox::Icon>(ikona), Q(tytul), Q(tekst), QMessageBox::Ok, WidzetGlownego());
    okno.setTextFormat(Qt::PlainText);
    okno.exec();
}

void ZapleczeQt::KomunikatStandardowy(const std::u16string& tytul, const std::u16string& tekst) {
    PokazOkno(QMessageBox::NoIcon, tytul, tekst);
}

void ZapleczeQt::KomunikatBledu(const std::u16string& tytul, const std::u16string& tekst) {
    PokazOkno(QMessageBox::Critical, tytul, tekst);
}

std::optional<std::u16string> ZapleczeQt::DialogZapisu(TForm*, const std::u16string& tytul,
                                                      const std::u16string& nazwaPliku,
                                                      const std::u16string& folderPoczatkowy) {
    QFileDialog dialog(WidzetGlownego(), Q(tytul));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The chosen file is never written, so an existing one needs no warning.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    const std::u16string folderSystemu = pliki_.NaSciezkeSystemu(folderPoczatkowy);
    if (!folderSystemu.empty()) dialog.setDirectory(Q(folderSystemu));
    dialog.selectFile(Q(nazwaPliku));
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList wybrane = dialog.selectedFiles();
    if (wybrane.isEmpty()) return std::nullopt;
    const std::u16string sciezka = pliki_.ZeSciezkiSystemu(QDir::toNativeSeparators(wybrane.first()).toStdU16String());
    // A file outside every drive has no Windows path to offer.
    if (sciezka.empty()) return std::nullopt;
    return sciezka;
}

TRozmiar ZapleczeQt::ZmierzTekst(const TFont& czcionka, const std::u16string& tekst, int szerokoscZawijania) {
    const QFont f = CzcionkaQt(czcionka);
    const QFontMetrics miary(f);
    QString t = Q(tekst);
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    if (szerokoscZawijania <= 0) {
        // The rectangle Qt's text drawing takes for the lines, as a label
        // sized to its text is.
        const QRect r = miary.boundingRect(QRect(), Qt::AlignLeft | Qt::AlignTop, t.isEmpty() ? QStringLiteral(" ") : t);
        return {t.isEmpty() ? 0 : r.width(), r.height()};
    }
    int linie = 0;
    for (const QString& akapit : t.split(QLatin1Char('\n'))) {
        // Wrapped at words within the width, as a word-wrapped label draws it.
        QTextLayout uklad(akapit, f);
        QTextOption opcje;
        opcje.setWrapMode(QTextOption::WordWrap);
        uklad.setTextOption(opcje);
        int wAkapicie = 0;
        uklad.beginLayout();
        for (QTextLine linia = uklad.createLine(); linia.isValid(); linia = uklad.createLine()) {
            linia.setLineWidth(szerokoscZawijania);
            ++wAkapicie;
        }
        uklad.endLayout();
        linie += std::max(wAkapicie, 1);
    }
    // Whole lines of the font's height: 20 pixels at 17, 15 at 13.
    return {szerokoscZawijania, std::max(linie, 1) * miary.height()};
}

TProstokat ZapleczeQt::ObszarEkranu() {
    const QScreen* ekran = QGuiApplication::primaryScreen();
    if (!ekran) return {0, 0, 1024, 768};
    const QRect obszar = ekran->availableGeometry();
    return {obszar.x(), obszar.y(), obszar.width(), obszar.height()};
}
