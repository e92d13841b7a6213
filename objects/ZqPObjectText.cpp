#include "objects/ZqPObjectText.h"

#include "app/ZqObjectModelHolder.h"
#include "model/scene/ZqModelLabel.h"
#include "objects/ZqLiveLabelText.h"
#include "label_nodes/CCLabelBMFont.h"

using namespace cocos2d;

ZqPObjectText::ZqPObjectText(const std::shared_ptr<ZqModelObjectLabel>& model)
    : ZqPObject(model)
    , m_labelModel(model)
{
}

ZqPObjectText* ZqPObjectText::create(const std::shared_ptr<ZqModelObjectLabel>& model)
{
    if (!model)
        return nullptr;
    ZqPObjectText* text = new ZqPObjectText(model);
    text->autorelease();
    text->init();
    text->setObjectType(kTypeText);
    text->setUserObject(ZqObjectModelHolder::create(model));
    text->setPosition(model->stickToEdge() ? model->anchoredPosition(0.0f, 0) : model->position(0.0f, 0));
    text->setRotation(model->rotation(0.0f, 0));
    const CCPoint scale = model->scale(0.0f, 0);
    text->setScaleX(scale.x);
    text->setScaleY(scale.y);
    text->showLabel();
    return text;
}

void ZqPObjectText::showLabel()
{
    if (m_label)
        removeChild(m_label);
    m_label = m_labelModel->createLabel();
    if (!m_label)
        return;
    addChild(m_label);
    // createLabel hands over a reference of its own; the child list keeps the label now.
    m_label->release();
    m_liveText.clear();
    refreshText();
}

void ZqPObjectText::update(float dt)
{
    ZqPObject::update(dt);
    refreshText();
}

void ZqPObjectText::refreshText()
{
    if (!m_label)
        return;
    const std::optional<std::string> text = zqLiveLabelText(*m_labelModel);
    if (text && *text != m_liveText) {
        m_liveText = *text;
        m_label->setString(m_liveText.c_str());
    }
}

void ZqPObjectText::resetOnRestart()
{
    showLabel();
}
