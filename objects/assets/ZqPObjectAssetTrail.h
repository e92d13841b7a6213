#pragma once

#include "objects/ZqEffectDrawing.h"
#include "objects/assets/ZqPObjectAsset.h"

#include <array>
#include <memory>

class ZqModelObjectTrail;

// A textured ribbon following the object through the field: up to kMaxPoints points in the
// reference node's space (point 0 the head), a point inserted every "Length" / 40 points
// moved (at most 31 a frame), the older points drifting by "Speed" and waving by noise,
// drawn as a strip from "Start Width" at the head to "End Width" at the tail. No body;
// nothing drawn in states 4 and 5.
class ZqPObjectAssetTrail : public ZqPObjectAsset {
public:
    static constexpr int kMaxPoints = 40;

    explicit ZqPObjectAssetTrail(const std::shared_ptr<ZqModelObjectTrail>& model);

    // Makes no body: every point goes to the object's position.
    void createBody(ZqPhysicsWorld* world, bool lazy) override;
    void update(float dt) override;
    void draw() override;
    // A 100 x 100 square about the position in the reference node's space.
    cocos2d::CCRect boundingRect() const override;

    int pointCount() const { return m_count; }
    const cocos2d::CCPoint& point(int index) const { return m_points[static_cast<size_t>(index)]; }

private:
    // "Length" / 40; 0 or below inserts nothing.
    float segment() const;
    void insertPoints(float segment);

    std::shared_ptr<ZqModelObjectTrail> m_trail;
    std::array<cocos2d::CCPoint, kMaxPoints> m_points{};
    std::array<float, kMaxPoints> m_waves{};
    int m_count = 0;
    float m_time = 0.0f;
    float m_phase = 0.0f;
    // The texture cache's or the sprite's; not retained.
    cocos2d::CCTexture2D* m_texture = nullptr;
    ZqEffectDrawing m_drawing;
};
