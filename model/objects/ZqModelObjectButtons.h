#pragma once

#include "attributes/ZqAttributeFundamental.h"
#include "attributes/ZqAttributeValue.h"
#include "model/ZqAttributeSprite.h"
#include "model/ZqAttributeTable.h"
#include "model/ZqDataTokens.h"
#include "model/ZqModelRegistry.h"
#include "model/scene/ZqModelButtons.h"

#include <memory>
#include <string>

class ZqModelSpriteContainer;

// Buttons of the interface screens beyond navigation, power-up and purchase buttons.
// Tokens are kept as texts; the screens compare them exactly.

// Pressed and released, it starts and ends the game actions of the objects listed for it.
class ZqModelObjectButtonControl : public ZqModelObjectButton {
public:
    using ZqModelObjectButton::ZqModelObjectButton;
    ZQ_MODEL_IDENTITY(ZqModelObjectButtonControl, ZqModelObjectButton)
    ZQ_MODEL_FACTORY(ZqModelObjectButtonControl)
};

// Switches on and off; its "Action" is always "kInputControllerActionButton".
class ZqModelObjectButtonSwitch : public ZqModelObjectButton {
public:
    explicit ZqModelObjectButtonSwitch(const std::string& name);
    ZqModelObjectButtonSwitch(const ZqModelObjectButtonSwitch& source) = default;
    ZQ_MODEL_IDENTITY(ZqModelObjectButtonSwitch, ZqModelObjectButton)
    ZQ_MODEL_FACTORY(ZqModelObjectButtonSwitch)
};

// Turns the game's sound on and off.
class ZqModelObjectButtonSoundControl : public ZqModelObjectButton {
public:
    using ZqModelObjectButton::ZqModelObjectButton;
    ZQ_MODEL_IDENTITY(ZqModelObjectButtonSoundControl, ZqModelObjectButton)
    ZQ_MODEL_FACTORY(ZqModelObjectButtonSoundControl)
};

#define ZQ_MODEL_BUTTON_URL_ATTRIBUTES(A, V)                                                       \
    V(ZqAttributeString, m_url, "URL", "")

// Opens the web address of "URL".
class ZqModelObjectButtonUrl : public ZqModelObjectButton {
public:
    explicit ZqModelObjectButtonUrl(const std::string& name);
    ZqModelObjectButtonUrl(const ZqModelObjectButtonUrl& source);
    ZQ_MODEL_IDENTITY(ZqModelObjectButtonUrl, ZqModelObjectButton)
    ZQ_MODEL_FACTORY(ZqModelObjectButtonUrl)

    // "URL" ("Facebook URL" on the social-link button).
    const std::string& url() const { return m_url->value(); }

    ZQ_ATTRIBUTE_MEMBERS(ZQ_MODEL_BUTTON_URL_ATTRIBUTES)
};

#define ZQ_MODEL_BUTTON_FACEBOOK_ATTRIBUTES(A, V)                                                  \
    V(ZqAttributeString, m_facebookId, "Facebook ID", "")

// Opens a social-network page: "URL" is renamed "Facebook URL", "Facebook ID" is the page.
class ZqModelObjectButtonFacebook : public ZqModelObjectButtonUrl {
public:
    explicit ZqModelObjectButtonFacebook(const std::string& name);
    // Also re-binds the address member under "Facebook URL".
    ZqModelObjectButtonFacebook(const ZqModelObjectButtonFacebook& source);
    ZQ_MODEL_IDENTITY(ZqModelObjectButtonFacebook, ZqModelObjectButtonUrl)
    ZQ_MODEL_FACTORY(ZqModelObjectButtonFacebook)

    const std::string& facebookId() const { return m_facebookId->value(); }

    ZQ_ATTRIBUTE_MEMBERS(ZQ_MODEL_BUTTON_FACEBOOK_ATTRIBUTES)
};

// "Character": the id of a character asset model, as text.
#define ZQ_MODEL_BUTTON_CHARACTER_UNLOCK_ATTRIBUTES(A, V)                                          \
    V(ZqAttributeString, m_character,        "Character",          "")                             \
    V(ZqAttributeBool,   m_showWhenSelected, "Show When Selected", false)

