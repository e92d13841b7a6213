#include "model/scene/ZqModelAssets.h"

#include "model/GameplayParameters.h"
#include "model/ZqModelController.h"
#include "model/scene/ZqModelMedia.h"
#include "model/scene/ZqModelShapes.h"

#include <ZqNumeric.h>

using namespace cocos2d;

ZqModelAsset::ZqModelAsset(const std::string& name)
    : ZqModelCompound(name)
{
    ZQ_ATTRIBUTE_CREATE(ZQ_MODEL_ASSET_ATTRIBUTES)
}

ZqModelAsset::ZqModelAsset(const ZqModelAsset& source)
    : ZqModelCompound(source)
{
    ZQ_ATTRIBUTE_REBIND(ZQ_MODEL_ASSET_ATTRIBUTES)
}

std::shared_ptr<ZqModelPolygon> ZqModelAsset::collisionShape() const
{
    return m_collisionShape->value();
}

bool ZqModelAsset::hasValidShape(float scaleX, float scaleY) const
{
    const std::shared_ptr<ZqModelPolygon> shape = collisionShape();
    return shape && !shape->isEmpty() && shape->isValidShape(scaleX, scaleY);
}

void ZqModelAsset::updateCollisionShape(const CCSize& size, const CCPoint& offset)
{
    if (!m_collisionShape->value()) {
        // A registered asset's shape is registered with it; an asset made at run time (a
        // character's bullet, one a game) keeps its shape out of the controller, where
        // nothing would ever take it away again.
        ZqModelController* controller = ZqModelController::shared();
        const bool registered = controller->modelById(id()).get() == this;
        m_collisionShape->setValue(registered ? controller->createModel<ZqModelPolygon>() : ZqModelPolygon::create());
    }
    m_collisionShape->value()->addDefaultShape(size, offset, false);
}

void ZqModelAsset::updateCollisionShapeFromObject(const std::shared_ptr<ZqModelSpriteContainer>& container)
{
    if (container)
        updateCollisionShape(container->frameSizeAtTime(0.0f), container->shapeOffset());
}

ZqBaseModelAssetCharacter::ZqBaseModelAssetCharacter(const std::string& name)
    : ZqModelAsset(name)
{
    ZQ_ATTRIBUTE_CREATE(ZQ_MODEL_ASSET_CHARACTER_ATTRIBUTES)
}

ZqBaseModelAssetCharacter::ZqBaseModelAssetCharacter(const ZqBaseModelAssetCharacter& source)
    : ZqModelAsset(source)
{
    ZQ_ATTRIBUTE_REBIND(ZQ_MODEL_ASSET_CHARACTER_ATTRIBUTES)
}

std::shared_ptr<ZqModelSpriteContainer> ZqBaseModelAssetCharacter::spriteContainer() const
{
    return m_defaultAnimation->sourceSprite();
}

std::shared_ptr<ZqModelAnimation> ZqBaseModelAssetCharacter::defaultAnimation() const { return m_defaultAnimation->value(); }
std::shared_ptr<ZqModelAnimation> ZqBaseModelAssetCharacter::shootingAnimation() const { return m_shootingAnimation->value(); }
std::shared_ptr<ZqModelAnimation> ZqBaseModelAssetCharacter::bulletAnimation() const { return m_bulletAnimation->value(); }
std::shared_ptr<ZqModelAnimation> ZqBaseModelAssetCharacter::jumpAnimation() const { return m_jumpAnimation->value(); }
std::shared_ptr<ZqModelAnimation> ZqBaseModelAssetCharacter::moveAnimation() const { return m_moveAnimation->value(); }
std::shared_ptr<ZqModelAnimation> ZqBaseModelAssetCharacter::defeatedAnimation() const { return m_defeatedAnimation->value(); }
std::shared_ptr<ZqModelSound> ZqBaseModelAssetCharacter::jumpSound() const { return m_jumpSound->value(); }
std::shared_ptr<ZqModelSound> ZqBaseModelAssetCharacter::shootSound() const { return m_shootSound->value(); }
std::shared_ptr<ZqModelSound> ZqBaseModelAssetCharacter::defeatedSound() const { return m_defeatedSound->value(); }
std::shared_ptr<ZqModelSound> ZqBaseModelAssetCharacter::groundCollision() const { return m_groundCollision->value(); }

ZqBaseModelAssetPowerup::ZqBaseModelAssetPowerup(const std::string& name)
    : ZqModelAsset(name)
{
    ZQ_ATTRIBUTE_CREATE(ZQ_MODEL_ASSET_POWERUP_ATTRIBUTES)
    m_groundThreshold->setAllowEmpty(true);
    m_groundThreshold->setEmpty(true);
}

ZqBaseModelAssetPowerup::ZqBaseModelAssetPowerup(const ZqBaseModelAssetPowerup& source)
    : ZqModelAsset(source)
{
    ZQ_ATTRIBUTE_REBIND(ZQ_MODEL_ASSET_POWERUP_ATTRIBUTES)
}

