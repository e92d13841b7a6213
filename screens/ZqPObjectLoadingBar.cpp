#include "screens/ZqPObjectLoadingBar.h"

#include "model/loading/ZqModelLoader.h"
#include "model/objects/ZqModelObjectsControls.h"

#include <algorithm>

using namespace cocos2d;

ZqPObjectLoadingBar* ZqPObjectLoadingBar::create(const std::shared_ptr<ZqModelObjectLoadingBar>& model)
{
    ZqPObjectLoadingBar* bar = new ZqPObjectLoadingBar();
    bar->init();
    bar->autorelease();
    bar->m_model = model;
    if (model) {
        bar->setPosition(model->position(0.0f, 0));
        bar->setRotation(model->rotation(0.0f, 0));
        const CCPoint scale = model->scale(0.0f, 0);
        bar->setScaleX(scale.x);
        bar->setScaleY(scale.y);
        bar->setUserData(model.get());
        bar->setContentSize(model->contentSize(0.0f));
    }
    return bar;
}

void ZqPObjectLoadingBar::update(float dt)
{
    if (!m_model)
        return;
    m_time += dt;
    setRotation(m_model->rotation(m_time, m_curveState));
    const CCPoint scale = m_model->scale(m_time, m_curveState);
    setScaleX(scale.x);
    setScaleY(scale.y);
    setPosition(m_model->position(m_time, m_curveState));
    const float opacity = std::clamp(m_model->opacity(m_time, m_curveState), 0.0f, 1.0f);
    const GLubyte byte = static_cast<GLubyte>(static_cast<int>(opacity * 255.0f));
    CCArray* children = getChildren();
    for (unsigned i = 0; children && i < children->count(); ++i) {
        if (CCRGBAProtocol* rgba = dynamic_cast<CCRGBAProtocol*>(children->objectAtIndex(i)))
            rgba->setOpacity(byte);
    }
}

void ZqPObjectLoadingBar::draw()
{
    update(0.0f);
}

void ZqPObjectLoadingBar::visit()
{
    CCNode::visit();
    // A hidden bar shows no progress either.
    if (isVisible())
        drawBar(static_cast<float>(ZqModelLoader::shared()->loadingProgress()) / 100.0f);
}

void ZqPObjectLoadingBar::drawBar(float fraction) const
{
    const CCPoint p = getPosition();
    const ccColor4F grey = ccc4f(0.75f, 0.75f, 0.75f, 0.75f);
    ccDrawColor4F(grey.r, grey.g, grey.b, grey.a);
    ccDrawRect(CCPoint(p.x - kHalfWidth, p.y - kHalfHeight), CCPoint(p.x + kHalfWidth, p.y + kHalfHeight));
    ccDrawSolidRect(CCPoint(p.x - kHalfWidth, p.y - kHalfHeight),
                    CCPoint(p.x - kHalfWidth + 2.0f * kHalfWidth * fraction, p.y + kHalfHeight), grey);
}
