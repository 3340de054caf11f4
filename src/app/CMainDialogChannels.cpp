// The channel strips, paging and CLEAR of the main dialog.

#include "app/CMainDialog.h"
#include "app/LevelText.h"
#include "dialogkit/EditBox.h"
#include "dialogkit/Trackbar.h"
#include "resources/ControlIds.h"
#include "resources/StripTable.h"

#include <QLabel>

namespace lumora {

void CMainDialog::showPage(int first) {
    firstChannel_ = first;
    for (int strip = 0; strip < resources::kStripCount; ++strip) {
        labels_[static_cast<std::size_t>(strip)]->setText(QString::number(first + strip));
    }
    pageSlider_->setPosition(first);
}

void CMainDialog::storeLevel(int strip, int level) {
    // During CLEAR the last page starts at 500; strips past channel 511 have nothing to store.
    const int channel = firstChannel_ + strip;
    if (channel >= 0 && channel < static_cast<int>(kChannelCount)) {
        levels_[static_cast<std::size_t>(channel)] = static_cast<std::uint8_t>(level);
    }
    port_.setLevels(levels_);
}

void CMainDialog::onFaderChanged(int strip) {
    const auto k = static_cast<std::size_t>(strip);
    const int level = kTopLevel - faders_[k]->position();
    edits_[k]->setText(QString::number(level));
    storeLevel(strip, level);
}

void CMainDialog::onVerticalScroll(int controlId) {
    const auto strip = resources::stripOfFader(controlId);
    if (!strip) {
        return;
    }
    const auto k = static_cast<std::size_t>(*strip);
    edits_[k]->setText(QString::number(kTopLevel - faders_[k]->position()));
    onFaderChanged(*strip);
}

void CMainDialog::onEditChanged(int strip) {
    const auto k = static_cast<std::size_t>(strip);
    int level = levelFromText(edits_[k]->text());
    if (level > kTopLevel) {
        level = kTopLevel;
        edits_[k]->setText(QString::number(kTopLevel));
    }
    faders_[k]->setPosition(kTopLevel - level);
    storeLevel(strip, level);
}

void CMainDialog::onHorizontalScroll(int controlId) {
    if (controlId != resources::kPageSlider) {
        return;
    }
    const int first = pageSlider_->position();
    showPage(first);
    for (int strip = 0; strip < resources::kStripCount; ++strip) {
        const int level = levels_[static_cast<std::size_t>(first + strip)];
        edits_[static_cast<std::size_t>(strip)]->setText(QString::number(level));
    }
}

void CMainDialog::onClear() {
    const int shownFirst = firstChannel_;
    // Setting "0" in each box runs its edit handler, which is what zeroes the channel, also where
    // the box already shows "0".
    for (int channel = 0; channel < static_cast<int>(kChannelCount); ++channel) {
        if (channel % resources::kStripCount == 0) {
            showPage(channel);
        }
        edits_[static_cast<std::size_t>(channel % resources::kStripCount)]->setText(QStringLiteral("0"));
    }
    showPage(shownFirst);
}

} // namespace lumora
