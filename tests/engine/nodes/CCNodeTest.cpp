#include "engine/director/DirectorFixture.h"
#include "touch/CCAccelerometer.h"
#include "touch/CCKeypadDispatcher.h"
#include "touch/CCTouchDispatcher.h"

#include <algorithm>
#include <string>
#include <vector>

using namespace cocos2d;

namespace {

// The log outlives the scenes, which the director keeps until it is torn down.
class NodeTest : public DirectorFixture {
protected:
    std::vector<std::string> log;
};

std::vector<int> tagsOf(CCNode* parent)
{
    std::vector<int> tags;
    for (CCObject* child : *parent->getChildren())
        tags.push_back(static_cast<CCNode*>(child)->getTag());
    return tags;
}

CCNode* tagged(int tag)
{
    CCNode* node = CCNode::create();
    node->setTag(tag);
    return node;
}

// Answers its parent's z-order, like the game's animation object.
class ParentZNode : public CCNode {
public:
    int getZOrder() const override { return getParent() ? getParent()->getZOrder() : 0; }
};

// Writes its life-cycle calls to a shared log.
class RecordingNode : public CCNode {
public:
    RecordingNode(std::string name, std::vector<std::string>& log) : m_name(std::move(name)), m_log(log) {}
    static RecordingNode* make(const char* name, std::vector<std::string>& log)
    {
        RecordingNode* node = new RecordingNode(name, log);
        node->autorelease();
        return node;
    }
    void onEnter() override
    {
        m_log.push_back("enter " + m_name);
        CCNode::onEnter();
    }
    void onExit() override
    {
        m_log.push_back("exit " + m_name);
        CCNode::onExit();
    }
    void cleanup() override
    {
        m_log.push_back("cleanup " + m_name);
        CCNode::cleanup();
    }
    void setParent(CCNode* parent) override
    {
        m_log.push_back(std::string(parent ? "parent " : "unparent ") + m_name);
        CCNode::setParent(parent);
    }
    void draw() override { m_log.push_back("draw " + m_name); }

private:
    std::string m_name;
    std::vector<std::string>& m_log;
};

void expectNear(const CCPoint& actual, float x, float y)
{
    EXPECT_NEAR(actual.x, x, 1e-3f);
    EXPECT_NEAR(actual.y, y, 1e-3f);
}

} // namespace

TEST_F(NodeTest, ChildrenStayInZOrderThenArrivalOrder)
{
    CCNode* parent = CCNode::create();
    parent->addChild(tagged(1), 0);
    parent->addChild(tagged(2), 5);
    parent->addChild(tagged(3), -2);
    parent->addChild(tagged(4), 0);
    parent->addChild(tagged(5), 5);
    EXPECT_EQ(tagsOf(parent), (std::vector<int>{3, 1, 4, 2, 5}));

    // A reorder, even to the same z, moves the child after the others of that z.
    parent->getChildByTag(1)->setZOrder(0);
    EXPECT_EQ(tagsOf(parent), (std::vector<int>{3, 4, 1, 2, 5}));
    parent->reorderChild(parent->getChildByTag(5), -2);
    EXPECT_EQ(tagsOf(parent), (std::vector<int>{3, 5, 4, 1, 2}));

    // Sorting uses the stored z-order, not an overridden getZOrder.
    CCNode* holder = CCNode::create();
    holder->setZOrder(50);
    ParentZNode* follower = new ParentZNode();
    follower->autorelease();
    follower->setTag(6);
    holder->addChild(tagged(7), 1);
    holder->addChild(follower, 0);
    EXPECT_EQ(tagsOf(holder), (std::vector<int>{6, 7}));
    EXPECT_EQ(follower->getZOrder(), 50);
}

TEST_F(NodeTest, TagsDefaultToUnsetAndFindTheFirstMatch)
{
    CCNode* parent = CCNode::create();
    EXPECT_LE(parent->getTag(), 0);
    CCNode* first = tagged(9);
    parent->addChild(first, 3);
    parent->addChild(tagged(9), 4);
    EXPECT_EQ(parent->getChildByTag(9), first);
    EXPECT_EQ(parent->getChildByTag(8), nullptr);
    EXPECT_EQ(CCNode::create()->getChildren()->count(), 0u);
}

