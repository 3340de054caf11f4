#include "ConsoleFixture.h"

#include <QWheelEvent>

#include <algorithm>
#include <array>

using namespace lumora;
using namespace lumora::test;

struct ChannelStrips : ConsoleFixture {
    // Drags a fader's thumb with the mouse to y in the fader's coordinates, without releasing.
    void pressAndDrag(dialogkit::Trackbar* slider, int toY) {
        const QPoint thumb = slider->thumbRect().center();
        QTest::mousePress(slider, Qt::LeftButton, {}, thumb);
        QMouseEvent move(QEvent::MouseMove, QPointF(thumb.x(), toY),
                         slider->mapToGlobal(QPointF(thumb.x(), toY)), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(slider, &move);
    }

    void typeInto(int k, const QString& text) {
        edit(k)->selectAll();
        QTest::keyClick(edit(k), Qt::Key_Delete);
        QTest::keyClicks(edit(k), text);
    }

    void page(int first) {
        pageSlider()->setFocus();
        pageSlider()->setPosition(first - 1 >= 0 ? first - 1 : 1);
        QTest::keyClick(pageSlider(), first - 1 >= 0 ? Qt::Key_Right : Qt::Key_Left);
    }
};

TEST_F(ChannelStrips, DraggingAFaderUpdatesItsBoxAndLevelWhileMovingAndOnRelease) {
    start();
    for (const int k : {7, 16}) {
        SCOPED_TRACE(k);
        pressAndDrag(fader(k), fader(k)->height() / 2);
        const int level = kTopLevel - fader(k)->position();
        EXPECT_GT(level, 0);
        EXPECT_EQ(edit(k)->text(), QString::number(level)) << "while the thumb moves";
        EXPECT_EQ(dialog->levels()[static_cast<std::size_t>(k)], level);

        // A position the strip has not seen yet (set silently) must be taken up by the release.
        fader(k)->setPosition(40);
        QTest::mouseRelease(fader(k), Qt::LeftButton, {}, fader(k)->thumbRect().center());
        EXPECT_EQ(edit(k)->text(), "215") << "on release";
        EXPECT_EQ(dialog->levels()[static_cast<std::size_t>(k)], 215);
    }
    EXPECT_EQ(std::count(dialog->levels().begin(), dialog->levels().end(), 0), 510) << "no other strip moved";
}

TEST_F(ChannelStrips, KeysMoveAFaderLikeTheMouse) {
    start();
    const int k = 2;
    fader(k)->setFocus();
    QTest::keyClick(fader(k), Qt::Key_Home);
    EXPECT_EQ(edit(k)->text(), "255") << "Home is the top, full level";
    EXPECT_EQ(dialog->levels()[2], 255);
    QTest::keyClick(fader(k), Qt::Key_Down);
    EXPECT_EQ(dialog->levels()[2], 254);
    QTest::keyClick(fader(k), Qt::Key_PageDown);
    EXPECT_EQ(dialog->levels()[2], 254 - 51) << "a page is a fifth of the range";
    EXPECT_EQ(edit(k)->text(), "203");
    QTest::keyClick(fader(k), Qt::Key_End);
    EXPECT_EQ(dialog->levels()[2], 0);
}

TEST_F(ChannelStrips, TheWheelMovesAFaderLikeTheMouse) {
    start();
    const int k = 11;
    const QPointF inside = fader(k)->rect().center();
    QWheelEvent wheel(inside, fader(k)->mapToGlobal(inside), {}, {0, 120}, Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(fader(k), &wheel);
    const int level = kTopLevel - fader(k)->position();
    EXPECT_GT(level, 0);
    EXPECT_EQ(edit(k)->text(), QString::number(level));
    EXPECT_EQ(dialog->levels()[static_cast<std::size_t>(k)], level);
}

TEST_F(ChannelStrips, TypedLevelsAreCappedAndKeptAsTyped) {
    start();
    struct Typed {
        QString keys;
        QString shown;
        int level;
    };
    const std::vector<Typed> rows = {{"255", "255", 255}, {"256", "255", 255}, {"300", "255", 255},
                                     {"007", "007", 7},   {"", "", 0},         {"1234", "123", 123}};
    for (const Typed& row : rows) {
        SCOPED_TRACE(row.keys.toStdString());
        typeInto(1, row.keys);
        EXPECT_EQ(edit(1)->text(), row.shown) << "the cap, or a fourth digit refused";
        EXPECT_EQ(dialog->levels()[1], row.level);
        EXPECT_EQ(fader(1)->position(), 255 - row.level);
    }
}

TEST_F(ChannelStrips, PastedNonsenseNeverStoresALevelOutsideTheRange) {
    start();
    const std::vector<std::pair<QString, int>> pasted = {{"-5", 0},  {"abc", 0},     {" 12", 12},
                                                         {"1e3", 1}, {"99999", 255}, {"-255", 0}};
    for (const auto& [text, level] : pasted) {
        SCOPED_TRACE(text.toStdString());
        edit(5)->setText(text); // what a paste arrives as, past the keyboard filter
        EXPECT_EQ(dialog->levels()[5], level);
        EXPECT_EQ(fader(5)->position(), 255 - level);
    }
}

TEST_F(ChannelStrips, PagingShowsTheStoredLevelsAndTheFadersFollow) {
    start();
    typeInto(3, "90"); // channel 3
    page(40);
    EXPECT_EQ(dialog->firstChannel(), 40);
    EXPECT_EQ(label(0)->text(), "40");
    EXPECT_EQ(label(19)->text(), "59");
    typeInto(0, "123"); // channel 40
    EXPECT_EQ(dialog->levels()[40], 123);

    page(0);
    EXPECT_EQ(edit(3)->text(), "90");
    EXPECT_EQ(fader(3)->position(), 165);
    EXPECT_EQ(edit(0)->text(), "0");
    page(40);
    EXPECT_EQ(edit(0)->text(), "123");
    EXPECT_EQ(fader(0)->position(), 132);
}

TEST_F(ChannelStrips, TheLastPageEndsAtChannel511) {
    start();
    pageSlider()->setFocus();
    QTest::keyClick(pageSlider(), Qt::Key_End);
    EXPECT_EQ(pageSlider()->position(), 492);
    EXPECT_EQ(label(19)->text(), "511");
    typeInto(19, "250");
    EXPECT_EQ(dialog->levels()[511], 250);
}

TEST_F(ChannelStrips, ClearZeroesEveryChannelAndRestoresThePage) {
    attachAdapter();
    start();
    click(resources::kOpenButton);
    ASSERT_TRUE(dialog->port().isOpen());
    for (int first = 0; first < static_cast<int>(kChannelCount); first += resources::kStripCount) {
        page(std::min(first, CMainDialog::kLastFirstChannel));
        for (int k = 0; k < resources::kStripCount; ++k) {
            edit(k)->setText(QString::number(1 + (dialog->firstChannel() + k) % 250));
        }
    }
    page(100);
    const int slider = pageSlider()->position();
    ASSERT_EQ(std::count(dialog->levels().begin(), dialog->levels().end(), 0), 0) << "every channel lit";

    // Counts the text-changed notifications of each strip's box on the way to its edit handler.
    std::array<int, resources::kStripCount> notified{};
    dialogkit::MessageTable counting;
    for (const dialogkit::MessageEntry& entry : dialog->messageTable()) {
        const auto strip = std::find_if(resources::kStripTable.begin(), resources::kStripTable.end(),
                                        [&entry](const auto& ids) { return ids.edit == entry.controlId; });
        if (entry.notification != dialogkit::Notification::TextChanged ||
            strip == resources::kStripTable.end()) {
            counting.add(entry);
            continue;
        }
        const auto k = static_cast<std::size_t>(strip - resources::kStripTable.begin());
        counting.add({entry.notification, entry.controlId,
                      [handler = entry.handler, &count = notified[k]](const dialogkit::NotifyEvent& event) {
                          ++count;
                          handler(event);
                      }});
    }
    dialog->setMessageTable(std::move(counting));

    click(resources::kClearButton);

    EXPECT_EQ(dialog->levels(), ChannelLevels{});
    for (int k = 0; k < resources::kStripCount; ++k) {
        // 26 pages; the last, from channel 500, has strips 0 to 11 only.
        EXPECT_EQ(notified[static_cast<std::size_t>(k)], k < 12 ? 26 : 25) << "strip " << k;
    }
    EXPECT_EQ(dialog->firstChannel(), 100);
    EXPECT_EQ(pageSlider()->position(), slider);
    EXPECT_EQ(label(0)->text(), "100");
    EXPECT_EQ(label(19)->text(), "119");
    for (int k = 0; k < resources::kStripCount; ++k) {
        EXPECT_EQ(edit(k)->text(), "0");
    }
    const hw::WireFrame frame = nextWholeFrame();
    EXPECT_EQ(frame.slotBytes, std::vector<std::uint8_t>(512, 0)) << "the port was handed all zeros";
}

TEST_F(ChannelStrips, ALevelTypedWhileClosedIsInTheFirstFrameAfterOpen) {
    attachAdapter();
    start();
    typeInto(9, "77");
    click(resources::kOpenButton);
    const auto frames = [&] {
        EXPECT_TRUE(waitFor([&] {
            return !hw::decodeWireFrames(adapter.calls()).empty() &&
                   hw::decodeWireFrames(adapter.calls()).front().slotBytes.size() == 512;
        }));
        return hw::decodeWireFrames(adapter.calls());
    }();
    ASSERT_FALSE(frames.empty());
    EXPECT_EQ(frames.front().slotBytes[9], 77);
}

TEST_F(ChannelStrips, EveryChangeIsInTheNextWholeFrame) {
    attachAdapter();
    start();
    click(resources::kOpenButton);
    fader(0)->setFocus();
    QTest::keyClick(fader(0), Qt::Key_Home);
    EXPECT_EQ(nextWholeFrame().slotBytes[0], 255);
    typeInto(1, "64");
    EXPECT_EQ(nextWholeFrame().slotBytes[1], 64);
    page(200);
    typeInto(19, "33");
    EXPECT_EQ(nextWholeFrame().slotBytes[219], 33);
}
