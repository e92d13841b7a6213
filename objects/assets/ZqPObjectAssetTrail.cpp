#include "objects/assets/ZqPObjectAssetTrail.h"

#include "ZqRandom.h"
#include "model/objects/ZqModelObjectsEffects.h"
#include "objects/ZqDrawingFunctions.h"

#include <algorithm>
#include <cmath>

using namespace cocos2d;

namespace {

// At most this many points a frame, of which the last is the head.
constexpr int kMaxInserted = 32;
constexpr float kDriftStep = 0.0166f;
// The texture slides by up to this much between insertions.
constexpr float kTextureShift = 0.025f;

} // namespace

ZqPObjectAssetTrail::ZqPObjectAssetTrail(const std::shared_ptr<ZqModelObjectTrail>& model)
    : ZqPObjectAsset(model)
    , m_trail(model)
{
    setCollisionKind(0);
    setLinearMovement(true);
    setObjectType(kTypeEffect);
    m_texture = ZqEffectDrawing::texture(model ? model->texture() : nullptr, "/fx/trailMap.png");
    m_phase = zqRandUnit() * 100.0f;
}

void ZqPObjectAssetTrail::createBody(ZqPhysicsWorld*, bool)
{
    m_points.fill(referencePosition());
}

CCRect ZqPObjectAssetTrail::boundingRect() const
{
    return boundsAtReferencePosition(CCRect(-50.0f, -50.0f, 100.0f, 100.0f));
}

float ZqPObjectAssetTrail::segment() const
{
    return m_trail ? m_trail->length() / kMaxPoints : 0.0f;
}

void ZqPObjectAssetTrail::insertPoints(float seg)
{
    const float distance = m_points[0].getDistance(m_points[1]);
    // A trail without length inserts nothing (and divides by nothing).
    if (seg <= 0.0f || distance <= seg)
        return;
    const int n = static_cast<int>(std::min(distance / seg, static_cast<float>(kMaxInserted)));
    const CCPoint a = m_points[0];
    const CCPoint b = m_points[1];
    for (int k = 1; k < n; ++k) {
        m_points[0] = ccpLerp(b, a, static_cast<float>(k) / static_cast<float>(n));
        ++m_count;
        for (int i = kMaxPoints - 1; i >= 1; --i) {
            m_points[static_cast<size_t>(i)] = m_points[static_cast<size_t>(i - 1)];
            m_waves[static_cast<size_t>(i)] = m_waves[static_cast<size_t>(i - 1)];
        }
        m_waves[0] = static_cast<float>(gradientNoise1D((m_phase + m_time) * m_trail->waveLength() / 50.0f))
            * m_trail->waveHeight() / 50.0f;
        if (m_count >= kMaxPoints)
            --m_count;
    }
}

void ZqPObjectAssetTrail::update(float dt)
{
    ZqPObject::update(dt);
    if (!referenceNode() || !m_trail)
        return;
    m_time += dt * 0.5f;
    if (m_count == 0) {
        m_points[1] = m_points[0];
        m_count = 2;
    }
    insertPoints(segment());
    const float r = getRotation() * zqphysics::kRadiansPerDegree;
    const float a = r + static_cast<float>(M_PI) / 2.0f;
    const float drift = m_trail->speed() * kDriftStep;
    for (int i = 1; i < m_count; ++i) {
        CCPoint& p = m_points[static_cast<size_t>(i)];
        const float wave = m_waves[static_cast<size_t>(i)];
        p.x += wave * std::sin(r) + std::sin(a) * drift;
        p.y += wave * std::cos(r) + std::cos(a) * drift;
    }
    const CCPoint world = getParent() ? getParent()->convertToWorldSpace(getPosition()) : getPosition();
    m_points[0] = world - referenceNode()->getPosition();
    if (isPlaced()) {
        if (ZqPObject* parent = dynamic_cast<ZqPObject*>(getParent()))
            setState(parent->state());
    }
}

void ZqPObjectAssetTrail::draw()
{
    if (state() == kStateDestroyed || state() == kStateRemoved || !m_texture || !m_trail || m_count < 2)
        return;
    const float seg = segment();
    const float shift = seg > 0.0f ? (seg - m_points[1].getDistance(m_points[0])) / seg * kTextureShift : 0.0f;
    ccVertex2F positions[2 * kMaxPoints];
    ccTex2F texCoords[2 * kMaxPoints];
    for (int i = 0; i + 1 < m_count; ++i) {
        const CCPoint& p = m_points[static_cast<size_t>(i)];
        const CCPoint normal = (p - m_points[static_cast<size_t>(i + 1)]).rotateByAngle(CCPoint(), M_PI / 2.0).normalize();
        const float t = static_cast<float>(i) / (kMaxPoints - 1) - shift;
        const float width = m_trail->startWidth() * (1.0f - t) + m_trail->endWidth() * t;
        const CCPoint left = p + normal * width;
        const CCPoint right = p - normal * width;
        positions[2 * i] = ccVertex2F{left.x, left.y};
        positions[2 * i + 1] = ccVertex2F{right.x, right.y};
        texCoords[2 * i] = ccTex2F{t, 0.0f};
        texCoords[2 * i + 1] = ccTex2F{t, 1.0f};
    }
    // The points are in the reference node's space: undo the node's own placement.
    kmGLPushMatrix();
    kmGLRotatef(m_trail->rotation(0.0f, 0), 0.0f, 0.0f, 1.0f);
    const CCPoint origin = referencePosition();
    kmGLTranslatef(-origin.x, -origin.y, 0.0f);
    const float strength = m_trail->opacity(0.0f, 0) * colorFactor();
    m_drawing.draw(m_texture, ccTriangleMode::Strip, positions, texCoords, static_cast<unsigned int>(2 * m_count - 2),
                   ccColor4F{strength, strength, strength, strength});
    kmGLPopMatrix();
}
