// The pointer glide and the agreement presentation of the licence page.
#include "Prezentacja.h"

#include <QListWidget>
#include <QScrollBar>
#include <QTimer>
#include <algorithm>
#include <cfenv>
#include <cmath>
#include <cstdint>
#include <limits>

#include "ArkMain.h"
#include "Mat2D.h"
#include "TrescUmowy.h"
#include "Uslugi.h"

using platforma::PunktEkranu;

namespace {

constexpr std::uint32_t kJednostkaPauzy = 10;  // ms
constexpr int kNajwiecejKrokow = 200;

// Distance between two screen points. The squares and their sum are those
// of 32-bit integers; a sum that would not fit is held at the largest 32-bit
// value instead of wrapping to a negative number, whose root is not a number.
double Odleglosc(PunktEkranu a, PunktEkranu b) {
    const std::uint64_t dx = static_cast<std::uint64_t>(std::min<std::int64_t>(
        std::abs(std::int64_t{a.x} - b.x), 65536));
    const std::uint64_t dy = static_cast<std::uint64_t>(std::min<std::int64_t>(
        std::abs(std::int64_t{a.y} - b.y), 65536));
    const std::uint64_t suma = std::min<std::uint64_t>(
        dx * dx + dy * dy, static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max()));
    return std::sqrt(static_cast<double>(static_cast<std::int32_t>(suma)));
}

// Nearest integer, halves to the even neighbour, whatever rounding mode the
// caller left behind.
std::int32_t Zaokraglij(double x) {
    const int poprzedni = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double wynik = std::nearbyint(x);
    std::fesetround(poprzedni);
    return static_cast<std::int32_t>(wynik);
}

}  // namespace

void PrzesunKursor(PunktEkranu cel, std::int32_t tempo, platforma::IKursor& kursor,
                   platforma::IZegar& zegar, platforma::IPetlaKomunikatow& petla) {
    PunktEkranu p = kursor.Pozycja();

    const double d0 = Odleglosc(p, cel);
    double krok;
    if (d0 > 100.0)
        krok = d0 / 100.0;
    else if (d0 > 30.0)
        krok = d0 / 30.0;
    else
        krok = d0 / 10.0;

    // The direction is recomputed at every step, so rounding errors of
    // earlier steps are corrected; the glide follows its own p and never
    // rereads the pointer, overriding any movement by the user.
    for (int i = 0; (p.x != cel.x || p.y != cel.y) && i < kNajwiecejKrokow; ++i) {
        TPunkt2D A, B;
        UstawPunkt(A, p.x, p.y);
        UstawPunkt(B, cel.x, cel.y);
        const double kat = KatWektora(A, B, 0.0);
        const double d = Odleglosc(p, cel);
        if (d < 10.0) krok = 1.0;  // the last pixels one at a time

        if (p.x != cel.x) p.x += Zaokraglij(std::cos(kat) * krok);
        if (p.y != cel.y) p.y += Zaokraglij(std::sin(kat) * krok);

        if (kursor.AplikacjaAktywna()) kursor.Ustaw(p);

        if (i % 5 == 0 && tempo != 0) {
            const bool blisko = (tempo < 0 && d < 100.0) || d < 10.0;
            zegar.Spij(blisko ? 2 * kJednostkaPauzy : kJednostkaPauzy);
        }
    }
    petla.Pompuj();
}

void PrzesunKursor(UslugiInterfejsu& uslugi, PunktEkranu cel, std::int32_t tempo) {
    PrzesunKursor(cel, tempo, uslugi.kursor, uslugi.zegar, uslugi.petla);
}

namespace {

constexpr int kWysokoscWiersza = 16;  // px: 14 whole lines in the 231-px list
constexpr int kTempoPrezentacji = 100;

// The window's top-left corner and the offset of its client area as the
// presentation counts it: window height minus client height.
struct UkladOkna {
    int lewa;
    int gora;
    int ramka;
};

UkladOkna Uklad(const QWidget& okno) {
    const QRect zewnetrzna = okno.frameGeometry();
    return {zewnetrzna.left(), zewnetrzna.top(), zewnetrzna.height() - okno.geometry().height()};
}

// Lays out the items added so far and paints the list (its items, frame and
// scroll bar) at once: the thread does not return to the message loop while
// the list is filled, so the layout the view would do there is done here.
void OdmalujListe(QListWidget& lista) {
    lista.doItemsLayout();
    lista.repaint();
}

QListWidgetItem* NowyWiersz(QListWidget& lista, const QString& tekst) {
    auto* wiersz = new QListWidgetItem(tekst);
    wiersz->setSizeHint(QSize(1, kWysokoscWiersza));
    lista.addItem(wiersz);
    return wiersz;
}

}  // namespace

void TFormMain::Timer1Timer() {
    UslugiInterfejsu& uslugi = Uslugi();
    platforma::IZegar& zegar = uslugi.zegar;

    // 1. Once per run.
    Timer1->stop();

    // 2. Onto the list.
    {
        const UkladOkna u = Uklad(*this);
        PrzesunKursor(uslugi, {u.lewa + 50, u.gora + u.ramka + PanelLic->y() + 40},
                      kTempoPrezentacji);
    }

    // 3. Every item is one 16-px line; rows span the list's width and long
    //    lines are clipped, as a list box does.
    ListBox1->clear();
    ListBox1->setUniformItemSizes(true);
    ListBox1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ListBox1->setTextElideMode(Qt::ElideNone);

    // 4. The title character by character, then the lines; the first 14
    //    lines each get a pause.
    int dodane = 0;
    for (const std::u16string_view linia : TrescUmowy) {
        if (linia.empty()) continue;
        if (dodane == 0) {
            QListWidgetItem* tytul = NowyWiersz(*ListBox1, QString());
            QString tekst;
            for (const char16_t znak : linia) {
                tekst.append(QChar(znak));
                tytul->setText(tekst);
                zegar.Spij(10);
                OdmalujListe(*ListBox1);
            }
        } else {
            NowyWiersz(*ListBox1, QString::fromStdU16String(std::u16string(linia)));
            OdmalujListe(*ListBox1);
        }
        ++dodane;
        if (dodane < 15) zegar.Spij(50);
    }

    // 5. A pause on the full listing.
    zegar.Spij(100);

    // 6. Item 28 at the top.
    ListBox1->doItemsLayout();
    if (QListWidgetItem* gorny = ListBox1->item(28))
        ListBox1->scrollToItem(gorny, QAbstractItemView::PositionAtTop);

    // 7. The list takes the keyboard focus.
    ListBox1->setFocus(Qt::OtherFocusReason);

    // 8. Item 41 selected; it is the last whole line in view.
    ListBox1->setCurrentRow(41);
    // The jump and the selection are seen during the pause that follows,
    // like every other change of the list.
    OdmalujListe(*ListBox1);

    // 9. A pause on the final view.
    zegar.Spij(100);

    // 10. Into the acceptance group.
    {
        const UkladOkna u = Uklad(*this);
        PrzesunKursor(uslugi,
                      {u.lewa + RGAkceptacja->x() + 50,
                       u.gora + u.ramka + PanelLic->y() + RGAkceptacja->y() + 40},
                      kTempoPrezentacji);
    }

    // 11. Only now can the agreement be accepted.
    RGAkceptacja->setEnabled(true);
}
