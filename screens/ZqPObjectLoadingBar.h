#pragma once

#include "cocos2d.h"

#include <memory>

class ZqModelObjectLoadingBar;

// The progress bar of the loading screen: a node placed from its model, whose curves
// move, turn, scale and fade it (the opacity goes to its children), and which draws a
// 400 x 4 point bar around its position, filled from the left as far as the model
// controller has read the game data. Made by the screens' UI builder; main thread only.
class ZqPObjectLoadingBar : public cocos2d::CCNode {
public:
    // Autoreleased; placed at the model's values at time 0, state 0. A null model gives
    // a node that keeps its initial placement.
    static ZqPObjectLoadingBar* create(const std::shared_ptr<ZqModelObjectLoadingBar>& model);

    // Advances the animation clock by dt seconds and applies the model's values.
    virtual void update(float dt) override;
    // Applies the values at the present time (update with 0).
    void draw() override;
    // The node, then (when visible) the bar over it in the parent's coordinates.
    void visit() override;

    virtual void resetTime() { m_time = 0.0f; }
    virtual void setCurveState(int state) { m_curveState = state; }

    // The bar around the node's position at that fraction of its width (not clamped).
    void drawBar(float fraction) const;

    const std::shared_ptr<ZqModelObjectLoadingBar>& model() const { return m_model; }

    // Half the bar's size, in points.
    static constexpr float kHalfWidth = 200.0f;
    static constexpr float kHalfHeight = 2.0f;

private:
    std::shared_ptr<ZqModelObjectLoadingBar> m_model;
    float m_time = 0.0f;
    int m_curveState = 0;
};
