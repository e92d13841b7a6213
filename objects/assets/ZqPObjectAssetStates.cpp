// The asset object's state animations, adopted nodes and fixture swaps.
#include "objects/assets/ZqPObjectAsset.h"

#include "model/scene/ZqModelObject.h"
#include "model/scene/ZqModelShapes.h"
#include "objects/ZqPAnimationObject.h"
#include "model/GameplayParameters.h"

using namespace cocos2d;

namespace {

constexpr int kRotationMapperPriority = 3;
constexpr float kDefaultDensity = 0.1f;

void restartUnlessRotationMapper(CCNode* node, int priority)
{
    if (priority == kRotationMapperPriority || !node)
        return;
    if (ZqPAnimationObject* animation = dynamic_cast<ZqPAnimationObject*>(node))
        animation->restart();
}

// Takes node from its parent, its actions kept, and adds it to owner.
void moveInto(CCNode* node, CCNode* owner)
{
    if (node->getParent() == owner)
        return;
    node->retain();
    if (node->getParent())
        node->removeFromParentAndCleanup(false);
    owner->addChild(node);
    node->release();
}

} // namespace

b2Filter ZqPObjectAsset::characterFilter()
{
    b2Filter filter;
    filter.categoryBits = 0x0002;
    filter.maskBits = 0x0001;
    filter.groupIndex = -1;
    return filter;
}

ZqFixtureDefinition ZqPObjectAsset::shapeFixture(const ZqModelPolygon& shape) const
{
    ZqFixtureDefinition fixture = shape.fixtureDef(getScaleX(), getScaleY());
    if (objectType() & kTypeCharacter) {
        fixture.def.isSensor = false;
        fixture.def.filter = characterFilter();
    }
    return fixture;
}

void ZqPObjectAsset::rebuildDefaultFixture()
{
    const std::shared_ptr<ZqBaseModelObject> object = modelKindCast<ZqModelObject>(model());
    const std::shared_ptr<ZqModelPolygon> shape = object ? object->collisionShape() : nullptr;
    if (!m_body || !shape)
        return;
    ZqFixtureDefinition fixture = shapeFixture(*shape);
    fixture.def.density = kDefaultDensity;
    fixture.def.friction = m_parameters->friction();
    fixture.def.restitution = m_parameters->restitution();
    if (!(objectType() & kTypeCharacter) && m_collisionKind == 0)
        fixture.def.isSensor = true;
    m_body.replaceFixture(fixture, this);
}

void ZqPObjectAsset::makeCurrent(StateAnimationTable::iterator entry)
{
    m_currentAnimation = entry;
    restartUnlessRotationMapper(entry->second.node, entry->first);
    if (m_body && entry->second.shape)
        m_body.replaceFixture(shapeFixture(*entry->second.shape), this);
}

void ZqPObjectAsset::addStateAnimation(int priority, CCNode* node, const std::shared_ptr<ZqModelPolygon>& shape)
{
    if (!node && !shape)
        return;
    if (node) {
        node->retain();
        moveInto(node, this);
    }
    // A multimap inserts after the entries of equal key.
    const auto entry = m_stateAnimations.insert({priority, StateAnimation{node, shape}});
    if (m_currentAnimation == m_stateAnimations.end()) {
        makeCurrent(entry);
    } else if (m_currentAnimation->first < priority) {
        if (node)
            node->setVisible(false);
    } else {
        if (CCNode* current = m_currentAnimation->second.node)
            current->setVisible(false);
        makeCurrent(entry);
    }
    setVisible(isVisible());
}

void ZqPObjectAsset::removeStateAnimation(int priority, CCNode* node, const std::shared_ptr<ZqModelPolygon>& shape)
{
    if (!node && !shape)
        return;
    auto [first, last] = m_stateAnimations.equal_range(priority);
    auto entry = std::find_if(first, last, [&](const auto& item) {
        return item.second.node == node && item.second.shape == shape;
    });
    if (entry == last)
        return;
    const bool wasCurrent = entry == m_currentAnimation;
    if (node && node->getParent() == this)
        removeChild(node, false);
    m_stateAnimations.erase(entry);
    CC_SAFE_RELEASE(node);
    if (wasCurrent) {
        m_currentAnimation = m_stateAnimations.end();
        if (m_stateAnimations.empty()) {
            rebuildDefaultFixture();
        } else {
            for (int key = 1; key <= 4; ++key) {
                auto [from, to] = m_stateAnimations.equal_range(key);
                if (from != to) {
                    makeCurrent(std::prev(to));
                    break;
                }
            }
        }
    }
    setVisible(isVisible());
}

CCNode* ZqPObjectAsset::currentStateAnimation() const
{
    return m_currentAnimation == m_stateAnimations.end() ? nullptr : m_currentAnimation->second.node;
}

std::shared_ptr<ZqModelPolygon> ZqPObjectAsset::currentStateAnimationShape() const
{
    return m_currentAnimation == m_stateAnimations.end() ? nullptr : m_currentAnimation->second.shape;
}

int ZqPObjectAsset::currentStateAnimationPriority() const
{
    return m_currentAnimation == m_stateAnimations.end() ? -1 : m_currentAnimation->first;
}

void ZqPObjectAsset::adoptObject(CCNode* node)
{
    if (!node || m_adoptedNodes.count(node))
        return;
    moveInto(node, this);
    restartUnlessRotationMapper(node, 0);
    node->setVisible(true);
    m_adoptedNodes.insert(node);
}

void ZqPObjectAsset::disownObject(CCNode* node)
{
    if (!node || !m_adoptedNodes.count(node))
        return;
    if (node->getParent() == this)
        removeChild(node, false);
    m_adoptedNodes.erase(node);
}
