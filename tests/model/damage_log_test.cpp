// Damage that a loader can see only through what the data means: a reference to a model of
// another class, a port the node's count does not hold, a gradient stop with a foreign key,
// a connections map of another class's model, an id taken from a model of another class,
// an attributes map or a repeated child among the links. Each is read as before, and told
// in one line; what valid data holds (models nothing holds, ports without links) is not.
#include "loading_support.h"

#include "model/loading/ZqModelLoader.h"
#include "model/objects/ZqModelObjectsEffects.h"
#include "model/scene/ZqModelMedia.h"
#include "model/scene/ZqModelFont.h"
#include "model/scene/ZqModelObject.h"
#include "model/scene/ZqModelScreen.h"

#include <algorithm>
#include <limits>

namespace {

using archive_test::Bytes;
using archive_test::TempDir;

class DamageLogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        controller().reset();
        keyNameSet().clear();
        ZqModelObjectImage::create()->collectKeys();
        ZqModelObjectParticlesEmitter::create()->collectKeys();
        ZqNodeUI::create()->collectKeys();
        std::set<std::string> names = keyNameSet();
        keyNameSet().clear();
        controller().reset();
        names.insert({"value", "connectedModelId", "attributeName", "attributesCount", "gradients", "pos", "color",
                      "Play", "Plax", "Pause", "children"});
        installKeyDictionary(loading_test::keyTable(loading_test::keyText(names)));
        zqSetLogSink([this](const char* line) { m_log.emplace_back(line); });
    }
    void TearDown() override
    {
        zqSetLogSink({});
        controller().reset();
        installKeyDictionary({});
    }

    static ZqModelController& controller() { return *ZqModelController::shared(); }
    static ZqModelLoader& loader() { return *ZqModelLoader::shared(); }

    template <class T>
    std::shared_ptr<T> add(unsigned id)
    {
        std::shared_ptr<T> model = T::create();
        model->setId(id);
        controller().addModel(model);
        return model;
    }

    // One map as a model file's bytes.
    static Bytes fileOf(const MessagePackMap& map)
    {
        msgpack::sbuffer buffer;
        packObject(buffer, map.toObject());
        return Bytes(buffer.data(), buffer.data() + buffer.size());
    }

    void read(const MessagePackMap& map, ZqModelLoader::FileKind kind)
    {
        const Bytes bytes = fileOf(map);
        m_log.clear();
        ASSERT_TRUE(loader().parseModelFile(bytes.data(), bytes.size(), kind)) << loader().errorText();
    }

    std::size_t logged(const std::string& part) const
    {
        return std::count_if(m_log.begin(), m_log.end(),
                             [&](const std::string& line) { return line.find(part) != std::string::npos; });
    }

    msgpack::zone m_zone;
    std::vector<std::string> m_log;
};

// In the connections phase every model is in: a reference that did not take its model
// (one of another class) is a link lost. The one of the right class is taken, silently.
TEST_F(DamageLogTest, AReferenceToAModelOfAnotherClassIsTold)
{
    const auto image = add<ZqModelObjectImage>(10);
    add<ZqModelObjectImage>(11);
    const auto container = add<ZqModelSpriteContainer>(12);
    loader().nextPhase();
    for (const unsigned target : {11u, 12u}) {
        MessagePackMap map(&m_zone), link(&m_zone);
        map.setUInt("id", 10);
        link.setUInt("value", target);
        map.setMap("Image", link);
        read(map, ZqModelLoader::kConnectionsFile);
        const bool wrongClass = target == 11;
        EXPECT_EQ(logged("model 10 (ZqModelObjectImage), attribute \"Image\" refers to model 11 (ZqModelObjectImage), "
                         "which it does not take - not linked"),
                  wrongClass ? 1u : 0u);
        EXPECT_EQ(m_log.size(), wrongClass ? 1u : 0u);
    }
    EXPECT_EQ(image->m_image->value(), container);
}

