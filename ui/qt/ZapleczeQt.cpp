#include "ZapleczeQt.h"

#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QFontMetrics>
#include <QMessageBox>
#include <QPainterPath>
#include <QRegion>
#include <QScreen>
#include <QTextLayout>
#include <QWindow>
#include <xcb/xcb.h>
#include <algorithm>

#include "Aplikacja.h"
#include "CzcionkiQt.h"
#include "Kontrolki.h"
#include "WidokiQt.h"

std::unique_ptr<IWidok> UtworzWidokQt(ZapleczeQt& z, TComponent& s);

namespace {

QString Q(const std::u16string& tekst) { return QString::fromStdU16String(tekst); }

WidokQt* WidokSkladnika(const TComponent& s) {
    return s.Rodzaj() == TRodzaj::Zegar ? nullptr : static_cast<WidokQt*>(s.Widok());
}

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

std::unique_ptr<IWidok> ZapleczeQt::UtworzWidok(TComponent& skladnik) { return UtworzWidokQt(*this, skladnik); }

QWidget* ZapleczeQt::Widzet(const TComponent& skladnik) const {
    const WidokQt* w = WidokSkladnika(skladnik);
    return w ? w->Widzet() : nullptr;
}

WidokQt* ZapleczeQt::WidokWidzetu(const QWidget* widzet) const {
    for (const QWidget* w = widzet; w; w = w->parentWidget())
        if (WidokQt* widok = widoki_.value(w, nullptr)) return widok;
    return nullptr;
}

// The user moved the focus (a click, Tab): the model hears of it on the
// window the control lies on; the window itself holding it means no control.
void ZapleczeQt::ZmianaFokusu(QWidget* nowy) {
    WidokQt* widok = nowy ? WidokWidzetu(nowy) : nullptr;
    if (!widok) return;
    TControl& k = widok->Kontrolka();
    if (k.Rodzaj() == TRodzaj::Forma) {
        static_cast<TForm&>(k).ZdarzenieFokusu(nullptr);
    } else if (TForm* forma = k.Forma()) {
        forma->ZdarzenieFokusu(&k);
    }
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
void ZapleczeQt::Ustaw(platforma::PunktEkranu punkt) {
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    if (xcb_connection_t* polaczenie = x11 ? x11->connection() : nullptr) {
        const xcb_screen_t* ekran = xcb_setup_roots_iterator(xcb_get_setup(polaczenie)).data;
        xcb_warp_pointer(polaczenie, XCB_NONE, ekran->root, 0, 0, 0, 0, static_cast<int16_t>(punkt.x),
                         static_cast<int16_t>(punkt.y));
        xcb_flush(polaczenie);
        return;
    }
    QCursor::setPos(punkt.x, punkt.y);
}

bool ZapleczeQt::AplikacjaAktywna() { return QApplication::activeWindow() != nullptr; }

void ZapleczeQt::Spij(std::uint32_t milisekundy) { zegar_.Spij(milisekundy); }

void ZapleczeQt::Pompuj() { QCoreApplication::processEvents(); }

void ZapleczeQt::OdmalujTeraz(TControl& kontrolka) {
    if (WidokQt* w = WidokSkladnika(kontrolka)) w->OdmalujTeraz();
}

void ZapleczeQt::PetlaModalna(TForm& forma) {
    auto* widok = static_cast<WidokFormy*>(WidokSkladnika(forma));
    if (!widok || zakonczona_) return;
    QPointer<QWidget> poprzednie = QApplication::activeWindow();
    QPointer<WidokQt> straz = widok;
    QEventLoop petla;
    petle_.push_back(&petla);
    widok->UstawPetle(&petla);
    if (forma.ModalResult == mrNone) petla.exec(QEventLoop::DialogExec);
    std::erase(petle_, &petla);
    if (straz) widok->UstawPetle(nullptr);
    // The window the box was shown over is active again, as on Windows when
    // a modal window closes.
    if (poprzednie && poprzednie->isVisible() && !zakonczona_) poprzednie->activateWindow();
}

int ZapleczeQt::PetlaGlowna() {
    if (zakonczona_) return 0;
    return QApplication::exec();
}

void ZapleczeQt::Zakoncz() {
    zakonczona_ = true;
    for (QEventLoop* petla : petle_) petla->exit();
    QCoreApplication::exit(0);
}

// The corners rounded by ellipses of elipsaX x elipsaY; the region covers
// 0 .. width - 1 and 0 .. height - 1, as a Windows region excludes its right
// and bottom edges.
void ZapleczeQt::UstawKsztalt(TForm& forma, int szerokosc, int wysokosc, int elipsaX, int elipsaY) {
    QWidget* w = Widzet(forma);
    if (!w) return;
    QPainterPath ksztalt;
    ksztalt.addRoundedRect(QRectF(0, 0, szerokosc, wysokosc), elipsaX / 2.0, elipsaY / 2.0);
    w->setMask(QRegion(ksztalt.toFillPolygon().toPolygon()));
}

void ZapleczeQt::PrzeciagnijOkno(TForm& forma) {
    auto* widok = static_cast<WidokFormy*>(WidokSkladnika(forma));
    if (!widok) return;
    QWidget* w = widok->Widzet();
    if (QWindow* okno = w->windowHandle(); okno && okno->startSystemMove()) return;
    // No window manager to move it (a bare X server): the window follows the
    // mouse until the button is released.
    widok->PodazajZaMysza(nacisk_);
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
    // A drive given as "C:" means its root, as the Windows dialog takes it.
    std::u16string folder = folderPoczatkowy;
    if (folder.size() == 2 && folder[1] == u':') folder += u'\\';
    const std::u16string folderSystemu = pliki_.NaSciezkeSystemu(folder);
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
