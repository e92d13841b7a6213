// The field's teleport queue and screen jumps.
#include "screens/field/ZqPScreenScene.h"

#include "objects/assets/ZqPObjectAssetCharacter.h"
#include "objects/assets/ZqPObjectAssetTriggers.h"
#include "objects/ZqPhysicsBody.h"
#include "screens/ZqPScreenNavigator.h"
#include "screens/ZqPScreenUi.h"

using namespace cocos2d;

std::vector<ZqPObjectAssetTeleport*> ZqPScreenScene::findTeleports(float group) const
{
    std::vector<ZqPObjectAssetTeleport*> teleports;
    for (CCObject* child : *m_camera->getChildren()) {
        ZqPObjectAssetTeleport* teleport = dynamic_cast<ZqPObjectAssetTeleport*>(child);
        if (teleport && teleport->groupId() == group)
            teleports.push_back(teleport);
    }
    return teleports;
}

void ZqPScreenScene::queueTeleport(ZqPObjectAsset* object, ZqPObjectAssetTeleport* destination)
{
    if (!object || !destination)
        return;
    object->retain();
    destination->retain();
    m_teleportQueue.push_back(TeleportRequest{Held(object), Held(destination)});
}

void ZqPScreenScene::transferTeleports()
{
    // Taken out first: an arrival may queue again, for the next step.
    std::vector<TeleportRequest> queue;
    queue.swap(m_teleportQueue);
    for (const TeleportRequest& request : queue) {
        ZqPObjectAsset* object = static_cast<ZqPObjectAsset*>(request.object.get());
        ZqPObjectAssetTeleport* destination = static_cast<ZqPObjectAssetTeleport*>(request.destination.get());
        // Nothing will arrive: the destination must not wait for it.
        if (object->state() == ZqPObject::kStateRemoved || object->getParent() != m_camera) {
            destination->setMovementActive(true);
            continue;
        }
        // A destination taken off the field leads nowhere.
        if (destination->getParent() != m_camera)
            continue;
        const CCPoint& target = destination->getPosition();
        if (ZqPObjectAssetCharacter* character = dynamic_cast<ZqPObjectAssetCharacter*>(object)) {
            character->teleportTo(target.x, target.y);
        } else {
            object->setPosition(target);
            if (b2Body* body = object->getBody())
                body->SetTransform(b2Vec2(target.x * zqphysics::kMetresPerPoint, target.y * zqphysics::kMetresPerPoint),
                                   body->GetAngle());
        }
        destination->receive(object);
    }
}

void ZqPScreenScene::requestScreenJump(const std::string& key, bool pause, int startMode, int /*flag*/)
{
    ZqPScreenNavigator* navigator = ZqPScreenNavigator::shared();
    if (ZqPScreenUi* ui = navigator->currentUiScreen()) {
        // Pause mode 0 asks the field to pause, 1 to run.
        if (ui->actionState() != kActionWaiting)
            ui->queueLinkedScreenSwitch(key, navigator->sceneDestination(), startMode, pause ? 0 : 1, 0);
        return;
    }
    if (!navigator->switchToScreen(key, true, 0))
        return;
    // The container is built first: until then the navigator's field is this one. As the
    // overlay's switch does, mode 0 lets the new field start at its checkpoint.
    CCScene* container = navigator->sceneContainer();
    if (ZqPScreenScene* next = navigator->currentGameScene(); next && next != this && startMode != 0)
        next->restart(startMode);
    presentContainer(container);
}