// A node's links count its ports: a port key renamed by damage adds one the count lacks.
TEST_F(DamageLogTest, APortTheNodesCountLacksIsTold)
{
    add<ZqNodeUI>(30);
    add<ZqNodeUI>(31);
    loader().nextPhase();
    const std::string told = "model 30 (ZqNodeUI) has 5 attributes with its ports, its links count 4";
    for (const bool damaged : {false, true}) {
        controller().removeModel(controller().modelById(30));
        add<ZqNodeUI>(30);
        MessagePackMap map(&m_zone), link(&m_zone);
        map.setUInt("id", 30);
        map.setUInt("attributesCount", 4);
        link.setUInt("connectedModelId", 31);
        link.setString("attributeName", "Load");
        map.setMap("Play", link);
        if (damaged)
            map.setMap("Plax", link);
        read(map, ZqModelLoader::kConnectionsFile);
        EXPECT_EQ(logged(told), damaged ? 1u : 0u);
        EXPECT_TRUE(controller().modelById(30)->findAttribute("Play"));
    }
}

// A port stored without a link ("connectedModelId" 0, an empty map, or no entry under the
// node's count) is made again by none, and a valid node: nothing is told. Nor of a port that
// a model is named after, or of "Pause", which a field's pause follows when its button's
// own name leads nowhere. An attributes map holds no ports.
TEST_F(DamageLogTest, PortsWithoutALinkOrFollowedByThePauseAreNoDamage)
{
    add<ZqNodeUI>(30);
    add<ZqNodeUI>(31)->setName("Play");
    loader().nextPhase();
    MessagePackMap link(&m_zone), none(&m_zone), empty(&m_zone);
    link.setUInt("connectedModelId", 31);
    link.setString("attributeName", "Load");
    none.setUInt("connectedModelId", 0);
    none.setString("attributeName", "Load");
    for (const MessagePackMap* unlinked : std::initializer_list<const MessagePackMap*>{&none, &empty, nullptr}) {
        controller().removeModel(controller().modelById(30));
        add<ZqNodeUI>(30);
        MessagePackMap map(&m_zone);
        map.setUInt("id", 30);
        map.setUInt("attributesCount", 6);
        map.setMap("Play", link);
        map.setMap("Pause", link);
        if (unlinked)
            map.setMap("Plax", *unlinked);
        read(map, ZqModelLoader::kConnectionsFile);
        EXPECT_TRUE(m_log.empty()) << ::testing::PrintToString(m_log);
        const std::shared_ptr<ZqModel> node = controller().modelById(30);
        EXPECT_TRUE(node->findAttribute("Play") && node->findAttribute("Pause"));
        EXPECT_FALSE(node->findAttribute("Plax"));
    }
    // A node's attributes map holds no ports: a key no attribute has is told there.
    MessagePackMap attributes(&m_zone);
    attributes.setUInt("id", 32);
    attributes.setString("Class Name", "ZqNodeUI");
    attributes.setMap("Plax", empty);
    read(attributes, ZqModelLoader::kAttributesFile);
    EXPECT_EQ(logged("model 32 (ZqNodeUI) has no \"Plax\" - not read"), 1u) << ::testing::PrintToString(m_log);
}