TEST_F(NodeTest, ChildrenAreOwnedWhileAttached)
{
    const long before = CCObject::liveObjectCount();
    CCNode* parent = new CCNode();
    CCNode* child = new CCNode();
    parent->addChild(child);
    EXPECT_EQ(child->retainCount(), 2u);
    child->release();
    EXPECT_EQ(child->getParent(), parent);

    // Detached without cleanup and held elsewhere, the child survives.
    child->retain();
    child->removeFromParentAndCleanup(false);
    EXPECT_EQ(child->getParent(), nullptr);
    EXPECT_EQ(child->retainCount(), 1u);
    parent->addChild(child, 0, 3);
    child->release();

    // Removal frees a child nobody else holds.
    CCNode* grandchild = CCNode::create();
    child->addChild(grandchild);
    parent->removeChildByTag(3);
    EXPECT_EQ(parent->getChildrenCount(), 0u);
    // Left: the parent and the pooled grandchild, each with its children array.
    EXPECT_EQ(CCObject::liveObjectCount(), before + 4);
    CCPoolManager::sharedPoolManager()->pop();

    // A dying parent releases its children and clears their parent.
    CCNode* kept = CCNode::create();
    kept->retain();
    parent->addChild(kept);
    parent->setUserObject(CCNode::create());
    parent->release();
    EXPECT_EQ(kept->getParent(), nullptr);
    kept->release();
    CCPoolManager::sharedPoolManager()->pop();
    EXPECT_EQ(CCObject::liveObjectCount(), before);
}

TEST_F(NodeTest, AddingAChildTwiceOrToItselfIsRefused)
{
    CCNode* a = CCNode::create();
    CCNode* b = CCNode::create();
    a->addChild(b);
    b->addChild(b);
    CCNode::create()->addChild(b);
    EXPECT_EQ(b->getParent(), a);
    EXPECT_EQ(b->getChildrenCount(), 0u);
    a->addChild(nullptr);
    a->removeChild(CCNode::create());
    EXPECT_EQ(a->getChildrenCount(), 1u);
}

TEST_F(NodeTest, LifeCycleCallsComeInOrder)
{
    CCScene* scene = runScene();
    RecordingNode* parent = RecordingNode::make("P", log);
    parent->addChild(RecordingNode::make("A", log));
    scene->addChild(parent);
    EXPECT_EQ(log, (std::vector<std::string>{"parent A", "parent P", "enter P", "enter A"}));
    EXPECT_TRUE(parent->isRunning());
    EXPECT_TRUE(parent->getChildByTag(kCCNodeTagInvalid)->isRunning());

    log.clear();
    parent->retain();
    parent->removeFromParent();
    EXPECT_EQ(log, (std::vector<std::string>{"exit P", "exit A", "cleanup P", "cleanup A", "unparent P"}));
    EXPECT_FALSE(parent->isRunning());

    // Without cleanup, the node is exited and unparented only.
    scene->addChild(parent);
    log.clear();
    parent->removeFromParentAndCleanup(false);
    EXPECT_EQ(log, (std::vector<std::string>{"exit P", "exit A", "unparent P"}));
    parent->release();
}

// Enters a new sibling from its own onEnter.
class SpawningNode : public CCNode {
public:
    CCNode* spawned = nullptr;
    void onEnter() override
    {
        CCNode::onEnter();
        if (!spawned) {
            spawned = CCNode::create();
            getParent()->addChild(spawned, 10);
        }
    }
};

// Leaves its parent from its own onExit.
class LeavingNode : public CCNode {
public:
    void onExit() override
    {
        CCNode::onExit();
        removeFromParent();
    }
};

