#pragma once

#include "objects/ZqPObject.h"

#include <memory>

class CCParallaxScrollNode;
class ZqModelObjectBackground;

// A background model's endless strip of copies of its image along the layer's own axis,
// long enough to cover the design screen, scrolling with the parallax factor "Speed" as the
// camera moves and drifting on its own, its copies wrapping around where the window shows
// the strip, so that it never runs out however far the camera goes. A model without an
// image, or whose image has zero width, gives an empty layer that never scrolls.
class ZqPObjectBackgroundLayer : public ZqPObject {
public:
    // Not autoreleased: the caller (the game field) owns the layer and releases it.
    static ZqPObjectBackgroundLayer* create(const std::shared_ptr<ZqModelObjectBackground>& model);
    explicit ZqPObjectBackgroundLayer(const std::shared_ptr<ZqModelObjectBackground>& model);
    ~ZqPObjectBackgroundLayer() override;

    // The drift: -"Speed" x dt points along the axis.
    void update(float dt) override;
    // After a camera step of amount (the sum of its x and y movement) over dt seconds:
    // moves the strip by -32 x amount x dt x "Speed" along the axis.
    void scrollBy(float amount, float dt);
    // The distance from the model's position to the design screen's edge along the layer's
    // axis, backward (direction -1) or forward (1); 0 when the axis misses the screen.
    float edgeDistance(int direction) const;

    CCParallaxScrollNode* scrollNode() const { return m_scrollNode; }
    const cocos2d::CCPoint& startPosition() const { return m_startPosition; }

private:
    void build(const ZqModelObjectBackground& model);
    // Moves the scroll node's range to the window's back edge along the strip (only while
    // the layer is on the running scene).
    void followWindow();

    CCParallaxScrollNode* m_scrollNode = nullptr;
    cocos2d::CCPoint m_startPosition;
    // How far the strip starts behind the window's back edge: one scaled copy.
    float m_lead = 0.0f;
};
