// A generated game read back through the bytes of its model files: a start screen and a
// menu, a game scene with three level sections, and the flow graph between them; then
// the navigator's lookups on it.
#include "model/scene/media_shape_support.h"

#include "model/objects/ZqModelComponentsBehaviour.h"
#include "model/objects/ZqModelObjectsLogic.h"
#include "model/scene/ZqModelAssets.h"
#include "model/scene/ZqModelFont.h"
#include "model/scene/ZqModelLevelSection.h"
#include "model/scene/ZqModelScreen.h"
#include "model/scene/ZqNode.h"
#include "screens/ZqPScreenNavigator.h"

namespace {

using scene_test::SceneTest;

// Ids of the models of the generated game, stable across the reload.
struct GameIds {
    unsigned start = 0, menu = 0, world = 0;
    unsigned startScreen = 0, menuScreen = 0, scene = 0;
    unsigned sections[3] = {};
    unsigned sceneImage = 0, character = 0, objectA = 0, objectB = 0, group = 0, linker = 0, lastObject = 0;
};

class ScreenFlowGameTest : public SceneTest {
protected:
    template <class T>
    std::shared_ptr<T> make()
    {
        std::shared_ptr<T> model = controller().createModel<T>();
        m_models.push_back(model);
        return model;
    }

    static void setKey(ZqBaseModelScreen& screen, const std::string& key) { screen.m_key->setValue(key); }
    static ZqBaseAttribute* targetPort(ZqModel& owner, const std::string& name)
    {
        auto* port = new ZqAttribute(name, &owner);
        port->setConnectionType(ZqBaseAttribute::kTarget, true);
        return port;
    }

    // Writes the game, drops every model and reads the files back.
    GameIds buildAndReload()
    {
        GameIds ids;
        auto start = make<ZqNodeUIStart>();
        auto menu = make<ZqNodeUI>();
        auto world = make<ZqNodeScene>();
        auto startScreen = make<ZqModelScreen>();
        auto menuScreen = make<ZqModelScreen>();
        auto scene = make<ZqModelScreenScene>();
        setKey(*startScreen, "start");
        setKey(*menuScreen, "menu");
        setKey(*scene, "game");
        menuScreen->m_adBannerFrequency->setValue(3.0f);
        scene->m_gravity->setValue(cocos2d::CCPoint(0.0f, -20.0f));
        start->addChild(startScreen);
        menu->addChild(menuScreen);
        world->addChild(scene);
        // start "Load" -> menu, menu "Play" -> world, world "UI" -> menu.
        start->findAttribute("Load")->connect(menu->loadPort());
        targetPort(*menu, "Play")->connect(world->loadPort());
        world->findAttribute("UI")->connect(menu->loadPort());

        auto sceneImage = make<ZqModelObjectImage>();
        scene->addChild(sceneImage);
        scene->addChild(make<ZqModelComponentForcedMovement>());
        std::shared_ptr<ZqModelLevelSection> sections[3];
        for (int i = 0; i < 3; ++i) {
            sections[i] = make<ZqModelLevelSection>();
            scene->addChild(sections[i]);
            ids.sections[i] = sections[i]->id();
        }
        sections[0]->m_initSection->setValue(true);
        sections[1]->m_endDistance->setValue(900.0f);
        auto character = make<ZqModelObjectAssetCharacter>();
        sections[0]->addChild(character);
        auto objectA = make<ZqModelObjectImage>();
        auto objectB = make<ZqModelObjectImage>();
        auto group = make<ZqModelObjectGroup>();
        auto linker = make<ZqModelLinker>();
        linker->setObjects(objectA, objectB, true);
        group->addChild(objectA);
        group->addChild(objectB);
        for (const std::shared_ptr<ZqModel>& child : std::vector<std::shared_ptr<ZqModel>>{objectA, objectB, group, linker})
            sections[1]->addChild(child);
        auto lastObject = make<ZqModelObjectImage>();
        sections[2]->addChild(lastObject);

        ids = {start->id(), menu->id(), world->id(), startScreen->id(), menuScreen->id(), scene->id(),
               {ids.sections[0], ids.sections[1], ids.sections[2]}, sceneImage->id(), character->id(),
               objectA->id(), objectB->id(), group->id(), linker->id(), lastObject->id()};
        scene_test::installKeysFor(m_models);
        const scene_test::ModelFiles files = scene_test::packModels(m_models);
        m_models.clear();
        scene_test::reloadModels(files);
        return ids;
    }

    template <class T>
    std::shared_ptr<T> get(unsigned id)
    {
        return controller().getModel<T>(id);
    }

