#include "actions/CCActionInstant.h"

#include "nodes/CCNode.h"

namespace cocos2d {

CCCallFunc* CCCallFunc::create(CCObject* selectorTarget, SEL_CallFunc selector)
{
    CCCallFunc* action = new CCCallFunc();
    action->setSelectorTarget(selectorTarget);
    action->m_pCallFunc = selector;
    action->autorelease();
    return action;
}

CCCallFunc::~CCCallFunc()
{
    CC_SAFE_RELEASE(m_pSelectorTarget);
}

void CCCallFunc::setSelectorTarget(CCObject* selectorTarget)
{
    CC_SAFE_RETAIN(selectorTarget);
    CC_SAFE_RELEASE(m_pSelectorTarget);
    m_pSelectorTarget = selectorTarget;
}

void CCCallFunc::execute()
{
    if (m_pSelectorTarget && m_pCallFunc)
        (m_pSelectorTarget->*m_pCallFunc)();
}

CCCallFuncN* CCCallFuncN::create(CCObject* selectorTarget, SEL_CallFuncN selector)
{
    CCCallFuncN* action = new CCCallFuncN();
    action->setSelectorTarget(selectorTarget);
    action->m_pCallFuncN = selector;
    action->autorelease();
    return action;
}

void CCCallFuncN::execute()
{
    if (m_pSelectorTarget && m_pCallFuncN)
        (m_pSelectorTarget->*m_pCallFuncN)(m_pTarget);
}

} // namespace cocos2d
