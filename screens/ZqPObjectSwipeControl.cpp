#include "screens/ZqPObjectSwipeControl.h"

#include "app/ZqObjectModelHolder.h"
#include "app/ZqPInputController.h"
#include "common/ZqClock.h"
#include "common/ZqLog.h"
#include "model/objects/ZqModelObjectsControls.h"
#include "screens/buttons/ZqPObjectButtonJoystick.h"

using namespace cocos2d;

namespace {

constexpr float kSwipeDistance = 30.0f;    // view points
constexpr int64_t kSwipeTicks = 5'000'000; // 0.5 s in 100 ns ticks

} // namespace

ZqPObjectSwipeControl* ZqPObjectSwipeControl::create(const std::shared_ptr<ZqModelObjectSwipeControl>& model)
{
    ZqPObjectSwipeControl* swipe = new ZqPObjectSwipeControl();
    swipe->setModel(model);
    swipe->autorelease();
    return swipe;
}

ZqPObjectSwipeControl::ZqPObjectSwipeControl()
{
    if (CCTouchDispatcher* dispatcher = CCDirector::sharedDirector()->getTouchDispatcher())
        dispatcher->addTargetedDelegate(this, 0, true);
}

void ZqPObjectSwipeControl::setModel(const std::shared_ptr<ZqModelObjectSwipeControl>& model)
{
    m_model = model;
    setPosition(model ? model->position(0.0f, 0) : CCPoint());
    setUserObject(model ? ZqObjectModelHolder::create(model) : nullptr);
}

bool ZqPObjectSwipeControl::ccTouchBegan(CCTouch* touch, CCEvent*)
{
    if (!m_model || !zqControlArea(m_model->scale(0.0f, 0)).containsPoint(convertToNodeSpace(touch->getLocation())))
        return false;
    m_swiping = true;
    m_start = touch->getLocationInView();
    m_startTicks = zqClockTicks();
    return true;
}

void ZqPObjectSwipeControl::ccTouchMoved(CCTouch* touch, CCEvent*)
{
    if (!m_swiping)
        return;
    if (zqClockTicks() - m_startTicks >= kSwipeTicks) {
        endSwipe();
        return;
    }
    const CCPoint d = touch->getLocationInView() - m_start;
    int action = 0;
    if (d.x > kSwipeDistance)
        action = ZqPInputController::kSwipeRight;
    else if (d.x < -kSwipeDistance)
        action = ZqPInputController::kSwipeLeft;
    else if (d.y > kSwipeDistance)
        action = ZqPInputController::kSwipeDown; // view y runs downwards
    else if (d.y < -kSwipeDistance)
        action = ZqPInputController::kSwipeUp;
    if (action == 0)
        return;
    endSwipe();
    // Swipes act only through their subscribers: the line says one was recognised.
    debugLog("[ZqPObjectSwipeControl] %s: swipe %d", m_model->name().c_str(), action);
    ZqPInputController::shared()->notifySubscribers(this, action, 0);
}

void ZqPObjectSwipeControl::ccTouchEnded(CCTouch*, CCEvent*)
{
    endSwipe();
}

void ZqPObjectSwipeControl::endSwipe()
{
    m_swiping = false;
    m_start = CCPoint();
    m_startTicks = 0;
}
