#include "dialogkit/EditValidator.h"

#include <algorithm>

namespace lumora::dialogkit {

EditValidator::EditValidator(bool digitsOnly, QObject* parent)
    : QValidator(parent)
    , digitsOnly_(digitsOnly) {}

QValidator::State EditValidator::validate(QString& input, int& /*position*/) const {
    if (limit_ > 0 && input.size() > limit_) {
        return Invalid;
    }
    // Only the ASCII digits: an ES_NUMBER box refuses other scripts' digits as well.
    if (digitsOnly_ && !pasting_ &&
        !std::all_of(input.cbegin(), input.cend(), [](QChar c) { return c >= u'0' && c <= u'9'; })) {
        return Invalid;
    }
    return Acceptable;
}

} // namespace lumora::dialogkit
