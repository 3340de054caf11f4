// The edit boxes' commit path on the real main dialog, driven by actions decoded from the fuzzer's
// bytes: texts set by the program, typing, editing keys, pasting, input-method commits, paging and
// fader keys. After every action the levels, faders, boxes and labels of the shown page must agree,
// and only the channel acted on may have changed; a paste must leave the text that the platform's
// edit box would.
//
// Input: one byte choosing the adapter (attached when odd), then up to 48 actions, each one byte
// for its kind and one for the strip, followed by what the kind needs (texts, keys, a page).

#include "FuzzBytes.h"
#include "LevelEditConsole.h"
#include "Require.h"
#include "app/CMainDialog.h"
#include "dialogkit/EditBox.h"
#include "dialogkit/Trackbar.h"
#include "resources/ControlIds.h"
#include "resources/StripTable.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QLabel>
#include <QTest>

#include <algorithm>
#include <array>
#include <optional>

namespace {

using lumora::CMainDialog;
using lumora::kTopLevel;
using lumora::fuzz::FuzzBytes;
using lumora::fuzz::require;

constexpr int kMostActions = 48;
constexpr qsizetype kLongestTyping = 24;
// Past QLineEdit's own limit of 32767 characters, which cuts longer texts.
constexpr qsizetype kLongestText = 40000;

struct Chord {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
};

// Keys that edit, move or select in a box, or leave it; Alt is left out because Alt+X is EXIT.
const std::array<Chord, 32> kEditingKeys{{
    {Qt::Key_Backspace},
    {Qt::Key_Delete},
    {Qt::Key_Left},
    {Qt::Key_Right},
    {Qt::Key_Home},
    {Qt::Key_End},
    {Qt::Key_Up},
    {Qt::Key_Down},
    {Qt::Key_PageUp},
    {Qt::Key_PageDown},
    {Qt::Key_Left, Qt::ShiftModifier},
    {Qt::Key_Right, Qt::ShiftModifier},
    {Qt::Key_Home, Qt::ShiftModifier},
    {Qt::Key_End, Qt::ShiftModifier},
    {Qt::Key_A, Qt::ControlModifier},
    {Qt::Key_Z, Qt::ControlModifier},
    {Qt::Key_Y, Qt::ControlModifier},
    {Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier},
    {Qt::Key_X, Qt::ControlModifier},
    {Qt::Key_C, Qt::ControlModifier},
    {Qt::Key_V, Qt::ControlModifier},
    {Qt::Key_Backspace, Qt::ControlModifier},
    {Qt::Key_Delete, Qt::ControlModifier},
    {Qt::Key_Left, Qt::ControlModifier},
    {Qt::Key_Right, Qt::ControlModifier},
    {Qt::Key_K, Qt::ControlModifier},
    {Qt::Key_U, Qt::ControlModifier},
    {Qt::Key_Insert, Qt::ShiftModifier},
    {Qt::Key_Delete, Qt::ShiftModifier},
    {Qt::Key_Insert, Qt::ControlModifier},
    {Qt::Key_Tab},
    {Qt::Key_Backtab, Qt::ShiftModifier},
}};

const std::array<Qt::Key, 8> kSliderKeys{Qt::Key_Left,   Qt::Key_Right,    Qt::Key_Up,   Qt::Key_Down,
                                         Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_Home, Qt::Key_End};

// Characters that make numbers, signs and the white space the decimal conversion skips, with a few
// that only look like them: a no-break space, an Arabic-Indic three and a full-width three.
constexpr char16_t kNumberish[] = u"0123456789+- \t\n\v\f\r\u00a0\u0663\uff13";

const lumora::resources::StripControls& stripControls(int strip) {
    return lumora::resources::kStripTable[static_cast<std::size_t>(strip)];
}

lumora::dialogkit::EditBox* editOf(CMainDialog& dialog, int strip) {
    return dialog.controlAs<lumora::dialogkit::EditBox>(stripControls(strip).edit);
}

lumora::dialogkit::Trackbar* faderOf(CMainDialog& dialog, int strip) {
    return dialog.controlAs<lumora::dialogkit::Trackbar>(stripControls(strip).fader);
}

QChar numberishChar(std::uint8_t choice) {
    return QChar(kNumberish[choice % (std::size(kNumberish) - 1)]);
}

QString decodeText(FuzzBytes& bytes, qsizetype longest) {
    const std::uint8_t encoding = bytes.byte();
    const std::size_t length = bytes.byte() % 24u;
    QString text;
    switch (encoding % 6) {
    case 0: {
        const auto raw = bytes.take(length);
        text =
            QString::fromUtf8(reinterpret_cast<const char*>(raw.data()), static_cast<qsizetype>(raw.size()));
        break;
    }
    case 1:
        for (std::size_t i = 0; i < length; ++i) {
            text += QChar(bytes.u16());
        }
        break;
    case 2:
        for (const std::uint8_t b : bytes.take(length)) {
            text += QChar(b);
        }
        break;
    case 3: {
        const QChar repeated = numberishChar(bytes.byte());
        text = QString(bytes.u16() % kLongestText, repeated);
        break;
    }
    default:
        for (const std::uint8_t b : bytes.take(length)) {
            text += numberishChar(b);
        }
        break;
    }
    return text.left(longest);
}

// The key a keyboard reports with a character: Qt numbers the printable Latin-1 keys by their
// upper-case character; the control characters that have keys get them, the rest come as unknown
// keys that carry only their text, as from a keyboard layout Qt has no key for.
Qt::Key keyFor(QChar c) {
    switch (c.unicode()) {
    case u'\b':
        return Qt::Key_Backspace;
    case u'\t':
        return Qt::Key_Tab;
    case u'\n':
    case u'\r':
        return Qt::Key_Return;
    case 0x1b:
        return Qt::Key_Escape;
    case 0x7f:
        return Qt::Key_Delete;
    default:
        break;
    }
    const bool printableLatin1 = (c >= u' ' && c <= u'~') || (c >= u'\u00a0' && c <= u'\u00ff');
    if (!printableLatin1) {
        return Qt::Key_unknown;
    }
    const char16_t upper = c.toUpper().unicode();
    return static_cast<Qt::Key>(upper <= 0xff ? upper : c.unicode());
}

// One key event per character, as a keyboard would send it.
void typeText(QWidget* box, const QString& text) {
    for (const QChar c : text) {
        QTest::sendKeyEvent(QTest::Click, box, keyFor(c), QString(c), Qt::NoModifier);
    }
}

void pressChord(QWidget* target, const Chord& chord) {
    QTest::keyClick(target, chord.key, chord.modifiers);
}

// The number a box's text stands for, read as the C library's decimal conversion reads it, held at
// a billion so that long runs of digits cannot overflow.
long long numberIn(const QString& text) {
    const auto isSpace = [](QChar c) {
        return c == u' ' || c == u'\t' || c == u'\n' || c == u'\v' || c == u'\f' || c == u'\r';
    };
    qsizetype i = 0;
    while (i < text.size() && isSpace(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        value = std::min(value * 10 + (text[i].unicode() - u'0'), 1'000'000'000LL);
    }
    return negative ? -value : value;
}

// What the platform's edit box makes of a paste: the pasted text in place of the selection (or at
// the cursor), cut to what the three-character limit leaves room for; a paste with no room changes
// nothing. The edit handler then caps a number above 255 to "255".
QString textAfterPaste(const QString& text, qsizetype from, qsizetype selected, const QString& pasted) {
    constexpr qsizetype kLimit = 3;
    const QString fits = pasted.left(std::max<qsizetype>(kLimit - (text.size() - selected), 0));
    if (fits.isEmpty()) {
        return text;
    }
    const QString after = QString(text).replace(from, selected, fits);
    return numberIn(after) > kTopLevel ? QString::number(kTopLevel) : after;
}

void paste(QLineEdit* box, std::uint8_t how, const QString& text) {
    if ((how & 1) != 0) {
        pressChord(box, {Qt::Key_A, Qt::ControlModifier});
    }
    const bool selection = box->hasSelectedText();
    const QString expected =
        textAfterPaste(box->text(), selection ? box->selectionStart() : box->cursorPosition(),
                       selection ? box->selectedText().size() : 0, text);
    QGuiApplication::clipboard()->setText(text);
    pressChord(box, (how & 2) != 0 ? Chord{Qt::Key_Insert, Qt::ShiftModifier}
                                   : Chord{Qt::Key_V, Qt::ControlModifier});
    require(box->text() == expected, "a paste puts what fits of the text in place of the selection");
}

// Composes with the input method and then commits, ending with no composition left open.
void commitThroughInputMethod(QWidget* box, const QString& composing, const QString& committed) {
    QInputMethodEvent compose(composing, {});
    QApplication::sendEvent(box, &compose);
    QInputMethodEvent commit;
    commit.setCommitString(committed);
    QApplication::sendEvent(box, &commit);
}

// Runs one action and returns the channel it may change, if any.
std::optional<std::size_t> runAction(CMainDialog& dialog, FuzzBytes& bytes) {
    const std::uint8_t kind = bytes.byte();
    const int strip = bytes.byte() % lumora::resources::kStripCount;
    const auto channel = static_cast<std::size_t>(dialog.firstChannel() + strip);
    lumora::dialogkit::EditBox* box = editOf(dialog, strip);
    lumora::dialogkit::Trackbar* pageSlider =
        dialog.controlAs<lumora::dialogkit::Trackbar>(lumora::resources::kPageSlider);
    switch (kind % 9) {
    case 0:
    case 1:
        box->setText(decodeText(bytes, kLongestText));
        return channel;
    case 2:
        typeText(box, decodeText(bytes, kLongestTyping));
        return channel;
    case 3:
        pressChord(box, kEditingKeys[bytes.byte() % kEditingKeys.size()]);
        return channel;
    case 4: {
        const std::uint8_t how = bytes.byte();
        paste(box, how, decodeText(bytes, kLongestText));
        return channel;
    }
    case 5: {
        const QString composing = decodeText(bytes, kLongestTyping);
        commitThroughInputMethod(box, composing, decodeText(bytes, kLongestTyping));
        return channel;
    }
    case 6:
        QTest::keyClick(pageSlider, kSliderKeys[bytes.byte() % kSliderKeys.size()]);
        return std::nullopt;
    case 7:
        lumora::fuzz::LevelEditConsole::showPage(dialog, bytes.u16() % (CMainDialog::kLastFirstChannel + 1));
        return std::nullopt;
    default:
        QTest::keyClick(faderOf(dialog, strip), kSliderKeys[2 + bytes.byte() % 6]);
        return channel;
    }
}

void checkShownPage(CMainDialog& dialog, const lumora::fuzz::LevelEditConsole& console) {
    require(dialog.isVisible(), "the dialog stays up");
    require(console.boxesShown() == 0, "editing levels never shows a message box");
    const int first = dialog.firstChannel();
    require(first >= 0 && first <= CMainDialog::kLastFirstChannel, "the shown page lies inside the universe");
    require(dialog.controlAs<lumora::dialogkit::Trackbar>(lumora::resources::kPageSlider)->position() ==
                first,
            "the page slider shows the first channel");
    for (int strip = 0; strip < lumora::resources::kStripCount; ++strip) {
        const int level = dialog.levels()[static_cast<std::size_t>(first + strip)];
        const long long shown = numberIn(editOf(dialog, strip)->text());
        require(dialog.controlAs<QLabel>(stripControls(strip).label)->text() ==
                    QString::number(first + strip),
                "each label shows its channel");
        require(level == kTopLevel - faderOf(dialog, strip)->position(), "each fader stands at its level");
        require(shown <= kTopLevel, "no box shows a number above 255 once its handler ran");
        // A negative number stands for the bottom of the range.
        require(level == std::max(shown, 0LL), "each level is the number its box shows");
    }
}

void checkOnlyChanged(const lumora::ChannelLevels& before, const lumora::ChannelLevels& after,
                      std::optional<std::size_t> touched) {
    for (std::size_t channel = 0; channel < before.size(); ++channel) {
        require(channel == touched || before[channel] == after[channel],
                "no channel changes but the one acted on");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzBytes bytes({data, size});
    auto& console = lumora::fuzz::LevelEditConsole::instance();
    CMainDialog& dialog = console.freshDialog((bytes.byte() & 1) != 0);
    require(dialog.levels() == lumora::ChannelLevels{}, "every input starts from all levels at 0");
    checkShownPage(dialog, console);
    for (int action = 0; action < kMostActions && !bytes.empty(); ++action) {
        const lumora::ChannelLevels before = dialog.levels();
        const auto touched = runAction(dialog, bytes);
        checkOnlyChanged(before, dialog.levels(), touched);
        checkShownPage(dialog, console);
    }
    return 0;
}
