#include "ArkMain.h"

#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainterPath>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QRegion>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include "Czcionki.h"
#include "Producent.h"
#include "platform/Powloka.h"
#include "platform/Sciezki.h"

TFormMain* FormMain = nullptr;

namespace {

constexpr int SZEROKOSC_OKNA = 730;
constexpr int WYSOKOSC_OKNA = 360;

const QColor KOLOR_NIEBIESKI(0, 0, 255);
const QColor KOLOR_GRANATOWY(0, 0, 128);
const QColor KOLOR_MORSKI(0, 128, 128);
const QColor KOLOR_BORDOWY(128, 0, 0);
const QColor KOLOR_SREBRNY(192, 192, 192);

QString Q(const char16_t* tekst) { return QString::fromUtf16(tekst); }

// A label that sizes itself to its text, as a label with automatic size does.
QLabel* Etykieta(QWidget* rodzic, int lewo, int gora, const QString& tekst,
                 const QColor* kolor = nullptr) {
    auto* etykieta = new QLabel(tekst, rodzic);
    etykieta->setTextFormat(Qt::PlainText);
    if (kolor) {
        QPalette paleta = etykieta->palette();
        paleta.setColor(QPalette::WindowText, *kolor);
        etykieta->setPalette(paleta);
    }
    etykieta->move(lewo, gora);
    etykieta->adjustSize();
    return etykieta;
}

QLabel* Obraz(QWidget* rodzic, const QRect& miejsce, const QString& plik, bool rozciagniety) {
    auto* obraz = new QLabel(rodzic);
    obraz->setGeometry(miejsce);
    obraz->setPixmap(QPixmap(plik));
    obraz->setScaledContents(rozciagniety);
    return obraz;
}

QWidget* Panel(QWidget* rodzic, const QRect& miejsce) {
    auto* panel = new QWidget(rodzic);
    panel->setGeometry(miejsce);
    panel->setAutoFillBackground(true);
    return panel;
}

QGroupBox* Ramka(QWidget* rodzic, const QRect& miejsce, const QString& tytul) {
    auto* ramka = new QGroupBox(tytul, rodzic);
    ramka->setGeometry(miejsce);
    return ramka;
}

}  // namespace

TFormMain::TFormMain(UslugiInterfejsu& uslugi, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), uslugi_(uslugi) {
    if (!FormMain) FormMain = this;
    UtworzProjekt();
    FormCreate();
    Timer1->start();
}

TFormMain::~TFormMain() {
    if (FormMain == this) FormMain = nullptr;
}

