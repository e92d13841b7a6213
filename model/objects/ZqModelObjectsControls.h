#pragma once

#include "attributes/ZqAttributeFundamental.h"
#include "attributes/ZqAttributeValue.h"
#include "model/ZqAttributeModel.h"
#include "model/ZqAttributeTable.h"
#include "model/ZqDataTokens.h"
#include "model/ZqStartMode.h"
#include "model/ZqModelRegistry.h"
#include "model/scene/ZqModelObject.h"
#include "cocos2d.h"

#include <memory>
#include <string>

class ZqModelAnimation;
class ZqModelSound;

// Input and interface objects: manipulator, accelerometer, swipe control, character
// selector, event observer and loading bar. Each shows as a 60 x 60 marker.

#define ZQ_MODEL_OBJECT_MANIPULATOR_ATTRIBUTES(A, V)                                               \
    V(ZqAttributeFloat,      m_sensitivity,  "Sensitivity",   0.0f)                                \
    V(ZqAttributeControlStyle, m_controlStyle, "Control Style", "")

// A drag control that moves the character.
class ZqModelObjectManipulator : public ZqModelObject {
public:
    explicit ZqModelObjectManipulator(const std::string& name);
    ZqModelObjectManipulator(const ZqModelObjectManipulator& source);
    ZQ_MODEL_IDENTITY(ZqModelObjectManipulator, ZqModelObject)
    ZQ_MODEL_FACTORY(ZqModelObjectManipulator)

    cocos2d::CCSize contentSize(float time) const override { return cocos2d::CCSize(60.0f, 60.0f); }

    float sensitivity() const { return m_sensitivity->value(); }
    // kControlStyleAbsolute, else relative.
    ZqControlStyle controlStyle() const { return m_controlStyle->code(); }

    ZQ_ATTRIBUTE_MEMBERS(ZQ_MODEL_OBJECT_MANIPULATOR_ATTRIBUTES)
};

#define ZQ_MODEL_OBJECT_ACCELEROMETER_ATTRIBUTES(A, V)                                             \
    V(ZqAttributeControlType, m_controlType, "Control Type", "")                                   \
    V(ZqAttributeActiveAxes,  m_activeAxes,  "Active Axes",  "")

// A tilt control: the device's tilt moves or leans the character.
class ZqModelObjectAccelerometer : public ZqModelObjectManipulator {
public:
    explicit ZqModelObjectAccelerometer(const std::string& name);
    ZqModelObjectAccelerometer(const ZqModelObjectAccelerometer& source);
    ZQ_MODEL_IDENTITY(ZqModelObjectAccelerometer, ZqModelObjectManipulator)
    ZQ_MODEL_FACTORY(ZqModelObjectAccelerometer)

    // kControlTypeMove, else tilt.
    ZqControlType controlType() const { return m_controlType->code(); }
    // kActiveAxeX, kActiveAxeY, else both.
    ZqActiveAxes activeAxes() const { return m_activeAxes->code(); }

    ZQ_ATTRIBUTE_MEMBERS(ZQ_MODEL_OBJECT_ACCELEROMETER_ATTRIBUTES)
};

// A swipe area: its position and scale only.
class ZqModelObjectSwipeControl : public ZqModelObject {
public:
    using ZqModelObject::ZqModelObject;
    ZqModelObjectSwipeControl(const ZqModelObjectSwipeControl& source) : ZqModelObject(source) {}
    ZQ_MODEL_IDENTITY(ZqModelObjectSwipeControl, ZqModelObject)
    ZQ_MODEL_FACTORY(ZqModelObjectSwipeControl)

    cocos2d::CCSize contentSize(float time) const override { return cocos2d::CCSize(60.0f, 60.0f); }
};

// Spacing and spread in points.
#define ZQ_MODEL_OBJECT_CHARACTER_SELECTOR_ATTRIBUTES(A, V)                                        \
    V(ZqAttributeBool,      m_labelVisibility,      "Label Visibility",       true)                \
    V(ZqAttributeFloat,     m_labelVerticalSpacing, "Label Vertical Spacing", 100.0f)              \
    V(ZqAttributeString,    m_labelName,            "Label Name",             "")                  \
    V(ZqAttributeAnimation, m_unlockButton,         "Unlock Button",          nullptr)             \
    V(ZqAttributeSound,     m_unlockYes,            "Unlock Yes",             nullptr)             \
    V(ZqAttributeSound,     m_unlockNo,             "Unlock No",              nullptr)             \
    V(ZqAttributeAnimation, m_unlockSuggestion,     "Unlock Suggestion",      nullptr)             \
    V(ZqAttributeFloat,     m_spread,               "Spread",                 100.0f)

