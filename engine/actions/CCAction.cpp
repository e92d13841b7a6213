#include "actions/CCAction.h"

namespace cocos2d {

void CCAction::startWithTarget(CCNode* target)
{
    m_pOriginalTarget = target;
    m_pTarget = target;
}

void CCAction::stop()
{
    m_pTarget = nullptr;
}

} // namespace cocos2d
