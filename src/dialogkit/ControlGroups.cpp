#include "dialogkit/ControlGroups.h"

#include <QWidget>

#include <algorithm>

namespace lumora::dialogkit {

void ControlGroups::add(QWidget* widget, const ControlTemplate& control) {
    const bool takesArrows = control.kind == ControlClass::Edit || control.kind == ControlClass::ComboBox ||
                             control.kind == ControlClass::Trackbar;
    members_.push_back({widget, (control.style & style::kGroup) != 0, takesArrows});
}

QWidget* ControlGroups::next(const QWidget* focus, bool forward) const {
    const auto found = std::find_if(members_.begin(), members_.end(),
                                    [focus](const Member& member) { return member.widget == focus; });
    if (found == members_.end() || found->takesArrows) {
        return nullptr;
    }
    const auto index = static_cast<std::size_t>(found - members_.begin());
    const std::vector<std::size_t> group = groupOf(index);
    const std::size_t size = group.size();
    const auto at = static_cast<std::size_t>(std::find(group.begin(), group.end(), index) - group.begin());
    for (std::size_t step = 1; step < size; ++step) {
        QWidget* candidate = members_[group[(forward ? at + step : at + size - step) % size]].widget;
        if (candidate->isEnabled() && !candidate->isHidden()) {
            return candidate;
        }
    }
    return found->widget;
}

std::vector<std::size_t> ControlGroups::groupOf(std::size_t index) const {
    const std::size_t count = members_.size();
    // Back to the control that starts the group; a template without WS_GROUP is one group.
    std::size_t first = index;
    for (std::size_t back = 1; back < count && !members_[first].startsGroup; ++back) {
        first = (first + count - 1) % count;
    }
    if (!members_[first].startsGroup) {
        first = 0;
    }
    std::vector<std::size_t> group{first};
    for (std::size_t k = (first + 1) % count; k != first && !members_[k].startsGroup; k = (k + 1) % count) {
        group.push_back(k);
    }
    return group;
}

} // namespace lumora::dialogkit
