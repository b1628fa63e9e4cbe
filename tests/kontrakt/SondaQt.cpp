// The contract's probe of the Qt backend, natively (offscreen), and the
// contract program's entry: a QApplication around GoogleTest.
#include <QAbstractScrollArea>
#include <QApplication>
#include <QElapsedTimer>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

#include <map>

#include "Atrapy.h"
#include "Sonda.h"
#include "WidokiQt.h"
#include "ZapleczeQt.h"

namespace {

class ZegarBezCzekania : public platforma::IZegar {
public:
    void Spij(std::uint32_t) override {}
};

// The real backend; only the error display is recorded.
class ZapleczeTestowe : public ZapleczeQt {
public:
    using ZapleczeQt::ZapleczeQt;
    void KomunikatBledu(const std::u16string& tytul, const std::u16string& tekst) override {
        bledy.emplace_back(tytul, tekst);
    }
    std::vector<std::pair<std::u16string, std::u16string>> bledy;
};

std::u16string U(const QString& s) { return s.toStdU16String(); }

class SondaQt : public Sonda {
public:
    IZaplecze& Zaplecze() override { return z_; }
    const std::vector<std::pair<std::u16string, std::u16string>>& Bledy() const override { return z_.bledy; }

    bool Czekaj(const std::function<bool()>& warunek, int milisekundy) override {
        QElapsedTimer czas;
        czas.start();
        for (;;) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            if (warunek()) return true;
            if (czas.elapsed() > milisekundy) return false;
            QTest::qSleep(2);
        }
    }

    TProstokat Miejsce(const TControl& k) override {
        const QRect r = W(k)->geometry();
        return {r.x(), r.y(), r.width(), r.height()};
    }
    bool Widoczny(const TControl& k) override { return !W(k)->isHidden(); }
    bool Wlaczony(const TControl& k) override { return !W(k)->testAttribute(Qt::WA_ForceDisabled); }
    std::u16string Napis(const TControl& k) override {
        QWidget* w = W(k);
        if (k.Rodzaj() == TRodzaj::Forma) return U(w->windowTitle());
        if (auto* l = qobject_cast<QLabel*>(w)) return U(l->text());
        if (auto* g = qobject_cast<QGroupBox*>(w)) return U(g->title());
        if (auto* b = qobject_cast<QAbstractButton*>(w)) return U(b->text());
        if (auto* e = qobject_cast<QLineEdit*>(w)) return U(e->text());
        return {};
    }
    bool Zaznaczony(const TCheckBox& k) override { return qobject_cast<QCheckBox*>(W(k))->isChecked(); }
    std::vector<std::u16string> Elementy(const TRadioGroup& k) override {
        std::vector<std::u16string> wynik;
        for (QRadioButton* p : Przyciski(k)) wynik.push_back(U(p->text()));
        return wynik;
    }
    int Wybrany(const TRadioGroup& k) override {
        const auto p = Przyciski(k);
        for (std::size_t i = 0; i < p.size(); ++i)
            if (p[i]->isChecked()) return static_cast<int>(i);
        return -1;
    }
    int Gorny(const TListBox& k) override {
        return qobject_cast<QAbstractScrollArea*>(W(k))->verticalScrollBar()->value();
    }
    std::pair<int, int> Pasek(const TProgressBar& k) override {
        auto* p = qobject_cast<QProgressBar*>(W(k));
        return {p->maximum(), p->value()};
    }
    bool TylkoDoOdczytu(const TEdit& k) override { return qobject_cast<QLineEdit*>(W(k))->isReadOnly(); }
    bool Wcisniety(const TButton& k) override { return qobject_cast<QPushButton*>(W(k))->isDown(); }
    const TControl* Fokus() override {
        const WidokQt* w = z_.WidokiQt().WidokWidzetu(QApplication::focusWidget());
        return w ? &w->Kontrolka() : nullptr;
    }
    bool PodRodzicem(const TControl& k) override {
        const WidokQt* rodzic = k.Parent() ? z_.WidokiQt().Widok(*k.Parent()) : nullptr;
        return W(k)->parentWidget() == (rodzic ? rodzic->Obszar() : nullptr);
    }

    void Kliknij(const TControl& k) override {
        QWidget* w = W(k);
        // A check box toggles on its box.
        const QPoint gdzie = k.Rodzaj() == TRodzaj::PoleWyboru ? QPoint(6, w->height() / 2) : w->rect().center();
        QTest::mouseClick(w, Qt::LeftButton, {}, gdzie);
    }
    void WybierzElement(const TRadioGroup& k, int indeks) override {
        QRadioButton* p = Przyciski(k).at(static_cast<std::size_t>(indeks));
        QTest::mouseClick(p, Qt::LeftButton, {}, QPoint(6, p->height() / 2));
    }
    void Wpisz(const TEdit& k, const std::u16string& tekst) override {
        auto* e = qobject_cast<QLineEdit*>(W(k));
        e->selectAll();
        QTest::keyClicks(e, QString::fromStdU16String(tekst));
    }
    void Przewin(const TListBox& k, int gorny) override {
        qobject_cast<QAbstractScrollArea*>(W(k))->verticalScrollBar()->setValue(gorny);
    }
    void Klawisz(TKlawisz klawisz) override {
        static const std::map<TKlawisz, Qt::Key> klawisze = {
            {TKlawisz::Enter, Qt::Key_Return}, {TKlawisz::Escape, Qt::Key_Escape}, {TKlawisz::Tab, Qt::Key_Tab},
            {TKlawisz::Lewo, Qt::Key_Left},    {TKlawisz::Prawo, Qt::Key_Right},   {TKlawisz::Gora, Qt::Key_Up},
            {TKlawisz::Dol, Qt::Key_Down},
        };
        QTest::keyClick(Cel(), klawisze.at(klawisz));
    }
    void KlawiszDostepu(char16_t litera) override {
        QTest::keyClick(Cel(), static_cast<Qt::Key>(Qt::Key_A + (litera - u'a')), Qt::AltModifier);
    }
    void ZamknijOkno(const TForm& forma) override { W(forma)->close(); }

private:
    QWidget* W(const TComponent& k) const { return z_.WidokiQt().Widzet(k); }
    std::vector<QRadioButton*> Przyciski(const TRadioGroup& k) const {
        std::vector<QRadioButton*> wynik;
        for (QObject* o : W(k)->children())
            if (auto* p = qobject_cast<QRadioButton*>(o)) wynik.push_back(p);
        return wynik;
    }
    QWidget* Cel() const {
        QWidget* w = QApplication::focusWidget();
        return w ? w : QApplication::activeWindow();
    }

    AtrapaSystemuPlikow pliki_;
    ZegarBezCzekania zegar_;
    ZapleczeTestowe z_{pliki_, zegar_};
};

}  // namespace

std::unique_ptr<Sonda> UtworzSonde() { return std::make_unique<SondaQt>(); }

int main(int argc, char** argv) {
    QApplication qt(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
