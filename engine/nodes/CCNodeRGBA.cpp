#include "nodes/CCNodeRGBA.h"

namespace cocos2d {

namespace {

GLubyte multiply(GLubyte a, GLubyte b)
{
    return static_cast<GLubyte>(a * b / 255);
}

} // namespace

CCNodeRGBA* CCNodeRGBA::create()
{
    CCNodeRGBA* node = new CCNodeRGBA();
    node->init();
    node->autorelease();
    return node;
}

CCRGBAProtocol* CCNodeRGBA::cascadingParent(bool forOpacity) const
{
    CCRGBAProtocol* parent = dynamic_cast<CCRGBAProtocol*>(m_pParent);
    if (!parent)
        return nullptr;
    const bool cascades = forOpacity ? parent->isCascadeOpacityEnabled() : parent->isCascadeColorEnabled();
    return cascades ? parent : nullptr;
}

void CCNodeRGBA::setOpacity(GLubyte opacity)
{
    m_realOpacity = opacity;
    CCRGBAProtocol* parent = cascadingParent(true);
    updateDisplayedOpacity(parent ? parent->getDisplayedOpacity() : 255);
}

void CCNodeRGBA::updateDisplayedOpacity(GLubyte parentOpacity)
{
    m_displayedOpacity = multiply(m_realOpacity, parentOpacity);
    if (!m_bCascadeOpacityEnabled)
        return;
    for (CCObject* child : m_pChildren->data()) {
        if (CCRGBAProtocol* rgba = dynamic_cast<CCRGBAProtocol*>(child))
            rgba->updateDisplayedOpacity(m_displayedOpacity);
    }
}

void CCNodeRGBA::setColor(const ccColor3B& color)
{
    m_realColor = color;
    CCRGBAProtocol* parent = cascadingParent(false);
    updateDisplayedColor(parent ? parent->getDisplayedColor() : ccWHITE);
}

void CCNodeRGBA::updateDisplayedColor(const ccColor3B& parentColor)
{
    m_displayedColor = ccc3(multiply(m_realColor.r, parentColor.r), multiply(m_realColor.g, parentColor.g),
                            multiply(m_realColor.b, parentColor.b));
    if (!m_bCascadeColorEnabled)
        return;
    for (CCObject* child : m_pChildren->data()) {
        if (CCRGBAProtocol* rgba = dynamic_cast<CCRGBAProtocol*>(child))
            rgba->updateDisplayedColor(m_displayedColor);
    }
}

} // namespace cocos2d