// Buys or unlocks one character.
class ZqBaseModelObjectButtonCharacterUnlock : public ZqModelObjectButton {
public:
    explicit ZqBaseModelObjectButtonCharacterUnlock(const std::string& name);
    ZqBaseModelObjectButtonCharacterUnlock(const ZqBaseModelObjectButtonCharacterUnlock& source);

    const std::string& character() const { return m_character->value(); }
    bool showWhenSelected() const { return m_showWhenSelected->value(); }

    ZQ_ATTRIBUTE_MEMBERS(ZQ_MODEL_BUTTON_CHARACTER_UNLOCK_ATTRIBUTES)
};

class ZqModelObjectButtonCharacterUnlock : public ZqBaseModelObjectButtonCharacterUnlock {
public:
    using ZqBaseModelObjectButtonCharacterUnlock::ZqBaseModelObjectButtonCharacterUnlock;
    ZQ_MODEL_IDENTITY(ZqModelObjectButtonCharacterUnlock, ZqModelObjectButton)
    ZQ_MODEL_FACTORY(ZqModelObjectButtonCharacterUnlock)
};

// "Unlock": kInGameCurrency, kInAppPurchase (other tokens only save). "Destination":
// kSceneDestination, kNextSceneDestination. "Scene": a level-section id as text. "Price"
// in coins.
#define ZQ_MODEL_LOCK_BUTTON_ATTRIBUTES(A, V)                                                      \
    V(ZqAttributeSprite,     m_lockedImage,         "Locked Image",          nullptr)              \
    V(ZqAttributeSprite,     m_lockedImageSelected, "Locked Image Selected", nullptr)              \
    V(ZqAttributePurchaseMethod, m_unlock,          "Unlock",                "kInGameCurrency")    \
    V(ZqAttributeFloat,      m_price,               "Price",                 0.0f)                 \
    V(ZqAttributeString,     m_storeIdentifier,     "Store Identifier",      "")                   \
    V(ZqAttributeLockDestination, m_destination,    "Destination",           "kSceneDestination")  \
    V(ZqAttributeString,     m_world,               "World",                 "")                   \
    V(ZqAttributeString,     m_scene,               "Scene",                 "")                   \
    V(ZqAttributeBool,       m_autoFollow,          "Auto Follow",           false)                \
    V(ZqAttributeBool,       m_autoLock,            "Auto Lock",             false)

// A button that stays locked until paid for; its lock state is kept under its "Name".
class ZqBaseModelObjectLockButton : public ZqModelObjectButton {
public:
    explicit ZqBaseModelObjectLockButton(const std::string& name);
    ZqBaseModelObjectLockButton(const ZqBaseModelObjectLockButton& source);

    const std::shared_ptr<ZqModelSpriteContainer>& lockedImage() const { return m_lockedImage->value(); }
    const std::shared_ptr<ZqModelSpriteContainer>& lockedImageSelected() const
    {
        return m_lockedImageSelected->value();
    }
    ZqPurchaseMethod unlock() const { return m_unlock->code(); }
    float price() const { return m_price->value(); }
    const std::string& storeIdentifier() const { return m_storeIdentifier->value(); }
    ZqLockDestination destination() const { return m_destination->code(); }
    const std::string& scene() const { return m_scene->value(); }
    bool autoFollow() const { return m_autoFollow->value(); }
    bool autoLock() const { return m_autoLock->value(); }

    ZQ_ATTRIBUTE_MEMBERS(ZQ_MODEL_LOCK_BUTTON_ATTRIBUTES)
};

class ZqModelObjectLockButton : public ZqBaseModelObjectLockButton {
public:
    using ZqBaseModelObjectLockButton::ZqBaseModelObjectLockButton;
    ZQ_MODEL_IDENTITY(ZqModelObjectLockButton, ZqModelObjectButton)
    ZQ_MODEL_FACTORY(ZqModelObjectLockButton)
};