// A carousel of the game's characters with their names and the unlock prompt.
class ZqBaseModelObjectCharacterSelector : public ZqModelObject {
public:
    explicit ZqBaseModelObjectCharacterSelector(const std::string& name);
    ZqBaseModelObjectCharacterSelector(const ZqBaseModelObjectCharacterSelector& source);

    cocos2d::CCSize contentSize(float time) const override { return cocos2d::CCSize(60.0f, 60.0f); }

    bool labelVisibility() const { return m_labelVisibility->value(); }
    float labelVerticalSpacing() const { return m_labelVerticalSpacing->value(); }
    // The id of the font model, as text.
    const std::string& labelName() const { return m_labelName->value(); }
    std::shared_ptr<ZqModelAnimation> unlockButton() const;
    std::shared_ptr<ZqModelAnimation> unlockSuggestion() const;
    std::shared_ptr<ZqModelSound> unlockYes() const;
    std::shared_ptr<ZqModelSound> unlockNo() const;
    float spread() const { return m_spread->value(); }

    ZQ_ATTRIBUTE_MEMBERS(ZQ_MODEL_OBJECT_CHARACTER_SELECTOR_ATTRIBUTES)
};

class ZqModelObjectCharacterSelector : public ZqBaseModelObjectCharacterSelector {
public:
    using ZqBaseModelObjectCharacterSelector::ZqBaseModelObjectCharacterSelector;
    ZQ_MODEL_IDENTITY(ZqModelObjectCharacterSelector, ZqModelObject)
    ZQ_MODEL_FACTORY(ZqModelObjectCharacterSelector)
};

// "Time" in milliseconds.
#define ZQ_MODEL_OBJECT_EVENT_OBSERVER_ATTRIBUTES(A, V)                                            \
    V(ZqAttributeObserverEvent, m_eventType,        "Event Type",            "")                   \
    V(ZqAttributeFloat,      m_limitNumber,         "Limit Number",          0.0f)                 \
    V(ZqAttributeFloat,      m_playsBeforeRedirect, "Plays Before Redirect", 0.0f)                 \
    V(ZqAttributeUInt,       m_time,                "Time",                  0u)                   \
    V(ZqAttributeStartFunction, m_function,         "Function",              "")                   \
    V(ZqAttributeBool,       m_pauseCurrentWorld,   "Pause Current World",   false)

// Watches for a game event (game over, a score reached, a timeout) and opens its screen.
class ZqBaseModelObjectEventObserver : public ZqModelObject {
public:
    explicit ZqBaseModelObjectEventObserver(const std::string& name);
    ZqBaseModelObjectEventObserver(const ZqBaseModelObjectEventObserver& source);

    cocos2d::CCSize contentSize(float time) const override { return cocos2d::CCSize(60.0f, 60.0f); }

    ZqObserverEvent eventType() const { return m_eventType->code(); }
    float limitNumber() const { return m_limitNumber->value(); }
    float playsBeforeRedirect() const { return m_playsBeforeRedirect->value(); }
    unsigned time() const { return m_time->value(); }
    // The start "Function" asks of the next game.
    ZqStartFunction function() const { return m_function->code(); }
    bool pauseCurrentWorld() const { return m_pauseCurrentWorld->value(); }

    ZQ_ATTRIBUTE_MEMBERS(ZQ_MODEL_OBJECT_EVENT_OBSERVER_ATTRIBUTES)
};

class ZqModelObjectEventObserver : public ZqBaseModelObjectEventObserver {
public:
    using ZqBaseModelObjectEventObserver::ZqBaseModelObjectEventObserver;
    ZQ_MODEL_IDENTITY(ZqModelObjectEventObserver, ZqModelObject)
    ZQ_MODEL_FACTORY(ZqModelObjectEventObserver)
};

// The progress bar of the loading screen: placement only.
class ZqModelObjectLoadingBar : public ZqModelObject {
public:
    using ZqModelObject::ZqModelObject;
    ZqModelObjectLoadingBar(const ZqModelObjectLoadingBar& source) : ZqModelObject(source) {}
    ZQ_MODEL_IDENTITY(ZqModelObjectLoadingBar, ZqModelObject)
    ZQ_MODEL_FACTORY(ZqModelObjectLoadingBar)

    cocos2d::CCSize contentSize(float time) const override { return cocos2d::CCSize(60.0f, 60.0f); }
};
