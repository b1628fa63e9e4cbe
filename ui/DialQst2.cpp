#include "DialQst2.h"

#include <QApplication>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QRegion>
#include <QScreen>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QTextLayout>

#include "ArkMain.h"
#include "Czcionki.h"

TFormQst* FormQst = nullptr;

namespace {

constexpr int SZEROKOSC_OKNA = 471;    // client 465 plus the 3-pixel border on both sides
constexpr int WYSOKOSC_PROJEKTU = 114; // client 108
constexpr int RAMKA = 3;
constexpr int SZEROKOSC_LINII = SZEROKOSC_OKNA - 2 * RAMKA;
constexpr int WYSOKOSC_LINII = 20;
constexpr int MR_OK = 1;
constexpr int MR_CANCEL = 2;

// A green check mark, drawn here so that the box needs no picture file.
QPixmap ZnakZatwierdzenia() {
    QPixmap glif(18, 18);
    glif.fill(Qt::transparent);
    QPainter p(&glif);
    p.setRenderHint(QPainter::Antialiasing);
    QPen pioro(QColor(0, 150, 0), 3.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pioro);
    const QPointF punkty[] = {{3.0, 9.5}, {7.0, 13.5}, {15.0, 4.0}};
    p.drawPolyline(punkty, 3);
    return glif;
}

// Line breaks of any kind start a new line.
QString JednolitePodzialy(QString tekst) {
    tekst.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    tekst.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return tekst;
}

// The number of lines the text takes when wrapped at words within `szerokosc`;
// at least one, also for an empty text.
int LiczbaLinii(const QString& tekst, const QFont& czcionka, int szerokosc) {
    int linie = 0;
    for (const QString& akapit : tekst.split(QLatin1Char('\n'))) {
        QTextLayout uklad(akapit, czcionka);
        QTextOption opcje;
        opcje.setWrapMode(QTextOption::WordWrap);
        uklad.setTextOption(opcje);
        int wAkapicie = 0;
        uklad.beginLayout();
        for (QTextLine linia = uklad.createLine(); linia.isValid(); linia = uklad.createLine()) {
            linia.setLineWidth(szerokosc);
            ++wAkapicie;
        }
        uklad.endLayout();
        linie += wAkapicie > 0 ? wAkapicie : 1;
    }
    return linie > 0 ? linie : 1;
}

}  // namespace

TBitBtn::TBitBtn(const QString& napis, const QPixmap& glif, QWidget* rodzic)
    : QPushButton(napis, rodzic), glif_(glif) {}

void TBitBtn::paintEvent(QPaintEvent*) {
    QStylePainter p(this);
    QStyleOptionButton opcje;
    initStyleOption(&opcje);
    const QString napis = opcje.text;
    opcje.text.clear();
    opcje.icon = QIcon();
    p.drawControl(QStyle::CE_PushButton, opcje);
    const int glifX = 2;
    p.drawPixmap(glifX, (height() - glif_.height()) / 2, glif_);
    const QRect naNapis(glifX + glif_.width(), 0, width() - glifX - glif_.width(), height());
    p.drawItemText(naNapis, Qt::AlignCenter | Qt::TextShowMnemonic, palette(), isEnabled(), napis,
                   QPalette::ButtonText);
}

TFormQst::TFormQst() : QWidget(FormMain, Qt::Dialog | Qt::FramelessWindowHint) {
    setAttribute(Qt::WA_DeleteOnClose, false);
    QPalette paleta = palette();
    const QColor tlo = paleta.color(QPalette::ToolTipBase);
    paleta.setColor(QPalette::Window, tlo);
    paleta.setColor(QPalette::WindowText, Qt::black);
    setPalette(paleta);
    setAutoFillBackground(true);
    resize(SZEROKOSC_OKNA, WYSOKOSC_PROJEKTU);

    const QFont czcionka = CzcionkaPx(17);
    setFont(czcionka);
    Obszar = new QWidget(this);
    Obszar->setGeometry(RAMKA, RAMKA, SZEROKOSC_LINII, WYSOKOSC_PROJEKTU - 2 * RAMKA);
    Panel1 = new QWidget(Obszar);
    Panel1->setGeometry(0, 0, SZEROKOSC_LINII, 17);
    Label1 = new QLabel(Obszar);
    Panel2 = new QWidget(Obszar);
    Panel2->setGeometry(0, 37, SZEROKOSC_LINII, 5);
    Label2 = new QLabel(Obszar);
    for (QLabel* etykieta : {Label1, Label2}) {
        etykieta->setTextFormat(Qt::PlainText);
        etykieta->setWordWrap(true);
        etykieta->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        etykieta->setGeometry(0, 0, SZEROKOSC_LINII, WYSOKOSC_LINII);
    }
    Ulozenie();
    B1 = new TBitBtn(QStringLiteral("&Ok"), ZnakZatwierdzenia(), Obszar);
    B1->setGeometry(190, 69, 80, 27);
    connect(B1, &QPushButton::clicked, this, &TFormQst::B1Click);
}