std::shared_ptr<ZqModelSpriteContainer> ZqBaseModelAssetPowerup::spriteContainer() const
{
    return m_idleAnimation->sourceSprite();
}

void ZqBaseModelAssetPowerup::applyGameplayOverrides() const
{
    applyGameplayOverrides(*GameplayParameters::shared());
}

void ZqBaseModelAssetPowerup::applyGameplayOverrides(GameplayParameters& parameters) const
{
    parameters.saveToDictionary();
    parameters.loadFromPowerup(*this);
}

std::shared_ptr<ZqModelAnimation> ZqBaseModelAssetPowerup::idleAnimation() const { return m_idleAnimation->value(); }
std::shared_ptr<ZqModelAnimation> ZqBaseModelAssetPowerup::startAnimation() const { return m_startAnimation->value(); }
std::shared_ptr<ZqModelSound> ZqBaseModelAssetPowerup::idleSound() const { return m_idleSound->value(); }
std::shared_ptr<ZqModelSound> ZqBaseModelAssetPowerup::startSound() const { return m_startSound->value(); }
std::shared_ptr<ZqModelSound> ZqBaseModelAssetPowerup::endSound() const { return m_endSound->value(); }
int ZqBaseModelAssetPowerup::rewardCoins() const { return zqSaturatingInt(m_rewardCoins->value()); }
int ZqBaseModelAssetPowerup::rewardPoints() const { return zqSaturatingInt(m_rewardPoints->value()); }
int ZqBaseModelAssetPowerup::appearanceChance() const { return zqSaturatingInt(m_appearanceChance->value()); }

ZqModelObjectAsset::ZqModelObjectAsset(const std::string& name)
    : ZqModelObject(name)
{
    ZQ_ATTRIBUTE_CREATE(ZQ_MODEL_OBJECT_ASSET_ATTRIBUTES)
}

ZqModelObjectAsset::ZqModelObjectAsset(const ZqModelObjectAsset& source)
    : ZqModelObject(source)
{
    ZQ_ATTRIBUTE_REBIND(ZQ_MODEL_OBJECT_ASSET_ATTRIBUTES)
}

std::shared_ptr<ZqModelAsset> ZqModelObjectAsset::asset() const
{
    return m_asset->value();
}

std::shared_ptr<ZqModelSpriteContainer> ZqModelObjectAsset::spriteContainer() const
{
    const std::shared_ptr<ZqModelAsset> held = asset();
    return held ? held->spriteContainer() : nullptr;
}

std::shared_ptr<ZqModelPolygon> ZqModelObjectAsset::collisionShape() const
{
    const std::shared_ptr<ZqModelAsset> held = asset();
    return held ? held->collisionShape() : nullptr;
}

bool ZqModelObjectAsset::hasValidShape() const
{
    const std::shared_ptr<ZqModelAsset> held = asset();
    if (!held)
        return false;
    const CCPoint objectScale = scale(0.0f, 0);
    return held->hasValidShape(objectScale.x, objectScale.y);
}

namespace {

// The forwarding getters: the asset's answer, or the empty value of its type when the
// object has no asset of the expected class.
template <class Asset, class Getter>
auto forward(const std::shared_ptr<Asset>& asset, Getter getter) -> std::decay_t<decltype(((*asset).*getter)())>
{
    if (!asset)
        return {};
    return ((*asset).*getter)();
}

} // namespace

std::shared_ptr<ZqModelAssetCharacter> ZqModelObjectAssetCharacter::assetCharacter() const
{
    return modelCast<ZqModelAssetCharacter>(std::shared_ptr<ZqModel>(asset()));
}

std::shared_ptr<ZqModelAnimation> ZqModelObjectAssetCharacter::defaultAnimation() const { return forward(assetCharacter(), &ZqModelAssetCharacter::defaultAnimation); }
std::shared_ptr<ZqModelAnimation> ZqModelObjectAssetCharacter::shootingAnimation() const { return forward(assetCharacter(), &ZqModelAssetCharacter::shootingAnimation); }
std::shared_ptr<ZqModelAnimation> ZqModelObjectAssetCharacter::bulletAnimation() const { return forward(assetCharacter(), &ZqModelAssetCharacter::bulletAnimation); }
std::shared_ptr<ZqModelAnimation> ZqModelObjectAssetCharacter::jumpAnimation() const { return forward(assetCharacter(), &ZqModelAssetCharacter::jumpAnimation); }
std::shared_ptr<ZqModelAnimation> ZqModelObjectAssetCharacter::moveAnimation() const { return forward(assetCharacter(), &ZqModelAssetCharacter::moveAnimation); }
std::shared_ptr<ZqModelAnimation> ZqModelObjectAssetCharacter::defeatedAnimation() const { return forward(assetCharacter(), &ZqModelAssetCharacter::defeatedAnimation); }
std::shared_ptr<ZqModelSound> ZqModelObjectAssetCharacter::groundCollision() const { return forward(assetCharacter(), &ZqModelAssetCharacter::groundCollision); }
std::shared_ptr<ZqModelSound> ZqModelObjectAssetCharacter::jumpSound() const { return forward(assetCharacter(), &ZqModelAssetCharacter::jumpSound); }
std::shared_ptr<ZqModelSound> ZqModelObjectAssetCharacter::shootSound() const { return forward(assetCharacter(), &ZqModelAssetCharacter::shootSound); }
std::shared_ptr<ZqModelSound> ZqModelObjectAssetCharacter::defeatedSound() const { return forward(assetCharacter(), &ZqModelAssetCharacter::defeatedSound); }
float ZqModelObjectAssetCharacter::cameraShake() const { return forward(assetCharacter(), &ZqModelAssetCharacter::cameraShake); }
float ZqModelObjectAssetCharacter::cameraFlash() const { return forward(assetCharacter(), &ZqModelAssetCharacter::cameraFlash); }
float ZqModelObjectAssetCharacter::fallAttribute() const { return forward(assetCharacter(), &ZqModelAssetCharacter::fallAttribute); }
bool ZqModelObjectAssetCharacter::isCastShadow() const { return forward(assetCharacter(), &ZqModelAssetCharacter::isCastShadow); }
bool ZqModelObjectAssetCharacter::isAutoTilt() const { return forward(assetCharacter(), &ZqModelAssetCharacter::isAutoTilt); }