// The window as designed, before its creation handler runs.
void TFormMain::UtworzProjekt() {
    setWindowTitle(QStringLiteral("Warunki licencji"));
    setFixedSize(SZEROKOSC_OKNA, WYSOKOSC_OKNA);
    setFont(CzcionkaOkna());
    QPalette paleta = palette();
    paleta.setColor(QPalette::Window, paleta.color(QPalette::Button));
    setPalette(paleta);
    setAutoFillBackground(true);

    // Creation order is the stacking order (later over earlier) and, on the
    // licence page, also the tab order.
    PanelInfo = Panel(this, QRect(0, 0, SZEROKOSC_OKNA, 30));
    Image9 = Obraz(PanelInfo, PanelInfo->rect(), QStringLiteral(":/obrazy/pasek_tytulu.jpg"), true);
    LabelInfo = new QLabel(QStringLiteral("Warunki licencji"), PanelInfo);
    LabelInfo->setTextFormat(Qt::PlainText);
    LabelInfo->setFont(CzcionkaPx(19));
    {
        QPalette p = LabelInfo->palette();
        p.setColor(QPalette::WindowText, KOLOR_NIEBIESKI);
        LabelInfo->setPalette(p);
    }
    // Wide enough for every status text the installer writes there.
    LabelInfo->setGeometry(31, 4, SZEROKOSC_OKNA - 31 - 8,
                           QFontMetrics(LabelInfo->font()).height());

    Image6 = Obraz(this, QRect(0, 30, SZEROKOSC_OKNA, WYSOKOSC_OKNA - 30),
                   QStringLiteral(":/obrazy/tlo.jpg"), true);

    PanelLic = Panel(this, QRect(0, 32, 730, 330));
    PanelKoniec = Panel(this, QRect(0, 32, 730, 288));
    PanelKoniec->hide();

    LabelKoniec = Etykieta(PanelKoniec, 227, 199, QStringLiteral("Program jest gotowy do pracy."),
                           &KOLOR_BORDOWY);
    LabelKoniec->setFont(CzcionkaArial(21));
    LabelKoniec->adjustSize();
    Image7 = Obraz(PanelKoniec, QRect(218, 81, 300, 100), QStringLiteral(":/obrazy/koniec1.jpg"), false);
    Image8 = Obraz(PanelKoniec, QRect(170, 81, 400, 100), QStringLiteral(":/obrazy/koniec2.jpg"), false);

    Timer1 = new QTimer(this);
    Timer1->setInterval(100);
    connect(Timer1, &QTimer::timeout, this, &TFormMain::Timer1Timer);
    SDFile1 = std::make_unique<TSaveDialog>(uslugi_.dialogZapisu);

    // The licence page.
    LabelHttp = Etykieta(PanelLic, 532, 297, QStringLiteral("Http"));
    LabelHttp->hide();
    Label5 = Etykieta(PanelLic, 531, 264, Q(u"Styczeń 2020"));

    RGAkceptacja = new TRadioGroup(QStringLiteral("-"),
                                   {Q(u"Akceptuję"), Q(u"Nie akceptuję")}, 1, PanelLic);
    RGAkceptacja->setGeometry(8, 246, 122, 76);
    RGAkceptacja->setEnabled(false);
    // The caption sits 8 pixels in, as Windows draws it, where "Wybór:" covers it.
    RGAkceptacja->setStyleSheet(QStringLiteral("QGroupBox::title { subcontrol-origin: margin; left: 8px; }"));
    connect(RGAkceptacja, &TRadioGroup::Clicked, this, &TFormMain::RGAkceptacjaClick);

    GroupBox1 = Ramka(PanelLic, QRect(523, 3, 183, 85), QStringLiteral("Producent"));
    StaticTextStudio = Etykieta(GroupBox1, 11, 18, Q(PRODUCENT_NAZWA), &KOLOR_MORSKI);
    Image1 = Obraz(GroupBox1, QRect(36, 40, 112, 36), QStringLiteral(":/obrazy/kvtek_logo.jpg"), false);
    Image1->setCursor(Qt::PointingHandCursor);
    Image2 = Obraz(GroupBox1, QRect(12, 36, 117, 41), QStringLiteral(":/obrazy/kvtek_logo2.jpg"), false);
    Image2->setCursor(Qt::PointingHandCursor);
    Image2->hide();

    GroupBox2 = Ramka(PanelLic, QRect(523, 90, 183, 100), QStringLiteral("Kontakt"));
    LabelWWW = Etykieta(GroupBox2, 17, 18, Q(PRODUCENT_WWW_NAPIS), &KOLOR_GRANATOWY);
    {
        QFont podkreslona = LabelWWW->font();
        podkreslona.setUnderline(true);
        LabelWWW->setFont(podkreslona);
        LabelWWW->adjustSize();
    }
    LabelWWW->setCursor(Qt::PointingHandCursor);
    LabelTelefon1 = Etykieta(GroupBox2, 17, 38, Q(PRODUCENT_TELEFON1), &KOLOR_GRANATOWY);
    LabelTelefon2 = Etykieta(GroupBox2, 17, 57, Q(PRODUCENT_TELEFON2), &KOLOR_GRANATOWY);

    // Lies over the top edge of the radio group and hides the group's own caption.
    StaticText3 = Etykieta(PanelLic, 15, 245, Q(u"Wybór:"));
    StaticText3->setAutoFillBackground(true);

    GroupBox3 = Ramka(PanelLic, QRect(523, 196, 183, 47), QStringLiteral("Pomoc techniczna"));
    LabelEmail = Etykieta(GroupBox3, 11, 20, Q(PRODUCENT_EMAIL));

    BitBtn1 = new QPushButton(QStringLiteral("Zamknij"), PanelLic);
    BitBtn1->setGeometry(655, 295, 65, 25);
    BitBtn1->setToolTip(QStringLiteral("Koniec pracy Instalatora."));
    connect(BitBtn1, &QPushButton::clicked, this, &TFormMain::BitBtn1Click);

    GroupBox4 = Ramka(PanelLic, QRect(138, 246, 373, 76), Q(u"Dane użytkownika"));
    Etykieta(GroupBox4, 10, 23, QStringLiteral("Nazwa"));
    Etykieta(GroupBox4, 11, 47, QStringLiteral("e-mail"));
    EditNazwa = new QLineEdit(GroupBox4);
    EditNazwa->setGeometry(62, 20, 302, 24);
    EditMail = new QLineEdit(GroupBox4);
    EditMail->setGeometry(62, 47, 302, 21);

    ListBox1 = new QListWidget(PanelLic);
    ListBox1->setGeometry(8, 9, 509, 231);

    // The controls that take the focus, in the page's tab order.
    QWidget::setTabOrder(RGAkceptacja->Item(0), RGAkceptacja->Item(1));
    QWidget::setTabOrder(RGAkceptacja->Item(1), BitBtn1);
    QWidget::setTabOrder(BitBtn1, EditNazwa);
    QWidget::setTabOrder(EditNazwa, EditMail);
    QWidget::setTabOrder(EditMail, ListBox1);

    for (QWidget* zrodlo : {PanelKoniec, PanelLic, static_cast<QWidget*>(GroupBox1),
                            static_cast<QWidget*>(GroupBox2), static_cast<QWidget*>(GroupBox3),
                            static_cast<QWidget*>(Image9), static_cast<QWidget*>(LabelInfo)})
        zrodlo->installEventFilter(this);
    for (QLabel* odnosnik : {Image1, Image2, LabelWWW}) odnosnik->installEventFilter(this);
}

