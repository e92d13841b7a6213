// Flow-graph nodes (names, ports rebuilt from connection maps, malformed maps) and the
// screen model's lookups and advertising rule.
#include "media_shape_support.h"

#include "model/loading/ZqModelLoader.h"
#include "model/scene/ZqModelObject.h"
#include "model/scene/ZqModelScreen.h"
#include "model/scene/ZqNode.h"
#include "cocos2d.h"

namespace {

using scene_test::SceneTest;

std::vector<std::string> attributeNames(const ZqModel& model)
{
    std::vector<std::string> names;
    for (const ZqBaseAttribute* attribute : model.attributes())
        names.emplace_back(attribute->name());
    return names;
}

class NodeTest : public SceneTest {
protected:
    // The connections map of a node with an extra entry: name -> {connectedModelId, attributeName}.
    static void reconnect(ZqModel& node, uint32_t count, const std::string& name, uint32_t sourceId)
    {
        msgpack::zone zone;
        MessagePackMap link(&zone);
        link.setUInt("connectedModelId", sourceId);
        link.setString("attributeName", "Load");
        MessagePackMap map(&zone);
        map.setUInt("id", node.id());
        map.setUInt("attributesCount", count);
        map.setMap(name, link);
        msgpack::sbuffer bytes;
        packObject(bytes, map.toObject());
        msgpack::object_handle handle = msgpack::unpack(bytes.data(), bytes.size());
        node.unpackConnections(MessagePackMap::fromObject(handle.get()));
    }
};

TEST_F(NodeTest, DefaultNamesAndStartNodePorts)
{
    auto world = controller().createModel<ZqNodeScene>();
    EXPECT_EQ(world->name(), "New World 1");
    EXPECT_EQ(ZqNodeScene::create()->name(), "New World 2");
    EXPECT_EQ(ZqNodeScene::create()->name(), "New World 2"); // unregistered ones do not count

    auto start = ZqNodeUIStart::create();
    EXPECT_EQ(start->name(), "New UI 1");
    EXPECT_EQ(attributeNames(*start), (std::vector<std::string>{"Name", "Position", "---", "Load"}));
    EXPECT_EQ(start->findAttribute("---")->connectionType(), ZqBaseAttribute::kNone);
    EXPECT_EQ(start->findAttribute("Load")->connectionType(), ZqBaseAttribute::kTarget);
    EXPECT_EQ(start->loadPort(), start->findAttribute("---"));

    // A copy keeps the ports and names without re-running the set-up.
    auto copy = duplicateModel(start, false, false);
    EXPECT_EQ(attributeNames(*copy), attributeNames(*start));
    EXPECT_EQ(copy->loadPort()->name(), "---");
    EXPECT_EQ(copy->className(), std::string("ZqNodeUIStart"));

    EXPECT_TRUE(world->isTargetExempt(world->findAttribute("UI")));
    EXPECT_TRUE(world->isTargetExempt(world->loadPort()));
}

TEST_F(NodeTest, PortsAreRebuiltOnlyWhenTheCountDiffers)
{
    scene_test::installKeysFor({});
    KeyCodeTable table = fixedKeyCodeTable();
    table.insert({{"attributesCount", 1}, {"connectedModelId", 2}, {"attributeName", 3}, {"Go", 4}, {"children", 5}});
    installKeyDictionary(table);
    auto target = controller().createModel<ZqNodeUI>();
    target->setId(12);
    auto menu = controller().createModel<ZqNodeUI>();

    reconnect(*menu, 3, "Go", 12); // equal count: nothing new, even for an unknown name
    EXPECT_EQ(menu->attributes().size(), 3u);
    reconnect(*menu, 4, "Go", 0); // no source: no port
    EXPECT_EQ(menu->attributes().size(), 3u);
    reconnect(*menu, 4, "Go", 12);
    ZqBaseAttribute* go = menu->findAttribute("Go");
    ASSERT_NE(go, nullptr);
    EXPECT_EQ(go->connectedSource(), target->loadPort());
    EXPECT_FALSE(menu->isTargetExempt(go));

    auto world = ZqNodeScene::create();
    reconnect(*world, 9, "Go", 12);
    EXPECT_FALSE(world->isTargetExempt(world->findAttribute("Go")));
}

TEST_F(NodeTest, AnUnknownKeyCodeFailsTheLoadInsteadOfCrashing)
{
    auto node = controller().createModel<ZqNodeUI>();
    scene_test::installKeysFor({node});
    msgpack::zone zone;
    MessagePackMap map(&zone);
    map.setUInt("id", node->id());
    map.setUInt("attributesCount", 9);
    msgpack::object object = map.toObject();
    // One more entry under a code the dictionary does not know.
    std::vector<msgpack::object_kv> entries(object.via.map.ptr, object.via.map.ptr + object.via.map.size);
    entries.push_back({msgpack::object(999999), msgpack::object(1)});
    object.via.map.ptr = entries.data();
    object.via.map.size = static_cast<uint32_t>(entries.size());
    msgpack::sbuffer bytes;
    packObject(bytes, object);

    EXPECT_FALSE(loader().parseModelFile(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(),
                                         ZqModelLoader::kConnectionsFile));
    EXPECT_TRUE(loader().loadingFailed());
    EXPECT_FALSE(loader().errorText().empty());
}

TEST_F(NodeTest, DictionaryFormCarriesTheCountAndThePorts)
{
    auto target = controller().createModel<ZqNodeUI>();
    auto menu = controller().createModel<ZqNodeUI>();
    auto* port = new ZqAttribute("Next", menu.get());
    port->setConnectionType(ZqBaseAttribute::kTarget, true);
    port->connect(target->loadPort());
    cocos2d::CCDictionary* saved = menu->saveConnectionsToDictionary();
    EXPECT_STREQ(saved->valueForKey("attributesCount")->getCString(), "4");

    auto fresh = ZqNodeUI::create();
    fresh->loadConnectionsFromDictionary(saved);
    ASSERT_NE(fresh->findAttribute("Next"), nullptr);
    EXPECT_EQ(fresh->findAttribute("Next")->connectedSource(), target->loadPort());
}

using ScreenTest = SceneTest;

TEST_F(ScreenTest, DefaultsListsAndLookups)
{
    auto screen = ZqModelScreen::create();
    EXPECT_EQ(screen->adBannerFrequency(), 1);
    EXPECT_EQ(screen->adInterstitialsFrequency(), 1);
    EXPECT_TRUE(screen->isLoopMusic());
    EXPECT_EQ(screen->idleAnimationFrames(), 40);
    EXPECT_EQ(screen->closeAnimationFrames(), 0);
    EXPECT_FALSE(screen->isMuted());
    screen->m_adBannerFrequency->setValue(2.9f);
    EXPECT_EQ(screen->adBannerFrequency(), 2);
    screen->m_adBannerFrequency->setValue(1e30f);
    EXPECT_EQ(screen->adBannerFrequency(), INT_MAX);

    auto scene = ZqModelScreenScene::create();
    EXPECT_EQ(scene->gravity(), cocos2d::CCPoint(0.0f, -50.0f));
    EXPECT_FLOAT_EQ(scene->cameraSmooth(), 0.2f);
    EXPECT_EQ(scene->objectFrameRect().size.width, 1.0f);
    scene->m_objectFrameState3->setValue(ZqObjectFrameEdgeState{4});
    EXPECT_EQ(scene->objectFrameState(2), 4);
    EXPECT_EQ(scene->objectFrameState(7), 0);

    auto found = ZqModelScreen::findOrCreateWithKey("menu");
    EXPECT_EQ(ZqModelScreen::findOrCreateWithKey("menu"), found);
    EXPECT_EQ(controller().modelById(found->id()), found);
    controller().addModel(scene);
    scene->m_key->setValue("game");
    EXPECT_NE(ZqModelScreen::findOrCreateWithKey("game")->typeId(), scene->typeId());
    EXPECT_EQ(ZqModelScreenScene::modelForKey("game"), scene);

    auto image = ZqModelObjectImage::create();
    found->addChild(image);
    EXPECT_EQ(ZqBaseModelScreen::findScreenContaining(image), found);
    EXPECT_EQ(found->objectModels().size(), 1u);
    found->removeChild(image);
    EXPECT_TRUE(found->objectModels().empty());
}

TEST_F(ScreenTest, BannerFollowsFrequencyCounterTokenAndPurchase)
{
    auto screen = ZqModelScreen::create();
    screen->m_adBannerFrequency->setValue(3.0f);
    screen->bannerCounter = 1;
    EXPECT_FALSE(screen->shouldShowBanner());
    screen->bannerCounter = 2;
    EXPECT_TRUE(screen->shouldShowBanner());
    screen->bannerCounter = INT_MAX;
    EXPECT_TRUE(screen->shouldShowBanner());
    screen->m_adBanner->setValue("kNoAds");
    EXPECT_FALSE(screen->shouldShowBanner());
    screen->m_adBanner->setValue("kAdMob");
    scene_test::testAnswers().adsAreRemoved = true;
    EXPECT_FALSE(screen->shouldShowBanner());
    scene_test::testAnswers().adsAreRemoved = false;

    screen->interstitialCounter = 4;
    EXPECT_EQ(duplicateModel(screen, false, false)->interstitialCounter, 4);
}

} // namespace
