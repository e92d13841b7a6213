#include "screens/field/ZqFieldTeleports.h"

#include "screens/field/ZqPScreenScene.h"

#include "objects/assets/ZqPObjectAssetCharacter.h"
#include "objects/assets/ZqPObjectAssetTriggers.h"
#include "objects/ZqPhysicsBody.h"

using namespace cocos2d;

std::vector<ZqPObjectAssetTeleport*> ZqFieldTeleports::find(float group) const
{
    std::vector<ZqPObjectAssetTeleport*> teleports;
    for (CCObject* child : *m_field.camera()->getChildren()) {
        ZqPObjectAssetTeleport* teleport = dynamic_cast<ZqPObjectAssetTeleport*>(child);
        if (teleport && teleport->groupId() == group)
            teleports.push_back(teleport);
    }
    return teleports;
}

void ZqFieldTeleports::queue(ZqPObjectAsset* object, ZqPObjectAssetTeleport* destination)
{
    if (!object || !destination)
        return;
    m_queue.push_back(Request{zqRetain(object), zqRetain(destination)});
}

void ZqFieldTeleports::transfer()
{
    // Taken out first: an arrival may queue again, for the next step.
    std::vector<Request> queue;
    queue.swap(m_queue);
    const cocos2d::CCNode* camera = m_field.camera();
    for (const Request& request : queue) {
        ZqPObjectAsset* object = static_cast<ZqPObjectAsset*>(request.object.get());
        ZqPObjectAssetTeleport* destination = static_cast<ZqPObjectAssetTeleport*>(request.destination.get());
        // Nothing will arrive: the destination must not wait for it.
        if (object->state() == ZqPObject::kStateRemoved || object->getParent() != camera) {
            destination->setMovementActive(true);
            continue;
        }
        // A destination taken off the field leads nowhere.
        if (destination->getParent() != camera)
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
