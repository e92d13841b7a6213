#include "objects/ZqPObject.h"

#include "ZqCachedCast.h"
#include "components/ZqComponent.h"
#include "model/scene/ZqModelComponents.h"
#include "objects/ZqPAnimationObject.h"
#include "model/GameplayParameters.h"
#include "objects/ZqPGameFieldCamera.h"

#include <algorithm>

using namespace cocos2d;

ZqPObject::ZqPObject(std::shared_ptr<ZqModel> model)
    : m_model(std::move(model))
{
}

ZqPObject::~ZqPObject()
{
    for (ZqComponent* component : m_components)
        delete component;
    m_components.clear();
    m_model.reset();
}

void ZqPObject::update(float dt)
{
    if (m_requestedState != kNoRequest) {
        const int requested = m_requestedState;
        m_requestedState = kNoRequest;
        setState(requested);
    }
    for (std::size_t i = 0; i < m_components.size(); ++i)
        m_components[i]->update(dt);
    if (getChildrenCount() > 0)
        updateChildren(dt);
    setVisible(isInVisibleArea());
}

void ZqPObject::updateChildren(float dt)
{
    // Children add and remove nodes while they update (spawned copies, state animations
    // moving between owners): the walk goes over a retained copy of the list.
    const std::size_t first = m_childSnapshot.size();
    for (CCObject* child : *getChildren()) {
        child->retain();
        m_childSnapshot.push_back(static_cast<CCNode*>(child));
    }
    const std::size_t end = m_childSnapshot.size();
    const std::size_t firstRemoved = m_removed.size();
    for (std::size_t i = first; i < end; ++i) {
        CCNode* child = m_childSnapshot[i];
        child->update(dt);
        ZqPObject* object = zqCachedCast<ZqPObject>(child);
        if (object && object->state() == kStateRemoved) {
            object->retain();
            m_removed.push_back(object);
        }
    }
    for (std::size_t i = firstRemoved; i < m_removed.size(); ++i) {
        ZqPObject* object = m_removed[i];
        if (object->getParent() == this)
            removeChild(object);
        object->release();
    }
    m_removed.resize(firstRemoved);
    for (std::size_t i = first; i < end; ++i)
        m_childSnapshot[i]->release();
    m_childSnapshot.resize(first);
}

void ZqPObject::reset()
{
    for (ZqComponent* component : m_components)
        component->ownerReset();
}

void ZqPObject::setState(int state)
{
    m_state = state;
    for (std::size_t i = 0; i < m_components.size(); ++i)
        m_components[i]->ownerStateChanged();
}

CCRect ZqPObject::boundingRect() const
{
    CCPoint position = getPosition();
    if (getParent() && getParent() != m_referenceNode)
        position = position + getParent()->getPosition();
    return CCRect(position.x - 50.0f, position.y - 50.0f, 100.0f, 100.0f);
}

b2AABB ZqPObject::fixtureBounds() const
{
    b2AABB bounds;
    bounds.lowerBound.SetZero();
    bounds.upperBound.SetZero();
    const b2Body* body = m_body.get();
    const b2Fixture* fixture = body ? body->GetFixtureList() : nullptr;
    if (fixture && fixture->GetShape()->GetChildCount() > 0 && body->IsEnabled())
        bounds = fixture->GetAABB(0);
    return bounds;
}

bool ZqPObject::isInVisibleArea() const
{
    const CCNode* lastTagged = nullptr;
    for (CCObject* child : *getChildren()) {
        const CCNode* node = static_cast<const CCNode*>(child);
        if (node->getTag() > 0)
            lastTagged = node;
    }
    if (lastTagged && lastTagged->isVisible())
        return true;
    if (!m_referenceNode)
        return true;
    return widenedVisibleArea(*m_referenceNode).intersectsRect(boundingRect());
}

CCRect ZqPObject::widenedVisibleArea(const CCNode& reference)
{
    const GameplayParameters* parameters = GameplayParameters::shared();
    const CCSize window = CCDirector::sharedDirector()->getWinSize();
    const CCPoint position = reference.getPosition();
    const CCPoint offset = GameplayParameters::screenContentOffset();
    const float back = parameters->backDeletionThreshold();
    const float sides = parameters->sidesDeletionThreshold();
    return CCRect(-position.x - back - offset.x, -position.y - sides - offset.y, window.width + 2.0f * back,
                  window.height + 2.0f * sides);
}

ZqComponent* ZqPObject::healthComponent() const
{
    for (ZqComponent* component : m_components) {
        const std::shared_ptr<ZqModelComponent> model = component->model();
        if (model && model->typeId() == ZqModelComponentHealth::staticTypeId())
            return component;
    }
    return nullptr;
}

void ZqPObject::reapplyComponentStates(const ZqPObject& source)
{
    // Both lists come from one model in the game; a shorter one bounds the copy.
    const std::size_t count = std::min(m_components.size(), source.m_components.size());
    for (std::size_t i = 0; i < count; ++i)
        m_components[i]->setEnabledForReplacement(source.m_components[i]->isEnabled());
}

void ZqPObject::addComponent(ZqComponent* component)
{
    if (component)
        m_components.push_back(component);
}

int ZqPObject::fieldZOrder() const
{
    const CCNode* outermost = this;
    for (const CCNode* node = getParent(); node; node = node->getParent()) {
        if (dynamic_cast<const ZqPObject*>(node)) {
            outermost = node;
            continue;
        }
        if (const ZqPAnimationObject* animation = dynamic_cast<const ZqPAnimationObject*>(node))
            return animation->zOrderInCamera();
        if (dynamic_cast<const ZqPGameFieldCamera*>(node))
            return outermost->getZOrder();
        return 0;
    }
    return 0;
}
