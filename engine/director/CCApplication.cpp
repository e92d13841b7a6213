#include "director/CCApplication.h"

#include "director/CCDirector.h"
#include "director/CCEGLView.h"
#include "director/CCFrameClock.h"

#include <chrono>
#include <thread>

namespace cocos2d {

namespace {

CCApplication* sharedInstance = nullptr;

CCFrameClock steadyClock()
{
    using Clock = std::chrono::steady_clock;
    return {[] { return std::chrono::duration<double>(Clock::now().time_since_epoch()).count(); },
            [](double seconds) {
                std::this_thread::sleep_until(
                    Clock::time_point(std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds))));
            }};
}

CCFrameClock frameClock = steadyClock();

} // namespace

void ccSetFrameClock(CCFrameClock clock)
{
    frameClock = clock.now && clock.sleepUntil ? std::move(clock) : steadyClock();
}

const CCFrameClock& ccFrameClock()
{
    return frameClock;
}

CCApplication* CCApplication::sharedApplication()
{
    return sharedInstance;
}

CCApplication::CCApplication()
{
    sharedInstance = this;
}

CCApplication::~CCApplication()
{
    if (sharedInstance == this)
        sharedInstance = nullptr;
}

void CCApplication::setAnimationInterval(double interval)
{
    CCDirector::sharedDirector()->setAnimationInterval(interval);
}

int CCApplication::run()
{
    if (!applicationDidFinishLaunching())
        return 0;
    CCEGLViewProtocol* view = CCDirector::sharedDirector()->getOpenGLView();
    if (!view) {
        view = CCEGLView::sharedOpenGLView();
        CCDirector::sharedDirector()->setOpenGLView(view);
    }
    const CCFrameClock& clock = frameClock;
    // When the next frame is due; negative before the first. Frames keep one beat: a late
    // wake-up or a wait for the display in the swap delays a frame, not the ones after it,
    // so the loop neither drifts below its rate nor lets the display's refresh set it.
    double due = -1.0;
    // The director is looked up every frame: the frame after end() destroys it, and
    // the view it closed ends the loop.
    while (view->isOpenGLReady()) {
        if (m_fixedStep <= 0.0f) {
            const double interval = CCDirector::sharedDirector()->getAnimationInterval();
            const double now = clock.now();
            if (due >= 0.0 && now < due) {
                // Events are read while waiting too, so that input stays prompt.
                view->pollEvents();
                clock.sleepUntil(due);
                continue;
            }
            // A whole interval behind (a stall, a display slower than the beat): the beat
            // starts again from now rather than running frames back to back to catch up.
            due = due >= 0.0 && now - due < interval ? due + interval : now + interval;
        }
        if (m_beforeFrame)
            m_beforeFrame();
        view->pollEvents();
        if (m_fixedStep > 0.0f)
            CCDirector::sharedDirector()->mainLoopWithDelta(m_fixedStep);
        else
            CCDirector::sharedDirector()->mainLoop();
        if (m_afterFrame && view->isOpenGLReady())
            m_afterFrame();
    }
    return 0;
}

} // namespace cocos2d
