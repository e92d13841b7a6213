#include "screens/field/ZqFieldPowerups.h"

#include "screens/field/ZqPScreenScene.h"

#include "app/ZqPInputController.h"
#include "model/scene/ZqModelAssets.h"
#include "objects/assets/ZqPObjectAssetPowerup.h"
#include "objects/assets/ZqPObjectAssetUnit.h"
#include "objects/ZqPhysicsBody.h"

#include <algorithm>

using namespace cocos2d;

namespace {

// The magnet reaches coins this near the characters' centre (points) and pulls each a
// tenth of its distance a step, at least kMagnetMinStep points.
constexpr float kMagnetReach = 400.0f;
constexpr float kMagnetShare = 0.1f;
constexpr float kMagnetMinStep = 4.0f;

template <class Visit> void forEachPowerup(CCNode* camera, Visit visit)
{
    for (CCObject* child : *camera->getChildren()) {
        if (ZqPObjectAssetPowerup* powerup = dynamic_cast<ZqPObjectAssetPowerup*>(child))
            visit(powerup);
    }
}

// The first character not dying or removed; null when none.
ZqPObjectAsset* firstLiveCharacter()
{
    for (ZqInputCharacter* character : ZqPInputController::shared()->characterList()) {
        if (character->state() < ZqPObject::kStateDestroyed)
            return dynamic_cast<ZqPObjectAsset*>(character->node());
    }
    return nullptr;
}

} // namespace

ZqPObjectAssetPowerup* ZqFieldPowerups::findByName(const ZqPObjectAssetPowerup& newer) const
{
    ZqPObjectAssetPowerup* found = nullptr;
    forEachPowerup(m_field.camera(), [&](ZqPObjectAssetPowerup* powerup) {
        if (!found && powerup != &newer && powerup->state() == 1 && powerup->samePowerupType(newer))
            found = powerup;
    });
    return found;
}

std::vector<ZqPObjectAssetPowerup*> ZqFieldPowerups::ofType(ZqPowerupType type) const
{
    std::vector<ZqPObjectAssetPowerup*> found;
    forEachPowerup(m_field.camera(), [&](ZqPObjectAssetPowerup* powerup) {
        if (powerup->powerupType() == type)
            found.push_back(powerup);
    });
    return found;
}

void ZqFieldPowerups::killAllEnemies()
{
    // Dying enemies may take others with them: the walk goes over a copy.
    CCArray* children = CCArray::createWithArray(m_field.camera()->getChildren());
    for (CCObject* child : *children) {
        ZqPObjectAsset* object = dynamic_cast<ZqPObjectAsset*>(child);
        if (object && object->objectKind() == ZqPObjectAssetUnit::kKindEnemy && object->isVisible()
            && object->state() < ZqPObject::kStateDestroyed)
            object->setState(ZqPObject::kStateDestroyed);
    }
}

void ZqFieldPowerups::pullCoins()
{
    if (!m_magnetActive)
        return;
    const CCPoint centre = ZqPInputController::shared()->charactersCenter();
    forEachPowerup(m_field.camera(), [&](ZqPObjectAssetPowerup* powerup) {
        if (powerup->state() != ZqPObject::kStateNormal || powerup->powerupType() != kPowerupCoin)
            return;
        const CCPoint offset = centre - powerup->getPosition();
        const float distance = offset.getLength();
        if (distance > kMagnetReach || distance <= 0.0f)
            return;
        const float step = std::min(distance, std::max(distance * kMagnetShare, kMagnetMinStep));
        const CCPoint position = powerup->getPosition() + offset * (step / distance);
        powerup->setPosition(position);
        if (b2Body* body = powerup->getBody())
            body->SetTransform(b2Vec2(position.x * zqphysics::kMetresPerPoint, position.y * zqphysics::kMetresPerPoint),
                               body->GetAngle());
    });
}

void ZqFieldPowerups::grant(const std::shared_ptr<ZqModelAssetPowerup>& powerup, bool above)
{
    CCNode* camera = m_field.camera();
    if (!powerup || !camera)
        return;
    // Built directly, not by the factory: a paid power-up must not fail its appearance chance.
    const std::shared_ptr<ZqModelObjectAssetPowerup> placed = ZqModelObjectAssetPowerup::create();
    placed->setAsset(powerup);
    ZqPObjectAssetPowerup* object = new ZqPObjectAssetPowerup(placed);
    object->autorelease();
    int zOrder = placed->zDepth();
    if (ZqPObjectAsset* character = firstLiveCharacter()) {
        object->setPosition(character->getPosition());
        zOrder = character->getZOrder() + (above ? 1 : -1);
    } else {
        CCDirector* director = CCDirector::sharedDirector();
        const CCSize window = director->getWinSize();
        object->setPosition(CCPoint(window.width * 0.5f, window.height * 0.5f) - director->contentOffset()
                            - camera->getPosition());
    }
    camera->addChild(object, zOrder);
    object->setReferenceNode(camera);
    object->createBody(m_field.world(), false);
    object->setState(1);
}
