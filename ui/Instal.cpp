// The installation page: its controls, its creation and its handlers, and the
// main window's acceptance handler that shows and prepares it.
#include "Instal.h"

#include <QCheckBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <algorithm>

#include "ArkMain.h"
#include "Czcionki.h"
#include "Deinstalacja.h"
#include "DialQst2.h"
#include "Instalacja.h"
#include "Prezentacja.h"
#include "StronaQt.h"
#include "platform/Sciezki.h"
#include "platform/Tekst.h"

TFormInstal* FormInstal = nullptr;

namespace {

const char* const kPodpowiedz = "kvPodpowiedz";

QString Q(const std::u16string& tekst) { return QString::fromStdU16String(tekst); }

// Keeps a button's tooltip equal to its hint while it is enabled and empty
// while it is disabled, whoever changes the enabled state.
class PodpowiedzGdyWlaczony : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* obiekt, QEvent* zdarzenie) override {
        if (zdarzenie->type() == QEvent::EnabledChange) {
            if (auto* w = qobject_cast<QWidget*>(obiekt)) OdswiezPodpowiedz(w);
        }
        return false;
    }
};

QPushButton* Przycisk(QWidget* rodzic, const QString& napis, int x, int y, int w, int h, int px) {
    auto* b = new QPushButton(napis, rodzic);
    b->setGeometry(x, y, w, h);
    b->setFont(CzcionkaPx(px));
    return b;
}

QLabel* Obrazek(QWidget* rodzic, const QString& zasob, int x) {
    auto* l = new QLabel(rodzic);
    l->setGeometry(x, 7, 103, 70);
    l->setScaledContents(true);
    l->setPixmap(QPixmap(zasob));
    return l;
}

}  // namespace

void UstawPodpowiedz(QWidget* przycisk, const QString& podpowiedz) {
    przycisk->setProperty(kPodpowiedz, podpowiedz);
    OdswiezPodpowiedz(przycisk);
}

void OdswiezPodpowiedz(QWidget* przycisk) {
    przycisk->setToolTip(przycisk->isEnabled() ? przycisk->property(kPodpowiedz).toString()
                                               : QString());
}

TFormInstal::TFormInstal(UslugiInterfejsu& uslugi, QWidget* parent)
    : QWidget(parent), uslugi_(uslugi) {
    setWindowTitle(u"Instalacja"_qs);
    setFont(CzcionkaOkna());
    resize(740, 330);
    UtworzProjekt();
    strona_ = std::make_unique<StronaQt>(*this, uslugi_);
    FormInstal = this;
    FormCreate();
}

TFormInstal::~TFormInstal() {
    // The panel lives on the main window; it is the page's, so it goes with it.
    strona_.reset();
    delete panel_.data();
    if (FormInstal == this) FormInstal = nullptr;
}

IStronaInstalacji& TFormInstal::Strona() { return *strona_; }
StronaQt& TFormInstal::StronaStrony() { return *strona_; }

