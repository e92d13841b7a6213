#include "model/scene/ZqModelButtons.h"

#include "model/ZqModelController.h"
#include "model/scene/ZqModelMedia.h"
#include "model/scene/ZqModelScreen.h"
#include "model/scene/ZqNode.h"

#include <ZqNumeric.h>

#include <limits>
#include <sstream>

namespace {

// Places an attribute made without owner at index on the model, which then owns it.
template <class Attribute>
Attribute* insertAttribute(ZqModel& model, Attribute* attribute, int index)
{
    model.addAttribute(attribute, index);
    return attribute;
}

// The key of the first node of class Node whose screen carries key; empty when none.
template <class Node>
std::string nodeScreenKey(const std::string& key)
{
    for (const std::shared_ptr<Node>& node : ZqModelController::shared()->modelsOfClass<Node>()) {
        const std::shared_ptr<ZqModelScreen> screen = node->screen();
        if (screen && screen->key() == key)
            return key;
    }
    return std::string();
}

} // namespace

ZqBaseModelObjectButton::ZqBaseModelObjectButton(const std::string& name)
    : ZqModelObjectImage(name)
{
    m_imageSelected = insertAttribute(*this, new ZqAttributeSprite("Image Selected", nullptr),
                                      indexOfAttribute(m_autohide));
    ZQ_ATTRIBUTE_CREATE(ZQ_MODEL_OBJECT_BUTTON_ATTRIBUTES)
}

ZqBaseModelObjectButton::ZqBaseModelObjectButton(const ZqBaseModelObjectButton& source)
    : ZqModelObjectImage(source)
{
    m_imageSelected = zqRebindAttribute<ZqAttributeSprite>(*this, "Image Selected");
    ZQ_ATTRIBUTE_REBIND(ZQ_MODEL_OBJECT_BUTTON_ATTRIBUTES)
}

std::shared_ptr<ZqModelSound> ZqBaseModelObjectButton::clickSound() const
{
    return m_clickSound->value();
}

std::shared_ptr<ZqModelSound> ZqBaseModelObjectButton::releaseSound() const
{
    return m_releaseSound->value();
}

bool ZqBaseModelObjectButton::isTouchEmulated(float time, int state) const
{
    return m_touchEmulation->value() + m_touchEmulation->curveOffset(time, state) >= 0.5f;
}

void ZqBaseModelObjectButton::resetInterval()
{
    m_pressCounter = zqSaturatingInt(m_interval->value());
    m_intervalHeld = false;
}

void ZqBaseModelObjectButton::countDownInterval()
{
    // Stops at the bottom rather than overflowing.
    if (m_pressCounter > std::numeric_limits<int>::min())
        --m_pressCounter;
    m_intervalHeld = false;
}

bool ZqBaseModelObjectButton::isIntervalDue() const
{
    if (m_intervalHeld)
        return false;
    // An interval between 0 and 1 truncates to 0: every press fires, as for 0, instead
    // of dividing by zero.
    const int presses = zqSaturatingInt(m_interval->value());
    if (presses <= 0)
        return true;
    return (static_cast<long long>(m_pressCounter) - 1) % presses == 0;
}

std::string ZqBaseModelObjectButton::backToScreen() const
{
    if (!m_backToWorld->value().empty())
        return m_backTo->value();
    return nodeScreenKey<ZqNodeUI>(m_backTo->value());
}

std::string ZqBaseModelObjectButton::backToWorld() const
{
    if (!m_backToWorld->value().empty())
        return m_backToWorld->value();
    return nodeScreenKey<ZqNodeScene>(m_backTo->value());
}

ZqBaseModelObjectButtonPowerup::ZqBaseModelObjectButtonPowerup(const std::string& name)
    : ZqModelObjectButton(name)
{
    m_action->setName("Powerup Selection", true);
    int index = indexOfAttribute(m_action);
    m_forceActionOnPress = insertAttribute(*this, new ZqAttributeBool("Force Action on Press", nullptr), ++index);
    m_layering = insertAttribute(*this, new ZqAttributeStringList("Layering", nullptr), ++index);
    m_visibilityThreshold = insertAttribute(*this, new ZqAttributeFloat("Visibility Threshold", nullptr), ++index);
    ZQ_ATTRIBUTE_CREATE(ZQ_MODEL_BUTTON_POWERUP_ATTRIBUTES)
}

ZqBaseModelObjectButtonPowerup::ZqBaseModelObjectButtonPowerup(const ZqBaseModelObjectButtonPowerup& source)
    : ZqModelObjectButton(source)
{
    // The base found no "Action": the clone carries the new name.
    m_action = zqRebindAttribute<ZqAttributeButtonAction>(*this, "Powerup Selection");
    ZQ_ATTRIBUTE_REBIND(ZQ_MODEL_BUTTON_POWERUP_INSERTED_ATTRIBUTES)
    ZQ_ATTRIBUTE_REBIND(ZQ_MODEL_BUTTON_POWERUP_ATTRIBUTES)
}

bool ZqBaseModelObjectButtonPowerup::isAboveCharacter() const
{
    return m_layering->value() == "kAboveCharacter";
}

ZqBaseModelObjectButtonPurchase::ZqBaseModelObjectButtonPurchase(const std::string& name)
    : ZqModelObjectButton(name)
{
    m_action->setName("Powerup Selection");
    int index = indexOfAttribute(m_action);
    m_type = insertAttribute(*this, new ZqAttributePurchaseType("Type", nullptr), ++index);
    m_visibilityThreshold = insertAttribute(*this, new ZqAttributeFloat("Visibility Threshold", nullptr), ++index);
    ZQ_ATTRIBUTE_CREATE(ZQ_MODEL_BUTTON_PURCHASE_ATTRIBUTES)
}

ZqBaseModelObjectButtonPurchase::ZqBaseModelObjectButtonPurchase(const ZqBaseModelObjectButtonPurchase& source)
    : ZqModelObjectButton(source)
{
    m_action = zqRebindAttribute<ZqAttributeButtonAction>(*this, "Powerup Selection");
    ZQ_ATTRIBUTE_REBIND(ZQ_MODEL_BUTTON_PURCHASE_INSERTED_ATTRIBUTES)
    ZQ_ATTRIBUTE_REBIND(ZQ_MODEL_BUTTON_PURCHASE_ATTRIBUTES)
}

int ZqBaseModelObjectButtonPurchase::powerupSelectionId() const
{
    std::istringstream stream(m_action->value());
    int id = 0;
    if (!(stream >> id))
        return 0;
    return id;
}

std::shared_ptr<ZqModelSound> ZqBaseModelObjectButtonPurchase::purchaseCompleteSound() const
{
    return m_purchaseComplete->value();
}
