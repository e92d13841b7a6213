#include "objects/ZqPObjectBackgroundLayer.h"

#include "model/ZqModelAccess.h"
#include "model/ZqModelGeneralSettings.h"
#include "model/objects/ZqModelObjectsUnits.h"
#include "model/scene/ZqModelMedia.h"
#include "objects/CCParallaxScrollNode.h"

#include <algorithm>

using namespace cocos2d;

namespace {

// The far ends of the axis tested against the design screen.
constexpr float kAxisBehind = -1000.0f;
constexpr float kAxisAhead = 2136.0f;
// The drift runs at one point a second per unit of "Speed".
constexpr float kDriftStep = 1.0f / zqphysics::kVelocityUnit;

} // namespace

ZqPObjectBackgroundLayer* ZqPObjectBackgroundLayer::create(const std::shared_ptr<ZqModelObjectBackground>& model)
{
    return new ZqPObjectBackgroundLayer(model);
}

ZqPObjectBackgroundLayer::ZqPObjectBackgroundLayer(const std::shared_ptr<ZqModelObjectBackground>& model)
    : ZqPObject(model)
{
    setObjectType(kTypeBackground);
    m_scrollNode = CCParallaxScrollNode::create();
    m_scrollNode->setAnchorPoint(CCPoint(0.5f, 0.5f));
    if (model)
        build(*model);
}

ZqPObjectBackgroundLayer::~ZqPObjectBackgroundLayer()
{
    m_scrollNode->release();
}

void ZqPObjectBackgroundLayer::build(const ZqModelObjectBackground& model)
{
    const std::shared_ptr<ZqModelSpriteContainer> image = model.spriteContainer();
    if (!image)
        return;
    const float back = edgeDistance(-1);
    const float ahead = edgeDistance(1);
    const CCPoint scale = model.scale(0.0f, 0);
    const CCSize size = image->frameSourceSizeAtTime(0.0f);
    const CCPoint position = model.position(0.0f, 0);
    const float rotation = model.rotation(0.0f, 0);

    m_startPosition = CCPoint(position.x - (size.width * scale.x + back), position.y)
                          .rotateByAngle(position, -rotation * zqphysics::kRadiansPerDegree);
    setPosition(m_startPosition);
    setRotation(rotation);

    const float length = size.width * scale.x * 3.0f + ahead + back;
    const GLubyte opacity = static_cast<GLubyte>(static_cast<int>(model.opacity(0.0f, 0) * 255.0f) % 256);
    CCArray* copies = CCArray::create();
    float covered = 0.0f;
    while (covered <= length) {
        CCSprite* copy = image->getSprite(1.0f, true);
        if (!copy || copy->getContentSize().width == 0.0f)
            return;
        copy->setAnchorPoint(CCPoint(0.5f, 0.5f));
        copy->setScaleX(scale.x);
        copy->setScaleY(scale.y);
        copy->setContentSize(size);
        copy->setOpacity(opacity);
        copies->addObject(copy);
        const float step = model.tilingOffset() + copy->getContentSize().width * copy->getScaleX();
        // A gap that eats the whole copy would never cover the strip: one copy is all.
        if (step <= 0.0f)
            break;
        covered += step;
    }
    if (model.isFixedRotation())
        m_scrollNode->setRotationCompensation(-rotation);
    m_scrollNode->addScrollStrip(copies, 0, CCPoint(model.speed(), 0.0f), CCPoint(0.0f, -size.height * 0.5f * scale.y),
                                 CCPoint(1.0f, 0.0f), CCPoint(), CCPoint(model.tilingOffset() * scale.x - 1.0f, 0.0f));
    m_scrollNode->setRange(CCSize(length, 0.0f));
    m_lead = size.width * scale.x;
    addChild(m_scrollNode);
}

void ZqPObjectBackgroundLayer::update(float dt)
{
    if (m_scrollNode->getChildrenCount() == 0)
        return;
    followWindow();
    m_scrollNode->scrollWithVelocity(CCPoint(-1.0f, -1.0f), dt * kDriftStep);
}

void ZqPObjectBackgroundLayer::scrollBy(float amount, float dt)
{
    if (m_scrollNode->getChildrenCount() == 0)
        return;
    followWindow();
    m_scrollNode->scrollWithVelocity(CCPoint(-amount, -amount), dt);
}

void ZqPObjectBackgroundLayer::followWindow()
{
    // The layer rides in the camera: its own frame leaves the window behind as the camera
    // goes, so the copies wrap about where the window meets the strip's axis (y 0 of the
    // scroll node), starting one copy behind it as the strip was laid out.
    if (!isRunning())
        return;
    const CCSize window = CCDirector::sharedDirector()->getWinSize();
    const CCPoint corners[] = {m_scrollNode->convertToNodeSpace(CCPoint(0.0f, 0.0f)),
                               m_scrollNode->convertToNodeSpace(CCPoint(window.width, 0.0f)),
                               m_scrollNode->convertToNodeSpace(CCPoint(window.width, window.height)),
                               m_scrollNode->convertToNodeSpace(CCPoint(0.0f, window.height))};
    bool met = false;
    float back = 0.0f;
    for (int i = 0; i < 4; ++i) {
        const CCPoint& a = corners[i];
        const CCPoint& b = corners[(i + 1) % 4];
        if ((a.y > 0.0f && b.y > 0.0f) || (a.y < 0.0f && b.y < 0.0f))
            continue;
        const float x = a.y == b.y ? std::min(a.x, b.x) : a.x + (b.x - a.x) * (-a.y / (b.y - a.y));
        back = met ? std::min(back, x) : x;
        met = true;
    }
    // An axis the window misses shows no copy: the range stays where it was.
    if (met)
        m_scrollNode->setRangeOrigin(CCPoint(back - m_lead, 0.0f));
}

float ZqPObjectBackgroundLayer::edgeDistance(int direction) const
{
    const std::shared_ptr<ZqModelObjectBackground> model = modelCast<ZqModelObjectBackground>(this->model());
    if (!model)
        return 0.0f;
    const CCPoint p0 = model->position(0.0f, 0);
    const CCPoint p1 = CCPoint(direction < 0 ? kAxisBehind : kAxisAhead, p0.y)
                           .rotateByAngle(p0, -model->rotation(0.0f, 0) * zqphysics::kRadiansPerDegree);
    const CCSize design = ZqModelGeneralSettings::shared()->designSize();
    const CCPoint corners[] = {CCPoint(0.0f, 0.0f), CCPoint(0.0f, design.height), CCPoint(design.width, design.height),
                               CCPoint(design.width, 0.0f)};
    for (int i = 0; i < 4; ++i) {
        const CCPoint& a = corners[i];
        const CCPoint& b = corners[(i + 1) % 4];
        if (ccpSegmentIntersect(p0, p1, a, b))
            return ccpDistance(p0, ccpIntersectPoint(p0, p1, a, b));
    }
    return 0.0f;
}
