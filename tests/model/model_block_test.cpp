// A model and the attributes its constructor makes share one block: where they lie, and
// that an attribute taken from its model, or deleted before it, is safe either way (the
// sanitizers run these).
#include "ModelTestSupport.h"

#include "model/ZqModelBlock.h"

namespace {

using Model = std::shared_ptr<TableModel>;
Model make(const std::string& name) { return zqCreateModel<TableModel>(name); }

// Makes one attribute more when its name asks for it: the room its class needs grows.
class GrowingModel : public ZqModel {
public:
    explicit GrowingModel(const std::string& name) : ZqModel(name)
    {
        new ZqAttributeFloat("Speed", this);
        if (name == "large")
            new ZqAttributeString("Title", this);
    }
    GrowingModel(const GrowingModel& source) : ZqModel(source) {}
    ZQ_MODEL_IDENTITY(GrowingModel, ZqModel)
};

// Two hundred attributes: a block larger than a slab gives.
class BulkyModel : public ZqModel {
public:
    explicit BulkyModel(const std::string& name) : ZqModel(name)
    {
        for (int i = 0; i < 200; ++i)
            new ZqAttributeFloat("Extra", this);
    }
    BulkyModel(const BulkyModel& source) : ZqModel(source) {}
    ZQ_MODEL_IDENTITY(BulkyModel, ZqModel)
};

// True when every attribute, and the list of them, lies between the model and the end of
// its block's room.
template <class X>
bool attributesInBlock(const X& model)
{
    const char* start = reinterpret_cast<const char*>(&model);
    const char* end = start + sizeof(X) + zqModelRoomBytes<X>().load() + 64;
    const char* list = reinterpret_cast<const char*>(model.attributes().data());
    if (list <= start || list >= end)
        return false;
    for (const ZqBaseAttribute* attribute : model.attributes()) {
        const char* at = reinterpret_cast<const char*>(attribute);
        if (at <= start || at >= end)
            return false;
    }
    return true;
}

TEST_F(ModelTest, AModelsOwnAttributesShareItsBlockAndOutliveItWhenTakenAway)
{
    make("first"); // teaches the class its room
    Model second = make("second");
    EXPECT_TRUE(attributesInBlock(*second));

    // Taken to another model: the block stays while the attribute lives.
    auto* title = second->m_title;
    second->removeAttribute(title);
    Model third = make("third");
    third->addAttribute(title);
    second.reset();
    EXPECT_EQ(title->name(), "Title");
    title->setValue("kept");
    EXPECT_EQ(third->indexOfAttribute(title), static_cast<int>(third->attributes().size()) - 1);
    third.reset(); // both blocks go now; a leak or a second free would be reported

    // Deleted before its model.
    Model fourth = make("fourth");
    delete fourth->m_lives;
    fourth->m_lives = nullptr;
    EXPECT_EQ(fourth->findAttribute("Lives"), nullptr);
    fourth.reset();

    // Copies take blocks of their own.
    Model source = make("source");
    source->m_speed->setValue(4.0f);
    const std::shared_ptr<TableModel> copy = std::static_pointer_cast<TableModel>(source->duplicate(false, false));
    source.reset();
    EXPECT_TRUE(attributesInBlock(*copy));
    EXPECT_EQ(copy->m_speed->value(), 4.0f);
}

TEST_F(ModelTest, AClassThatNeedsMoreRoomGetsItFromItsNextModel)
{
    const std::shared_ptr<GrowingModel> small = zqCreateModel<GrowingModel>("small");
    const std::size_t smallRoom = zqModelRoomBytes<GrowingModel>().load();
    EXPECT_GT(smallRoom, 0u);
    // Its title does not fit in the room learned so far: it goes to the heap.
    const std::shared_ptr<GrowingModel> large = zqCreateModel<GrowingModel>("large");
    EXPECT_FALSE(attributesInBlock(*large) && zqModelRoomBytes<GrowingModel>().load() == smallRoom);
    EXPECT_GT(zqModelRoomBytes<GrowingModel>().load(), smallRoom);
    const std::shared_ptr<GrowingModel> next = zqCreateModel<GrowingModel>("large");
    EXPECT_TRUE(attributesInBlock(*next));
    EXPECT_EQ(next->attributes().size(), 3u);
    // A model made while another is being made gets its own block.
    EXPECT_EQ(zqblock::currentRoom(), nullptr);
}

// Models made while a slab scope is open share slabs: a slab stays while any block cut from
// it lives, whatever the order they go in, and a block too large for a slab has its own
// allocation (a block freed early, or one never freed, is reported by the sanitizers).
TEST_F(ModelTest, BlocksCutFromSlabsLiveAsLongAsTheirModels)
{
    std::vector<Model> models;
    std::shared_ptr<ZqModel> large;
    {
        const zqblock::SlabScope slabs;
        for (int i = 0; i < 400; ++i) // several slabs
            models.push_back(make("slab " + std::to_string(i)));
        // The second learns the room of the first: a block larger than a slab takes.
        zqCreateModel<BulkyModel>("first");
        large = zqCreateModel<BulkyModel>("second");
        zqCreateModel<TableModel>("made and dropped");
    }
    EXPECT_TRUE(attributesInBlock(*models[1])); // the first taught the class its room
    // Consecutive models lie one after the other in their slab.
    const auto at = [&](std::size_t i) { return reinterpret_cast<std::uintptr_t>(models[i].get()); };
    EXPECT_GT(at(2), at(1));
    EXPECT_LT(at(2) - at(1), 4096u);

    // An attribute taken away keeps its block, and so its slab, after the others go.
    auto* kept = models[200]->m_title;
    kept->setOwner(nullptr);
    for (std::size_t i = 0; i < models.size(); i += 2)
        models[i].reset();
    for (int i = static_cast<int>(models.size()) - 1; i > 0; i -= 2)
        models[static_cast<std::size_t>(i)].reset();
    kept->setValue("still here");
    EXPECT_EQ(kept->value(), "still here");
    delete kept;

    // Made after the scope closed: a block of its own.
    Model after = make("after");
    EXPECT_TRUE(attributesInBlock(*after));
    EXPECT_TRUE(attributesInBlock(static_cast<const BulkyModel&>(*large)));
}

} // namespace
