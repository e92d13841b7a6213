#pragma once

#include "attributes/ZqAttributeFundamental.h"
#include "attributes/ZqAttributePoint.h"
#include "attributes/ZqAttributeValue.h"
#include "model/ZqAttributeModel.h"
#include "model/ZqAttributeSprite.h"
#include "model/ZqAttributeTable.h"
#include "model/ZqDataTokens.h"
#include "model/ZqModelRegistry.h"
#include "model/scene/ZqModelObject.h"
#include "cocos2d.h"

#include <memory>
#include <string>

class ZqModelSound;
class ZqModelSpriteContainer;

// "Image Selected" is not in the table: it is inserted right after "Image".
#define ZQ_MODEL_OBJECT_BUTTON_ATTRIBUTES(A, V)                                                    \
    V(ZqAttributeButtonAction, m_action,       "Action",          "")                              \
    V(ZqAttributeFloat,      m_interval,       "Interval",        0.0f)                            \
    V(ZqAttributeStringList, m_backTo,         "Back To",         "")                              \
    V(ZqAttributeStringList, m_backToWorld,    "Back To World",   "")                              \
    V(ZqAttributeSound,      m_clickSound,     "Click Sound",     nullptr)                         \
    V(ZqAttributeSound,      m_releaseSound,   "Release Sound",   nullptr)                         \
    V(ZqAttributeBool,       m_blockTouch,     "Block Touch",     true)                            \
    V(ZqAttributeKey,        m_keyboardKey,    "Keyboard Key",    0)                               \
    A(ZqAttributeFloat,      m_touchEmulation, "Touch Emulation", 0.0f, -1.0f, 1.0f)

// An image that reacts to touches and keys: an action token the screen interprets, click
// and release sounds, a keyboard key (editor key code), a repeat interval counted in
// presses and the "back to" targets of navigation buttons.
class ZqBaseModelObjectButton : public ZqModelObjectImage {
public:
    explicit ZqBaseModelObjectButton(const std::string& name);
    // Re-binds the attributes; the press counter and hold flag start over.
    ZqBaseModelObjectButton(const ZqBaseModelObjectButton& source);

    // "Action" as its text (named "Powerup Selection" on power-up and purchase buttons,
    // where it holds the power-up's id).
    const std::string& action() const { return m_action->value(); }
    // What "Action" asks the screen to do; kButtonActionOther for a text of the data's own.
    ZqButtonAction actionCode() const { return m_action->code(); }
    std::shared_ptr<ZqModelSpriteContainer> imageSelected() const { return m_imageSelected->value(); }
    std::shared_ptr<ZqModelSound> clickSound() const;
    std::shared_ptr<ZqModelSound> releaseSound() const;
    int keyboardKey() const { return m_keyboardKey->value(); }
    bool isBlockTouch() const { return m_blockTouch->value(); }
    // "Interval" in presses (the raw float).
    float interval() const { return m_interval->value(); }
    // "Touch Emulation" plus its curve offset for (time, state) reaches 0.5.
    bool isTouchEmulated(float time, int state) const;

    // Press counter = "Interval" truncated; hold flag cleared.
    void resetInterval();
    // Press counter down by one; hold flag cleared.
    void countDownInterval();
    void holdInterval() { m_intervalHeld = true; }
    // Whether this press fires the action: never while held; always when "Interval"
    // truncates to 0 or less; else when (counter - 1) is a multiple of it.
    bool isIntervalDue() const;
    int pressCounter() const { return m_pressCounter; }

    // Where a back button leads, among the controller's flow-graph nodes: the interface
    // screen and the game scene named by "Back To World" / "Back To" (see the source).
    std::string backToScreen() const;
    std::string backToWorld() const;

    ZqAttributeSprite* m_imageSelected = nullptr;
    ZQ_ATTRIBUTE_MEMBERS(ZQ_MODEL_OBJECT_BUTTON_ATTRIBUTES)

private:
    int m_pressCounter = 0;
    bool m_intervalHeld = false;
};

class ZqModelObjectButton : public ZqBaseModelObjectButton {
public:
    using ZqBaseModelObjectButton::ZqBaseModelObjectButton;
    ZQ_MODEL_IDENTITY(ZqModelObjectButton, ZqModelObjectImage)
    ZQ_MODEL_FACTORY(ZqModelObjectButton)
};

// Inserted in this order right after "Powerup Selection".
#define ZQ_MODEL_BUTTON_POWERUP_INSERTED_ATTRIBUTES(A, V)                                          \
    V(ZqAttributeBool,       m_forceActionOnPress,  "Force Action on Press", false)                \
    V(ZqAttributeStringList, m_layering,            "Layering",              "")                   \
    V(ZqAttributeFloat,      m_visibilityThreshold, "Visibility Threshold",  0.0f)

#define ZQ_MODEL_BUTTON_POWERUP_ATTRIBUTES(A, V)                                                   \
    V(ZqAttributePoint, m_labelOffset,          "Label Offset",           cocos2d::CCPoint())      \
    V(ZqAttributeFloat, m_labelScale,           "Label Scale",            0.5f)                    \
    V(ZqAttributeFloat, m_labelVerticalSpacing, "Label Vertical Spacing", 100.0f)                  \
    V(ZqAttributeBool,  m_unlimitedUse,         "Unlimited Use",          false)                   \
    V(ZqAttributeFloat, m_maxRefill,            "Max Refill",             3.0f)                    \
    V(ZqAttributeFloat, m_refillTimeout,        "Refill Timeout",         0.0f)                    \
    V(ZqAttributeBool,  m_refillAtStart,        "Refill At Start",        false)