TEST_F(NodeTest, ChildrenChangedByLifeCycleCallbacksAreHandledOnce)
{
    CCNode* parent = CCNode::create();
    SpawningNode* spawner = new SpawningNode();
    spawner->autorelease();
    parent->addChild(spawner);
    RecordingNode* watcher = RecordingNode::make("W", log);
    parent->addChild(watcher, 20);
    runScene()->addChild(parent);
    ASSERT_NE(spawner->spawned, nullptr);
    EXPECT_TRUE(spawner->spawned->isRunning());
    EXPECT_EQ(std::count(log.begin(), log.end(), "enter W"), 1);

    LeavingNode* leaver = new LeavingNode();
    leaver->autorelease();
    parent->addChild(leaver);
    parent->removeFromParent();
    EXPECT_EQ(leaver->getParent(), nullptr);
    EXPECT_EQ(parent->getChildrenCount(), 3u);
}

TEST_F(NodeTest, VisitDrawsNegativeZFirstAndSkipsInvisibleSubtrees)
{
    RecordingNode* root = RecordingNode::make("R", log);
    root->addChild(RecordingNode::make("front", log), 1);
    root->addChild(RecordingNode::make("back", log), -1);
    RecordingNode* hidden = RecordingNode::make("hidden", log);
    hidden->addChild(RecordingNode::make("inside", log));
    hidden->setVisible(false);
    root->addChild(hidden, 0);
    log.clear();
    root->visit();
    EXPECT_EQ(log, (std::vector<std::string>{"draw back", "draw R", "draw front"}));
}

TEST_F(NodeTest, TransformsFollowPositionAnchorRotationAndScale)
{
    CCNode* node = CCNode::create();
    // Defaults: anchor (0,0), so the transform's translation is the position.
    node->setPosition(30.0f, 40.0f);
    EXPECT_FLOAT_EQ(node->nodeToParentTransform().tx, 30.0f);
    EXPECT_FLOAT_EQ(node->nodeToParentTransform().ty, 40.0f);

    // Rotation is clockwise about the anchor point.
    node->setPosition(100.0f, 50.0f);
    node->setContentSize(CCSize(40.0f, 20.0f));
    node->setAnchorPoint(CCPoint(0.5f, 0.5f));
    node->setRotation(90.0f);
    expectNear(node->convertToWorldSpace(CCPoint(20.0f, 10.0f)), 100.0f, 50.0f);
    expectNear(node->convertToWorldSpace(CCPoint(40.0f, 10.0f)), 100.0f, 30.0f);
    expectNear(node->convertToWorldSpaceAR(CCPoint(0.0f, 10.0f)), 110.0f, 50.0f);

    // A negative scale mirrors.
    CCNode* mirrored = CCNode::create();
    mirrored->setPosition(100.0f, 0.0f);
    mirrored->setScaleX(-2.0f);
    expectNear(mirrored->convertToWorldSpace(CCPoint(10.0f, 5.0f)), 80.0f, 5.0f);
    expectNear(mirrored->convertToNodeSpace(CCPoint(80.0f, 5.0f)), 10.0f, 5.0f);

    // Layers are placed by their bottom-left corner whatever their anchor.
    CCLayer* layer = CCLayer::create();
    EXPECT_EQ(layer->getContentSize(), CCSize(480.0f, 320.0f));
    layer->setPosition(10.0f, 20.0f);
    layer->setScale(0.5f);
    expectNear(layer->convertToWorldSpace(CCPoint(240.0f, 160.0f)), 250.0f, 180.0f);
    expectNear(layer->convertToWorldSpace(CCPointZero), 130.0f, 100.0f);
}

