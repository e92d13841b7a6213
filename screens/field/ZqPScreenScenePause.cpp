// The field's overlay, the screens pushed over it and pausing.
#include "screens/field/ZqPScreenScene.h"

#include "app/ZqObjectModelHolder.h"
#include "app/ZqSound.h"
#include "model/scene/ZqModelButtons.h"
#include "model/scene/ZqNode.h"
#include "objects/ZqPAnimationObject.h"
#include "screens/ZqPScreenNavigator.h"
#include "screens/ZqPScreenUi.h"

using namespace cocos2d;

namespace {

void setImageActionsPaused(CCNode* node, bool paused)
{
    if (!node->getChildren())
        return;
    for (CCObject* child : *node->getChildren()) {
        if (auto* animation = dynamic_cast<ZqPAnimationObject*>(child)) {
            if (paused)
                animation->pauseImageActions();
            else
                animation->resumeImageActions();
        }
        setImageActionsPaused(static_cast<CCNode*>(child), paused);
    }
}

} // namespace

ZqPScreenUi* ZqPScreenScene::overlay() const
{
    CCNode* container = getParent();
    return container ? dynamic_cast<ZqPScreenUi*>(container->getChildByTag(ZqPScreenNavigator::kOverlayTag)) : nullptr;
}

void ZqPScreenScene::pause(CCObject* sender)
{
    if (m_paused || m_requestedPause || m_gameOver)
        return;
    ZqPScreenNavigator* navigator = ZqPScreenNavigator::shared();
    std::shared_ptr<ZqBaseModelObjectButton> button =
        modelKindCast<ZqBaseModelObjectButton>(ZqObjectModelHolder::modelOf(dynamic_cast<CCNode*>(sender)));
    const bool pushed = (button && !button->name().empty() && navigator->pushScreen(button->name(), false)) ||
                        navigator->pushScreen(ZqBaseNode::kPausePortName, true);
    if (!pushed)
        return;
    m_pauseDepth = navigator->history().size();
    rebuildOverlay();
    m_requestedPause = true;
}

void ZqPScreenScene::rebuildOverlay()
{
    CCNode* container = getParent();
    if (!container)
        return;
    if (ZqPScreenUi* old = overlay()) {
        // The old overlay may be running the action that asked for this.
        old->retain();
        old->autorelease();
        container->removeChild(old, true);
    }
    if (ZqPScreenUi* fresh = ZqPScreenUi::create())
        container->addChild(fresh, ZqPScreenNavigator::kOverlayZOrder, ZqPScreenNavigator::kOverlayTag);
    // A pause ends once the screen it pushed has left the history, though a screen pushed
    // before it (the overlay's touch variant) stays; a pause asked otherwise, once no screen
    // is pushed.
    const ZqPScreenNavigator* navigator = ZqPScreenNavigator::shared();
    if (!navigator->isScreenPushed() || navigator->history().size() < m_pauseDepth) {
        m_requestedPause = false;
        m_pauseDepth = 0;
    }
}

void ZqPScreenScene::closeOverlayAndResume(CCObject* /*sender*/)
{
    if (ZqPScreenNavigator::shared()->back())
        rebuildOverlay();
}

void ZqPScreenScene::applyRequestedPause()
{
    if (m_requestedPause == m_paused)
        return;
    m_paused = m_requestedPause;
    setImageActionsPaused(m_camera, m_paused);
    ZqSoundRegistry& sounds = ZqSoundRegistry::shared();
    for (int tag : {ZqSound::kTagField, ZqSound::kTagDeath}) {
        if (m_paused)
            sounds.pauseTag(tag);
        else
            sounds.resumeTag(tag);
    }
}
