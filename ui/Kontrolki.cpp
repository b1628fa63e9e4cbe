#include "Kontrolki.h"

#include <QButtonGroup>
#include <QRadioButton>
#include <QResizeEvent>

TRadioGroup::TRadioGroup(const QString& caption, const QStringList& items, int columns,
                         QWidget* parent)
    : QGroupBox(caption, parent), grupa_(new QButtonGroup(this)), kolumny_(columns < 1 ? 1 : columns) {
    for (int i = 0; i < items.size(); ++i) {
        auto* przycisk = new QRadioButton(items.at(i), this);
        grupa_->addButton(przycisk, i);
        przyciski_.push_back(przycisk);
    }
    // A click by the user goes through the same path as a selection by code.
    connect(grupa_, &QButtonGroup::idClicked, this, [this](int id) { SetItemIndex(id); });
    Rozmiesc();
}

void TRadioGroup::SetItemIndex(int indeks) {
    if (indeks < -1 || indeks >= Count()) indeks = -1;
    const bool zmiana = indeks != indeks_;
    indeks_ = indeks;
    if (indeks < 0) {
        // QButtonGroup keeps one button checked unless exclusivity is lifted.
        grupa_->setExclusive(false);
        for (auto* p : przyciski_) p->setChecked(false);
        grupa_->setExclusive(true);
        return;
    }
    przyciski_[static_cast<size_t>(indeks)]->setChecked(true);
    if (zmiana) emit Clicked();
}

void TRadioGroup::resizeEvent(QResizeEvent* e) {
    QGroupBox::resizeEvent(e);
    Rozmiesc();
}

// Items fill the columns top to bottom, evenly spread below the caption line,
// as a Windows radio group lays them out.
void TRadioGroup::Rozmiesc() {
    if (przyciski_.empty()) return;
    const int wiersze = (Count() + kolumny_ - 1) / kolumny_;
    const int gora = 14;
    const int wysokoscWiersza = (height() - gora - 2) / (wiersze > 0 ? wiersze : 1);
    const int szerokoscKolumny = (width() - 8) / kolumny_;
    for (int i = 0; i < Count(); ++i) {
        const int kolumna = i / wiersze;
        const int wiersz = i % wiersze;
        przyciski_[static_cast<size_t>(i)]->setGeometry(
            8 + kolumna * szerokoscKolumny, gora + wiersz * wysokoscWiersza,
            szerokoscKolumny - 4, wysokoscWiersza);
    }
}

bool TSaveDialog::Execute() {
    auto wybor = sposob_.Wykonaj(Title, FileName, InitialDir);
    if (!wybor) return false;
    FileName = *wybor;
    return true;
}