TEST_F(NodeTest, ConversionsThroughAChainRoundTrip)
{
    CCScene* scene = runScene();
    scene->setPosition(7.0f, -3.0f); // a shaken scene
    CCNode* outer = CCNode::create();
    outer->setPosition(200.0f, 100.0f);
    outer->setRotation(30.0f);
    outer->setScale(1.5f);
    CCNode* inner = CCNode::create();
    inner->setContentSize(CCSize(50.0f, 30.0f));
    inner->setAnchorPoint(CCPoint(1.0f, 0.0f));
    inner->setPosition(-20.0f, 40.0f);
    inner->setRotation(-75.0f);
    inner->setScaleX(-0.5f);
    inner->setScaleY(2.0f);
    scene->addChild(outer);
    outer->addChild(inner);

    for (const CCPoint& p : {CCPoint(0.0f, 0.0f), CCPoint(12.5f, -8.0f), CCPoint(50.0f, 30.0f)}) {
        const CCPoint world = inner->convertToWorldSpace(p);
        expectNear(inner->convertToNodeSpace(world), p.x, p.y);
        const CCPoint viaParents = CCPointApplyAffineTransform(
            CCPointApplyAffineTransform(
                CCPointApplyAffineTransform(p, inner->nodeToParentTransform()), outer->nodeToParentTransform()),
            scene->nodeToParentTransform());
        expectNear(world, viaParents.x, viaParents.y);
        expectNear(inner->convertToNodeSpaceAR(world), p.x - 50.0f, p.y);
    }
    // The anchor lands on the position.
    const CCPoint anchorInOuter = CCPointApplyAffineTransform(CCPoint(50.0f, 0.0f), inner->nodeToParentTransform());
    expectNear(anchorInOuter, -20.0f, 40.0f);
}

TEST_F(NodeTest, ColourAndOpacityAreReachedByCastAndCascadeWhenAsked)
{
    CCNode* plain = CCNode::create();
    EXPECT_EQ(dynamic_cast<CCRGBAProtocol*>(plain), nullptr);

    CCNodeRGBA* parent = CCNodeRGBA::create();
    CCNodeRGBA* child = CCNodeRGBA::create();
    parent->addChild(child);
    CCNode* asNode = child;
    CCRGBAProtocol* rgba = dynamic_cast<CCRGBAProtocol*>(asNode);
    ASSERT_NE(rgba, nullptr);
    EXPECT_EQ(rgba->getOpacity(), 255);

    parent->setOpacity(128);
    EXPECT_EQ(child->getDisplayedOpacity(), 255);
    parent->setCascadeOpacityEnabled(true);
    parent->setCascadeColorEnabled(true);
    parent->setOpacity(128);
    parent->setColor(ccc3(128, 255, 0));
    child->setOpacity(128);
    EXPECT_EQ(child->getOpacity(), 128);
    EXPECT_EQ(child->getDisplayedOpacity(), 64);
    EXPECT_EQ(child->getDisplayedColor(), ccc3(128, 255, 0));
}

namespace {

// Counts what reaches it from each input source.
class InputLayer : public CCLayer {
public:
    bool ccTouchBegan(CCTouch*, CCEvent*) override
    {
        ++touches;
        return true;
    }
    void keyBackClicked() override { ++backs; }
    void didAccelerate(CCAcceleration*) override { ++readings; }
    int touches = 0;
    int backs = 0;
    int readings = 0;
};

} // namespace

TEST_F(NodeTest, LayersTakeInputOnlyWhileRunningAndEnabled)
{
    InputLayer* layer = new InputLayer();
    layer->init();
    layer->setTouchEnabled(true);
    layer->setKeypadEnabled(true);
    layer->setAccelerometerEnabled(true);
    CCTouch* touch = new CCTouch();
    touch->setTouchInfo(0, 10.0f, 10.0f);
    auto sendAll = [&] {
        director->getTouchDispatcher()->touchesBegan({touch}, nullptr);
        director->getTouchDispatcher()->touchesCancelled({touch}, nullptr);
        director->getKeypadDispatcher()->dispatchKeypadMSG(kTypeBackClicked);
        director->getAccelerometer()->update(0.0, 1.0, 0.0, 0.0);
    };
    sendAll();
    CCScene* scene = runScene();
    scene->addChild(layer);
    sendAll();
    layer->setKeypadEnabled(false);
    sendAll();
    layer->removeFromParent();
    sendAll();
    EXPECT_EQ(layer->touches, 2);
    EXPECT_EQ(layer->backs, 1);
    EXPECT_EQ(layer->readings, 2);
    // Unregistered, the layer is held by nobody else: it is freed with its last reference.
    EXPECT_EQ(layer->retainCount(), 1u);
    layer->release();
    touch->release();
}
