// The runtime object base: requested states, components first, children stepped and
// removed after the walk, the visibility rule, field z order and component replacement.
#include "objects/object_test_support.h"

#include "components/ZqComponent.h"
#include "objects/ZqPAnimationObject.h"
#include "objects/ZqPObject.h"

using namespace cocos2d;
using namespace field_test;

namespace {

// A plain object that records what reaches it.
class Probe : public ZqPObject {
public:
    static Probe* make(std::vector<std::string>* log = nullptr, const char* name = "")
    {
        auto* probe = new Probe(zqCreateModel<ZqModelObject>("probe"));
        probe->autorelease();
        probe->m_log = log;
        probe->m_name = name;
        return probe;
    }
    void update(float dt) override
    {
        if (m_log)
            m_log->push_back(std::string("update ") + m_name);
        if (onUpdate)
            onUpdate(this);
        ZqPObject::update(dt);
    }
    void setState(int state) override
    {
        if (m_log)
            m_log->push_back(std::string(m_name) + " state " + std::to_string(state));
        ZqPObject::setState(state);
    }
    std::function<void(Probe*)> onUpdate;

private:
    using ZqPObject::ZqPObject;
    std::vector<std::string>* m_log = nullptr;
    const char* m_name = "";
};

class RecordingComponent : public ZqComponent {
public:
    RecordingComponent(std::vector<std::string>* log, const char* name)
        : m_log(log)
        , m_name(name)
    {
    }
    void update(float) override { m_log->push_back(std::string("component ") + m_name); }
    void ownerStateChanged() override
    {
        m_log->push_back(std::string(m_name) + " sees " + std::to_string(owner()->state()));
    }
    void ownerReset() override { m_log->push_back(std::string(m_name) + " reset"); }
    void setEnabledForReplacement(bool enabled) override
    {
        m_log->push_back(std::string(m_name) + (enabled ? " on" : " off"));
        ZqComponent::setEnabledForReplacement(enabled);
    }

private:
    std::vector<std::string>* m_log;
    const char* m_name;
};

class ObjectBaseTest : public ObjectTest {
protected:
    RecordingComponent* addComponent(ZqPObject* owner, const char* name)
    {
        auto* component = new RecordingComponent(&log, name);
        component->setOwner(owner);
        owner->addComponent(component);
        return component;
    }
    std::vector<std::string> log;
};

TEST_F(ObjectBaseTest, RequestedStateFirstThenComponentsThenChildren)
{
    Probe* object = Probe::make(&log, "parent");
    object->addChild(Probe::make(&log, "child"));
    addComponent(object, "a");
    addComponent(object, "b");
    object->setState(3);
    log.clear();

    object->requestState(0);
    EXPECT_EQ(object->state(), 3) << "nothing until the next update";
    object->update(kStep);
    const std::vector<std::string> expected{"update parent", "parent state 0", "a sees 0", "b sees 0",
                                            "component a", "component b", "update child"};
    EXPECT_EQ(log, expected);
    EXPECT_EQ(object->requestedState(), ZqPObject::kNoRequest);

    // -1 is no request; components update whether enabled or not.
    log.clear();
    object->requestState(ZqPObject::kNoRequest);
    object->update(kStep);
    EXPECT_EQ(log, (std::vector<std::string>{"update parent", "component a", "component b", "update child"}));

    log.clear();
    object->reset();
    EXPECT_EQ(log, (std::vector<std::string>{"a reset", "b reset"}));
}

TEST_F(ObjectBaseTest, ARequestDuringTheWalkWaitsForTheNextFrame)
{
    Probe* object = Probe::make();
    Probe* child = Probe::make();
    object->addChild(child);
    child->onUpdate = [object](Probe*) { object->requestState(2); };
    object->update(kStep);
    EXPECT_EQ(object->state(), 0);
    child->onUpdate = nullptr;
    object->update(kStep);
    EXPECT_EQ(object->state(), 2);
}

TEST_F(ObjectBaseTest, ChildrenReachingStateFiveGoAfterTheWalkWithTheirChildren)
{
    Probe* object = Probe::make(&log, "parent");
    Probe* first = Probe::make(&log, "first");
    Probe* second = Probe::make(&log, "second");
    Probe* third = Probe::make(&log, "third");
    Probe* grandchild = Probe::make(&log, "grandchild");
    object->addChild(first);
    object->addChild(second);
    object->addChild(third);
    first->addChild(grandchild);
    first->retain();
    grandchild->retain();
    // The first child dies and adds a node while the parent walks its children: the walk
    // still visits everyone it started with, and nothing leaves before it ends.
    first->onUpdate = [&](Probe* self) {
        self->setState(ZqPObject::kStateRemoved);
        object->addChild(Probe::make(&log, "late"));
    };
    third->onUpdate = [](Probe* self) { self->setState(ZqPObject::kStateRemoved); };
    object->update(kStep);
    EXPECT_EQ(object->getChildrenCount(), 2u) << "second and late stay";
    EXPECT_EQ(object->getChildren()->objectAtIndex(0), second);
    EXPECT_EQ(first->getParent(), nullptr);
    EXPECT_EQ(grandchild->getParent(), first) << "a removed child keeps its own children";
    EXPECT_EQ(std::count(log.begin(), log.end(), "update late"), 0) << "not walked in the frame it came";
    first->release();
    grandchild->release();
}

TEST_F(ObjectBaseTest, VisibilityIsRewrittenEveryFrame)
{
    Probe* free = Probe::make();
    free->setPosition(CCPoint(1e6f, 1e6f));
    free->setVisible(false);
    free->update(kStep);
    EXPECT_TRUE(free->isVisible()) << "no reference node: always visible";

    CCNode* camera = ZqPGameFieldCamera::create();
    scene->addChild(camera);
    Probe* far = Probe::make();
    camera->addChild(far);
    far->setReferenceNode(camera);
    GameplayParameters* parameters = GameplayParameters::shared();
    const float back = parameters->backDeletionThreshold();
    // Just inside the widened window, then just outside of it.
    far->setPosition(CCPoint(-back - 49.0f, 10.0f));
    far->update(kStep);
    EXPECT_TRUE(far->isVisible());
    far->setPosition(CCPoint(-back - 51.0f, 10.0f));
    far->update(kStep);
    EXPECT_FALSE(far->isVisible());
    // The window follows the camera.
    far->setPosition(CCPoint(-back - 149.0f, 10.0f));
    far->update(kStep);
    EXPECT_FALSE(far->isVisible());
    camera->setPosition(CCPoint(100.0f, 0.0f));
    far->update(kStep);
    EXPECT_TRUE(far->isVisible());
    camera->setPosition(CCPointZero);

    // Tagged children: the last one with a positive tag decides when it is visible.
    far->setPosition(CCPoint(-1e6f, 0.0f));
    CCNode* tagged = CCNode::create();
    tagged->setTag(4);
    far->addChild(tagged);
    CCNode* untagged = CCNode::create();
    untagged->setTag(0);
    far->addChild(untagged);
    far->update(kStep);
    EXPECT_TRUE(far->isVisible());
    CCNode* laterTagged = CCNode::create();
    laterTagged->setTag(9);
    laterTagged->setVisible(false);
    far->addChild(laterTagged);
    far->update(kStep);
    EXPECT_FALSE(far->isVisible()) << "an invisible last one hands over to the area test";
}

TEST_F(ObjectBaseTest, BoundingRectAndFixtureBoundsWithoutABody)
{
    Probe* parent = Probe::make();
    Probe* child = Probe::make();
    parent->addChild(child);
    parent->setPosition(CCPoint(100, 0));
    child->setPosition(CCPoint(10, 20));
    EXPECT_EQ(child->boundingRect(), CCRect(60, -30, 100, 100));
    child->setReferenceNode(parent);
    EXPECT_EQ(child->boundingRect(), CCRect(-40, -30, 100, 100));
    const b2AABB box = child->fixtureBounds();
    EXPECT_EQ(box.lowerBound, b2Vec2(0, 0));
    EXPECT_EQ(box.upperBound, b2Vec2(0, 0));
}

TEST_F(ObjectBaseTest, ReplacementCopiesEnabledFlagsOverTheCommonLength)
{
    Probe* source = Probe::make();
    addComponent(source, "s1")->setEnabled(true);
    addComponent(source, "s2")->setEnabled(false);
    addComponent(source, "s3")->setEnabled(true);
    Probe* target = Probe::make();
    addComponent(target, "t1");
    addComponent(target, "t2")->setEnabled(true);
    log.clear();
    target->reapplyComponentStates(*source);
    EXPECT_EQ(log, (std::vector<std::string>{"t1 on", "t2 off"}));
    log.clear();
    source->reapplyComponentStates(*target);
    EXPECT_EQ(log, (std::vector<std::string>{"s1 on", "s2 off"}));
    EXPECT_TRUE(source->components()[2]->isEnabled()) << "past the shorter list nothing changes";
}

TEST_F(ObjectBaseTest, FieldZOrderIsTheOutermostObjectsDepthInTheCamera)
{
    CCNode* camera = ZqPGameFieldCamera::create();
    scene->addChild(camera);
    Probe* outer = Probe::make();
    camera->addChild(outer, 7);
    Probe* inner = Probe::make();
    outer->addChild(inner, 2);
    Probe* innermost = Probe::make();
    inner->addChild(innermost, -3);
    EXPECT_EQ(outer->fieldZOrder(), 7);
    EXPECT_EQ(innermost->fieldZOrder(), 7);

    ZqPAnimationObject* animation = ZqPAnimationObject::create(zqCreateModel<ZqModelAnimation>("a"));
    inner->addChild(animation, 1);
    Probe* framed = Probe::make();
    animation->addChild(framed);
    EXPECT_EQ(framed->fieldZOrder(), 7) << "through an animation object";

    Probe* loose = Probe::make();
    scene->addChild(loose, 4);
    EXPECT_EQ(loose->fieldZOrder(), 0) << "outside the camera";
}

} // namespace