std::shared_ptr<ZqModelAssetPowerup> ZqModelObjectAssetPowerup::assetPowerup() const
{
    return modelCast<ZqModelAssetPowerup>(std::shared_ptr<ZqModel>(asset()));
}

std::shared_ptr<ZqModelSound> ZqModelObjectAssetPowerup::idleSound() const { return forward(assetPowerup(), &ZqModelAssetPowerup::idleSound); }
std::shared_ptr<ZqModelAnimation> ZqModelObjectAssetPowerup::idleAnimation() const { return forward(assetPowerup(), &ZqModelAssetPowerup::idleAnimation); }
std::shared_ptr<ZqModelAnimation> ZqModelObjectAssetPowerup::startAnimation() const { return forward(assetPowerup(), &ZqModelAssetPowerup::startAnimation); }
std::shared_ptr<ZqModelSound> ZqModelObjectAssetPowerup::startSound() const { return forward(assetPowerup(), &ZqModelAssetPowerup::startSound); }
std::shared_ptr<ZqModelSound> ZqModelObjectAssetPowerup::endSound() const { return forward(assetPowerup(), &ZqModelAssetPowerup::endSound); }
int ZqModelObjectAssetPowerup::rewardCoins() const { return forward(assetPowerup(), &ZqModelAssetPowerup::rewardCoins); }
int ZqModelObjectAssetPowerup::rewardPoints() const { return forward(assetPowerup(), &ZqModelAssetPowerup::rewardPoints); }
bool ZqModelObjectAssetPowerup::showCoinReward() const { return forward(assetPowerup(), &ZqModelAssetPowerup::showCoinReward); }
bool ZqModelObjectAssetPowerup::showPointsReward() const { return forward(assetPowerup(), &ZqModelAssetPowerup::showPointsReward); }
int ZqModelObjectAssetPowerup::appearanceChance() const { return forward(assetPowerup(), &ZqModelAssetPowerup::appearanceChance); }
ZqPowerupType ZqModelObjectAssetPowerup::powerupType() const
{
    const std::shared_ptr<ZqModelAssetPowerup> asset = assetPowerup();
    return asset ? asset->powerupType() : kPowerupOther;
}
bool ZqModelObjectAssetPowerup::samePowerupType(const ZqModelObjectAssetPowerup& other) const
{
    const std::shared_ptr<ZqModelAssetPowerup> mine = assetPowerup();
    const std::shared_ptr<ZqModelAssetPowerup> theirs = other.assetPowerup();
    if (mine && theirs)
        return mine->samePowerupType(*theirs);
    const std::shared_ptr<ZqModelAssetPowerup>& one = mine ? mine : theirs;
    return !one || one->m_powerupType->value().empty();
}
float ZqModelObjectAssetPowerup::cameraShake() const { return forward(assetPowerup(), &ZqModelAssetPowerup::cameraShake); }
float ZqModelObjectAssetPowerup::cameraFlash() const { return forward(assetPowerup(), &ZqModelAssetPowerup::cameraFlash); }
float ZqModelObjectAssetPowerup::duration() const { return forward(assetPowerup(), &ZqModelAssetPowerup::duration); }
ZqPowerupPlacement ZqModelObjectAssetPowerup::animationPlacement() const
{
    const std::shared_ptr<ZqModelAssetPowerup> asset = assetPowerup();
    return asset ? asset->animationPlacement() : kPowerupPlacementOther;
}

ZqPowerupBehaviour ZqModelObjectAssetPowerup::animationBehaviour() const
{
    const std::shared_ptr<ZqModelAssetPowerup> asset = assetPowerup();
    return asset ? asset->animationBehaviour() : kPowerupBehaviourOther;
}
