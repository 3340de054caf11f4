// The console's controls behave as the platform's do, so that no key, click or paste changes the
// output of a live rig unless the operator means it.

#include "ConsoleFixture.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QSignalSpy>
#include <QStyle>
#include <QTimer>

#include <tuple>

using namespace lumora;
using namespace lumora::test;
using dialogkit::kIdCancel;
using resources::kClearButton;
using resources::kCloseButton;
using resources::kOpenButton;

namespace {

struct LiveRig : ConsoleFixture {
    // Starts the console with the adapter attached and levels that a stray key on fader 0 or on
    // CLEAR would change.
    void startWithLevels() {
        attachAdapter();
        start();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
        edit(0)->setText("100");
        edit(5)->setText("60");
    }

    // A key as the window system delivers it: to the focus widget, or to the dialog without one.
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(dialog->windowHandle(), key, modifiers);
    }

    void switchAwayAndBack() { // another window takes the keyboard and gives it back
        QWidget other;
        other.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
        dialog->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
    }
};

struct EnterOnAButton : LiveRig, ::testing::WithParamInterface<int> {};

TEST_P(EnterOnAButton, DoesNothing) {
    startWithLevels();
    if (GetParam() == kCloseButton) {
        click(kOpenButton);
    }
    const bool wasOpen = dialog->port().isOpen();
    const std::size_t opens = adapter.callCount(hw::Operation::Open);
    const ChannelLevels levels = dialog->levels();
    button(GetParam())->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), button(GetParam()));

    press(Qt::Key_Return);
    press(Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_FALSE(dialog->hasEnded()) << "EXIT";
    EXPECT_EQ(dialog->port().isOpen(), wasOpen) << "OPEN or CLOSE";
    EXPECT_EQ(adapter.callCount(hw::Operation::Open), opens) << "OPEN";
    EXPECT_EQ(dialog->levels(), levels) << "CLEAR";
}

INSTANTIATE_TEST_SUITE_P(PortPanelAndExit, EnterOnAButton,
                         ::testing::Values(kOpenButton, kCloseButton, kClearButton, kIdCancel));

// A port button pressed with Space: OPEN or CLOSE disables itself, or OPEN fails with its box up
// (which takes the keyboard); then maybe a middle or right click on a control (id clicked); then
// which widget Tab or Shift+Tab focuses: a control id, or -1 for fader 0.
enum class Failing { No, NotFound, ToOpen };

struct AfterDisabling {
    const char* name;
    int pressed;
    Failing failing;
    Qt::MouseButton mouse;
    int clicked;
    Qt::Key tab;
    int focused;
};

void PrintTo(const AfterDisabling& row, std::ostream* out) {
    *out << row.name;
}

struct FocusAfterDisabling : LiveRig, ::testing::WithParamInterface<AfterDisabling> {};

TEST_P(FocusAfterDisabling, NoControlTakesKeysUntilTab) {
    const AfterDisabling& row = GetParam();
    startWithLevels();
    if (row.pressed == kCloseButton) {
        click(kOpenButton);
    }
    if (row.failing == Failing::ToOpen) {
        click(kOpenButton);
        click(kCloseButton);
    }
    if (row.failing != Failing::No) {
        adapter.unplug(0);
    }
    boxesTakeTheKeyboard = true;
    const bool openBefore = dialog->port().isOpen();
    button(row.pressed)->setFocus();
    press(Qt::Key_Space);
    ASSERT_EQ(dialog->port().isOpen(), row.failing == Failing::No && !openBefore) << "Space pressed it";
    ASSERT_EQ(boxes.size(), row.failing == Failing::No ? 0u : 1u);
    EXPECT_EQ(QApplication::focusWidget(), nullptr);
    switchAwayAndBack(); // the dialog comes back without focus too
    if (row.mouse != Qt::NoButton) {
        QTest::mouseClick(dialog->windowHandle(), row.mouse, {},
                          dialog->control(row.clicked)->geometry().center());
    }

    const ChannelLevels levels = dialog->levels();
    const std::size_t opens = adapter.callCount(hw::Operation::Open);
    for (const Qt::Key key : {Qt::Key_Space, Qt::Key_Up, Qt::Key_Left, Qt::Key_Return, Qt::Key_PageUp,
                              Qt::Key_End, Qt::Key_Home, Qt::Key_Down, Qt::Key_5}) {
        press(key);
    }
    EXPECT_EQ(dialog->levels(), levels);
    EXPECT_EQ(dialog->port().isOpen(), row.pressed == kOpenButton && row.failing == Failing::No);
    EXPECT_EQ(adapter.callCount(hw::Operation::Open), opens);
    EXPECT_EQ(boxes.size(), row.failing == Failing::No ? 0u : 1u) << "OPEN pressed again";
    if (dialog->port().isOpen()) {
        EXPECT_EQ(nextWholeFrame().slotBytes, std::vector<std::uint8_t>(levels.begin(), levels.end()));
    }

    press(row.tab, row.tab == Qt::Key_Backtab ? Qt::ShiftModifier : Qt::NoModifier);
    QWidget* expected = row.focused < 0 ? static_cast<QWidget*>(fader(0)) : button(row.focused);
    EXPECT_EQ(QApplication::focusWidget(), expected);
}

