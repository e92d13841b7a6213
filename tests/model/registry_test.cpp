// The class registry: the registration table of the 72 classes with their default names,
// creation by exact name, unknown names, and the copy factories of the rows.
#include "ModelTestSupport.h"

#include "model/ZqModelRegistry.h"

#include <ZqLog.h>

#include <algorithm>
#include <set>

namespace {

using RegistryTest = ModelTest;

const ZqModelClass* listed(std::string_view className)
{
    const std::span<const ZqModelClass> rows = zqModelClassTable();
    auto it = std::find_if(rows.begin(), rows.end(), [&](const ZqModelClass& row) { return row.className == className; });
    return it == rows.end() ? nullptr : &*it;
}

TEST_F(RegistryTest, RegistrationTableHoldsEachClassOnceWithItsDefaultName)
{
    std::set<std::string_view> registered;
    for (const ZqModelClass& row : zqModelClassTable())
        EXPECT_TRUE(registered.insert(row.className).second) << row.className << " is registered twice";
    EXPECT_EQ(registered.size(), 72u);
    // The rows give the default names, which a name outside them lacks.
    EXPECT_EQ(zqModelDefaultName("ZqModelObjectGroup"), "My Group Layer");
    EXPECT_EQ(zqModelDefaultName("ZqModelComponentIsoJump"), "Ghost Jump");
    EXPECT_EQ(zqModelDefaultName("ZqModelSprite"), "");
    EXPECT_EQ(zqModelDefaultName("ZqModel"), "");

    for (const ZqModelClass& row : zqModelClassTable())
        EXPECT_NE(controller().registry().find(row.className), nullptr) << row.className;
    for (const char* unregistered : {"ZqModel", "ZqModelCompound", "ZqModelComponent", "ZqNode"})
        EXPECT_EQ(controller().registry().find(unregistered), nullptr);
}

TEST_F(RegistryTest, EveryRegisteredNameCreatesAModelOfThatClass)
{
    ZqModelRegistry registry; // the table alone: tests elsewhere add classes to the controller's
    registry.add(zqModelClassTable());
    for (const std::string& name : registry.classNames()) {
        SCOPED_TRACE(name);
        std::shared_ptr<ZqModel> model = registry.create(name);
        ASSERT_NE(model, nullptr);
        EXPECT_EQ(model->className(), name);
        EXPECT_EQ(model->typeId(), zqTypeIdOf(name));
        if (name == "ZqModelGeneralSettings")
            continue; // the process-wide instance, registered on creation
        // Flow-graph nodes number an empty name themselves ("New World 1", "New UI 1").
        if (name.rfind("ZqNode", 0) == 0)
            EXPECT_FALSE(model->name().empty());
        else
            EXPECT_EQ(model->name(), listed(name)->defaultName);
        EXPECT_EQ(model->sharedFromThis(), model);
        EXPECT_EQ(controller().modelById(model->id()), nullptr);
        EXPECT_TRUE(model->children().empty());
        EXPECT_EQ(model->parent(), nullptr);

        std::shared_ptr<ZqModel> copy = registry.find(name)->copy(*model);
        ASSERT_NE(copy, nullptr);
        EXPECT_EQ(copy->typeId(), model->typeId());
        EXPECT_GT(copy->id(), model->id());
    }
}

// Classes for a registry of the tests' own.
class ProbeModel : public ZqModel {
public:
    explicit ProbeModel(const std::string& name) : ZqModel(name) {}
    ProbeModel(const ProbeModel& source) : ZqModel(source) {}
    ZQ_MODEL_IDENTITY(ProbeModel, ZqModel)
    static std::shared_ptr<ProbeModel> create() { return zqCreateModel<ProbeModel>("Probe"); }
};

class ProbeChild : public ProbeModel {
public:
    explicit ProbeChild(const std::string& name) : ProbeModel(name) {}
    ProbeChild(const ProbeChild& source) : ProbeModel(source) {}
    ZQ_MODEL_IDENTITY(ProbeChild, ProbeModel)
    static std::shared_ptr<ProbeChild> create() { return zqCreateModel<ProbeChild>(""); }
};

// A class of the list takes its default name from it.
namespace fake {
class ZqModelAssetObstacle : public ZqModel {
public:
    explicit ZqModelAssetObstacle(const std::string& name) : ZqModel(name) {}
    ZqModelAssetObstacle(const ZqModelAssetObstacle& source) : ZqModel(source) {}
    ZQ_MODEL_IDENTITY(ZqModelAssetObstacle, ZqModel)
    ZQ_MODEL_FACTORY(ZqModelAssetObstacle)
};
} // namespace fake

TEST_F(RegistryTest, RegistryCreatesByExactNameOnly)
{
    ZqModelRegistry registry;
    const ZqModelClass rows[] = {zqModelClassRow<ProbeModel>(), zqModelClassRow<ProbeChild>(),
                                 zqModelClassRow<fake::ZqModelAssetObstacle>(),
                                 {"ProbeModel", [] { return std::shared_ptr<ZqModel>(ProbeChild::create()); }, nullptr}};
    registry.add(rows);
    EXPECT_EQ(registry.size(), 3u);
    EXPECT_EQ(registry.classNames(), (std::vector<std::string>{"ProbeModel", "ProbeChild", "ZqModelAssetObstacle"}));

    std::shared_ptr<ZqModel> first = registry.create("ProbeModel"); // the first row stays
    std::shared_ptr<ZqModel> second = registry.create("ProbeModel");
    EXPECT_STREQ(first->className(), "ProbeModel");
    EXPECT_EQ(first->name(), "Probe");
    EXPECT_NE(first, second);
    EXPECT_GT(second->id(), first->id());
    EXPECT_EQ(registry.create("ZqModelAssetObstacle")->name(), "Obstacle");

    std::vector<std::string> lines;
    zqSetLogSink([&](const char* line) { lines.emplace_back(line); });
    for (const char* unknown : {"ZqModel", "probemodel", "ProbeModel ", "", "ZqBaseModelObject"})
        EXPECT_EQ(registry.create(unknown), nullptr) << unknown;
    zqSetLogSink(nullptr);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_NE(lines[1].find("[ZqModelRegistry]"), std::string::npos);
    EXPECT_NE(lines[1].find("probemodel"), std::string::npos);

    // A copy factory copies only a model of exactly its class.
    std::shared_ptr<ZqModel> child = registry.create("ProbeChild");
    child->setName("renamed");
    EXPECT_EQ(registry.find("ProbeModel")->copy(*child), nullptr);
    std::shared_ptr<ZqModel> copy = registry.find("ProbeChild")->copy(*child);
    ASSERT_NE(copy, nullptr);
    EXPECT_STREQ(copy->className(), "ProbeChild");
    EXPECT_EQ(copy->name(), "renamed");
    EXPECT_EQ(copy->sharedFromThis(), copy);
}

} // namespace
