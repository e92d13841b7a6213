// Damage that a loader can see only through what the data means: a reference to a model of
// another class, a port the node's count does not hold, a gradient stop with a foreign key,
// a connections map of another class's model, an id taken from a model of another class.
// Each is read as before, and told in one line.
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
                      "Play", "Plax"});
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

// At the end of a load, a model without children that no model holds (no parent, reference
// or link) is one a missing or damaged connections file held: one line per class. A model
// heading children of its own, and a font (found by id), are left alone.
TEST_F(DamageLogTest, ModelsNothingHoldsAreToldOncePerClass)
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
    EXPECT_EQ(logged("held by no model"), 1u) << ::testing::PrintToString(m_log);
    EXPECT_EQ(logged("2 of the 5 models of class ZqModelObjectImage are held by no model: a connections file that "
                     "held them is missing or damaged"),
              1u);
}

// A file names its class: a map of it whose id is another class's model is a damaged id.
// Its links are not made on that model; an attributes map that takes such an id is told.
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
        m_log.clear();
        EXPECT_EQ(loader().loadPlainFile(root.file(name), ZqModelLoader::kConnectionsFile), ZqModelLoader::kFileLoaded);
        EXPECT_EQ(logged("links of model 10, which is of class ZqModelObjectImage - skipped"),
                  std::string(name).starts_with("ZqModelSpriteContainer") ? 1u : 0u);
    }
    cocos2d::CCFileUtils::sharedFileUtils()->setResourceRoot("");
    EXPECT_TRUE(image->m_image->value());

    MessagePackMap taking(&m_zone);
    taking.setUInt("id", 10);
    taking.setString("Class Name", "ZqModelSpriteContainer");
    read(taking, ZqModelLoader::kAttributesFile);
    EXPECT_EQ(logged("model 10 (ZqModelSpriteContainer) replaces model 10 of class ZqModelObjectImage read before"), 1u);
    EXPECT_TRUE(controller().getModel<ZqModelSpriteContainer>(10));
}

} // namespace