constexpr int kBox5 = resources::kStripTable[5].edit;
constexpr int kFader5 = resources::kStripTable[5].fader;
constexpr AfterDisabling kAfterDisabling[] = {
    {"OpenThenTab", kOpenButton, Failing::No, Qt::NoButton, 0, Qt::Key_Tab, -1},
    {"OpenThenShiftTab", kOpenButton, Failing::No, Qt::NoButton, 0, Qt::Key_Backtab, kClearButton},
    {"CloseThenTab", kCloseButton, Failing::No, Qt::NoButton, 0, Qt::Key_Tab, kOpenButton},
    {"CloseThenShiftTab", kCloseButton, Failing::No, Qt::NoButton, 0, Qt::Key_Backtab, kClearButton},
    {"NotFoundThenTab", kOpenButton, Failing::NotFound, Qt::NoButton, 0, Qt::Key_Tab, kOpenButton},
    {"OpenFailedThenShiftTab", kOpenButton, Failing::ToOpen, Qt::NoButton, 0, Qt::Key_Backtab, kClearButton},
    {"MiddleOnABox", kOpenButton, Failing::No, Qt::MiddleButton, kBox5, Qt::Key_Tab, -1},
    {"MiddleOnAFader", kOpenButton, Failing::No, Qt::MiddleButton, kFader5, Qt::Key_Tab, -1},
    {"RightOnAFader", kOpenButton, Failing::No, Qt::RightButton, kFader5, Qt::Key_Tab, -1},
    {"RightOnClear", kOpenButton, Failing::No, Qt::RightButton, kClearButton, Qt::Key_Tab, -1}};

INSTANTIATE_TEST_SUITE_P(PortButtons, FocusAfterDisabling, ::testing::ValuesIn(kAfterDisabling),
                         [](const auto& row) { return std::string(row.param.name); });

// An arrow key on a button moves the focus within its WS_GROUP group, to the control lands or (0) a
// static text ("CH Range :" is kNoControlId), and the focus stays there through a switch of windows;
// an edit box keeps its arrows, and one arrived at by an arrow has its level selected.
using ArrowCase = std::tuple<int, Qt::Key, int>; // from, key, lands
struct ArrowKey : LiveRig, ::testing::WithParamInterface<ArrowCase> {};

TEST_P(ArrowKey, MovesWithinTheGroup) {
    const auto [from, key, lands] = GetParam();
    startWithLevels();
    if (from == kCloseButton || from == kClearButton) {
        click(kOpenButton);
    }
    dialog->control(from)->setFocus();
    press(key);
    switchAwayAndBack();
    QWidget* focus = QApplication::focusWidget();
    EXPECT_TRUE(lands == 0 ? qobject_cast<QLabel*>(focus) != nullptr : focus == dialog->control(lands));
    if (auto* box = qobject_cast<QLineEdit*>(focus); box != nullptr && from != lands) {
        press(Qt::Key_7);
        EXPECT_EQ(box->text(), "7") << "an arrow into a box selects its level";
    }
}

INSTANTIATE_TEST_SUITE_P(
    OnButtons, ArrowKey,
    ::testing::Values(ArrowCase{kOpenButton, Qt::Key_Up, kClearButton}, // wrapping
                      ArrowCase{kClearButton, Qt::Key_Down, 0},         // OPEN disabled: "Data"
                      ArrowCase{kOpenButton, Qt::Key_Left, kClearButton}, ArrowCase{kBox5, Qt::Key_Up, kBox5},
                      ArrowCase{resources::kNoControlId, Qt::Key_Up, resources::kPageSlider},
                      ArrowCase{kCloseButton, Qt::Key_Right, kCloseButton},
                      ArrowCase{resources::kLogoButton, Qt::Key_Down, resources::kPageSlider},
                      ArrowCase{kIdCancel, Qt::Key_Down, resources::kStripTable[0].fader},
                      ArrowCase{kIdCancel, Qt::Key_Up, resources::kStripTable[0].edit}));