    std::vector<std::shared_ptr<ZqModel>> m_models;
};

TEST_F(ScreenFlowGameTest, GraphScreensAndSectionsComeBackFromTheFiles)
{
    const GameIds ids = buildAndReload();
    auto start = get<ZqNodeUIStart>(ids.start);
    auto menu = get<ZqNodeUI>(ids.menu);
    auto world = get<ZqNodeScene>(ids.world);
    ASSERT_TRUE(start && menu && world);

    // Each node finds its screen; the start node keeps "---" unlinked and links "Load".
    EXPECT_EQ(start->screenModel()->key(), "start");
    EXPECT_EQ(menu->screen()->id(), ids.menuScreen);
    EXPECT_EQ(world->screenModel()->id(), ids.scene);
    EXPECT_EQ(start->loadPort()->name(), "---");
    EXPECT_EQ(start->findAttribute("Load")->connectedSource(), menu->loadPort());
    EXPECT_EQ(world->findAttribute("UI")->connectedSource(), menu->loadPort());
    // The editor's port on the menu is rebuilt from the connections file.
    ZqBaseAttribute* play = menu->findAttribute("Play");
    ASSERT_NE(play, nullptr);
    EXPECT_EQ(play->connectionType(), ZqBaseAttribute::kTarget);
    EXPECT_EQ(play->connectedSource(), world->loadPort());
    EXPECT_EQ(menu->attributes().size(), 4u);
    EXPECT_EQ(get<ZqModelScreen>(ids.menuScreen)->adBannerFrequency(), 3);

    auto scene = get<ZqModelScreenScene>(ids.scene);
    ASSERT_TRUE(scene);
    EXPECT_EQ(scene->gravity().y, -20.0f);
    ASSERT_EQ(scene->levelSections().size(), 3u);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(scene->levelSections()[i]->id(), ids.sections[i]);
    EXPECT_EQ(scene->initSection()->id(), ids.sections[0]);
    EXPECT_EQ(scene->levelSections()[1]->endDistance(), 900.0f);
    ASSERT_TRUE(scene->forcedMovement());
    EXPECT_EQ(scene->gameSpeedMin(), 3.0f);

    // The scene's own objects first, then each section's; the group and linker stay
    // where they were.
    std::vector<unsigned> objects;
    for (const std::shared_ptr<ZqModelObject>& object : scene->objectModels())
        objects.push_back(object->id());
    EXPECT_EQ(objects, (std::vector<unsigned>{ids.sceneImage, ids.character, ids.objectA, ids.objectB, ids.group,
                                              ids.lastObject}));
    auto linker = get<ZqModelLinker>(ids.linker);
    ASSERT_TRUE(linker);
    EXPECT_EQ(linker->objectA()->id(), ids.objectA);
    EXPECT_EQ(linker->objectB()->id(), ids.objectB);
    EXPECT_EQ(get<ZqModelObjectGroup>(ids.group)->children().size(), 2u);
    EXPECT_TRUE(scene->containsModel(get<ZqModelObjectImage>(ids.lastObject)));
    EXPECT_FALSE(ZqBaseModelScreen::findScreenContaining(get<ZqModelObjectImage>(ids.lastObject)));
}

TEST_F(ScreenFlowGameTest, NavigatorFindsNodesByKeyAndFollowsLinks)
{
    const GameIds ids = buildAndReload();
    ZqPScreenNavigator* navigator = ZqPScreenNavigator::shared();

    EXPECT_EQ(navigator->sceneNodeForKey("game")->id(), ids.world);
    EXPECT_FALSE(navigator->sceneNodeForKey("menu"));
    EXPECT_EQ(navigator->uiNodeForKey("menu")->id(), ids.menu);
    EXPECT_EQ(navigator->uiNodeForKey("start")->id(), ids.start); // start nodes are interface nodes
    EXPECT_FALSE(navigator->uiNodeForKey("Menu"));                // exact bytes

    ZqBaseAttribute* ui = navigator->portForKey("game", "UI");
    ASSERT_NE(ui, nullptr);
    EXPECT_EQ(ZqPScreenNavigator::linkedNode(ui)->id(), ids.menu);
    EXPECT_EQ(ZqPScreenNavigator::linkedScreen(navigator->portForKey("menu", "Play"))->key(), "game");
    EXPECT_EQ(ZqPScreenNavigator::linkedScreen(navigator->portForKey("start", "Load"))->key(), "menu");
    // No port, an unlinked port, a source port: nothing to follow.
    EXPECT_EQ(navigator->portForKey("game", "Nope"), nullptr);
    EXPECT_FALSE(ZqPScreenNavigator::linkedNode(navigator->portForKey("start", "---")));
    EXPECT_FALSE(ZqPScreenNavigator::linkedScreen(navigator->portForKey("menu", "Load")));
    EXPECT_FALSE(ZqPScreenNavigator::linkedNode(nullptr));

    // Destinations walk the sections of the same scene in controller order.
    EXPECT_EQ(navigator->nextDestination(static_cast<int>(ids.sections[0])), static_cast<int>(ids.sections[1]));
    EXPECT_EQ(navigator->nextDestination(static_cast<int>(ids.sections[1])), static_cast<int>(ids.sections[2]));
    EXPECT_EQ(navigator->nextDestination(static_cast<int>(ids.sections[2])), 0);
    EXPECT_EQ(navigator->nextDestination(0), 0);
    EXPECT_EQ(navigator->nextDestination(static_cast<int>(ids.menu)), 0);
    // A section of another scene registered in between is passed over.
    auto other = controller().createModel<ZqModelScreenScene>();
    auto stray = controller().createModel<ZqModelLevelSection>();
    other->addChild(stray);
    auto later = controller().createModel<ZqModelLevelSection>();
    get<ZqModelScreenScene>(ids.scene)->addChild(later);
    EXPECT_EQ(navigator->nextDestination(static_cast<int>(ids.sections[2])), static_cast<int>(later->id()));
    navigator->setSceneDestination(7);
    EXPECT_EQ(navigator->sceneDestination(), 7);
    navigator->setSceneDestination(0);
}

} // namespace
