#include "model/scene/ZqModelUnlocker.h"

#include "model/ZqGameQuestions.h"
#include "model/ZqModelController.h"
#include "model/objects/ZqModelObjectButtons.h"
#include "model/scene/ZqModelAssets.h"

ZqBaseModelObjectUnlocker::ZqBaseModelObjectUnlocker(const std::string& name)
    : ZqModelObject(name)
{
    ZQ_ATTRIBUTE_CREATE(ZQ_MODEL_OBJECT_UNLOCKER_ATTRIBUTES)
}

ZqBaseModelObjectUnlocker::ZqBaseModelObjectUnlocker(const ZqBaseModelObjectUnlocker& source)
    : ZqModelObject(source)
{
    ZQ_ATTRIBUTE_REBIND(ZQ_MODEL_OBJECT_UNLOCKER_ATTRIBUTES)
}

cocos2d::CCSize ZqBaseModelObjectUnlocker::contentSize(float) const
{
    return cocos2d::CCSize(60.0f, 60.0f);
}

void ZqBaseModelObjectUnlocker::applyButtonUnlock() const
{
    if (unlockType() != "kButtonUnlock" || object().empty())
        return;
    if (object() != "kUnlockNext" && object() != "kUnlockCurrent") {
        zqProgress().setPurchasedItemFlag(object(), false);
        return;
    }
    ZqNavigationQuestions& navigation = zqNavigation();
    int destination = navigation.sceneDestination();
    if (object() == "kUnlockNext")
        destination = navigation.nextDestination(destination);
    // Compared as text: "03" does not name destination 3.
    const std::string scene = std::to_string(destination);
    for (const std::shared_ptr<ZqModelObjectLockButton>& lock :
         ZqModelController::shared()->modelsOfClass<ZqModelObjectLockButton>()) {
        if (lock->destination() == kDestinationScene && lock->scene() == scene)
            zqProgress().setPurchasedItemFlag(lock->name(), false);
    }
}

void ZqBaseModelObjectUnlocker::applyCharacterUnlock() const
{
    if (unlockType() != "kCharacterUnlock" || object().empty())
        return;
    const std::vector<std::shared_ptr<ZqModelAssetCharacter>> characters =
        ZqModelController::shared()->modelsOfClass<ZqModelAssetCharacter>();
    for (std::size_t i = 0; i < characters.size(); ++i) {
        if (characters[i]->name() == object())
            zqProgress().unlockCharacter(static_cast<int>(i));
    }
}