// The fader of strip 4 and the page slider, each under Fusion and Windows, whose hints differ from
// the platform trackbar's and from some desktop styles'.
struct TrackbarUnderStyle : LiveRig, ::testing::WithParamInterface<std::tuple<const char*, bool>> {
    void SetUp() override {
        previousStyle_ = QApplication::style()->name();
        ASSERT_NE(QApplication::setStyle(std::get<0>(GetParam())), nullptr);
        start();
    }
    void TearDown() override { QApplication::setStyle(previousStyle_); }

    bool isFader() const { return std::get<1>(GetParam()); }
    dialogkit::Trackbar* slider() const { return isFader() ? fader(4) : pageSlider(); }
    // What the console shows for the trackbar's position: strip 4's box, or the first channel.
    int shown() const { return isFader() ? edit(4)->text().toInt() : dialog->firstChannel(); }
    int shownFor(int position) const { return isFader() ? kTopLevel - position : position; }
    // A point on the channel three quarters of the way from the thumb's start to the other end.
    QPoint farOnTheChannel() const {
        const QRect area = slider()->rect();
        return isFader() ? QPoint(area.center().x(), area.height() / 4)
                         : QPoint(area.width() * 3 / 4, area.center().y());
    }
    // Whether the thumb at thumb has reached the pointer, coming from its start.
    bool reached(const QRect& thumb, const QPoint& pointer) const {
        return isFader() ? thumb.top() <= pointer.y() : thumb.right() >= pointer.x();
    }

    // A click sent straight to the trackbar; QTest's clicks in quick succession may be taken as a
    // double click, which a slider does not answer.
    void sendClick(Qt::MouseButton button, const QPoint& at, Qt::MouseButtons held = Qt::NoButton) {
        for (const QEvent::Type type :
             {QEvent::MouseButtonPress, QEvent::MouseMove, QEvent::MouseButtonRelease}) {
            QMouseEvent event(
                type, at, slider()->mapToGlobal(at), type == QEvent::MouseMove ? Qt::NoButton : button,
                type == QEvent::MouseButtonRelease ? Qt::NoButton : held | button, Qt::NoModifier);
            QApplication::sendEvent(slider(), &event);
        }
    }

private:
    QString previousStyle_;
};

TEST_P(TrackbarUnderStyle, MiddleDoesNothingAndALeftClickOnTheChannelPagesToThePointer) {
    const int start = slider()->position();
    const QPoint pointer = farOnTheChannel();
    sendClick(Qt::LeftButton, slider()->thumbRect().center()); // moved on the spot too
    sendClick(Qt::RightButton, pointer);                       // held, after that drag
    sendClick(Qt::MiddleButton, pointer);
    sendClick(Qt::LeftButton, pointer, Qt::RightButton);
    EXPECT_EQ(slider()->position(), start) << "the thumb, right, middle or left with right moved it";
    EXPECT_EQ(shown(), shownFor(start));

    std::vector<std::pair<int, QRect>> moves;
    QObject moving;
    QObject::connect(slider(), &QAbstractSlider::valueChanged, &moving,
                     [&](int position) { moves.emplace_back(position, slider()->thumbRect()); });
    const int page = (isFader() ? -1 : 1) * slider()->pageStep();
    QTest::mousePress(slider(), Qt::LeftButton, {}, pointer);
    ASSERT_EQ(moves.size(), 1u) << "one page at once";
    EXPECT_EQ(moves[0].first, start + page);
    auto* repeat = slider()->findChild<QTimer*>(QStringLiteral("pageRepeat"));
    ASSERT_NE(repeat, nullptr);
    EXPECT_EQ(repeat->interval(), 500) << "the platform's first delay";
    sendClick(Qt::RightButton, pointer, Qt::LeftButton);
    EXPECT_TRUE(repeat->isActive()) << "the right button let the left one go";
    QSignalSpy ticks(repeat, &QTimer::timeout);
    const auto holdPast = [&](const QPoint& at) { // a page each tick, then two ticks without one
        for (std::size_t pages = moves.size(); !reached(moves.back().second, at); pages = moves.size()) {
            ASSERT_TRUE(repeat->isActive() && ticks.wait() && moves.size() > pages) << "a tick paged nothing";
        }
        EXPECT_TRUE(ticks.wait() && ticks.wait());
        EXPECT_EQ(repeat->interval(), 50) << "the repeat after the first delay";
    };
    holdPast(pointer);
    for (std::size_t i = 1; i < moves.size(); ++i) {
        EXPECT_EQ(moves[i].first, moves[i - 1].first + page) << "page " << i;
        EXPECT_FALSE(reached(moves[i - 1].second, pointer)) << "paged on after reaching the pointer";
    }
    EXPECT_GE(moves.size(), 2u) << "the held button repeats";
    EXPECT_TRUE(reached(moves.back().second, pointer)) << "stopped before the pointer";
    const QPoint further =
        isFader() ? QPoint(pointer.x(), pointer.y() / 3) : QPoint(pointer.x() * 6 / 5, pointer.y());
    QTest::mouseMove(slider(), further);
    holdPast(further); // paging resumes
    QTest::mouseRelease(slider(), Qt::LeftButton, {}, further);
    EXPECT_FALSE(repeat->isActive()) << "paging outlasts the button";
    EXPECT_EQ(shown(), shownFor(moves.back().first));
}

