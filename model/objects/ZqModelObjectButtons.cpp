#include "model/objects/ZqModelObjectButtons.h"

#include "model/scene/ZqModelMedia.h"

ZqModelObjectButtonSwitch::ZqModelObjectButtonSwitch(const std::string& name)
    : ZqModelObjectButton(name)
{
    m_action->setValue("kInputControllerActionButton", true);
}

ZqModelObjectButtonUrl::ZqModelObjectButtonUrl(const std::string& name)
    : ZqModelObjectButton(name)
{
    ZQ_ATTRIBUTE_CREATE(ZQ_MODEL_BUTTON_URL_ATTRIBUTES)
}

ZqModelObjectButtonUrl::ZqModelObjectButtonUrl(const ZqModelObjectButtonUrl& source)
    : ZqModelObjectButton(source)
{
    ZQ_ATTRIBUTE_REBIND(ZQ_MODEL_BUTTON_URL_ATTRIBUTES)
}

ZqModelObjectButtonFacebook::ZqModelObjectButtonFacebook(const std::string& name)
    : ZqModelObjectButtonUrl(name)
{
    m_url->setName("Facebook URL");
    ZQ_ATTRIBUTE_CREATE(ZQ_MODEL_BUTTON_FACEBOOK_ATTRIBUTES)
}

ZqModelObjectButtonFacebook::ZqModelObjectButtonFacebook(const ZqModelObjectButtonFacebook& source)
    : ZqModelObjectButtonUrl(source)
{
    m_url = zqRebindAttribute<ZqAttributeString>(*this, "Facebook URL");
    ZQ_ATTRIBUTE_REBIND(ZQ_MODEL_BUTTON_FACEBOOK_ATTRIBUTES)
}

ZqBaseModelObjectButtonCharacterUnlock::ZqBaseModelObjectButtonCharacterUnlock(const std::string& name)
    : ZqModelObjectButton(name)
{
    ZQ_ATTRIBUTE_CREATE(ZQ_MODEL_BUTTON_CHARACTER_UNLOCK_ATTRIBUTES)
}

ZqBaseModelObjectButtonCharacterUnlock::ZqBaseModelObjectButtonCharacterUnlock(
    const ZqBaseModelObjectButtonCharacterUnlock& source)
    : ZqModelObjectButton(source)
{
    ZQ_ATTRIBUTE_REBIND(ZQ_MODEL_BUTTON_CHARACTER_UNLOCK_ATTRIBUTES)
}

ZqBaseModelObjectLockButton::ZqBaseModelObjectLockButton(const std::string& name)
    : ZqModelObjectButton(name)
{
    ZQ_ATTRIBUTE_CREATE(ZQ_MODEL_LOCK_BUTTON_ATTRIBUTES)
}

ZqBaseModelObjectLockButton::ZqBaseModelObjectLockButton(const ZqBaseModelObjectLockButton& source)
    : ZqModelObjectButton(source)
{
    ZQ_ATTRIBUTE_REBIND(ZQ_MODEL_LOCK_BUTTON_ATTRIBUTES)
}
