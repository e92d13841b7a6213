#include "objects/CCParallaxScrollNode.h"

#include "objects/ZqPhysicsBody.h"

#include <cmath>

using namespace cocos2d;

namespace {

// A child's position on one axis after it wraps: one that left the range, against the
// range's own movement too, comes back by the strip length as many times as it takes, so
// that a jump of any size leaves no hole.
float wrapped(float position, float size, float movement, float start, float length, float offset)
{
    const float period = std::fabs(offset);
    if (period <= 0.0f)
        return position;
    if (movement < 0.0f && position + size < start)
        return position + std::ceil((start - position - size) / period) * period;
    if (movement > 0.0f && position > start + length)
        return position - std::ceil((position - start - length) / period) * period;
    return position;
}

} // namespace

CCParallaxScrollOffset* CCParallaxScrollOffset::create()
{
    CCParallaxScrollOffset* record = new CCParallaxScrollOffset();
    if (!record->init()) {
        delete record;
        return nullptr;
    }
    record->autorelease();
    return record;
}

CCParallaxScrollOffset* CCParallaxScrollOffset::createWithChild(CCNode* child, const CCPoint& ratio,
                                                                const CCPoint& position, const CCPoint& scrollOffset,
                                                                const CCPoint& relativeVelocity)
{
    CCParallaxScrollOffset* record = create();
    if (!record)
        return nullptr;
    record->setRatio(ratio);
    record->setScrollOffset(scrollOffset);
    record->setRelVelocity(relativeVelocity);
    record->setOrigPosition(position);
    child->setPosition(position);
    child->setAnchorPoint(CCPoint(0.0f, 0.0f));
    record->setTheChild(child);
    return record;
}

bool CCParallaxScrollOffset::init()
{
    if (!CCLayer::init())
        return false;
    m_relVelocity = CCPoint();
    m_scrollOffset = CCPoint();
    setPosition(CCPoint());
    m_ratio = CCPoint();
    return true;
}

CCParallaxScrollNode* CCParallaxScrollNode::create()
{
    CCParallaxScrollNode* node = new CCParallaxScrollNode();
    if (!node->init()) {
        delete node;
        return nullptr;
    }
    return node;
}

CCParallaxScrollNode::~CCParallaxScrollNode()
{
    if (m_offsets)
        m_offsets->release();
}

bool CCParallaxScrollNode::init()
{
    if (!CCLayer::init())
        return false;
    m_offsets = CCArray::create();
    m_offsets->retain();
    m_range = CCDirector::sharedDirector()->getWinSize();
    setAnchorPoint(CCPoint(0.0f, 0.0f));
    m_rotationCompensation = 0.0f;
    return true;
}

void CCParallaxScrollNode::addScrollStrip(CCArray* sprites, int z, const CCPoint& ratio, const CCPoint& start,
                                          const CCPoint& direction, const CCPoint& relativeVelocity,
                                          const CCPoint& gap)
{
    CCPoint offset;
    for (unsigned int i = 0; i < sprites->count(); ++i) {
        const CCSprite* sprite = static_cast<CCSprite*>(sprites->objectAtIndex(i));
        const CCSize size = sprite->getContentSize();
        offset.x += gap.x * direction.x + size.width * sprite->getScaleX();
        offset.y += gap.y * direction.y + size.height * sprite->getScaleY();
    }
    CCPoint position = start;
    for (unsigned int i = 0; i < sprites->count(); ++i) {
        CCSprite* sprite = static_cast<CCSprite*>(sprites->objectAtIndex(i));
        addScrollChild(sprite, z, ratio, position, offset, relativeVelocity);
        const CCSize size = sprite->getContentSize();
        position.x += (size.width * sprite->getScaleX() + gap.x) * direction.x;
        position.y += (size.height * sprite->getScaleY() + gap.y) * direction.y;
    }
}

void CCParallaxScrollNode::addScrollChild(CCSprite* sprite, int z, const CCPoint& ratio, const CCPoint& position,
                                          const CCPoint& scrollOffset, const CCPoint& relativeVelocity)
{
    const CCSize size = sprite->getContentSize();
    const CCPoint centre(position.x + size.width * sprite->getScaleX() * 0.5f,
                         position.y + size.height * sprite->getScaleY() * 0.5f);
    CCParallaxScrollOffset* record
        = CCParallaxScrollOffset::createWithChild(sprite, ratio, centre, scrollOffset, relativeVelocity);
    if (!record)
        return;
    m_offsets->addObject(record);
    sprite->setAnchorPoint(CCPoint(0.5f, 0.5f));
    sprite->setRotation(m_rotationCompensation);
    addChild(sprite, z);
}

void CCParallaxScrollNode::setRangeOrigin(const CCPoint& origin)
{
    m_rangeMoved = m_rangeMoved + (origin - m_rangeOrigin);
    m_rangeOrigin = origin;
}

void CCParallaxScrollNode::scrollWithVelocity(const CCPoint& velocity, float time)
{
    const CCPoint scaled = velocity * zqphysics::kVelocityUnit;
    for (unsigned int i = 0; i < m_offsets->count(); ++i) {
        const CCParallaxScrollOffset* record = static_cast<CCParallaxScrollOffset*>(m_offsets->objectAtIndex(i));
        CCNode* child = record->getTheChild();
        const CCPoint delta = ccpCompMult((scaled + record->getRelVelocity() * zqphysics::kVelocityUnit) * time, record->getRatio());
        // Wrapping goes by the child's movement against the range, which may move too.
        const CCPoint movement = delta - m_rangeMoved;
        CCPoint position = child->getPosition() + delta;
        const CCSize size = child->getContentSize();
        position.x = wrapped(position.x, size.width * child->getScaleX(), movement.x, m_rangeOrigin.x, m_range.width,
                             record->getScrollOffset().x);
        position.y = wrapped(position.y, size.height * child->getScaleY(), movement.y, m_rangeOrigin.y,
                             m_range.height, record->getScrollOffset().y);
        child->setPosition(position);
    }
    m_rangeMoved = CCPoint();
}
