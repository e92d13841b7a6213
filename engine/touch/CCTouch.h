#pragma once

#include "base/CCGeometry.h"
#include "base/CCObject.h"

namespace cocos2d {

// One finger (on the desktop: the left mouse button, id 0) from press to release.
// Positions are kept "in view": design points with y growing downwards, origin at
// the top-left of the design area. getLocation() and friends give the same points
// with y up (the scene's space), flipped with the director's window height at the
// time of the call.
class CCTouch : public CCObject {
public:
    int getID() const { return m_id; }

    // Design points, y up.
    CCPoint getLocation() const;
    CCPoint getPreviousLocation() const;
    CCPoint getStartLocation() const;
    // Current minus previous location, y up.
    CCPoint getDelta() const;

    // Design points, y down.
    CCPoint getLocationInView() const { return m_point; }
    CCPoint getPreviousLocationInView() const { return m_prevPoint; }
    CCPoint getStartLocationInView() const { return m_startPoint; }

    // Moves the touch to (x, y) in view (design points, y down). The first call sets
    // the start and previous locations too; later calls keep the last one as previous.
    void setTouchInfo(int id, float x, float y);

private:
    int m_id = 0;
    bool m_started = false;
    CCPoint m_point;
    CCPoint m_prevPoint;
    CCPoint m_startPoint;
};

// The event passed along with touches; it carries nothing.
class CCEvent : public CCObject {};

} // namespace cocos2d
