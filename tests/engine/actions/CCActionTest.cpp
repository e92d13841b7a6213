#include "engine/director/DirectorFixture.h"

#include <vector>

using namespace cocos2d;

namespace {

using ActionTest = DirectorFixture;

// A coloured node whose shown frame an animation switches, as the sprite will be.
class FrameNode : public CCNodeRGBA, public CCAnimationTarget {
public:
    static FrameNode* make()
    {
        FrameNode* node = new FrameNode();
        node->autorelease();
        return node;
    }
    void setAnimationFrame(CCObject* frame) override
    {
        CC_SAFE_RETAIN(frame);
        CC_SAFE_RELEASE(m_frame);
        m_frame = frame;
        ++switches;
    }
    CCObject* getAnimationFrame() override { return m_frame; }
    ~FrameNode() override { CC_SAFE_RELEASE(m_frame); }

    void called() { ++calls; }
    void calledWith(CCNode* node) { calledNode = node; }
    void stopEverything() { stopAllActions(); }

    int switches = 0;
    int calls = 0;
    CCNode* calledNode = nullptr;

private:
    CCObject* m_frame = nullptr;
};

// An animation of count frames, delay seconds each; frames are tagged nodes 0..count-1.
CCAnimation* makeAnimation(int count, float delay)
{
    CCAnimation* animation = CCAnimation::create();
    for (int i = 0; i < count; ++i) {
        CCNode* frame = CCNode::create();
        frame->setTag(i);
        animation->addSpriteFrame(frame);
    }
    animation->setDelayPerUnit(delay);
    return animation;
}

int shownFrame(FrameNode* node)
{
    CCObject* frame = node->getAnimationFrame();
    return frame ? static_cast<CCNode*>(frame)->getTag() : -1;
}

} // namespace

TEST_F(ActionTest, AnimateShowsFrameKDuringItsSlot)
{
    FrameNode* node = FrameNode::make();
    runScene()->addChild(node);
    CCAnimation* animation = makeAnimation(4, 0.125f);
    EXPECT_FLOAT_EQ(animation->getDuration(), 0.5f);
    node->runAction(CCAnimate::create(animation));
    std::vector<int> shown;
    for (int i = 0; i < 10; ++i) {
        frame(0.0625f);
        shown.push_back(shownFrame(node));
    }
    EXPECT_EQ(shown, (std::vector<int>{0, 1, 1, 2, 2, 3, 3, 3, 3, 3}));
    EXPECT_EQ(node->numberOfRunningActions(), 0u);
    EXPECT_EQ(node->switches, 4);

    // Game speed: 1/30 s frames stepped at 60 fps flip every second step, never late.
    FrameNode* fast = FrameNode::make();
    director->getRunningScene()->addChild(fast);
    fast->runAction(CCAnimate::create(makeAnimation(5, 1.0f / 30.0f)));
    shown.clear();
    for (int i = 0; i < 10; ++i) {
        frame(1.0f / 60.0f);
        shown.push_back(shownFrame(fast));
    }
    EXPECT_EQ(shown, (std::vector<int>{0, 1, 1, 2, 2, 3, 3, 4, 4, 4}));
}

TEST_F(ActionTest, AnimateCanRestoreTheOriginalFrame)
{
    FrameNode* node = FrameNode::make();
    runScene()->addChild(node);
    CCNode* original = CCNode::create();
    original->setTag(99);
    node->setAnimationFrame(original);
    CCAnimation* animation = makeAnimation(2, 0.25f);
    animation->setRestoreOriginalFrame(true);
    node->runAction(CCAnimate::create(animation));
    frame(0.25f);
    EXPECT_EQ(shownFrame(node), 1);
    frame(0.25f);
    EXPECT_EQ(shownFrame(node), 99);
}

TEST_F(ActionTest, RepeatOnceRunsOnceThenLeavesTheManager)
{
    FrameNode* node = FrameNode::make();
    runScene()->addChild(node);
    CCAction* animation = CCRepeat::create(CCAnimate::create(makeAnimation(3, 0.25f)), 1);
    animation->setTag(76);
    animation->retain(); // the image object keeps its own reference
    node->runAction(animation);
    frame(0.5f);
    EXPECT_EQ(node->getActionByTag(76), animation);
    EXPECT_EQ(shownFrame(node), 2);
    frame(0.25f);
    EXPECT_EQ(node->getActionByTag(76), nullptr);
    EXPECT_EQ(shownFrame(node), 2);
    EXPECT_EQ(animation->retainCount(), 1u);

    // Run again, it starts over from the first frame.
    node->runAction(animation);
    frame(0.125f);
    EXPECT_EQ(shownFrame(node), 0);
    node->stopAllActions();
    EXPECT_EQ(animation->retainCount(), 1u);
    animation->release();
}

TEST_F(ActionTest, RepeatCountsEachRun)
{
    FrameNode* node = FrameNode::make();
    runScene()->addChild(node);
    node->runAction(CCRepeat::create(CCSequence::create(CCDelayTime::create(0.25f),
                                                        CCCallFunc::create(node, callfunc_selector(FrameNode::called)),
                                                        nullptr),
                                     3));
    for (int i = 0; i < 4; ++i)
        frame(0.375f);
    EXPECT_EQ(node->calls, 3);
    EXPECT_EQ(node->numberOfRunningActions(), 0u);
}