// The page as designed, before FormCreate.
void TFormInstal::UtworzProjekt() {
    auto* filtr = new PodpowiedzGdyWlaczony(this);
    const auto zPodpowiedzia = [filtr](QPushButton* b, const QString& podpowiedz) {
        b->installEventFilter(filtr);
        UstawPodpowiedz(b, podpowiedz);
    };

    PanelInstalacji = new QWidget(this);
    PanelInstalacji->setObjectName(u"PanelInstalacji"_qs);
    PanelInstalacji->setGeometry(0, 34, 740, 330);
    PanelInstalacji->setAutoFillBackground(false);  // the colour of its parent
    PanelInstalacji->setFont(CzcionkaOkna());
    PanelInstalacji->hide();
    panel_ = PanelInstalacji;
    QWidget* p = PanelInstalacji;

    SBPrzegladaj = Przycisk(p, u"Zmiana folderu instalacji   >>"_qs, 14, 259, 187, 22, 13);
    // The substitute font is wider than the designed one: the caption gets
    // the largest size up to the window's own that fits the designed width.
    for (int px = CzcionkaOkna().pixelSize(); px >= 9; --px) {
        SBPrzegladaj->setFont(CzcionkaPx(px));
        if (SBPrzegladaj->sizeHint().width() <= SBPrzegladaj->width()) break;
    }
    SBPrzegladaj->setEnabled(false);

    LabelFolder = new QLabel(p);
    LabelFolder->setGeometry(323, 260, 158, 20);
    LabelFolder->setFont(CzcionkaPx(16));

    Image2 = Obrazek(p, u":/obrazy/rysunek.jpg"_qs, 397);
    Image3 = Obrazek(p, u":/obrazy/folder_strzalka.jpg"_qs, 143);
    Image4 = Obrazek(p, u":/obrazy/folder.jpg"_qs, 14);
    Image5 = Obrazek(p, u":/obrazy/mapa_strzalka.jpg"_qs, 272);

    Label3 = new QLabel(u"Program"_qs, p);
    Label3->setGeometry(32, 104, 72, 24);
    Label3->setFont(CzcionkaPx(19));
    {
        QPalette pal = Label3->palette();
        pal.setColor(QPalette::WindowText, QColor(128, 0, 0));  // maroon
        Label3->setPalette(pal);
    }
    Label3->hide();

    RGWersja = new TRadioGroup(QString(), {u"Kavrostel Sterowany"_qs, u"Kavrostel"_qs}, 1, p);
    RGWersja->setGeometry(14, 78, 487, 53);
    RGWersja->setEnabled(false);

    Edit1 = new QLineEdit(u"C:"_qs, p);
    Edit1->setGeometry(212, 257, 100, 22);
    Edit1->setFont(CzcionkaPx(16));
    Edit1->setReadOnly(true);
    {
        QPalette pal = Edit1->palette();
        // The tooltip background of Windows (clInfoBk).
        pal.setColor(QPalette::Base, QColor(255, 255, 225));
        pal.setColor(QPalette::Disabled, QPalette::Base, QColor(255, 255, 225));
        Edit1->setPalette(pal);
    }
    Edit1->setEnabled(false);
    tekstEdit1_ = Edit1->text();

    CBSkrotPulpit = new QCheckBox(u"Skrót na Pulpicie"_qs, p);
    CBSkrotMenuStart = new QCheckBox(u"Skrót w Menu Start"_qs, p);
    QFont pogrubiona = CzcionkaOkna();
    pogrubiona.setBold(true);
    CBSkrotPulpit->setFont(pogrubiona);
    CBSkrotMenuStart->setFont(pogrubiona);
    // Wide enough for the caption in the substitute font.
    for (QCheckBox* cb : {CBSkrotPulpit, CBSkrotMenuStart})
        cb->resize(std::max(160, cb->sizeHint().width()), 17);
    CBSkrotPulpit->move(556, 36);
    CBSkrotMenuStart->move(556, 56);
    CBSkrotPulpit->setChecked(true);
    CBSkrotMenuStart->setChecked(true);

    BBWstecz = Przycisk(p, u"<< Wstecz"_qs, 14, 289, 100, 30, 16);
    zPodpowiedzia(BBWstecz, u"Powrót do warunków licencji"_qs);
    BBClose = Przycisk(p, u"Zamknij"_qs, 633, 289, 80, 30, 16);
    zPodpowiedzia(BBClose, u"Koniec pracy Instalatora."_qs);
    BBInstal = Przycisk(p, u"Instaluj zaznaczone"_qs, 243, 289, 204, 30, 19);
    {
        // Navy while enabled; disabled it greys out like the other buttons.
        QPalette pal = BBInstal->palette();
        pal.setColor(QPalette::Active, QPalette::ButtonText, QColor(0, 0, 128));
        pal.setColor(QPalette::Inactive, QPalette::ButtonText, QColor(0, 0, 128));
        BBInstal->setPalette(pal);
    }
    BBInstal->setEnabled(false);
    zPodpowiedzia(BBInstal, QString());
    BBDeinstal = Przycisk(p, u"Usunięcie instalacji"_qs, 450, 289, 162, 30, 16);
    BBDeinstal->setEnabled(false);
    zPodpowiedzia(BBDeinstal,
                  u"Ponowna instalacja nie wymaga usuwania poprzedniej wersji programu."_qs);
    zPodpowiedzia(SBPrzegladaj, QString());

    ProgressBar1 = new QProgressBar(p);
    ProgressBar1->setGeometry(14, 235, 534, 13);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);

    RGBit = new TRadioGroup(u"Wersja"_qs, {u"32-bit"_qs, u"64-bit"_qs}, 2, p);
    RGBit->setGeometry(522, 81, 185, 50);
    RGBit->SetItemIndex(1);
    RGBit->setEnabled(false);

    // Declaration order is the tab order of the page.
    QWidget* kolejnosc[] = {SBPrzegladaj, RGWersja, Edit1, CBSkrotPulpit, CBSkrotMenuStart,
                            BBWstecz, BBClose, BBInstal, BBDeinstal, RGBit};
    for (std::size_t i = 1; i < std::size(kolejnosc); ++i)
        QWidget::setTabOrder(kolejnosc[i - 1], kolejnosc[i]);

    connect(RGWersja, &TRadioGroup::Clicked, this, [this] { RGWersjaClick(); });
    // Only a real change of the text is a change: setting the text it already
    // has must not run Edit1Change (the acceptance handler relies on that).
    connect(Edit1, &QLineEdit::textChanged, this, [this](const QString& tekst) {
        if (tekst == tekstEdit1_) return;
        tekstEdit1_ = tekst;
        Edit1Change();
    });
    connect(SBPrzegladaj, &QPushButton::clicked, this, [this] { SBPrzegladajClick(); });
    connect(BBWstecz, &QPushButton::clicked, this, [this] { BBWsteczClick(); });
    connect(BBClose, &QPushButton::clicked, this, [this] { BBCloseClick(); });
    connect(BBInstal, &QPushButton::clicked, this, [this] { BBInstalClick(); });
    connect(BBDeinstal, &QPushButton::clicked, this, [this] { BBDeinstalClick(); });
}

