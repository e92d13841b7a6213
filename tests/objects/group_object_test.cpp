// The group object's depth sort: axis, order, the z band and character membership.
#include "objects/object_test_support.h"

#include "model/objects/ZqModelObjectsLogic.h"
#include "objects/ZqPObjectGroup.h"

using namespace cocos2d;
using namespace field_test;

namespace {

class GroupObjectTest : public ObjectTest {
protected:
    void SetUp() override
    {
        ObjectTest::SetUp();
        camera = CCNode::create();
        scene->addChild(camera);
        groupModel = zqCreateModel<ZqModelObjectGroup>("group");
        groupModel->m_autoDepthSorting->setValue(true);
        group = ZqPObjectGroup::create(groupModel);
        group->setReferenceNode(camera);
        camera->addChild(group);
    }

    // A member of the group at position and z.
    ZqPObject* member(const CCPoint& position, int z, bool inGroup = true)
    {
        auto model = zqCreateModel<ZqModelObject>("member");
        if (inGroup)
            groupModel->addChild(model);
        auto* object = new ZqPObject(model);
        object->autorelease();
        object->setPosition(position);
        camera->addChild(object, z);
        return object;
    }

    CCNode* camera = nullptr;
    std::shared_ptr<ZqModelObjectGroup> groupModel;
    ZqPObjectGroup* group = nullptr;
};

TEST_F(GroupObjectTest, AxisAndOrderDecideTheDepthFromTheLowestZ)
{
    ZqPObject* a = member(CCPoint(0, 30), 5);
    ZqPObject* b = member(CCPoint(10, 10), 9);
    ZqPObject* c = member(CCPoint(20, 20), 7);
    ZqPObject* outsider = member(CCPoint(5, 5), 3, false);

    // "gAxisX" sorts on y; "gSortAsc" draws the greatest first.
    group->update(kStep);
    EXPECT_EQ(a->getZOrder(), 5);
    EXPECT_EQ(c->getZOrder(), 6);
    EXPECT_EQ(b->getZOrder(), 7);
    EXPECT_EQ(outsider->getZOrder(), 3);

    groupModel->m_sortOrder->setValue("");
    group->update(kStep);
    EXPECT_EQ(b->getZOrder(), 5);
    EXPECT_EQ(c->getZOrder(), 6);
    EXPECT_EQ(a->getZOrder(), 7);

    // Any other direction sorts on x.
    groupModel->m_sortDirection->setValue("gAxisY");
    group->update(kStep);
    EXPECT_EQ(a->getZOrder(), 5);
    EXPECT_EQ(b->getZOrder(), 6);
    EXPECT_EQ(c->getZOrder(), 7);
}

TEST_F(GroupObjectTest, HighBandsStartAtTenThousandAndTiesKeepChildOrder)
{
    ZqPObject* a = member(CCPoint(0, 10), 12000);
    ZqPObject* b = member(CCPoint(0, 10), 15000);
    group->update(kStep);
    EXPECT_EQ(a->getZOrder(), 10000);
    EXPECT_EQ(b->getZOrder(), 10001);
}

TEST_F(GroupObjectTest, CharactersJoinOnlyGroupsHoldingACharacter)
{
    ZqPObject* a = member(CCPoint(0, 10), 4);
    auto* hero = new ZqPObject(zqCreateModel<ZqModelObject>("hero"));
    hero->autorelease();
    hero->setObjectType(ZqPObject::kTypeCharacter);
    hero->setPosition(0, 50);
    camera->addChild(hero, 20);

    group->update(kStep);
    EXPECT_EQ(hero->getZOrder(), 20);

    groupModel->addChild(zqCreateModel<ZqModelObjectAssetCharacter>("character"));
    group->update(kStep);
    EXPECT_EQ(hero->getZOrder(), 4);
    EXPECT_EQ(a->getZOrder(), 5);
}

TEST_F(GroupObjectTest, NothingWithoutSortingOrReferenceNode)
{
    ZqPObject* a = member(CCPoint(0, 10), 4);
    ZqPObject* b = member(CCPoint(0, 20), 8);
    groupModel->m_autoDepthSorting->setValue(false);
    group->update(kStep);
    EXPECT_EQ(a->getZOrder(), 4);
    EXPECT_EQ(b->getZOrder(), 8);

    groupModel->m_autoDepthSorting->setValue(true);
    group->setReferenceNode(nullptr);
    group->update(kStep);
    EXPECT_EQ(a->getZOrder(), 4);
    EXPECT_EQ(b->getZOrder(), 8);
}

} // namespace
