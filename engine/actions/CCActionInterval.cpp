#include "actions/CCActionInterval.h"

#include "nodes/CCNode.h"
#include "nodes/CCProtocols.h"

#include <algorithm>
#include <cstdarg>

namespace cocos2d {

namespace {

template <class T>
T* autoreleased(T* object)
{
    object->autorelease();
    return object;
}

void setOpacityOf(CCNode* target, float opacity)
{
    if (CCRGBAProtocol* rgba = dynamic_cast<CCRGBAProtocol*>(target))
        rgba->setOpacity(static_cast<GLubyte>(std::clamp(opacity, 0.0f, 255.0f)));
}

} // namespace

bool CCActionInterval::initWithDuration(float duration)
{
    m_fDuration = std::max(0.0f, duration);
    m_elapsed = 0.0f;
    return true;
}

void CCActionInterval::startWithTarget(CCNode* target)
{
    CCFiniteTimeAction::startWithTarget(target);
    m_elapsed = 0.0f;
}

void CCActionInterval::step(float dt)
{
    m_elapsed += std::max(0.0f, dt);
    update(m_fDuration > 0.0f ? std::min(1.0f, m_elapsed / m_fDuration) : 1.0f);
}

CCSequence* CCSequence::createWithTwoActions(CCFiniteTimeAction* first, CCFiniteTimeAction* second)
{
    if (!first || !second)
        return nullptr;
    CCSequence* sequence = new CCSequence();
    sequence->initWithDuration(first->getDuration() + second->getDuration());
    first->retain();
    second->retain();
    sequence->m_pActions[0] = first;
    sequence->m_pActions[1] = second;
    return autoreleased(sequence);
}

CCSequence* CCSequence::create(CCFiniteTimeAction* first, ...)
{
    if (!first)
        return nullptr;
    va_list args;
    va_start(args, first);
    CCFiniteTimeAction* result = first;
    CCFiniteTimeAction* next = va_arg(args, CCFiniteTimeAction*);
    if (!next)
        result = createWithTwoActions(first, CCDelayTime::create(0.0f));
    for (; next; next = va_arg(args, CCFiniteTimeAction*))
        result = createWithTwoActions(result, next);
    va_end(args);
    return static_cast<CCSequence*>(result);
}

CCSequence::~CCSequence()
{
    CC_SAFE_RELEASE(m_pActions[0]);
    CC_SAFE_RELEASE(m_pActions[1]);
}

void CCSequence::startWithTarget(CCNode* target)
{
    CCActionInterval::startWithTarget(target);
    m_split = m_fDuration > 0.0f ? m_pActions[0]->getDuration() / m_fDuration : 0.0f;
    m_last = -1;
}

void CCSequence::stop()
{
    if (m_last != -1)
        m_pActions[m_last]->stop();
    CCActionInterval::stop();
}

void CCSequence::update(float t)
{
    int found = 0;
    float localT = 0.0f;
    if (t < m_split) {
        localT = t / m_split;
    } else {
        found = 1;
        localT = m_split >= 1.0f ? 1.0f : (t - m_split) / (1.0f - m_split);
    }
    // A step that jumps into the second action finishes the first one first.
    if (found == 1 && m_last != 1) {
        if (m_last == -1)
            m_pActions[0]->startWithTarget(m_pTarget);
        m_pActions[0]->update(1.0f);
        m_pActions[0]->stop();
    }
    if (found == m_last && m_pActions[found]->isDone())
        return;
    if (found != m_last)
        m_pActions[found]->startWithTarget(m_pTarget);
    m_last = found;
    m_pActions[found]->update(std::min(1.0f, localT));
}

CCRepeat* CCRepeat::create(CCFiniteTimeAction* action, unsigned int times)
{
    if (!action)
        return nullptr;
    CCRepeat* repeat = new CCRepeat();
    repeat->initWithDuration(action->getDuration() * static_cast<float>(times));
    action->retain();
    repeat->m_pInnerAction = action;
    repeat->m_uTimes = times;
    return autoreleased(repeat);
}

CCRepeat::~CCRepeat()
{
    CC_SAFE_RELEASE(m_pInnerAction);
}

void CCRepeat::startWithTarget(CCNode* target)
{
    CCActionInterval::startWithTarget(target);
    m_uTotal = 0;
    if (m_uTimes > 0)
        m_pInnerAction->startWithTarget(target);
}

void CCRepeat::stop()
{
    if (m_uTotal < m_uTimes)
        m_pInnerAction->stop();
    CCActionInterval::stop();
}

void CCRepeat::update(float t)
{
    const float innerDuration = m_pInnerAction->getDuration();
    const float time = t * m_fDuration;
    unsigned int finished = m_uTimes;
    if (t < 1.0f && innerDuration > 0.0f)
        finished = std::min(m_uTimes, static_cast<unsigned int>(time / innerDuration));
    while (m_uTotal < finished) {
        m_pInnerAction->update(1.0f);
        m_pInnerAction->stop();
        ++m_uTotal;
        if (m_uTotal < m_uTimes)
            m_pInnerAction->startWithTarget(m_pTarget);
    }
    if (m_uTotal < m_uTimes && innerDuration > 0.0f)
        m_pInnerAction->update(std::min(1.0f, (time - static_cast<float>(m_uTotal) * innerDuration) / innerDuration));
}

CCRepeatForever* CCRepeatForever::create(CCActionInterval* action)
{
    if (!action)
        return nullptr;
    CCRepeatForever* repeat = new CCRepeatForever();
    action->retain();
    repeat->m_pInnerAction = action;
    return autoreleased(repeat);
}

CCRepeatForever::~CCRepeatForever()
{
    CC_SAFE_RELEASE(m_pInnerAction);
}

void CCRepeatForever::startWithTarget(CCNode* target)
{
    CCActionInterval::startWithTarget(target);
    m_pInnerAction->startWithTarget(target);
}

void CCRepeatForever::stop()
{
    m_pInnerAction->stop();
    CCActionInterval::stop();
}

void CCRepeatForever::step(float dt)
{
    m_pInnerAction->step(dt);
    while (m_pInnerAction->isDone()) {
        const float surplus = m_pInnerAction->getElapsed() - m_pInnerAction->getDuration();
        m_pInnerAction->startWithTarget(m_pTarget);
        // A zero-length action runs once a step rather than forever within one.
        if (m_pInnerAction->getDuration() <= 0.0f)
            break;
        m_pInnerAction->step(surplus);
    }
}

CCDelayTime* CCDelayTime::create(float duration)
{
    CCDelayTime* delay = new CCDelayTime();
    delay->initWithDuration(duration);
    return autoreleased(delay);
}

CCFadeIn* CCFadeIn::create(float duration)
{
    CCFadeIn* fade = new CCFadeIn();
    fade->initWithDuration(duration);
    return autoreleased(fade);
}

void CCFadeIn::update(float t)
{
    setOpacityOf(m_pTarget, 255.0f * t);
}

CCFadeOut* CCFadeOut::create(float duration)
{
    CCFadeOut* fade = new CCFadeOut();
    fade->initWithDuration(duration);
    return autoreleased(fade);
}

void CCFadeOut::update(float t)
{
    setOpacityOf(m_pTarget, 255.0f * (1.0f - t));
}

} // namespace cocos2d
