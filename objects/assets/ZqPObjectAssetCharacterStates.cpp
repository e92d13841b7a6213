// The character's animations, its gun, its state changes, death and removal, and its
// factory rule.
#include "objects/assets/ZqPObjectAssetCharacter.h"

#include "app/ZqPSettingsController.h"
#include "common/ZqLog.h"
#include "model/ZqModelController.h"
#include "model/scene/ZqModelAssets.h"
#include "model/objects/ZqModelComponentsBehaviour.h"
#include "model/objects/ZqModelObjectsUnits.h"
#include "model/scene/ZqModelMedia.h"
#include "objects/ZqGameField.h"
#include "objects/ZqPAnimationObject.h"
#include "objects/assets/ZqPObjectAssetUnit.h"
#include "model/GameplayParameters.h"

using namespace cocos2d;

namespace {

bool hasFrames(const ZqPAnimationObject* animation)
{
    return animation && animation->getChildrenCount() > 0;
}

void setShown(ZqPAnimationObject* animation, bool shown)
{
    if (animation && animation->isVisible() != shown)
        animation->setVisible(shown);
}

} // namespace

void ZqPObjectAssetCharacter::buildAnimations()
{
    std::shared_ptr<ZqModelObjectAssetCharacter> model = characterModel();
    if (!model)
        return;
    const float opacity = model->opacity(0.0f, 0);
    const int z = model->zDepth();
    auto make = [&](const std::shared_ptr<ZqModelAnimation>& animation, bool hidden) -> ZqPAnimationObject* {
        if (!animation)
            return nullptr;
        // Kept by the character (its own reference) and by the node tree.
        ZqPAnimationObject* node = ZqPAnimationObject::create(animation, nullptr, true);
        node->retain();
        addChild(node, z);
        node->setOpacityFactor(opacity);
        if (hidden)
            node->setVisible(false);
        return node;
    };
    m_defaultAnimation = make(model->defaultAnimation(), false);
    m_shootingAnimation = make(model->shootingAnimation(), true);
    std::shared_ptr<ZqModelAnimation> jump = model->jumpAnimation();
    if (jump && jump->frameCount() >= 1)
        m_jumpAnimation = make(jump, true);
    m_moveAnimation = make(model->moveAnimation(), true);
    if (m_jumpAnimation && !GameplayParameters::shared()->upForceFromGround())
        m_jumpAnimation->setFinishedCallback([this] { onJumpAnimationFinished(); });
}

void ZqPObjectAssetCharacter::buildGun(ZqPhysicsWorld* world)
{
    const std::shared_ptr<ZqModelAssetCharacter> asset = characterAsset();
    const std::shared_ptr<ZqModelAnimation> bullet = asset ? asset->bulletAnimation() : nullptr;
    if (m_gunBuilt || !bullet || bullet->frameCount() < 1)
        return;
    m_gunBuilt = true;
    // The bullet: an obstacle asset showing the bullet animation, shaped like its first frame.
    const std::shared_ptr<ZqModelAssetObstacle> obstacle = ZqModelAssetObstacle::create();
    obstacle->setName(bullet->name());
    const std::shared_ptr<ZqBaseModelObject> frame = modelKindCast<ZqModelObject>(bullet->frame(0));
    obstacle->updateCollisionShapeFromObject(frame ? frame->spriteContainer() : nullptr);
    obstacle->setIdleAnimation(bullet);
    if (const std::shared_ptr<ZqModelComponentDamage> damage = asset->firstChildOfClass<ZqModelComponentDamage>()) {
        const std::shared_ptr<ZqModelComponentDamage> copy = ZqModelComponentDamage::create();
        copy->setDamage(damage->damage());
        copy->setDamageDelay(damage->damageDelay());
        obstacle->addChild(copy);
    }
    const int z = getZOrder() - 1;
    const std::shared_ptr<ZqModelObjectAssetUnit> unit = ZqModelObjectAssetUnit::create();
    unit->setPosition(CCPointZero);
    unit->setAsset(obstacle);
    unit->setZDepth(z);
    // 1,920 points a second.
    unit->setLinearVelocity(CCPoint(60.0f, 0.0f));
    unit->setCollisionType("kNoCollision");
    unit->setDestroyType("kDestroyEnemyCollision");
    unit->setSpawnerEnabled(true);
    unit->setSpawnAction("kShootingSpawning");
    unit->setSpawnRate(0.25f);
    unit->setMovementType("kMovementLinear");
    ZqPObjectAssetUnit* gun = new ZqPObjectAssetUnit(unit);
    gun->autorelease();
    gun->setSpawnSource(true);
    // The body is made in the field's space, then the gun rides on the character.
    if (CCNode* reference = referenceNode()) {
        reference->addChild(gun, z);
        gun->setReferenceNode(reference);
    }
    gun->createBody(world, true);
    gun->setObjectType(kTypeCharacter);
    gun->retain();
    gun->removeFromParentAndCleanup(false);
    addChild(gun, z);
    gun->release();
}

