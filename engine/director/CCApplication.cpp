#include "director/CCApplication.h"

#include "director/CCDirector.h"
#include "director/CCEGLView.h"

#include <chrono>
#include <thread>

namespace cocos2d {

namespace {

CCApplication* sharedInstance = nullptr;

} // namespace

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
    using Clock = std::chrono::steady_clock;
    Clock::time_point last = Clock::now();
    bool first = true;
    // The director is looked up every frame: the frame after end() destroys it, and
    // the view it closed ends the loop.
    while (view->isOpenGLReady()) {
        if (m_fixedStep <= 0.0f) {
            const auto interval = std::chrono::duration<double>(CCDirector::sharedDirector()->getAnimationInterval());
            const Clock::time_point now = Clock::now();
            if (!first && now - last < interval) {
                // Events are read while waiting too, so that input stays prompt.
                view->pollEvents();
                std::this_thread::sleep_for(interval - (now - last));
                continue;
            }
            first = false;
            last = now;
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
