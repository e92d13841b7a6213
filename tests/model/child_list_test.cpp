// The typed child lists that models keep beside their children, driven by the child hooks.
#include "ModelTestSupport.h"

#include "model/ZqChildList.h"
#include "model/scene/ZqModelCompound.h"

namespace {

using ChildListTest = ModelTest;

// A model of another kind than the table models.
std::shared_ptr<ZqModel> otherModel()
{
    return zqCreateModel<ZqModelCompound>("other");
}

// Keeps its table models by kind (TableChild too) and by exact class, as the model classes do.
class ListHost : public ZqModel {
public:
    explicit ListHost(const std::string& name) : ZqModel(name) {}
    ListHost(const ListHost& source) : ZqModel(source) {}
    ZQ_MODEL_IDENTITY(ListHost, ZqModel)

    void childAdded(const std::shared_ptr<ZqModel>& child) override
    {
        ZqModel::childAdded(child);
        ofKind.add(child);
        ofClass.add(child);
    }
    void childRemoved(const std::shared_ptr<ZqModel>& child) override
    {
        ZqModel::childRemoved(child);
        ofKind.remove(child.get());
        ofClass.remove(child.get());
    }
    void childrenCleared() override
    {
        ZqModel::childrenCleared();
        ofKind.clear();
        ofClass.clear();
    }

    ZqChildList<TableModel, ZqChildMatch::kKind> ofKind;
    ZqChildList<TableModel, ZqChildMatch::kClass> ofClass;
};

TEST_F(ChildListTest, ListsFollowAddRemoveAndClearOfTheirClassOnly)
{
    auto host = zqCreateModel<ListHost>("host");
    auto table = zqCreateModel<TableModel>("table");
    auto derived = zqCreateModel<TableChild>("derived");
    auto other = otherModel();
    auto second = zqCreateModel<TableModel>("second");

    host->addChild(table, true);
    host->addChild(derived, true);
    host->addChild(other, true);
    host->addChild(second, true);
    host->addChild(table, true); // already a child: no second entry
    ASSERT_EQ(host->children().size(), 4u);
    EXPECT_EQ(host->ofKind.list(), (std::vector<std::shared_ptr<TableModel>>{table, derived, second}));
    EXPECT_EQ(host->ofClass.list(), (std::vector<std::shared_ptr<TableModel>>{table, second}));

    // A child of another kind leaves both lists as they are.
    host->removeChild(other, true);
    EXPECT_EQ(host->ofKind.size(), 3u);
    EXPECT_EQ(host->ofClass.size(), 2u);

    // Removed from the child's side: the others keep their order.
    derived->removeParent(host, true);
    EXPECT_EQ(host->ofKind.list(), (std::vector<std::shared_ptr<TableModel>>{table, second}));
    host->removeChild(table, true);
    EXPECT_EQ(host->ofKind.list(), (std::vector<std::shared_ptr<TableModel>>{second}));
    EXPECT_EQ(host->ofClass.list(), (std::vector<std::shared_ptr<TableModel>>{second}));

    host->addChild(derived, true);
    host->removeAllChildren(true);
    EXPECT_TRUE(host->ofKind.empty());
    EXPECT_TRUE(host->ofClass.empty());
}

TEST_F(ChildListTest, RemoveTakesTheFirstEntryOfThatVeryModel)
{
    ZqChildList<TableModel, ZqChildMatch::kKind> list;
    auto a = zqCreateModel<TableModel>("a");
    auto b = zqCreateModel<TableModel>("b");
    auto twin = zqCreateModel<TableModel>("a"); // equal in every value, another model
    EXPECT_FALSE(list.add(nullptr));
    EXPECT_FALSE(list.add(otherModel()));
    ASSERT_TRUE(list.add(a) && list.add(b) && list.add(a));

    EXPECT_FALSE(list.remove(twin.get()));
    EXPECT_FALSE(list.remove(nullptr));
    EXPECT_TRUE(list.remove(a.get()));
    EXPECT_EQ(list.list(), (std::vector<std::shared_ptr<TableModel>>{b, a}));

    // take() hands the entries over and leaves the list empty.
    const auto taken = list.take();
    EXPECT_EQ(taken, (std::vector<std::shared_ptr<TableModel>>{b, a}));
    EXPECT_TRUE(list.empty());
    EXPECT_FALSE(list.remove(b.get()));
}

TEST_F(ChildListTest, AListOfABaseElementMatchesByTheNamedClass)
{
    // Entries held as ZqModel, matched as TableModel and its subclasses.
    ZqChildList<TableModel, ZqChildMatch::kKind, ZqModel> list;
    auto derived = zqCreateModel<TableChild>("derived");
    EXPECT_TRUE(list.add(derived));
    EXPECT_FALSE(list.add(otherModel()));
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].get(), derived.get());
    EXPECT_TRUE(list.remove(derived.get()));
}

} // namespace
