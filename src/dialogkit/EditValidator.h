#pragma once

#include <QValidator>

namespace lumora::dialogkit {

// Refuses the user's edits that a Win32 edit box would refuse: a non-digit in a digits-only box
// (ES_NUMBER) and text beyond the limit (EM_LIMITTEXT). QLineEdit applies a validator to the
// user's edits only, so text set by the program is neither checked nor cut, as with WM_SETTEXT.
class EditValidator : public QValidator {
public:
    EditValidator(bool digitsOnly, QObject* parent);

    // The most characters the user may bring the text to; 0 means no limit.
    void setLimit(int limit) { m_limit = limit; }
    int limit() const { return m_limit; }

    State validate(QString& input, int& position) const override;

private:
    bool m_digitsOnly;
    int m_limit = 0;
};

} // namespace lumora::dialogkit
