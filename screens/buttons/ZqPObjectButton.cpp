#include "screens/buttons/ZqPObjectButton.h"

#include "app/ZqObjectModelHolder.h"
#include "app/ZqSound.h"
#include "model/objects/ZqModelObjectButtons.h"
#include "model/scene/ZqModelButtons.h"
#include "model/objects/ZqModelObjectButtons.h"
#include "model/scene/ZqModelMedia.h"
#include "screens/buttons/ZqPButtonKeys.h"
#include "screens/buttons/ZqPObjectButtonLinks.h"
#include "screens/buttons/ZqPObjectButtonLock.h"
#include "screens/buttons/ZqPObjectButtonPowerup.h"
#include "screens/buttons/ZqPObjectButtonPurchase.h"
#include "screens/buttons/ZqPObjectButtonSwitch.h"
#include "screens/buttons/ZqPObjectButtonUnlockCharacter.h"

#include <algorithm>

using namespace cocos2d;

namespace {

// A sprite of the container, or null when it has none.
CCNode* imageNode(const std::shared_ptr<ZqModelSpriteContainer>& container)
{
    return container ? container->getSprite(1.0f, true) : nullptr;
}

template <class Button>
ZqPObjectButton* newButton()
{
    return new Button();
}

// The button class of each model class with its own; every other is a plain button.
struct ButtonKind {
    std::size_t modelType;
    ZqPObjectButton* (*make)();
};
const ButtonKind kButtonKinds[] = {
    {ZqModelObjectButtonSwitch::staticTypeId(), newButton<ZqPObjectButtonSwitch>},
    {ZqModelObjectButtonSoundControl::staticTypeId(), newButton<ZqPObjectButtonSound>},
    {ZqModelObjectButtonPowerup::staticTypeId(), newButton<ZqPObjectButtonPowerup>},
    {ZqModelObjectButtonPurchase::staticTypeId(), newButton<ZqPObjectButtonPurchase>},
    {ZqModelObjectButtonUrl::staticTypeId(), newButton<ZqPObjectButtonUrl>},
    {ZqModelObjectButtonFacebook::staticTypeId(), newButton<ZqPObjectButtonFacebook>},
    {ZqModelObjectButtonCharacterUnlock::staticTypeId(), newButton<ZqPObjectButtonUnlockCharacter>},
    {ZqModelObjectLockButton::staticTypeId(), newButton<ZqPObjectButtonLock>},
};

} // namespace

ZqPObjectButton* ZqPObjectButton::create(const std::shared_ptr<ZqBaseModelObjectButton>& model)
{
    if (!model)
        return nullptr;
    ZqPObjectButton* button = nullptr;
    for (const ButtonKind& kind : kButtonKinds) {
        if (kind.modelType == model->typeId())
            button = kind.make();
    }
    if (!button)
        button = new ZqPObjectButton();
    if (!button->initWithModelImages(model)) {
        delete button;
        return nullptr;
    }
    button->autorelease();
    button->setModel(model);
    button->setPosition(model->position(0.0f, 0));
    button->setRotation(model->rotation(0.0f, 0));
    const CCPoint scale = model->scale(0.0f, 0);
    button->setScaleX(scale.x);
    button->setScaleY(scale.y);
    return button;
}

bool ZqPObjectButton::initWithModelImages(const std::shared_ptr<ZqBaseModelObjectButton>& model)
{
    CCNode* normal = imageNode(model->spriteContainer());
    if (!normal) {
        normal = CCNode::create();
        normal->setContentSize(model->contentSize(0.0f));
    }
    return initWithNormalSprite(normal, imageNode(model->imageSelected()), nullptr);
}

ZqPObjectButton::~ZqPObjectButton()
{
    ZqPButtonKeys::unbind(this);
}

void ZqPObjectButton::setModel(const std::shared_ptr<ZqBaseModelObjectButton>& model)
{
    m_model = model;
    setUserObject(ZqObjectModelHolder::create(model));
    ZqPButtonKeys::unbind(this);
    if (model && model->keyboardKey() != 0)
        ZqPButtonKeys::bind(this, model->keyboardKey());
}

void ZqPObjectButton::setInputHandlers(InputHandler press, InputHandler release)
{
    m_press = std::move(press);
    m_release = std::move(release);
}

void ZqPObjectButton::selected()
{
    if (!isEnabled())
        return;
    CCMenuItemSprite::selected();
    if (m_model && m_model->clickSound())
        ZqSoundRegistry::shared().playOnce(m_model->clickSound(), ZqSound::kTagInterface);
    if (m_press)
        m_press(this);
}

void ZqPObjectButton::unselected()
{
    if (!isEnabled() && !isSelected())
        return;
    CCMenuItemSprite::unselected();
    if (m_release)
        m_release(this);
}

void ZqPObjectButton::activate()
{
    if (!isEnabled())
        return;
    // The handler may replace the screen: the button stays alive for the call.
    retain();
    if (m_model && m_model->releaseSound())
        ZqSoundRegistry::shared().playOnce(m_model->releaseSound(), ZqSound::kTagInterface);
    if (m_model)
        m_model->countDownInterval();
    if (!m_model || m_model->isIntervalDue())
        CCMenuItemSprite::activate();
    release();
}

void ZqPObjectButton::update(float dt)
{
    if (!m_model)
        return;
    m_time += dt;
    applyPlacement();
    const bool emulated = m_model->isTouchEmulated(m_time, m_curveState);
    const bool rising = emulated && !m_touchEmulated;
    m_touchEmulated = emulated;
    if (rising) {
        retain();
        selected();
        unselected();
        activate();
        release();
    }
}

void ZqPObjectButton::applyPlacement()
{
    setPosition(m_model->position(m_time, m_curveState));
    setRotation(m_model->rotation(m_time, m_curveState));
    const CCPoint scale = m_model->scale(m_time, m_curveState);
    setScaleX(scale.x);
    setScaleY(scale.y);
    const float opacity = std::clamp(m_model->opacity(m_time, m_curveState), 0.0f, 1.0f);
    setOpacity(static_cast<GLubyte>(static_cast<int>(opacity * 255.0f)));
}
