#pragma once

#include "objects/ZqEffectDrawing.h"
#include "objects/assets/ZqPObjectAsset.h"

#include <memory>

class ZqModelObjectFlag;

// A waving textured flag in the object's own space: kColumns columns along x from the pole
// (x = 0) to 0.95 x "Length", half as high as "Start Width" at the pole and "End Width" at
// the free end, its centre line bent by noise that moves at "Speed".
class ZqPObjectAssetFlag : public ZqPObjectAsset {
public:
    static constexpr int kColumns = 20;

    explicit ZqPObjectAssetFlag(const std::shared_ptr<ZqModelObjectFlag>& model);
    ~ZqPObjectAssetFlag() override;

    void update(float dt) override;
    void draw() override;
    // A 100 x 100 square about the position in the reference node's space.
    cocos2d::CCRect boundingRect() const override;

private:
    std::shared_ptr<ZqModelObjectFlag> m_flag;
    // Retained.
    cocos2d::CCTexture2D* m_texture = nullptr;
    ZqEffectDrawing m_drawing;
    // From -1 to 1 at the start, falling by "Speed" / 1000 a second.
    float m_phase = 0.0f;
};
