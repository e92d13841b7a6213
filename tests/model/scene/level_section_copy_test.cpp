// Copies of level sections and scenes re-link their groups and linkers, and a copied
// scene picks its forced-movement and deletion-threshold components as a loaded one does.
#include "media_shape_support.h"

#include "model/objects/ZqModelComponentsBehaviour.h"
#include "model/objects/ZqModelObjectsLogic.h"
#include "model/scene/ZqModelAssets.h"
#include "model/scene/ZqModelFont.h"
#include "model/scene/ZqModelLevelSection.h"
#include "model/scene/ZqModelScreen.h"

namespace {

using scene_test::SceneTest;

struct Section {
    std::shared_ptr<ZqModelLevelSection> section = ZqModelLevelSection::create();
    std::shared_ptr<ZqModelObjectImage> a = ZqModelObjectImage::create();
    std::shared_ptr<ZqModelObjectImage> b = ZqModelObjectImage::create();
    std::shared_ptr<ZqModelObjectGroup> group = ZqModelObjectGroup::create();
    std::shared_ptr<ZqModelLinker> linker = ZqModelLinker::create();

    Section()
    {
        linker->setObjects(a, b, true);
        group->addChild(a);
        group->addChild(b);
        for (const std::shared_ptr<ZqModel>& child : std::vector<std::shared_ptr<ZqModel>>{a, b, group, linker})
            section->addChild(child);
    }
};

using LevelSectionCopyTest = SceneTest;

TEST_F(LevelSectionCopyTest, DeepCopyRelinksGroupAndLinkerAndSharesNothing)
{
    Section source;
    source.section->cooldownCounter = 2;
    auto copy = duplicateModel(source.section, true, false);
    ASSERT_EQ(copy->children().size(), 4u);
    for (const std::shared_ptr<ZqModel>& child : copy->children())
        EXPECT_FALSE(source.section->hasChild(child.get()));
    auto a = copy->objectAt(0);
    auto b = copy->objectAt(1);
    auto group = copy->firstChildOfClass<ZqModelObjectGroup>();
    auto linker = copy->firstChildOfClass<ZqModelLinker>();
    ASSERT_TRUE(a && b && group && linker);
    EXPECT_EQ(group->children(), (std::vector<std::shared_ptr<ZqModel>>{a, b}));
    EXPECT_EQ(linker->objectA(), a);
    EXPECT_EQ(linker->objectB(), b);
    EXPECT_EQ(source.linker->objectA(), source.a); // the source keeps its own
    EXPECT_EQ(copy->cooldownCounter, 2);
    EXPECT_EQ(copy->objects().size(), 3u); // A, B and the group; the linker is no object
}

TEST_F(LevelSectionCopyTest, LinkerToAnOutsideObjectIsDroppedAndOutsideMembersStayShared)
{
    Section source;
    auto outside = ZqModelObjectImage::create();
    source.group->addChild(outside);
    source.linker->setObjects(source.a, outside, true);
    auto copy = duplicateModel(source.section, true, false);
    EXPECT_FALSE(copy->firstChildOfClass<ZqModelLinker>());
    auto group = copy->firstChildOfClass<ZqModelObjectGroup>();
    ASSERT_EQ(group->children().size(), 3u);
    EXPECT_EQ(group->children()[2], outside);

    // Not deep: the very same children, linker included.
    auto shallow = duplicateModel(source.section, false, false);
    EXPECT_EQ(shallow->children(), source.section->children());
}

TEST_F(LevelSectionCopyTest, CopiesAreRegisteredExactlyWhenTheSourceIs)
{
    Section loose;
    auto looseCopy = duplicateModel(loose.section, true, true);
    EXPECT_FALSE(controller().modelById(looseCopy->id()));

    Section registered;
    for (const std::shared_ptr<ZqModel>& model :
         std::vector<std::shared_ptr<ZqModel>>{registered.section, registered.a, registered.b, registered.group, registered.linker})
        controller().addModel(model);
    auto copy = duplicateModel(registered.section, true, true);
    EXPECT_EQ(controller().modelById(copy->id()), copy);
    for (const std::shared_ptr<ZqModel>& child : copy->children())
        EXPECT_EQ(controller().modelById(child->id()), child) << child->className();
    EXPECT_EQ(controller().modelsOfClass<ZqModelLinker>().size(), 2u);
}

TEST_F(LevelSectionCopyTest, ASectionThatIsItsOwnDescendantIsCopiedOnce)
{
    // Wrapped without self pointers, the models keep no parent links, so adding children
    // cannot see the cycle; the copy must still end.
    std::shared_ptr<ZqModelLevelSection> section(new ZqModelLevelSection(""));
    std::shared_ptr<ZqModelObjectImage> holder(new ZqModelObjectImage(""));
    section->addChild(holder);
    holder->addChild(section);
    auto copy = duplicateModel(section, true, false);
    ASSERT_EQ(copy->children().size(), 1u);
    section->removeAllChildren(true); // break the reference cycle
    holder->removeAllChildren(true);
}

class SceneCopyTest : public SceneTest {
protected:
    std::shared_ptr<ZqModelObjectAssetCharacter> character(int depth)
    {
        auto object = ZqModelObjectAssetCharacter::create();
        object->setZDepth(depth);
        return object;
    }
};

TEST_F(SceneCopyTest, DeepCopyGroupsShareTheInitSectionsCharacter)
{
    auto scene = ZqModelScreenScene::create();
    auto init = ZqModelLevelSection::create();
    init->m_initSection->setValue(true);
    auto hero = character(2);
    init->addChild(character(5));
    init->addChild(hero);
    Section second;
    auto own = character(2);
    auto stranger = character(9);
    second.group->insertChild(own, 1);
    second.group->addChild(stranger);
    for (const std::shared_ptr<ZqModel>& child : {std::shared_ptr<ZqModel>(own), std::shared_ptr<ZqModel>(stranger)})
        second.section->addChild(child);
    scene->addChild(init);
    scene->addChild(second.section);

    auto copy = duplicateModel(scene, true, false);
    ASSERT_EQ(copy->levelSections().size(), 2u);
    auto initCopy = copy->initSection();
    ASSERT_TRUE(initCopy);
    EXPECT_NE(initCopy, init);
    auto heroCopy = initCopy->childrenOfClass<ZqModelObjectAssetCharacter>()[1];
    auto group = copy->levelSections()[1]->firstChildOfClass<ZqModelObjectGroup>();
    ASSERT_EQ(group->children().size(), 4u);
    EXPECT_EQ(group->children()[1], heroCopy); // at the index of its own character
    EXPECT_EQ(modelCast<ZqModelObjectAssetCharacter>(group->children()[3])->zDepth(), 9); // no match: stays
    EXPECT_FALSE(group->hasChild(hero.get()));
}

TEST_F(SceneCopyTest, ComponentValuesWinAndTheFirstChildRulesAfterLoadingAndCopying)
{
    auto scene = ZqModelScreenScene::create();
    scene->m_gameSpeedMin->setValue(7.0f);
    scene->m_backDeletionThreshold->setValue(100.0f);
    EXPECT_EQ(scene->gameSpeedMin(), 7.0f);

    auto first = ZqModelComponentForcedMovement::create();
    auto second = ZqModelComponentForcedMovement::create();
    second->m_froceMin->setValue(5.0f);
    scene->addChild(first);
    EXPECT_EQ(scene->gameSpeedMin(), 3.0f);
    EXPECT_EQ(scene->gameSpeedMax(), 10.0f);
    EXPECT_FLOAT_EQ(scene->speedIncrease(), 0.1f);
    EXPECT_EQ(scene->backDeletionThreshold(), 100.0f);
    scene->addChild(second);
    EXPECT_EQ(scene->gameSpeedMin(), 5.0f); // the last added, until the first-child rule runs

    auto threshold = ZqModelComponentDeletionThreshold::create();
    scene->addChild(threshold);
    EXPECT_EQ(scene->backDeletionThreshold(), 300.0f);
    EXPECT_EQ(scene->sidesDeletionThreshold(), 550.0f);
    EXPECT_EQ(scene->gameSpeedMin(), 5.0f);

    auto shallow = duplicateModel(scene, false, false);
    auto deep = duplicateModel(scene, true, false);
    EXPECT_EQ(shallow->forcedMovement(), first);
    EXPECT_EQ(shallow->gameSpeedMin(), 3.0f);
    EXPECT_EQ(deep->gameSpeedMin(), 3.0f);
    EXPECT_NE(deep->forcedMovement(), first);
    EXPECT_TRUE(deep->deletionThreshold());

    for (const std::shared_ptr<ZqModel>& model : std::vector<std::shared_ptr<ZqModel>>{scene, first, second, threshold})
        controller().addModel(model);
    scene_test::installKeysFor({scene, first, second, threshold});
    scene_test::reloadModels(scene_test::packModels({scene, first, second, threshold}));
    auto loaded = controller().getModel<ZqModelScreenScene>(scene->id());
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->forcedMovement()->id(), first->id());
    EXPECT_EQ(loaded->gameSpeedMin(), 3.0f);

    // Removing the component restores the scene's own values.
    loaded->removeChild(loaded->forcedMovement());
    loaded->removeChild(loaded->deletionThreshold());
    EXPECT_EQ(loaded->gameSpeedMin(), 7.0f);
    EXPECT_EQ(loaded->backDeletionThreshold(), 100.0f);
    // second is still a child but is only picked up by the next add or reading.
    EXPECT_FALSE(loaded->forcedMovement());
}

} // namespace