TEST_F(ActionTest, RepeatForeverCarriesTheSurplusIntoTheNextLoop)
{
    FrameNode* node = FrameNode::make();
    runScene()->addChild(node);
    node->runAction(CCRepeatForever::create(CCAnimate::create(makeAnimation(2, 0.25f))));
    float total = 0.0f;
    for (int i = 1; i <= 12; ++i) {
        frame(0.375f);
        total += 0.375f;
        const int expected = static_cast<int>(total / 0.25f) % 2;
        EXPECT_EQ(shownFrame(node), expected) << "after " << total << " s";
    }
    EXPECT_EQ(node->numberOfRunningActions(), 1u);
}

TEST_F(ActionTest, FadesRunBetweenFullAndNone)
{
    FrameNode* node = FrameNode::make();
    runScene()->addChild(node);
    node->setOpacity(100);
    node->runAction(CCFadeOut::create(2.0f));
    std::vector<int> opacities;
    for (int i = 0; i < 4; ++i) {
        frame(0.5f);
        opacities.push_back(node->getOpacity());
    }
    EXPECT_EQ(opacities, (std::vector<int>{191, 127, 63, 0}));

    node->runAction(CCFadeIn::create(1.0f));
    frame(0.5f);
    EXPECT_EQ(node->getOpacity(), 127);
    frame(0.5f);
    EXPECT_EQ(node->getOpacity(), 255);

    // A plain node has nothing to fade.
    CCNode* plain = CCNode::create();
    director->getRunningScene()->addChild(plain);
    plain->runAction(CCFadeOut::create(0.5f));
    frame(1.0f);
    EXPECT_EQ(plain->numberOfRunningActions(), 0u);
}

TEST_F(ActionTest, SequenceCallsItsFunctionOnceAtItsTime)
{
    FrameNode* node = FrameNode::make();
    runScene()->addChild(node);
    node->runAction(CCSequence::create(CCDelayTime::create(0.5f),
                                       CCCallFunc::create(node, callfunc_selector(FrameNode::called)),
                                       CCCallFuncN::create(node, callfuncN_selector(FrameNode::calledWith)),
                                       CCFadeOut::create(1.0f), nullptr));
    frame(0.25f);
    EXPECT_EQ(node->calls, 0);
    frame(0.5f);
    EXPECT_EQ(node->calls, 1);
    EXPECT_EQ(node->calledNode, node);
    EXPECT_EQ(node->getOpacity(), 191); // a quarter of a second into the fade
    frame(0.5f);
    frame(0.5f);
    EXPECT_EQ(node->calls, 1);
    EXPECT_EQ(node->getOpacity(), 0);
    EXPECT_EQ(node->numberOfRunningActions(), 0u);
}

TEST_F(ActionTest, AnActionMayStopEverythingFromInsideAStep)
{
    FrameNode* node = FrameNode::make();
    runScene()->addChild(node);
    node->runAction(CCSequence::create(CCDelayTime::create(0.25f),
                                       CCCallFunc::create(node, callfunc_selector(FrameNode::stopEverything)),
                                       CCCallFunc::create(node, callfunc_selector(FrameNode::called)), nullptr));
    node->runAction(CCFadeOut::create(1.0f));
    frame(0.5f);
    frame(0.5f);
    EXPECT_EQ(node->numberOfRunningActions(), 0u);
    EXPECT_EQ(node->getOpacity(), 255); // the fade was removed before its step
}

TEST_F(ActionTest, ActionsWaitForTheNodeAndPauseWithIt)
{
    FrameNode* node = FrameNode::make();
    node->retain();
    node->runAction(CCFadeOut::create(1.0f));
    frame(0.5f);
    EXPECT_EQ(node->getOpacity(), 255);
    runScene()->addChild(node);
    node->release();
    frame(0.5f);
    EXPECT_EQ(node->getOpacity(), 127);
    director->getActionManager()->pauseTarget(node);
    frame(0.25f);
    EXPECT_EQ(node->getOpacity(), 127);
    director->getActionManager()->resumeTarget(node);
    frame(0.25f);
    EXPECT_EQ(node->getOpacity(), 63);
}

// Reads its node's opacity in its own update, scheduled ahead of everything else.
class OpacityWatcher : public CCNode {
public:
    void update(float) override { seen.push_back(watched->getOpacity()); }
    FrameNode* watched = nullptr;
    std::vector<int> seen;
};

TEST_F(ActionTest, ActionsAdvanceBeforeUpdatesInTheFrame)
{
    CCScene* scene = runScene();
    FrameNode* node = FrameNode::make();
    scene->addChild(node);
    OpacityWatcher* watcher = new OpacityWatcher();
    watcher->autorelease();
    watcher->watched = node;
    scene->addChild(watcher);
    watcher->scheduleUpdateWithPriority(-1000);
    node->runAction(CCFadeOut::create(1.0f));
    frame(0.5f);
    EXPECT_EQ(watcher->seen, (std::vector<int>{127}));
}
