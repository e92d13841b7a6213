#pragma once

#include "attributes/ZqAttributeValue.h"
#include "model/ZqAttributeTable.h"
#include "model/ZqModelRegistry.h"
#include "model/scene/ZqModelObject.h"
#include "cocos2d.h"

#include <string>

#define ZQ_MODEL_OBJECT_UNLOCKER_ATTRIBUTES(A, V)                                                  \
    V(ZqAttributeStringList, m_unlockType, "Unlock Type", "")                                      \
    V(ZqAttributeStringList, m_object,     "Object",      "")

// Placed on an interface screen, it unlocks something each time the screen is built:
// "kButtonUnlock" clears the purchase flag of the button named by "Object" (or of the lock
// buttons leading to the current or next destination: "kUnlockCurrent", "kUnlockNext");
// "kCharacterUnlock" unlocks the characters named by "Object" in the saved progress.
class ZqBaseModelObjectUnlocker : public ZqModelObject {
public:
    explicit ZqBaseModelObjectUnlocker(const std::string& name);
    ZqBaseModelObjectUnlocker(const ZqBaseModelObjectUnlocker& source);

    const std::string& unlockType() const { return m_unlockType->value(); }
    const std::string& object() const { return m_object->value(); }
    // 60 x 60 whatever the time.
    cocos2d::CCSize contentSize(float time) const override;

    // Sets purchase flags to false (through model/ZqGameQuestions.h).
    void applyButtonUnlock() const;
    // Unlocks every character asset of that name by its index among the controller's
    // characters and saves the progress once per match.
    void applyCharacterUnlock() const;

    ZQ_ATTRIBUTE_MEMBERS(ZQ_MODEL_OBJECT_UNLOCKER_ATTRIBUTES)
};

class ZqModelObjectUnlocker : public ZqBaseModelObjectUnlocker {
public:
    using ZqBaseModelObjectUnlocker::ZqBaseModelObjectUnlocker;
    ZQ_MODEL_IDENTITY(ZqModelObjectUnlocker, ZqModelObject)
    ZQ_MODEL_FACTORY(ZqModelObjectUnlocker)
};
