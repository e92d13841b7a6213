#include "objects/ZqPObjectImage.h"

#include "ZqCachedCast.h"
#include "app/ZqObjectModelHolder.h"
#include "model/scene/ZqModelMedia.h"
#include "model/scene/ZqModelObject.h"

#include <algorithm>

using namespace cocos2d;

namespace {

constexpr int kFrameAnimationTag = ZqBaseModelSpriteContainer::kFrameAnimationTag;
constexpr float kAutohideFadeSeconds = 2.0f;

// Calls action on every sprite child.
template <class Action>
void forEachSprite(CCNode* node, Action action)
{
    for (CCObject* child : *node->getChildren()) {
        if (CCSprite* sprite = zqCachedCast<CCSprite>(child))
            action(sprite);
    }
}

} // namespace

ZqPObjectImage* ZqPObjectImage::create(const std::shared_ptr<ZqModelObjectImage>& model, float speed, bool loop)
{
    if (!model)
        return nullptr;
    ZqPObjectImage* image = new ZqPObjectImage();
    image->autorelease();
    image->init();
    image->m_model = model;
    if (std::shared_ptr<ZqModelSpriteContainer> container = model->spriteContainer()) {
        if (CCSprite* sprite = container->getSprite(speed, loop)) {
            image->m_sprite = sprite;
            sprite->retain();
            image->addChild(sprite);
            image->m_spriteAnimation = sprite->getActionByTag(kFrameAnimationTag);
            CC_SAFE_RETAIN(image->m_spriteAnimation);
        }
    }
    image->setUserObject(ZqObjectModelHolder::create(model));
    image->setContentSize(model->contentSize(0.0f));
    image->update(0.0f);
    return image;
}

ZqPObjectImage::~ZqPObjectImage()
{
    CC_SAFE_RELEASE(m_spriteAnimation);
    CC_SAFE_RELEASE(m_shownFrame);
    CC_SAFE_RELEASE(m_sprite);
}

void ZqPObjectImage::update(float dt)
{
    if (!m_model)
        return;
    m_time += dt;
    const float autohide = m_model->autohide();
    if (autohide > 0.0f && isVisible() && !m_faded && m_time >= autohide) {
        for (CCObject* child : *getChildren())
            static_cast<CCNode*>(child)->runAction(CCRepeat::create(CCFadeOut::create(kAutohideFadeSeconds), 1));
        m_faded = true;
    }
    applyPlacement();
    if (m_faded)
        return;
    const float opacity = std::clamp(m_model->opacity(m_time, m_curveState) * m_opacityFactor, 0.0f, 1.0f);
    const GLubyte value = static_cast<GLubyte>(opacity * 255.0f);
    // Only this object sets its own sprite's opacity: while the sprite is the only child,
    // the value it gave last is the one the sprite has, and the sprite is not read again.
    if (m_spriteAlone) {
        if (m_spriteOpacity != value && (m_sprite->getOpacity() != value || m_sprite->getDisplayedOpacity() != value))
            m_sprite->setOpacity(value);
        m_spriteOpacity = value;
        return;
    }
    m_spriteOpacity = kOpacityUnknown;
    for (CCObject* child : *getChildren()) {
        // Most frames change nothing, and setting an opacity again costs each sprite a cast
        // up to its parent (which, not being coloured itself, passes no opacity down). The
        // own sprite needs no cast.
        CCRGBAProtocol* rgba = child == m_sprite ? m_sprite : zqCachedCast<CCRGBAProtocol>(child);
        if (rgba && (rgba->getOpacity() != value || rgba->getDisplayedOpacity() != value))
            rgba->setOpacity(value);
    }
}

void ZqPObjectImage::addChild(CCNode* child, int zOrder, int tag)
{
    CCNode::addChild(child, zOrder, tag);
    childrenChanged();
}

void ZqPObjectImage::removeChild(CCNode* child, bool cleanup)
{
    CCNode::removeChild(child, cleanup);
    childrenChanged();
}

void ZqPObjectImage::childrenChanged()
{
    m_spriteAlone = m_sprite && getChildrenCount() == 1 && getChildren()->objectAtIndex(0) == m_sprite;
    if (!m_spriteAlone)
        m_spriteOpacity = kOpacityUnknown;
}

void ZqPObjectImage::applyPlacement()
{
    setRotation(m_model->rotation(m_time, m_curveState));
    const CCPoint scale = m_model->scale(m_time, m_curveState);
    setScaleX(scale.x);
    setScaleY(scale.y);
    setPosition(m_model->stickToEdge() ? m_model->anchoredPosition(m_time, m_curveState)
                                       : m_model->position(m_time, m_curveState));
}

void ZqPObjectImage::restart()
{
    if (!m_model)
        return;
    m_time = 0.0f;
    m_spriteOpacity = kOpacityUnknown;
    forEachSprite(this, [this](CCSprite* sprite) {
        if (!m_faded)
            sprite->setOpacity(255);
        if (CCAction* animation = sprite->getActionByTag(kFrameAnimationTag)) {
            animation->retain();
            sprite->stopAllActions();
            sprite->runAction(animation);
            animation->release();
        } else if (m_spriteAnimation) {
            sprite->runAction(m_spriteAnimation);
        }
    });
}

void ZqPObjectImage::pauseAnimation()
{
    forEachSprite(this, [](CCSprite* sprite) { sprite->getActionManager()->pauseTarget(sprite); });
}

void ZqPObjectImage::resumeAnimation()
{
    forEachSprite(this, [](CCSprite* sprite) { sprite->getActionManager()->resumeTarget(sprite); });
}

void ZqPObjectImage::setAnimationFrame(int index)
{
    const std::shared_ptr<ZqModelSpriteContainer> container = m_model ? m_model->spriteContainer() : nullptr;
    if (!container || container->sprites().empty())
        return;
    // Taken modulo the count here: the container's index is unsigned, so -1 would wrap.
    const int count = static_cast<int>(container->sprites().size());
    const unsigned frameIndex = static_cast<unsigned>(((index % count) + count) % count);
    // A rotation mapper asks each frame, mostly for the frame already shown: while every
    // sprite still shows it, the frame is not looked up by its name again.
    const bool sameContainer = !m_shownContainer.owner_before(container) && !container.owner_before(m_shownContainer);
    if (m_shownFrame && sameContainer && frameIndex == m_shownIndex) {
        bool shown = true;
        if (m_spriteAlone)
            shown = m_sprite->isFrameDisplayed(m_shownFrame);
        else
            forEachSprite(this, [this, &shown](CCSprite* sprite) { shown = shown && sprite->isFrameDisplayed(m_shownFrame); });
        if (shown)
            return;
    }
    CCSpriteFrame* frame = container->getSpriteFrame(frameIndex);
    if (!frame)
        return;
    forEachSprite(this, [frame](CCSprite* sprite) { sprite->setDisplayFrame(frame); });
    frame->retain();
    CC_SAFE_RELEASE(m_shownFrame);
    m_shownFrame = frame;
    m_shownContainer = container;
    m_shownIndex = frameIndex;
}

void ZqPObjectImage::stopAnimation()
{
    forEachSprite(this, [](CCSprite* sprite) {
        if (sprite->getActionByTag(kFrameAnimationTag))
            sprite->stopAllActions();
    });
}