// What the writer never writes in a connections file is told, naming the file: a "Class
// Name" (attributes maps among the links, once a file; or a link's key damaged into it),
// and a child listed twice in one list (the child stays once). On both reading roads.
TEST_F(DamageLogTest, ConnectionsTheWriterNeverWritesAreTold)
{
    const auto screen = add<ZqModelScreen>(1);
    add<ZqModelObjectImage>(2);
    add<ZqModelObjectImage>(3);
    loader().nextPhase();
    for (const ZqModelFileRoad road : {ZqModelFileRoad::kVisitor, ZqModelFileRoad::kMaps}) {
        loader().setModelFileRoad(road);
        MessagePackMap attributes(&m_zone), second(&m_zone);
        attributes.setUInt("id", 2);
        attributes.setString("Class Name", "ZqModelObjectImage");
        second.setUInt("id", 3);
        second.setString("Class Name", "ZqModelObjectImage");
        msgpack::sbuffer both;
        packObject(both, attributes.toObject());
        packObject(both, second.toObject());
        m_log.clear();
        ASSERT_TRUE(loader().parseModelFile(reinterpret_cast<const unsigned char*>(both.data()), both.size(),
                                            ZqModelLoader::kConnectionsFile));
        EXPECT_EQ(logged("model 2 has a \"Class Name\", which no connections map holds"), 1u);
        EXPECT_EQ(m_log.size(), 1u) << ::testing::PrintToString(m_log);

        MessagePackMap renamed(&m_zone), link(&m_zone);
        renamed.setUInt("id", 3);
        link.setUInt("value", 2);
        renamed.setMap("Class Name", link);
        read(renamed, ZqModelLoader::kConnectionsFile);
        EXPECT_EQ(logged("model 3 has a \"Class Name\", which no connections map holds"), 1u);

        MessagePackMap children(&m_zone);
        children.setUInt("id", 1);
        children.setUIntArray("children", {2, 3, 2});
        read(children, ZqModelLoader::kConnectionsFile);
        EXPECT_EQ(logged("model 1 lists child 2 twice"), 1u);
        EXPECT_EQ(m_log.size(), 1u) << ::testing::PrintToString(m_log);
        EXPECT_EQ(screen->children().size(), 2u);
        screen->removeAllChildren();
    }
    loader().setModelFileRoad(ZqModelFileRoad::kVisitor);
}

// A stop is {"pos", "color"}: another key, or one of them twice, is told; the stop is read
// as before (the first value of a repeated key).
TEST_F(DamageLogTest, GradientStopsWithForeignOrRepeatedKeysAreTold)
{
    MessagePackMap map(&m_zone), color(&m_zone);
    map.setUInt("id", 20);
    map.setString("Class Name", "ZqModelObjectParticlesEmitter");
    const auto stop = [&](std::initializer_list<std::pair<int32_t, float>> entries) {
        msgpack::object object;
        object.type = msgpack::type::MAP;
        object.via.map.size = static_cast<uint32_t>(entries.size());
        object.via.map.ptr = static_cast<msgpack::object_kv*>(
            m_zone.allocate_align(sizeof(msgpack::object_kv) * entries.size(), MSGPACK_ZONE_ALIGNOF(msgpack::object_kv)));
        uint32_t i = 0;
        for (const auto& [code, value] : entries)
            object.via.map.ptr[i++] = {msgpack::object(static_cast<uint32_t>(code)), msgpack::object(value)};
        return object;
    };
    const int32_t pos = keyCode("pos"), play = keyCode("Play");
    color.setArray("gradients", {stop({{pos, 0.25f}}), stop({{pos, 0.5f}, {play, 1.0f}}), stop({{pos, 0.75f}, {pos, 0.0f}})});
    map.setMap("Color", color);
    read(map, ZqModelLoader::kAttributesFile);
    EXPECT_EQ(logged("model 20 (ZqModelObjectParticlesEmitter), attribute \"Color\" has a gradient stop with \"Play\" - "
                     "not read"),
              1u);
    EXPECT_EQ(logged("attribute \"Color\" has a gradient stop with \"pos\" twice - its first value read"), 1u);
    EXPECT_EQ(m_log.size(), 2u);
    const auto emitter = controller().getModel<ZqModelObjectParticlesEmitter>(20);
    ASSERT_TRUE(emitter);
    EXPECT_EQ(emitter->m_color->stops().size(), 3u);
    EXPECT_EQ(emitter->m_color->stops().count(0.75f), 1u);
}

// A stop's position is a fraction of the gradient: one outside 0 to 1, or not finite, is told
// with its value. Such a stop is kept as read (the attribute refuses one not finite).
TEST_F(DamageLogTest, GradientStopsOutsideTheGradientAreTold)
{
    MessagePackMap map(&m_zone), color(&m_zone);
    map.setUInt("id", 20);
    map.setString("Class Name", "ZqModelObjectParticlesEmitter");
    const auto stop = [&](float position) {
        MessagePackMap entry(&m_zone);
        entry.setFloat("pos", position);
        return entry.toObject();
    };
    color.setArray("gradients", {stop(0.0f), stop(0.5f), stop(1.0f), stop(-4.0f), stop(1.0078125f),
                                 stop(std::numeric_limits<float>::quiet_NaN())});
    map.setMap("Color", color);
    read(map, ZqModelLoader::kAttributesFile);
    const std::string told = "model 20 (ZqModelObjectParticlesEmitter), attribute \"Color\" has a gradient stop at ";
    for (const char* value : {"-4,", "1.00781,", "nan,"})
        EXPECT_EQ(logged(told + value + " outside 0 to 1 - never drawn"), 1u) << value;
    EXPECT_EQ(m_log.size(), 3u) << ::testing::PrintToString(m_log);
    const auto emitter = controller().getModel<ZqModelObjectParticlesEmitter>(20);
    ASSERT_TRUE(emitter);
    EXPECT_EQ(emitter->m_color->stops().size(), 5u);
    EXPECT_EQ(emitter->m_color->stops().count(-4.0f), 1u);
}

