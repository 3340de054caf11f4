#pragma once

#include <QValidator>

namespace lumora::dialogkit {

// Refuses the user's edits that a Win32 edit box would refuse: a typed non-digit in a digits-only
// box (ES_NUMBER) and text beyond the limit (EM_LIMITTEXT). QLineEdit applies a validator to the
// user's edits only, so text set by the program is neither checked nor cut, as with WM_SETTEXT.
// A paste is cut to the limit by the edit box beforehand and passes with any characters.
class EditValidator : public QValidator {
public:
    EditValidator(bool digitsOnly, QObject* parent);

    // The most characters the user may bring the text to; 0 means no limit.
    void setLimit(int limit) { limit_ = limit; }
    int limit() const { return limit_; }
    // On while the edit box inserts a paste: the digits-only rule is for typed characters.
    void setPasting(bool pasting) { pasting_ = pasting; }

    State validate(QString& input, int& position) const override;

private:
    bool digitsOnly_;
    int limit_ = 0;
    bool pasting_ = false;
};

} // namespace lumora::dialogkit
