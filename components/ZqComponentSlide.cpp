#include "components/ZqComponentSlide.h"

#include "app/ZqPInputController.h"
#include "model/objects/ZqModelComponentsBehaviour.h"
#include "model/scene/ZqModelMedia.h"
#include "model/scene/ZqModelObject.h"
#include "model/scene/ZqModelShapes.h"
#include "objects/ZqPAnimationObject.h"
#include "objects/assets/ZqPObjectAsset.h"
#include "objects/ZqPhysicsBody.h"

namespace {

// The slide's picture stands in for the owner's own look as a state animation of the iso
// jump's rank: shown in place of the owner's animations, under a damage or power-up look.
// Its entry has no shape: the slide swaps the fixture itself.
constexpr int kPriority = 2;

bool isGone(const ZqPObject* object)
{
    return object->state() == ZqPObject::kStateDestroyed || object->state() == ZqPObject::kStateRemoved;
}

bool hasFixture(b2Body* body, const b2Fixture* fixture)
{
    for (b2Fixture* item = body->GetFixtureList(); item; item = item->GetNext()) {
        if (item == fixture)
            return true;
    }
    return false;
}

} // namespace

ZqComponentSlide::~ZqComponentSlide()
{
    ZqPInputController::unsubscribeFromShared(this);
    CC_SAFE_RELEASE(m_animation);
}

const ZqModelComponentSlide& ZqComponentSlide::slideModel() const
{
    return static_cast<const ZqModelComponentSlide&>(*model());
}

void ZqComponentSlide::setModel(const std::shared_ptr<ZqModelComponent>& model)
{
    ZqComponent::setModel(model);
    const ZqModelComponentSlide& slide = slideModel();
    if (slide.event() == kComponentOnButton) {
        ZqPInputController* input = ZqPInputController::shared();
        input->subscribe(ZqPInputController::kControlPressed, this, callfuncO_selector(ZqComponentSlide::start), 0);
        input->subscribe(ZqPInputController::kControlReleased, this, callfuncO_selector(ZqComponentSlide::end), 0);
    }
    if (slide.sound())
        m_sound = ZqSoundHandle(slide.sound(), ZqSound::kTagField);
}

void ZqComponentSlide::setOwner(ZqPObject* owner)
{
    ZqComponent::setOwner(owner);
    const auto animation = slideModel().animation();
    if (!animation || !owner)
        return;
    m_animation = ZqPAnimationObject::create(animation, owner, true);
    m_animation->setZOrder(owner->getZOrder());
    owner->addChild(m_animation);
    m_animation->retain();
    m_animation->setVisible(false);
}

b2Fixture* ZqComponentSlide::addFixture(const ZqModelPolygon& shape, bool ownFilter)
{
    ZqPObject* self = owner();
    auto* asset = ownFilter ? dynamic_cast<ZqPObjectAsset*>(self) : nullptr;
    const ZqFixtureDefinition fixture =
        asset ? asset->shapeFixture(shape) : shape.fixtureDef(self->getScaleX(), self->getScaleY());
    return zqAddFixture(self->getBody(), fixture.def, self);
}

void ZqComponentSlide::start(cocos2d::CCObject*)
{
    ZqPObject* self = owner();
    if (!self || isGone(self))
        return;
    m_held = true;
    if (!self->isMovementActive())
        return;
    setEnabled(true);
    self->setMovementActive(false);
    if (auto* asset = dynamic_cast<ZqPObjectAsset*>(self); asset && m_animation)
        asset->addStateAnimation(kPriority, m_animation, nullptr);
    // Re-applied rather than forced: hiding a fired unit would remove it.
    self->setVisible(self->isVisible());
    b2Body* body = self->getBody();
    if (!body || body->GetWorld()->IsLocked())
        return;
    if (b2Fixture* first = body->GetFixtureList())
        body->DestroyFixture(first);
    if (const auto shape = slideModel().collisionShape()) {
        m_slideFixture = addFixture(*shape, false);
        if (m_sound)
            m_sound->play(false, false);
    }
}

void ZqComponentSlide::end(cocos2d::CCObject*)
{
    m_held = false;
    ZqPObject* self = owner();
    if (!self || !isEnabled())
        return;
    setEnabled(false);
    self->setMovementActive(true);
    self->setVisible(self->isVisible());
    b2Body* body = self->getBody();
    // A state-animation shape swap or a turn of the owner may have replaced the slide
    // fixture meanwhile: only a fixture still on the body is destroyed.
    if (body && m_slideFixture && !body->GetWorld()->IsLocked() && hasFixture(body, m_slideFixture))
        body->DestroyFixture(m_slideFixture);
    m_slideFixture = nullptr;
    // The owner's own shape comes back with the owner's filter: a character passes through
    // other characters again, as before the slide.
    const auto object = modelKindCast<ZqModelObject>(self->model());
    if (const auto shape = object ? object->collisionShape() : nullptr; shape && body)
        addFixture(*shape, true);
    if (m_sound)
        m_sound->stop();
    standDown(*self);
}

void ZqComponentSlide::standDown(ZqPObject& owner)
{
    // Taken out last: as the table's current entry, its removal rebuilds the owner's own
    // fixture, which must then be the only one.
    if (auto* asset = dynamic_cast<ZqPObjectAsset*>(&owner); asset && m_animation)
        asset->removeStateAnimation(kPriority, m_animation, nullptr);
    if (m_animation)
        m_animation->setVisible(false);
}

void ZqComponentSlide::update(float)
{
    ZqPObject* self = owner();
    if (!self)
        return;
    // An asset owner's state-animation table shows and hides the slide picture.
    if (m_animation && !dynamic_cast<ZqPObjectAsset*>(self))
        m_animation->setVisible(isEnabled());
    if (!isEnabled() && self->isMovementActive() && m_held)
        start();
}

void ZqComponentSlide::ownerStateChanged()
{
    ZqPObject* self = owner();
    if (!self || !isGone(self))
        return;
    if (isEnabled()) {
        m_held = false;
        setEnabled(false);
        // The owner's own animations (a defeated one) show again.
        standDown(*self);
    }
    if (m_sound)
        m_sound->stop();
}