INSTANTIATE_TEST_SUITE_P(FusionAndWindows, TrackbarUnderStyle,
                         ::testing::Combine(::testing::Values("Fusion", "Windows"), ::testing::Bool()),
                         [](const auto& styled) {
                             return std::string(std::get<0>(styled.param)) +
                                    (std::get<1>(styled.param) ? "Fader" : "PageSlider");
                         });

// Where the operator asks for a context menu, how, and what opens: the system-menu stand-in, an
// edit box's own menu, or nothing.
enum class Place { FreeArea, Fader, EditBox, OpenButton, Label, Logo };
enum class Ask { RightClick, MenuKey, ShiftF10, CtrlShiftF10 };
enum class Offered { Nothing, StandIn, EditMenu };

struct MenuRequest {
    const char* name;
    Place place;
    Ask ask;
    Offered expected;
};

void PrintTo(const MenuRequest& row, std::ostream* out) {
    *out << row.name;
}

struct ContextMenu : LiveRig, ::testing::WithParamInterface<MenuRequest> {
    QWidget* control(Place place) const {
        switch (place) {
        case Place::Fader:
            return fader(3);
        case Place::EditBox:
            return edit(3);
        case Place::OpenButton:
            return button(kOpenButton);
        case Place::Label:
            return label(3);
        case Place::Logo:
            return dialog->controlAs<dialogkit::BitmapButton>(resources::kLogoButton);
        case Place::FreeArea:
            break;
        }
        return nullptr;
    }

    void ask(Place place, Ask how) {
        QWidget* target = control(place);
        if (how == Ask::RightClick) {
            // Below the strips, between the hidden port selector and EXIT, for the free area.
            const QPoint at = target != nullptr
                                  ? target->geometry().center()
                                  : QPoint(dialog->units().toPixelsX(200), dialog->units().toPixelsY(186));
            QTest::mouseClick(dialog->windowHandle(), Qt::RightButton, {}, at);
            return;
        }
        target->setFocus();
        ASSERT_EQ(QApplication::focusWidget(), target);
        if (how != Ask::MenuKey) {
            press(Qt::Key_F10,
                  Qt::ShiftModifier | (how == Ask::CtrlShiftF10 ? Qt::ControlModifier : Qt::NoModifier));
            return;
        }
        // The request that the X11 platform makes of the Menu key.
        QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, QPoint(2, 2),
                                  target->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(target, &menuKey);
    }
};

TEST_P(ContextMenu, TheStandInOpensOnlyOverTheFreeAreaOrFromTheKeyboard) {
    start();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
    Offered offered = Offered::Nothing;
    QList<int> commands;
    // Looks for a menu in every turn of the event loop, the stand-in's own loop included.
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (menu == nullptr) {
            return;
        }
        for (const QAction* action : menu->actions()) {
            commands.append(action->data().toInt());
        }
        offered = commands.contains(resources::kAboutCommandId) ? Offered::StandIn : Offered::EditMenu;
        menu->close();
    });
    watcher.start(0);
    ask(GetParam().place, GetParam().ask);
    QApplication::processEvents();
    watcher.stop();
    EXPECT_EQ(offered, GetParam().expected);
    if (offered == Offered::StandIn) {
        EXPECT_EQ(commands, (QList<int>{0, resources::kAboutCommandId})) << "About only, no Close";
    }
    EXPECT_FALSE(dialog->hasEnded());
}

