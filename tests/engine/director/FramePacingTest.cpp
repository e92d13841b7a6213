// The main loop's pace on displays of any refresh rate, on a fake clock: its sleep wakes
// a little late, as a busy machine's does, and the buffer swap, where the display's
// refresh is waited for, blocks to the display's next tick. Nothing waits for real.
#include "engine/director/DirectorFixture.h"
#include "director/CCFrameClock.h"
#include "platform/CCEGLViewSDL.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace cocos2d;

namespace {

// The fake time, in seconds.
double fakeNow = 0.0;
// How late each sleep wakes.
constexpr double kLateWakeUp = 0.00025;
// What a frame's own work takes.
constexpr double kFrameWork = 0.002;

// A view whose swap waits for the next tick of a display refreshing refreshRate times a
// second, when it waits at all.
class RefreshView : public CCEGLView {
public:
    double refreshRate = 60.0;
    bool waits = false;
    void swapBuffers() override
    {
        if (waits)
            fakeNow = (std::floor(fakeNow * refreshRate + 1e-9) + 1.0) / refreshRate;
    }
};

// Works kFrameWork a frame and ends the program after its 600th frame, noting when each
// frame began.
struct PacedApp : TickingApp {
    PacedApp()
        : TickingApp(view, [this](float) {
              starts.push_back(fakeNow);
              fakeNow += kFrameWork;
              if (starts.size() == 600)
                  CCDirector::sharedDirector()->end();
          })
    {
    }
    // The mean time from one frame's start to the next.
    double meanFrameTime() const { return (starts.back() - starts.front()) / double(starts.size() - 1); }

    RefreshView view;
    std::vector<double> starts;
};

class FramePacing : public ::testing::Test {
protected:
    void SetUp() override
    {
        fakeNow = 1000.0;
        ccSetFrameClock({[] { return fakeNow; }, [](double until) { fakeNow = std::max(fakeNow, until) + kLateWakeUp; }});
    }
    void TearDown() override { ccSetFrameClock({}); }

    // The mean frame time of 600 frames on a display of that rate, waiting for its
    // refresh in the swap or not.
    static double meanFrameTime(double refreshRate, bool waits)
    {
        PacedApp app;
        app.view.refreshRate = refreshRate;
        app.view.waits = waits;
        EXPECT_EQ(app.run(), 0);
        EXPECT_EQ(app.starts.size(), 600u);
        return app.meanFrameTime();
    }
};

} // namespace

// The game takes one fixed step a frame: at 60 frames a second on every display it runs at
// the same speed. The refresh is waited for only where it is a whole multiple of 60 (a
// 59.94 Hz mode counts); elsewhere the loop's clock alone paces the frames.
TEST_F(FramePacing, SixtyFramesASecondAtAnyRefreshRate)
{
    for (const int rate : {60, 120, 144, 75, 50, 165, 240, 59, 0}) {
        SCOPED_TRACE(rate);
        const bool waits = CCEGLViewSDL::swapWaitsForRefresh(rate);
        EXPECT_EQ(waits, rate == 60 || rate == 120 || rate == 240 || rate == 59);
        EXPECT_NEAR(meanFrameTime(rate == 59 ? 59.94 : rate, waits), 1.0 / 60.0, 0.01 / 60.0);
    }
}

// A driver that waits for the refresh whatever it is asked: where the display refreshes
// faster than 60 times a second the frames still keep 60, each shown at the first refresh
// after its beat. A 50 Hz display shows at most 50 frames a second, so the loop then
// runs at 50 and the game at five sixths of its speed: one step a frame is the rule.
TEST_F(FramePacing, ADriverThatAlwaysWaitsForTheRefresh)
{
    for (const double rate : {144.0, 75.0, 120.0, 165.0}) {
        SCOPED_TRACE(rate);
        EXPECT_NEAR(meanFrameTime(rate, true), 1.0 / 60.0, 0.01 / 60.0);
    }
    EXPECT_NEAR(meanFrameTime(50.0, true), 1.0 / 50.0, 0.01 / 50.0);
}