TFormQst::~TFormQst() {
    // Destroyed with the main window while waiting: the wait ends too.
    if (petla_) petla_->exit();
    if (FormQst == this) FormQst = nullptr;
}

void TFormQst::UstawLinie(QLabel* etykieta, const QString& tekst) {
    const QString linie = JednolitePodzialy(tekst);
    etykieta->setText(linie);
    etykieta->resize(SZEROKOSC_LINII,
                     WYSOKOSC_LINII * LiczbaLinii(linie, etykieta->font(), SZEROKOSC_LINII));
    Ulozenie();
}

// Panel1, Label1, Panel2 and Label2 are stacked from the top.
void TFormQst::Ulozenie() {
    int gora = 0;
    for (QWidget* w : {Panel1, static_cast<QWidget*>(Label1), Panel2, static_cast<QWidget*>(Label2)}) {
        w->move(0, gora);
        gora += w->height();
    }
}

void TFormQst::FormShow() {
    // The position uses the height the box has before the new layout.
    QRect nad;
    if (FormMain)
        nad = FormMain->frameGeometry();
    else if (QScreen* ekran = QGuiApplication::primaryScreen())
        nad = ekran->geometry();
    // Integer division truncates toward zero, as the layout expects.
    const int lewo = nad.x() + (nad.width() - width()) / 2;
    const int gora = nad.y() + (nad.height() - height()) / 2 + 15;

    const int wysokosc = Panel1->height() + Label1->height() + Panel2->height() +
                         Label2->height() + B1->height() + 20;
    B1->move(B1->x(), wysokosc - 40);
    setGeometry(lewo, gora, width(), wysokosc);
    Obszar->resize(SZEROKOSC_LINII, wysokosc - 2 * RAMKA);
    B1->setFocus(Qt::OtherFocusReason);

    QPainterPath ksztalt;
    ksztalt.addRoundedRect(QRectF(0, 0, width(), wysokosc), 10, 10);
    setMask(QRegion(ksztalt.toFillPolygon().toPolygon()));
    update();
}

void TFormQst::B1Click() { close(); }

void TFormQst::FormClose() {
    if (FormQst == this) FormQst = nullptr;
}

void TFormQst::closeEvent(QCloseEvent* zdarzenie) {
    // Closing only asks: the box goes away when control is back in its own
    // modal wait.
    if (ModalResult == 0) ModalResult = MR_CANCEL;
    if (petla_) petla_->exit();
    zdarzenie->ignore();
}

void TFormQst::keyPressEvent(QKeyEvent* zdarzenie) {
    switch (zdarzenie->key()) {
    case Qt::Key_Escape:  // B1 is the cancel button
    case Qt::Key_Return:  // and the default button
    case Qt::Key_Enter:
        B1->click();
        return;
    default:
        QWidget::keyPressEvent(zdarzenie);
    }
}

void TFormQst::ShowModal() {
    ModalResult = 0;
    setWindowModality(Qt::ApplicationModal);
    show();
    raise();
    activateWindow();
    QEventLoop petla;
    petla_ = &petla;
    QPointer<TFormQst> ja = this;
    if (ModalResult == 0) petla.exec(QEventLoop::DialogExec);
    if (!ja) return;
    petla_ = nullptr;
    hide();
}

int Informacja(void*, const std::u16string& tekst, const std::u16string& tytul, unsigned) {
    PokazKomunikat(tytul, tekst, std::u16string());
    return MR_OK;
}

void PokazKomunikat(const std::u16string& tytul, const std::u16string& linia1,
                    const std::u16string& linia2) {
    if (FormQst && FormQst->isVisible()) FormQst->close();
    if (!FormQst) FormQst = new TFormQst();
    // The box is a child of the main window; a guard keeps the wait safe
    // should the main window be destroyed meanwhile.
    QPointer<TFormQst> okno = FormQst;

    okno->setWindowTitle(QString::fromStdU16String(tytul));
    okno->UstawLinie(okno->Label1, QString::fromStdU16String(linia1));
    okno->UstawLinie(okno->Label2, QString::fromStdU16String(linia2));

    okno->B1->setText(QStringLiteral("&Ok"));
    okno->B1->move(190, okno->B1->y());
    okno->B1->setDefault(true);
    okno->B1->setAutoDefault(true);

    if (okno->isVisible()) {
        okno->repaint();
        return;
    }
    okno->FormShow();
    okno->ShowModal();
    if (!okno) {
        FormQst = nullptr;
        return;
    }
    // The next notice starts from a fresh box with the design layout.
    okno->FormClose();
    delete okno.data();
}