INSTANTIATE_TEST_SUITE_P(
    WhereAndHow, ContextMenu,
    ::testing::Values(
        MenuRequest{"RightClickOnTheFreeArea", Place::FreeArea, Ask::RightClick, Offered::StandIn},
        MenuRequest{"RightClickOnAFader", Place::Fader, Ask::RightClick, Offered::Nothing},
        MenuRequest{"RightClickOnAnEditBox", Place::EditBox, Ask::RightClick, Offered::EditMenu},
        MenuRequest{"RightClickOnOpen", Place::OpenButton, Ask::RightClick, Offered::Nothing},

        MenuRequest{"RightClickOnALabel", Place::Label, Ask::RightClick, Offered::Nothing},
        MenuRequest{"RightClickOnTheLogo", Place::Logo, Ask::RightClick, Offered::Nothing},
        MenuRequest{"MenuKeyOnAFader", Place::Fader, Ask::MenuKey, Offered::StandIn},
        MenuRequest{"ShiftF10OnOpen", Place::OpenButton, Ask::ShiftF10, Offered::StandIn},
        MenuRequest{"CtrlShiftF10OnOpen", Place::OpenButton, Ask::CtrlShiftF10, Offered::Nothing},
        MenuRequest{"ShiftF10InAnEditBox", Place::EditBox, Ask::ShiftF10, Offered::EditMenu}),
    [](const auto& row) { return std::string(row.param.name); });

// A paste into strip 2's box (limited to three characters) that holds before, all selected or with
// the cursor at the end.
enum class PasteBy { CtrlV, ShiftInsert, ContextMenu, MiddleButton };

struct PasteCase {
    const char* name;
    const char* before;
    bool selectAll;
    const char* clipboard;
    PasteBy by;
    const char* after;
    int level;
};

void PrintTo(const PasteCase& row, std::ostream* out) {
    *out << row.name;
}

struct Paste : LiveRig, ::testing::WithParamInterface<PasteCase> {};

TEST_P(Paste, IsCutToTheLimitAndReadAsANumberNotFiltered) {
    start();
    dialog->activateWindow(); // under X11 without a window manager too
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
    const PasteCase& row = GetParam();
    dialogkit::EditBox* box = edit(2);
    box->setText(row.before);
    box->setFocus();
    row.selectAll ? box->selectAll() : box->end(false);
    QGuiApplication::clipboard()->setText(row.clipboard);
    switch (row.by) {
    case PasteBy::CtrlV:
        press(Qt::Key_V, Qt::ControlModifier);
        break;
    case PasteBy::ShiftInsert:
        press(Qt::Key_Insert, Qt::ShiftModifier);
        break;
    case PasteBy::ContextMenu: {
        QContextMenuEvent rightClick(QContextMenuEvent::Mouse, QPoint(2, 2), box->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(box, &rightClick);
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        for (QAction* action : menu->actions()) {
            if (action->text().startsWith(QLineEdit::tr("&Paste"))) {
                action->trigger();
            }
        }
        menu->close();
        break;
    }
    case PasteBy::MiddleButton: // the X selection, which a double click elsewhere sets
        QGuiApplication::clipboard()->setText(row.clipboard, QClipboard::Selection);
        QTest::mouseClick(dialog->windowHandle(), Qt::MiddleButton, {}, box->geometry().center());
        break;
    }
    press(Qt::Key_A);
    press(Qt::Key_Minus); // typed after a paste, still filtered
    EXPECT_EQ(box->text(), row.after);
    EXPECT_EQ(dialog->levels()[2], row.level);
    EXPECT_EQ(fader(2)->position(), 255 - row.level);
    EXPECT_FALSE(box->acceptDrops()) << "dropped text is pasted unfiltered too";
}

INSTANTIATE_TEST_SUITE_P(
    LikeThePlatformEditBox, Paste,
    ::testing::Values(PasteCase{"IntoAnEmptyBox", "", false, "1234", PasteBy::CtrlV, "123", 123},
                      PasteCase{"AfterADigit", "0", false, "4567", PasteBy::ShiftInsert, "045", 45},
                      PasteCase{"OverTheSelection", "200", true, " 12345", PasteBy::CtrlV, " 12", 12},
                      PasteCase{"ANegativeNumber", "7", true, "-5", PasteBy::ContextMenu, "-5", 0},
                      PasteCase{"FromTheMenuOnce", "", false, "12", PasteBy::ContextMenu, "12", 12},
                      PasteCase{"NotByTheMiddleButton", "25", false, "0", PasteBy::MiddleButton, "25", 25},
                      PasteCase{"NotDigits", "9", true, "1e3", PasteBy::CtrlV, "1e3", 1},
                      PasteCase{"IntoAFullBox", "200", false, "5", PasteBy::CtrlV, "200", 200}),
    [](const auto& row) { return std::string(row.param.name); });

} // namespace
