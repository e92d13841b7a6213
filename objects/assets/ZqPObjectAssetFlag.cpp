#include "objects/assets/ZqPObjectAssetFlag.h"

#include "ZqRandom.h"
#include "model/objects/ZqModelObjectsEffects.h"
#include "objects/ZqDrawingFunctions.h"

using namespace cocos2d;

ZqPObjectAssetFlag::ZqPObjectAssetFlag(const std::shared_ptr<ZqModelObjectFlag>& model)
    : ZqPObjectAsset(model)
    , m_flag(model)
{
    setCollisionKind(0);
    setLinearMovement(true);
    setObjectType(kTypeEffect);
    m_phase = 2.0f * zqRandUnit() - 1.0f;
    m_texture = ZqEffectDrawing::texture(model ? model->texture() : nullptr, "/fx/flagMap.png");
    if (m_texture)
        m_texture->retain();
}

ZqPObjectAssetFlag::~ZqPObjectAssetFlag()
{
    if (m_texture)
        m_texture->release();
}

CCRect ZqPObjectAssetFlag::boundingRect() const
{
    return boundsAtReferencePosition(CCRect(-50.0f, -50.0f, 100.0f, 100.0f));
}

void ZqPObjectAssetFlag::update(float dt)
{
    ZqPObjectAsset::update(dt);
    if (m_flag)
        m_phase -= m_flag->speed() * dt * 0.001f;
}

void ZqPObjectAssetFlag::draw()
{
    if (!m_texture || !m_flag)
        return;
    ccVertex2F positions[2 * kColumns];
    ccTex2F texCoords[2 * kColumns];
    for (int i = 0; i < kColumns; ++i) {
        const float t = static_cast<float>(i) / kColumns;
        const float wave = static_cast<float>(gradientNoise1D((m_phase * 10.0f + t) * m_flag->waveLength() / 50.0f))
            * m_flag->waveHeight();
        const float width = m_flag->startWidth() * (1.0f - t) + m_flag->endWidth() * t;
        const float x = m_flag->length() * t;
        positions[2 * i] = ccVertex2F{x, wave * t + width};
        positions[2 * i + 1] = ccVertex2F{x, wave * t - width};
        texCoords[2 * i] = ccTex2F{t, 0.0f};
        texCoords[2 * i + 1] = ccTex2F{t, 1.0f};
    }
    const float strength = m_flag->opacity(0.0f, 0) * colorFactor();
    m_drawing.draw(m_texture, ccTriangleMode::Strip, positions, texCoords, 2 * kColumns,
                   ccColor4F{strength, strength, strength, strength});
}
