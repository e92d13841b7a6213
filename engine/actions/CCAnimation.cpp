#include "actions/CCAnimation.h"

#include "nodes/CCNode.h"

#include <algorithm>
#include <cmath>

namespace cocos2d {

namespace {

// Float sums of frame steps land a hair under a frame boundary; a frame due within
// this fraction of a frame shows now rather than one step late.
constexpr float kFrameMargin = 1e-3f;

} // namespace

CCAnimation* CCAnimation::create()
{
    CCAnimation* animation = new CCAnimation();
    animation->m_pFrames = new CCArray();
    animation->autorelease();
    return animation;
}

CCAnimation::~CCAnimation()
{
    CC_SAFE_RELEASE(m_pFrames);
}

void CCAnimation::addSpriteFrame(CCObject* frame)
{
    m_pFrames->addObject(frame);
}

float CCAnimation::getDuration() const
{
    return static_cast<float>(m_pFrames->count()) * m_fDelayPerUnit;
}

CCAnimate* CCAnimate::create(CCAnimation* animation)
{
    if (!animation)
        return nullptr;
    CCAnimate* animate = new CCAnimate();
    animate->initWithDuration(animation->getDuration() * static_cast<float>(animation->getLoops()));
    animation->retain();
    animate->m_pAnimation = animation;
    animate->autorelease();
    return animate;
}

CCAnimate::~CCAnimate()
{
    CC_SAFE_RELEASE(m_pOriginalFrame);
    CC_SAFE_RELEASE(m_pAnimation);
}

void CCAnimate::startWithTarget(CCNode* target)
{
    CCActionInterval::startWithTarget(target);
    m_pFrameTarget = dynamic_cast<CCAnimationTarget*>(target);
    m_lastFrame = -1;
    m_lastLoop = 0;
    CC_SAFE_RELEASE_NULL(m_pOriginalFrame);
    if (m_pFrameTarget && m_pAnimation->getRestoreOriginalFrame()) {
        m_pOriginalFrame = m_pFrameTarget->getAnimationFrame();
        CC_SAFE_RETAIN(m_pOriginalFrame);
    }
}

void CCAnimate::stop()
{
    if (m_pFrameTarget && m_pOriginalFrame)
        m_pFrameTarget->setAnimationFrame(m_pOriginalFrame);
    CC_SAFE_RELEASE_NULL(m_pOriginalFrame);
    m_pFrameTarget = nullptr;
    CCActionInterval::stop();
}

void CCAnimate::update(float t)
{
    const unsigned int frameCount = m_pAnimation->getFrames()->count();
    if (!m_pFrameTarget || frameCount == 0)
        return;
    unsigned int loop = 0;
    unsigned int frame = frameCount - 1;
    const float delay = m_pAnimation->getDelayPerUnit();
    if (t < 1.0f && delay > 0.0f) {
        const unsigned int loops = std::max(1u, m_pAnimation->getLoops());
        const unsigned int shown = std::min(frameCount * loops - 1,
            static_cast<unsigned int>(std::floor(t * m_fDuration / delay + kFrameMargin)));
        loop = shown / frameCount;
        frame = shown % frameCount;
    } else {
        loop = m_pAnimation->getLoops() > 0 ? m_pAnimation->getLoops() - 1 : 0;
    }
    if (static_cast<int>(frame) == m_lastFrame && loop == m_lastLoop)
        return;
    m_lastFrame = static_cast<int>(frame);
    m_lastLoop = loop;
    m_pFrameTarget->setAnimationFrame(m_pAnimation->getFrames()->objectAtIndex(frame));
}

} // namespace cocos2d
