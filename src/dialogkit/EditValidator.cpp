#include "dialogkit/EditValidator.h"

#include <algorithm>

namespace lumora::dialogkit {

EditValidator::EditValidator(bool digitsOnly, QObject* parent)
    : QValidator(parent)
    , m_digitsOnly(digitsOnly) {}

QValidator::State EditValidator::validate(QString& input, int& /*position*/) const {
    if (m_limit > 0 && input.size() > m_limit) {
        return Invalid;
    }
    // Only the ASCII digits: an ES_NUMBER box refuses other scripts' digits as well.
    if (m_digitsOnly && !m_pasting &&
        !std::all_of(input.cbegin(), input.cend(), [](QChar c) { return c >= u'0' && c <= u'9'; })) {
        return Invalid;
    }
    return Acceptable;
}

} // namespace lumora::dialogkit
