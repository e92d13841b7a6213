// The index of models by id: a vector for the ids a game runs through, a hash map for
// sparse and huge ids, and the controller on top of it.
#include "ModelTestSupport.h"

#include "model/ZqModelIdIndex.h"
#include "model/loading/ZqModelLoader.h"

#include <limits>

namespace {

using Model = std::shared_ptr<TableModel>;
Model make(const std::string& name = "model") { return zqCreateModel<TableModel>(name); }

TEST_F(ModelTest, TheIdIndexKeepsSparseAndHugeIdsOutOfItsVector)
{
    ZqModelIdIndex index;
    const unsigned huge = std::numeric_limits<unsigned>::max();
    const unsigned sparse = ZqModelIdIndex::kMaxDense / 2;
    Model a = make(), b = make(), c = make(), d = make();
    EXPECT_TRUE(index.insert(1, a));
    EXPECT_TRUE(index.insert(sparse, b));
    EXPECT_TRUE(index.insert(huge, c));
    EXPECT_TRUE(index.insert(0, d));
    EXPECT_FALSE(index.insert(sparse, a)) << "an id is taken once";
    EXPECT_FALSE(index.insert(7, nullptr));
    EXPECT_EQ(index.size(), 4u);
    EXPECT_LT(index.denseCapacity(), 4096u) << "one far id must not stretch the vector";
    EXPECT_EQ(index.sparseCount(), 2u);
    EXPECT_EQ(index.get(1), a.get());
    EXPECT_EQ(index.get(sparse), b.get());
    EXPECT_EQ(index.get(huge), c.get());
    EXPECT_EQ(index.get(0), d.get());
    EXPECT_EQ(index.get(2), nullptr);
    EXPECT_EQ(index.get(huge - 1), nullptr);
    EXPECT_EQ(index.highestId(), huge);

    EXPECT_EQ(index.take(huge), c);
    EXPECT_EQ(index.take(huge), nullptr);
    EXPECT_EQ(index.highestId(), sparse);
    EXPECT_EQ(index.take(sparse), b);
    EXPECT_EQ(index.highestId(), 1u);
    EXPECT_EQ(index.size(), 2u);

    // Ids coming one after another, or made ready by "Last ID", are in the vector; ids
    // already in the hash map move in when it grows over them.
    EXPECT_TRUE(index.insert(3000, b));
    EXPECT_EQ(index.sparseCount(), 1u);
    for (unsigned id = 2; id < 2500; ++id)
        ASSERT_TRUE(index.insert(id, make()));
    EXPECT_EQ(index.sparseCount(), 0u);
    EXPECT_EQ(index.get(3000), b.get());
    index.reserve(20000);
    EXPECT_GT(index.denseCapacity(), 20000u);
    index.reserve(huge);
    EXPECT_LE(index.denseCapacity(), ZqModelIdIndex::kMaxDense);
}

// The controller's lookups and fresh ids pass over sparse and huge loaded ids alike.
TEST_F(ModelTest, SparseAndHugeIdsAreFoundAndNeverHandedOut)
{
    std::vector<Model> loaded;
    for (const unsigned id : {11u, 12u, 700000u, 4000000000u, std::numeric_limits<unsigned>::max()}) {
        loaded.push_back(make());
        loaded.back()->setId(id);
        controller().addModel(loaded.back());
    }
    controller().setIdCounter(10);
    for (const Model& model : loaded)
        EXPECT_EQ(controller().modelById(model->id()), model);
    EXPECT_EQ(make()->id(), 13u);
    controller().setIdCounter(699999);
    EXPECT_EQ(make()->id(), 700001u);

    loaded[3]->setId(5);
    EXPECT_EQ(controller().modelById(5), loaded[3]);
    EXPECT_FALSE(controller().modelById(4000000000u));
    controller().removeModel(loaded[4]);
    ZqModelLoader::shared()->nextPhase();
    ZqModelLoader::shared()->nextPhase();
    EXPECT_EQ(controller().idCounter(), 700001u) << "the counter rises to the highest id left";
}

} // namespace