void TFormInstal::UstawTekstEdit1(const std::u16string& tekst) {
    Edit1->setText(Q(tekst));
}

void TFormInstal::FormCreate() {
    KontekstInstalacji& k = uslugi_.kontekst;
    k.FolderPakietu = u"KV-Tek";
    RGWersja->hide();
    Label3->setText(u"Kavrostel Sterowany"_qs);
    Label3->adjustSize();  // the label sizes itself to its caption
    Label3->show();
    RGWersja->SetItemIndex(-1);
    RGWersja->setEnabled(true);
    k.DyskInstalacji = Edit1->text().toStdU16String();
    LabelFolder->setText(Q(u"\\" + k.FolderPakietu + u"\\" + k.NazwaKatalogu));
    if (FormMain && FormMain->SDFile1) FormMain->SDFile1->InitialDir = u"C:";
    const bool poprzednia = JestPoprzedniaInstalacja();
    BBDeinstal->setEnabled(poprzednia);
    if (FormMain) {
        PanelInstalacji->setParent(FormMain);
        PanelInstalacji->setGeometry(0, 34, 740, 330);
        PanelInstalacji->hide();
        strona_->ObserwujOknoGlowne(FormMain);
    }
}

bool TFormInstal::JestPoprzedniaInstalacja() {
    const KontekstInstalacji& k = uslugi_.kontekst;
    return uslugi_.pliki.PlikIstnieje(SkrotNaPulpicie(k)) ||
           uslugi_.pliki.PlikIstnieje(SkrotWMenuStart(k)) ||
           uslugi_.pliki.PlikIstnieje(PlikProgramuInstalacji(k));
}

void TFormInstal::RGWersjaClick() {
    KontekstInstalacji& k = uslugi_.kontekst;
    const bool wybrany = RGWersja->ItemIndex() >= 0;
    if (RGWersja->ItemIndex() == 0) {
        k.PlikProgramu = u"Kavrostel";
        k.NazwaProgramu = u"Kavrostel";
    }
    const bool zaakceptowano = FormMain && FormMain->RGAkceptacja->ItemIndex() == 0;
    Edit1->setEnabled(zaakceptowano && wybrany);
    SBPrzegladaj->setEnabled(zaakceptowano && wybrany);
    k.PlikProgramu = u"_" + k.PlikProgramu;
    k.NazwaProgramu = u"_" + k.NazwaProgramu;
    BBDeinstal->setEnabled(JestPoprzedniaInstalacja());
    if (FormMain)
        FormMain->LabelInfo->setText(
            Q(u"Instalacja programu Vestra " + k.PlikProgramu + u" " + k.WersjaProgramu));
    BBInstal->setEnabled(!k.PlikProgramu.empty() && zaakceptowano && wybrany);
    if (FormMain && BBInstal->isVisibleTo(FormMain) && BBInstal->isEnabled())
        BBInstal->setFocus(Qt::OtherFocusReason);
}

void TFormInstal::Edit1Change() {
    KontekstInstalacji& k = uslugi_.kontekst;
    k.DyskInstalacji = Edit1->text().toStdU16String();
    k.FolderInstalacji = ZlozonyFolderInstalacji(k);
    LabelFolder->setText(Q(u"\\" + k.FolderPakietu + u"\\" + k.NazwaKatalogu));
}

void TFormInstal::SBPrzegladajClick() {
    KontekstInstalacji& k = uslugi_.kontekst;
    TSaveDialog& dialog = *FormMain->SDFile1;
    dialog.Title = u"Wskaż folder instalacji";
    dialog.FileName = k.NazwaProgramu + u".exe";
    if (!dialog.Execute()) return;

    const std::u16string folder = platforma::FolderPliku(dialog.FileName);
    if (platforma::ZawieraBezWielkosciLiter(folder, k.FolderPakietu)) {
        Informacja(nullptr,
                   u"Folder:  \"" + k.FolderPakietu +
                       u"\" jest już domyślnym podkatalogiem instalacji.",
                   u"Uwaga!", 0);
    } else {
        Edit1->setText(Q(folder));
    }

    // Normalise whatever the field now holds, the refused case included.
    QString tekst = Edit1->text();
    if (!tekst.isEmpty()) {
        const QChar pierwszy(platforma::WielkaLiteraAscii(tekst.at(0).unicode()));
        tekst = QString(pierwszy) + tekst.mid(1, 1024);
    }
    Edit1->setText(tekst);
    const qsizetype n = tekst.size();
    if (n == 3) Edit1->setText(tekst.left(2));
    if (n > 10) {
        Edit1->resize(10 * static_cast<int>(std::min<qsizetype>(n, 40)), Edit1->height());
        LabelFolder->move(Edit1->x() + Edit1->width() + 5, LabelFolder->y());
    }
}