void TFormMain::FormCreate() {
    KontekstInstalacji& k = uslugi_.kontekst;

    Image1->show();
    Image7->show();
    Image2->hide();
    Image8->hide();

    for (QLineEdit* pole : {EditNazwa, EditMail}) {
        pole->setEnabled(false);
        QPalette paleta = pole->palette();
        for (auto grupa : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
            paleta.setColor(grupa, QPalette::Base, KOLOR_SREBRNY);
        pole->setPalette(paleta);
    }

    LabelHttp->show();

    LabelInfo->setText(QStringLiteral("Warunki licencji - wersja demonstracyjna"));

    k.WersjaProgramu = u"8.0";
    k.KoncowkaSkrotu = u" 8.lnk";
    k.NazwaKatalogu = u"Kavrostel8";
    k.PlikProgramu = u"Kavrostel";
    k.NazwaProgramu = k.PlikProgramu;
    k.PlikProgramu = u"_" + k.PlikProgramu;
    k.FolderBDE = u"Sterowniki\\BDE";

    k.FolderInstalatora = platforma::FolderPliku(uslugi_.powloka.SciezkaProgramu());

    k.FolderPulpitu = uslugi_.powloka.FolderSpecjalny(platforma::CSIDL_PULPIT);
    k.FolderMenuProgramy = uslugi_.powloka.FolderSpecjalny(platforma::CSIDL_PROGRAMY);

    // DyskInstalacji is still empty: the page that sets it does not exist yet.
    k.FolderInstalacji = k.DyskInstalacji + u"\\KV-Tek\\" + k.NazwaKatalogu;

    // Corners rounded by 40 x 40 ellipses over the design size; the region
    // covers 0..729 x 0..359, as a Windows region excludes its right and
    // bottom edges.
    QPainterPath ksztalt;
    ksztalt.addRoundedRect(QRectF(0, 0, SZEROKOSC_OKNA, WYSOKOSC_OKNA), 20, 20);
    setMask(QRegion(ksztalt.toFillPolygon().toPolygon()));
}

std::u16string TFormMain::LokalizacjaFolderu(const std::u16string& nazwaPliku) {
    // The installer only asks with an empty name; a name is not looked up
    // either, so the answer is the current drive in every case.
    (void)nazwaPliku;
    return uslugi_.kontekst.DyskInstalacji;
}

void TFormMain::LabelWWWClick() { uslugi_.powloka.OtworzAdres(PRODUCENT_WWW); }

void TFormMain::BitBtn1Click() { close(); }

bool TFormMain::NaciskNaSamym(QObject* obiekt, const QPointF& punktEkranu) const {
    QWidget* pod = childAt(mapFromGlobal(punktEkranu.toPoint()));
    if (!pod) pod = const_cast<TFormMain*>(this);
    return pod == obiekt;
}

bool TFormMain::eventFilter(QObject* obiekt, QEvent* zdarzenie) {
    const bool odnosnik = obiekt == Image1 || obiekt == Image2 || obiekt == LabelWWW;
    if (zdarzenie->type() == QEvent::MouseButtonPress) {
        auto* mysz = static_cast<QMouseEvent*>(zdarzenie);
        if (odnosnik) return true;  // the release makes the click
        if (NaciskNaSamym(obiekt, mysz->globalPosition())) {
            punktNacisku_ = mysz->globalPosition();
            FormMouseDown(mysz->button());
            return true;
        }
    } else if (zdarzenie->type() == QEvent::MouseButtonRelease && odnosnik) {
        auto* mysz = static_cast<QMouseEvent*>(zdarzenie);
        auto* kontrolka = static_cast<QWidget*>(obiekt);
        if (mysz->button() == Qt::LeftButton && kontrolka->rect().contains(mysz->position().toPoint()))
            LabelWWWClick();
        return true;
    }
    return QWidget::eventFilter(obiekt, zdarzenie);
}

void TFormMain::mousePressEvent(QMouseEvent* zdarzenie) {
    // Presses that a control under the pointer left unhandled arrive here as
    // well; only a press on the window's own background drags it.
    if (!NaciskNaSamym(this, zdarzenie->globalPosition())) {
        zdarzenie->ignore();
        return;
    }
    punktNacisku_ = zdarzenie->globalPosition();
    FormMouseDown(zdarzenie->button());
}

void TFormMain::FormMouseDown(Qt::MouseButton przycisk) {
    if (przycisk != Qt::LeftButton) return;
    // The move always belongs to the main window, whichever control was pressed.
    if (QWindow* okno = windowHandle(); okno && okno->startSystemMove()) return;
    // No window manager to move it (a bare X server): follow the mouse until
    // the button is released.
    przeciaganie_ = true;
    chwytWOknie_ = punktNacisku_.toPoint() - pos();
    grabMouse();
}

void TFormMain::mouseMoveEvent(QMouseEvent* zdarzenie) {
    if (przeciaganie_) {
        move(zdarzenie->globalPosition().toPoint() - chwytWOknie_);
        return;
    }
    QWidget::mouseMoveEvent(zdarzenie);
}

void TFormMain::mouseReleaseEvent(QMouseEvent* zdarzenie) {
    if (przeciaganie_) {
        przeciaganie_ = false;
        releaseMouse();
        return;
    }
    QWidget::mouseReleaseEvent(zdarzenie);
}

void TFormMain::showEvent(QShowEvent* zdarzenie) {
    if (!zdarzenie->spontaneous()) {
        if (QScreen* ekran = screen() ? screen() : QGuiApplication::primaryScreen()) {
            const QRect obszar = ekran->geometry();
            move(obszar.x() + (obszar.width() - width()) / 2,
                 obszar.y() + (obszar.height() - height()) / 2);
        }
    }
    QWidget::showEvent(zdarzenie);
}