ZqPObjectAssetCharacter::~ZqPObjectAssetCharacter()
{
    for (ZqPAnimationObject* animation : {m_defaultAnimation, m_shootingAnimation, m_jumpAnimation, m_moveAnimation}) {
        if (animation) {
            animation->setFinishedCallback(nullptr);
            animation->release();
        }
    }
    if (m_defeatedAnimation)
        m_defeatedAnimation->setParent(nullptr);
    m_activePowerups.clear();
    // The anchor body's wrapper goes next, before the character's body, and takes the
    // mouse joint with it.
    m_mouseJoint = nullptr;
}

void ZqPObjectAssetCharacter::onJumpAnimationFinished()
{
    if (m_jumpAnimation)
        m_jumpAnimation->setVisible(false);
    if (m_defaultAnimation)
        m_defaultAnimation->setVisible(true);
}

void ZqPObjectAssetCharacter::setState(int newState)
{
    const int current = state();
    if (newState == kStateDestroyed && !m_activePowerups.empty())
        return;
    if (current == kStateRemoved || (current == kStateDestroyed && newState != kStateRemoved))
        return;
    ZqPObjectAsset::setState(newState);
    switch (newState) {
    case kStateNormal:
        if (m_shootSound)
            m_shootSound->stopLooping();
        break;
    case kStateShooting:
        if (m_shootingAnimation)
            m_shootingAnimation->restart();
        if (m_shootSound)
            m_shootSound->play(true, false);
        break;
    case kStateJumping:
        if (m_jumpAnimation)
            m_jumpAnimation->restart();
        break;
    case kStateDestroyed:
        die();
        break;
    case kStateRemoved: {
        // The controller may hold the last reference: the character lives to the frame's end.
        retain();
        autorelease();
        ZqPInputController::shared()->removeCharacter(this);
        CCArray* children = getChildren();
        std::vector<ZqPObject*> objects;
        for (CCObject* child : children ? children->data() : std::vector<CCObject*>())
            if (auto* object = dynamic_cast<ZqPObject*>(child))
                objects.push_back(object);
        for (ZqPObject* object : objects)
            object->setState(kStateRemoved);
        break;
    }
    default:
        break;
    }
}

void ZqPObjectAssetCharacter::die()
{
    ZqPInputController::shared()->actionEnd(ZqPInputController::kShoot, nullptr);
    setMoveDirection(0.0f, 0.0f);
    std::shared_ptr<ZqModelObjectAssetCharacter> model = characterModel();
    std::shared_ptr<ZqModelAnimation> defeated = model ? model->defeatedAnimation() : nullptr;
    if (defeated && defeated->frameCount() > 0) {
        m_defeatedAnimation = ZqPAnimationObject::create(defeated, nullptr, true);
        m_defeatedAnimation->setVisible(false);
        m_defeatedAnimation->setOpacityFactor(model->opacity(0.0f, 0));
        m_defeatedAnimation->restart();
        addChild(m_defeatedAnimation, model->zDepth());
        setVisible(true);
    } else {
        deathAnimationDidEnd();
    }
    ZqGameField& field = zqCurrentField();
    field.flash(model ? model->cameraFlash() : 0.0f);
    field.shake(model ? model->cameraShake() : 0.0f);
    if (model && model->fallAttribute() > 0.0f)
        m_defeatFallPending = true;
    if (model)
        ZqSoundRegistry::shared().playOnce(model->defeatedSound(), ZqSound::kTagDeath);
    if (m_shootSound)
        m_shootSound->stopLooping();
}