// Uses a power-up of the inventory: "Action" is renamed "Powerup Selection" (the power-up
// asset's id as text); the runtime shows a counter label and refills the stock.
class ZqBaseModelObjectButtonPowerup : public ZqModelObjectButton {
public:
    explicit ZqBaseModelObjectButtonPowerup(const std::string& name);
    // Also re-binds the action member under "Powerup Selection".
    ZqBaseModelObjectButtonPowerup(const ZqBaseModelObjectButtonPowerup& source);

    bool forceActionOnPress() const { return m_forceActionOnPress->value(); }
    bool unlimitedUse() const { return m_unlimitedUse->value(); }
    bool refillAtStart() const { return m_refillAtStart->value(); }
    // "Layering" is exactly "kAboveCharacter".
    bool isAboveCharacter() const;
    const cocos2d::CCPoint& labelOffset() const { return m_labelOffset->value(); }
    float labelScale() const { return m_labelScale->value(); }
    float labelVerticalSpacing() const { return m_labelVerticalSpacing->value(); }
    float maxRefill() const { return m_maxRefill->value(); }
    // Minutes per free refill.
    float refillTimeout() const { return m_refillTimeout->value(); }
    float visibilityThreshold() const { return m_visibilityThreshold->value(); }

    ZQ_ATTRIBUTE_MEMBERS(ZQ_MODEL_BUTTON_POWERUP_INSERTED_ATTRIBUTES)
    ZQ_ATTRIBUTE_MEMBERS(ZQ_MODEL_BUTTON_POWERUP_ATTRIBUTES)
};

class ZqModelObjectButtonPowerup : public ZqBaseModelObjectButtonPowerup {
public:
    using ZqBaseModelObjectButtonPowerup::ZqBaseModelObjectButtonPowerup;
    ZQ_MODEL_IDENTITY(ZqModelObjectButtonPowerup, ZqModelObjectButton)
    ZQ_MODEL_FACTORY(ZqModelObjectButtonPowerup)
};

// Inserted in this order right after "Powerup Selection".
#define ZQ_MODEL_BUTTON_PURCHASE_INSERTED_ATTRIBUTES(A, V)                                         \
    V(ZqAttributePurchaseType, m_type,              "Type",                 "")                    \
    V(ZqAttributeFloat,      m_visibilityThreshold, "Visibility Threshold", 0.0f)

#define ZQ_MODEL_BUTTON_PURCHASE_ATTRIBUTES(A, V)                                                  \
    V(ZqAttributeBool,       m_buyAndUse,        "Buy And Use",       false)                       \
    V(ZqAttributeFloat,      m_quantity,         "Quantity",          1.0f)                        \
    V(ZqAttributeSound,      m_purchaseComplete, "Purchase Complete", nullptr)                     \
    V(ZqAttributePurchaseMethod, m_purchaseMethod, "Purchase Method", "")                          \
    V(ZqAttributeFloat,      m_price,            "Price",             0.0f)                        \
    V(ZqAttributeOneTimePurchase, m_oneTimePurchase, "One Time Purchase", "")                      \
    V(ZqAttributeString,     m_storeIdentifier,  "Store Identifier",  "")                          \
    V(ZqAttributeStringList, m_adNetwork,        "Ad Network",        "")

// Buys a power-up, coins or other goods: "Action" is renamed "Powerup Selection" (the
// selected power-up asset's id as text).
class ZqBaseModelObjectButtonPurchase : public ZqModelObjectButton {
public:
    explicit ZqBaseModelObjectButtonPurchase(const std::string& name);
    // Also re-binds the action member under "Powerup Selection".
    ZqBaseModelObjectButtonPurchase(const ZqBaseModelObjectButtonPurchase& source);

    // "Powerup Selection" read as a decimal integer; 0 when it does not start with one.
    int powerupSelectionId() const;
    ZqPurchaseType type() const { return m_type->code(); }
    ZqPurchaseMethod purchaseMethod() const { return m_purchaseMethod->code(); }
    ZqOneTimePurchase oneTimePurchase() const { return m_oneTimePurchase->code(); }
    // The texts as the data holds them.
    std::string typeText() const { return m_type->value(); }
    const std::string& purchaseMethodText() const { return m_purchaseMethod->value(); }
    const std::string& oneTimePurchaseText() const { return m_oneTimePurchase->value(); }
    const std::string& adNetwork() const { return m_adNetwork->value(); }
    const std::string& storeIdentifier() const { return m_storeIdentifier->value(); }
    bool buyAndUse() const { return m_buyAndUse->value(); }
    float price() const { return m_price->value(); }
    // How many items one purchase gives.
    float quantity() const { return m_quantity->value(); }
    float visibilityThreshold() const { return m_visibilityThreshold->value(); }
    std::shared_ptr<ZqModelSound> purchaseCompleteSound() const;

    ZQ_ATTRIBUTE_MEMBERS(ZQ_MODEL_BUTTON_PURCHASE_INSERTED_ATTRIBUTES)
    ZQ_ATTRIBUTE_MEMBERS(ZQ_MODEL_BUTTON_PURCHASE_ATTRIBUTES)
};

class ZqModelObjectButtonPurchase : public ZqBaseModelObjectButtonPurchase {
public:
    using ZqBaseModelObjectButtonPurchase::ZqBaseModelObjectButtonPurchase;
    ZQ_MODEL_IDENTITY(ZqModelObjectButtonPurchase, ZqModelObjectButton)
    ZQ_MODEL_FACTORY(ZqModelObjectButtonPurchase)
};