void TFormInstal::BBWsteczClick() {
    if (!FormMain->PanelKoniec->isHidden()) {
        FormMain->RGAkceptacjaClick();
        FormMain->PanelKoniec->hide();
        return;
    }
    FormMain->LabelInfo->setText(u"Warunki licencji - wersja demonstracyjna"_qs);
    RGWersja->SetItemIndex(-1);
    FormMain->RGAkceptacja->SetItemIndex(-1);
    PanelInstalacji->hide();
    FormMain->PanelLic->show();
    SBPrzegladaj->setDown(false);
}

void TFormInstal::BBCloseClick() {
    // While a download runs the main window defers its close (StronaQt).
    FormMain->close();
}

Srodowisko TFormInstal::SrodowiskoStrony() {
    return Srodowisko{uslugi_.kontekst, *strona_,      uslugi_.pliki, uslugi_.powloka,
                      uslugi_.skroty,   uslugi_.http, uslugi_.adresSerwera};
}

// A close asked for while a download ran was deferred; it happens once the
// engine is back, also when the engine stopped with an error.
template <typename Krok>
void TFormInstal::WykonajKrok(Krok krok) {
    Srodowisko s = SrodowiskoStrony();
    try {
        krok(s);
    } catch (...) {
        if (strona_->ZamkniecieZadane() && FormMain) FormMain->close();
        throw;
    }
    if (strona_->ZamkniecieZadane() && FormMain) FormMain->close();
}

void TFormInstal::BBInstalClick() {
    WykonajKrok([](Srodowisko& s) { ::BBInstalClick(s); });
}

void TFormInstal::BBDeinstalClick() {
    WykonajKrok([](Srodowisko& s) { ::BBDeinstalClick(s); });
}

void TFormMain::RGAkceptacjaClick() {
    TFormInstal& f = *FormInstal;
    KontekstInstalacji& k = uslugi_.kontekst;
    LabelInfo->setText(RGAkceptacja->ItemIndex() == 1 ? u"Nie zaakceptowano warunków licencji"_qs
                                                       : u"Wybierz wersję instalacji"_qs);
    const bool zaakceptowano = RGAkceptacja->ItemIndex() == 0;
    const bool pierwszePokazanie = f.PanelInstalacji->isHidden();
    PanelLic->hide();
    f.PanelInstalacji->show();
    f.CBSkrotPulpit->setChecked(true);
    f.CBSkrotMenuStart->setChecked(true);
    f.CBSkrotPulpit->setEnabled(zaakceptowano);
    f.CBSkrotMenuStart->setEnabled(zaakceptowano);
    const bool gotowe = zaakceptowano && f.RGWersja->ItemIndex() >= 0;
    f.Edit1->setEnabled(gotowe);
    f.SBPrzegladaj->setEnabled(gotowe);
    f.BBInstal->setText(u"Instaluj"_qs);
    UstawPodpowiedz(f.BBInstal, u"Instalacja programu"_qs);
    f.BBInstal->setEnabled(gotowe);
    if (!zaakceptowano) return;

    uslugi_.petla.Pompuj();

    if (uslugi_.pliki.FolderIstnieje(k.DyskInstalacji + u"\\Orveliane\\Vestra"))
        Informacja(nullptr, u"Zmiana domyślnego folderu instalacji na: C:\\KV-Tek.", u"Uwaga!", 0);

    if (!uslugi_.pliki.FolderIstnieje(k.FolderInstalacji)) {
        f.UstawTekstEdit1(LokalizacjaFolderu(u""));
        k.FolderInstalacji = f.Edit1->text().toStdU16String();
    }

    if (pierwszePokazanie) {
        const QRect okno = frameGeometry();
        const int ramka = okno.height() - height();
        const platforma::PunktEkranu cel{
            okno.x() + f.RGWersja->x() + 50,
            okno.y() + ramka + f.PanelInstalacji->y() + f.RGWersja->y() + 50};
        PrzesunKursor(uslugi_, cel, 100);
        f.RGWersja->SetItemIndex(0);
        f.RGWersjaClick();
    }
}