void ZqPObjectAssetCharacter::deathAnimationDidEnd()
{
    debugLog("deathAnimationDidEnd --- ");
    setState(kStateRemoved);
}

ZqPAnimationObject* ZqPObjectAssetCharacter::chosenAnimation() const
{
    const bool inAir = !(m_controlBits & kOnGround);
    const bool jumpShowing = inAir && m_jumpAnimation && m_jumpAnimation->isVisible();
    switch (state()) {
    case kStateNormal:
        if (jumpShowing)
            return m_jumpAnimation;
        if ((m_controlBits & kMoving) && hasFrames(m_moveAnimation))
            return m_moveAnimation;
        if ((m_controlBits & kShooting) && hasFrames(m_shootingAnimation))
            return m_shootingAnimation;
        return m_defaultAnimation;
    case kStateMoving:
        if (jumpShowing)
            return m_jumpAnimation;
        return hasFrames(m_moveAnimation) ? m_moveAnimation : m_defaultAnimation;
    case kStateShooting:
        if (jumpShowing)
            return m_jumpAnimation;
        if (m_moveAnimation && m_moveAnimation->isVisible())
            return m_moveAnimation;
        return hasFrames(m_shootingAnimation) ? m_shootingAnimation : m_defaultAnimation;
    case kStateJumping:
        return hasFrames(m_jumpAnimation) ? m_jumpAnimation : m_defaultAnimation;
    case kStateDestroyed:
        return hasFrames(m_defeatedAnimation) ? m_defeatedAnimation : m_defaultAnimation;
    default:
        return nullptr;
    }
}

void ZqPObjectAssetCharacter::setVisible(bool visible)
{
    ZqPObjectAsset::setVisible(visible);
    ZqPAnimationObject* all[] = {m_defaultAnimation, m_shootingAnimation, m_jumpAnimation, m_moveAnimation,
                                 m_defeatedAnimation};
    if (!visible || currentStateAnimation()) {
        // Hidden, or a component's state animation stands in for the character's own.
        for (ZqPAnimationObject* animation : all)
            setShown(animation, false);
        return;
    }
    if (state() == kStateRemoved)
        return;
    ZqPAnimationObject* shown = chosenAnimation();
    for (ZqPAnimationObject* animation : all)
        setShown(animation, animation == shown);
}

ZqPObject* ZqPObjectAssetCharacter::createForModel(const std::shared_ptr<ZqModel>& model)
{
    std::shared_ptr<ZqModelObjectAssetCharacter> placed = modelCast<ZqModelObjectAssetCharacter>(model);
    if (!placed)
        return nullptr;
    const int index = ZqPSettingsController::shared()->selectedCharacter();
    std::vector<std::shared_ptr<ZqModelAssetCharacter>> characters =
        ZqModelController::shared()->modelsOfClass<ZqModelAssetCharacter>();
    ZqPObjectAssetCharacter* character = nullptr;
    if (index >= 0 && static_cast<std::size_t>(index) < characters.size()) {
        const std::shared_ptr<ZqModelAssetCharacter>& selected = characters[static_cast<std::size_t>(index)];
        const CCPoint scale = placed->scale(0.0f, 0);
        if (!selected || !selected->hasValidShape(scale.x, scale.y))
            return nullptr; // no fallback to the placed model's own asset
        std::shared_ptr<ZqModelObjectAssetCharacter> source = placed;
        if (placed->assetCharacter() != selected) {
            source = duplicateModel(placed, true, false);
            source->setAsset(selected);
        }
        // Every character owns a model of its own.
        character = new ZqPObjectAssetCharacter(ZqModelObjectAssetCharacter::create(*source));
    } else {
        if (!placed->hasValidShape())
            return nullptr;
        character = new ZqPObjectAssetCharacter(placed);
    }
    character->autorelease();
    ZqPInputController::shared()->addCharacter(character);
    debugLog("character created");
    return character;
}
