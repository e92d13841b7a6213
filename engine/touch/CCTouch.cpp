#include "touch/CCTouch.h"

#include "director/CCDirector.h"

namespace cocos2d {

namespace {

// View (y down) to the scene's space (y up): both in design points, flipped about
// the design area's height.
CCPoint toSceneSpace(const CCPoint& inView)
{
    return CCPoint(inView.x, CCDirector::sharedDirector()->getWinSize().height - inView.y);
}

} // namespace

CCPoint CCTouch::getLocation() const
{
    return toSceneSpace(m_point);
}

CCPoint CCTouch::getPreviousLocation() const
{
    return toSceneSpace(m_prevPoint);
}

CCPoint CCTouch::getStartLocation() const
{
    return toSceneSpace(m_startPoint);
}

CCPoint CCTouch::getDelta() const
{
    return getLocation() - getPreviousLocation();
}

void CCTouch::setTouchInfo(int id, float x, float y)
{
    m_id = id;
    m_prevPoint = m_started ? m_point : CCPoint(x, y);
    m_point = CCPoint(x, y);
    if (!m_started)
        m_startPoint = m_point;
    m_started = true;
}

} // namespace cocos2d
