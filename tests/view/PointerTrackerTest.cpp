#include "view/PointerTracker.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

// Records what reaches the document, and declines presses when told to.
class RecordingSink : public IPointerSink {
public:
    bool OnGestureDown(CPoint p) override
    {
        log.push_back("down " + Text(p));
        if (onDown) onDown();
        return accept;
    }
    void OnGestureMove(CPoint p) override { log.push_back("move " + Text(p)); }
    void OnGestureUp(CPoint p) override
    {
        log.push_back("up " + Text(p));
        if (onUp) onUp();
    }

    static std::string Text(CPoint p) { return std::to_string(p.x) + "," + std::to_string(p.y); }

    bool accept = true;
    std::function<void()> onDown;
    std::function<void()> onUp;
    std::vector<std::string> log;
};

using Log = std::vector<std::string>;

TEST(PointerTracker, OneUpForEveryAcceptedDownWhicheverWayTheGestureEnds)
{
    RecordingSink sink;
    CPointerTracker tracker(sink);

    // Release.
    EXPECT_TRUE(tracker.Press(PointerSource::Mouse, {10, 20}));
    tracker.Move(PointerSource::Mouse, {11, 22});
    tracker.Release(PointerSource::Mouse, {12, 24});
    tracker.Release(PointerSource::Mouse, {12, 24});  // a stray second release
    EXPECT_EQ(sink.log, (Log{"down 10,20", "move 11,22", "up 12,24"}));

    // Loss of the pointer: the gesture ends where it was last seen.
    sink.log.clear();
    EXPECT_TRUE(tracker.Press(PointerSource::Pen, {1, 1}));
    tracker.Move(PointerSource::Pen, {-5, -7});
    tracker.Cancel();
    tracker.Cancel();
    tracker.Move(PointerSource::Pen, {3, 3});
    EXPECT_EQ(sink.log, (Log{"down 1,1", "move -5,-7", "up -5,-7"}));
    EXPECT_FALSE(tracker.IsTracking());

    // Lost right at the press, before any move.
    sink.log.clear();
    EXPECT_TRUE(tracker.Press(PointerSource::Touch, {4, 5}));
    tracker.Cancel();
    EXPECT_EQ(sink.log, (Log{"down 4,5", "up 4,5"}));
}

TEST(PointerTracker, SecondPressAndOtherDevicesAreIgnoredDuringAGesture)
{
    RecordingSink sink;
    CPointerTracker tracker(sink);
    EXPECT_TRUE(tracker.Press(PointerSource::Mouse, {0, 0}));
    EXPECT_FALSE(tracker.Press(PointerSource::Mouse, {50, 50}));
    EXPECT_FALSE(tracker.Press(PointerSource::Pen, {60, 60}));
    tracker.Move(PointerSource::Pen, {61, 61});
    tracker.Release(PointerSource::Touch, {62, 62});
    EXPECT_TRUE(tracker.IsTracking());
    tracker.Release(PointerSource::Mouse, {2, 3});
    EXPECT_EQ(sink.log, (Log{"down 0,0", "up 2,3"}));
}

TEST(PointerTracker, DeclinedPressStartsNothing)
{
    RecordingSink sink;
    sink.accept = false;
    CPointerTracker tracker(sink);
    EXPECT_FALSE(tracker.Press(PointerSource::Mouse, {-3, 8}));
    tracker.Move(PointerSource::Mouse, {1, 1});
    tracker.Release(PointerSource::Mouse, {1, 1});
    tracker.Cancel();
    EXPECT_EQ(sink.log, (Log{"down -3,8"}));
    EXPECT_FALSE(tracker.IsTracking());
}

TEST(PointerTracker, ReentrantEventsCannotOpenOrCloseAGestureTwice)
{
    RecordingSink sink;
    CPointerTracker tracker(sink);

    // The press opens a dialog that takes the pointer: the gesture that the
    // document accepted is closed at once instead of waiting for a release
    // that went elsewhere, and a press arriving meanwhile is ignored.
    sink.onDown = [&] {
        EXPECT_FALSE(tracker.Press(PointerSource::Mouse, {9, 9}));
        tracker.Cancel();
    };
    EXPECT_TRUE(tracker.Press(PointerSource::Mouse, {1, 2}));
    EXPECT_FALSE(tracker.IsTracking());
    EXPECT_EQ(sink.log, (Log{"down 1,2", "up 1,2"}));

    // Whatever the release sets off cannot end the gesture again.
    sink.log.clear();
    sink.onDown = nullptr;
    sink.onUp = [&] { tracker.Cancel(); };
    EXPECT_TRUE(tracker.Press(PointerSource::Mouse, {3, 3}));
    tracker.Release(PointerSource::Mouse, {4, 4});
    EXPECT_EQ(sink.log, (Log{"down 3,3", "up 4,4"}));

    // And the next gesture starts normally.
    sink.log.clear();
    sink.onUp = nullptr;
    EXPECT_TRUE(tracker.Press(PointerSource::Mouse, {5, 5}));
    tracker.Release(PointerSource::Mouse, {6, 6});
    EXPECT_EQ(sink.log, (Log{"down 5,5", "up 6,6"}));
}

}  // namespace
