// The pointer glide and the agreement presentation of the licence page.
#include "Prezentacja.h"

#include <algorithm>
#include <cfenv>
#include <cmath>
#include <cstdint>
#include <limits>

#include "Aplikacja.h"
#include "ArkMain.h"
#include "Mat2D.h"
#include "TrescUmowy.h"

using platforma::IZegar;
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

void PrzesunKursor(PunktEkranu cel, std::int32_t tempo) {
    IZaplecze& z = Application->Zaplecze();
    PrzesunKursor(cel, tempo, z, z, z);
}

// The agreement presentation, run once by the first handled tick of Timer1.
// The list is not pumped while it fills: each change is painted at once by
// an explicit repaint.
void TFormMain::Timer1Timer() {
    IZegar& zegar = Application->Zaplecze();
    const int ramka = Height - ClientHeight();  // the window's height minus its client height

    // 1. Once per run.
    Timer1->Enabled = false;

    // 2. Onto the list.
    PrzesunKursor(NaEkranie(50, ramka + PanelLic->Top + 40), 100);

    // 3.
    ListBox1->Items.Clear();

    // 4. The title character by character, then the lines; empty slots add
    //    nothing, and the first 14 lines are each followed by a pause.
    int dodane = 0;
    for (const std::u16string_view linia : TrescUmowy) {
        if (linia.empty()) continue;
        if (dodane == 0) {
            ListBox1->Items.Add(u"");
            std::u16string tekst;
            for (const char16_t znak : linia) {
                tekst += znak;
                ListBox1->Items.Set(0, tekst);
                zegar.Spij(10);
                ListBox1->Repaint();
            }
        } else {
            ListBox1->Items.Add(std::u16string(linia));
            ListBox1->Repaint();
        }
        ++dodane;
        if (dodane < 15) zegar.Spij(50);
    }

    // 5.
    zegar.Spij(100);

    // 6. Item 28 at the top.
    ListBox1->TopIndex = 28;

    // 7. The list takes the keyboard focus.
    ActiveControl = ListBox1;

    // 8. Item 41 selected: the last whole line in view. The jump and the
    //    selection are painted now, so that they are seen during the pause.
    ListBox1->ItemIndex = 41;
    ListBox1->Repaint();

    // 9.
    zegar.Spij(100);

    // 10. Into the acceptance group.
    PrzesunKursor(NaEkranie(RGAkceptacja->Left + 50, ramka + PanelLic->Top + RGAkceptacja->Top + 40), 100);

    // 11. Only now can the agreement be accepted.
    RGAkceptacja->Enabled = true;
}