// A model without children that no model holds (no parent, reference or link) is valid
// data: an editor's export keeps unused pictures, sounds and outlines, and the power-ups its
// shop names by id. The end of a load calls none of them damaged.
TEST_F(DamageLogTest, ModelsNothingHoldsAreNoDamage)
{
    const auto screen = add<ZqModelScreen>(1);
    const auto child = add<ZqModelObjectImage>(2);
    screen->addChild(child, true);
    child->setImage(add<ZqModelSpriteContainer>(3));
    add<ZqModelObjectImage>(4);
    add<ZqModelObjectImage>(5);
    ZqBaseAttribute* source = add<ZqModelObjectImage>(6)->findAttribute("Image");
    ZqBaseAttribute* target = add<ZqModelObjectImage>(7)->findAttribute("Image");
    source->setConnectionType(ZqBaseAttribute::kSource, true);
    target->setConnectionType(ZqBaseAttribute::kTarget, true);
    target->connect(source, true);
    add<ZqModelFont>(8);
    loader().nextPhase();
    m_log.clear();
    loader().nextPhase();
    EXPECT_EQ(logged("held by no model"), 0u) << ::testing::PrintToString(m_log);
    EXPECT_EQ(logged("damaged"), 0u) << ::testing::PrintToString(m_log);
}

// A file names its class: a map of it whose id is another class's model is read by its id
// all the same, its links kept, and noted (a damaged id puts links on the wrong model); an
// attributes map that takes such an id is told.
TEST_F(DamageLogTest, IdsOfAModelOfAnotherClassAreTold)
{
    const auto image = add<ZqModelObjectImage>(10);
    add<ZqModelSpriteContainer>(12);
    loader().nextPhase();
    MessagePackMap map(&m_zone), link(&m_zone);
    map.setUInt("id", 10);
    link.setUInt("value", 12);
    map.setMap("Image", link);
    TempDir root;
    // Data names resolve inside the game's folder only.
    cocos2d::CCFileUtils::sharedFileUtils()->setResourceRoot(root.path().string());
    const Bytes bytes = fileOf(map);
    for (const char* name : {"ZqModelObjectImage.0.connections.pack", "ZqModelSpriteContainer.0.connections.pack"}) {
        archive_test::writeBytes(root.file(name), bytes);
        image->m_image->setValue(nullptr, true);
        m_log.clear();
        EXPECT_EQ(loader().loadPlainFile(root.file(name), ZqModelLoader::kConnectionsFile), ZqModelLoader::kFileLoaded);
        EXPECT_EQ(logged("links of model 10, which is of class ZqModelObjectImage - read all the same"),
                  std::string(name).starts_with("ZqModelSpriteContainer") ? 1u : 0u);
        EXPECT_TRUE(image->m_image->value()) << name;
    }
    cocos2d::CCFileUtils::sharedFileUtils()->setResourceRoot("");

    MessagePackMap taking(&m_zone);
    taking.setUInt("id", 10);
    taking.setString("Class Name", "ZqModelSpriteContainer");
    read(taking, ZqModelLoader::kAttributesFile);
    EXPECT_EQ(logged("model 10 (ZqModelSpriteContainer) replaces model 10 of class ZqModelObjectImage read before"), 1u);
    EXPECT_TRUE(controller().getModel<ZqModelSpriteContainer>(10));
}

} // namespace
