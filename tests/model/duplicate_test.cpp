// Duplication: deep copies of a small tree (fresh ids in depth-first order, equal values,
// re-bound members, nothing shared), shallow copies sharing children, registration only
// like the source, and deep copies that end even on a cyclic tree.
#include "ModelTestSupport.h"

#include <ZqLog.h>

#include <algorithm>
#include <set>

namespace {

using DuplicateTest = ModelTest;

using Model = std::shared_ptr<ZqModel>;

// Every model of the tree, depth first, parents before children.
std::vector<Model> subtree(const Model& root)
{
    std::vector<Model> models{root};
    for (const Model& child : root->children()) {
        std::vector<Model> below = subtree(child);
        models.insert(models.end(), below.begin(), below.end());
    }
    return models;
}

class DuplicateTreeTest : public DuplicateTest {
protected:
    // root [a (TableChild) [grandchild], b]
    void SetUp() override
    {
        DuplicateTest::SetUp();
        root = zqCreateModel<TableModel>("root");
        a = zqCreateModel<TableChild>("a");
        b = zqCreateModel<TableModel>("b");
        grandchild = zqCreateModel<TableModel>("grandchild");
        root->m_speed->setValue(7.5f);
        a->m_title->setValue("first");
        b->m_lives->setValue(3);
        grandchild->m_active->setValue(false);
        root->addChild(a);
        root->addChild(b);
        a->addChild(grandchild);
    }

    std::shared_ptr<TableModel> root, b, grandchild;
    std::shared_ptr<TableChild> a;
};

TEST_F(DuplicateTreeTest, DeepCopyHasFreshModelsWithTheSameValues)
{
    const std::vector<Model> source = subtree(root);
    const Model copy = root->duplicate(true, false);
    const std::vector<Model> copied = subtree(copy);
    ASSERT_EQ(copied.size(), source.size());

    std::set<unsigned> sourceIds;
    for (const Model& model : source)
        sourceIds.insert(model->id());
    for (std::size_t i = 0; i < copied.size(); ++i) {
        SCOPED_TRACE(source[i]->name());
        EXPECT_EQ(sourceIds.count(copied[i]->id()), 0u);
        EXPECT_STREQ(copied[i]->className(), source[i]->className());
        EXPECT_EQ(copied[i]->sharedFromThis(), copied[i]);
        EXPECT_EQ(std::find(source.begin(), source.end(), copied[i]), source.end()); // nothing shared
        if (i > 0) {
            EXPECT_GT(copied[i]->id(), copied[i - 1]->id()); // ids taken depth first
        }

        auto* original = static_cast<TableModel*>(source[i].get());
        auto* duplicate = static_cast<TableModel*>(copied[i].get());
        EXPECT_EQ(duplicate->name(), original->name());
        EXPECT_EQ(duplicate->m_speed->value(), original->m_speed->value());
        EXPECT_EQ(duplicate->m_lives->value(), original->m_lives->value());
        EXPECT_EQ(duplicate->m_active->value(), original->m_active->value());
        EXPECT_EQ(duplicate->m_title->value(), original->m_title->value());
        // Members point at the copy's own attributes.
        EXPECT_EQ(duplicate->m_speed->owner(), duplicate);
        EXPECT_EQ(duplicate->m_title, duplicate->findAttribute("Title"));
        EXPECT_NE(duplicate->m_title, original->m_title);
    }
    EXPECT_EQ(copy->children()[0]->parent(), copy);
    EXPECT_EQ(a->parents(), std::vector<Model>{root});

    // Changing the copy leaves the source alone.
    static_cast<TableModel*>(copied[1].get())->m_title->setValue("changed");
    EXPECT_EQ(a->m_title->value(), "first");
}

TEST_F(DuplicateTreeTest, ShallowCopySharesTheChildren)
{
    const Model copy = root->duplicate(false, false);
    EXPECT_EQ(copy->children(), root->children());
    EXPECT_EQ(a->parents().size(), 2u);
    copy->removeChild(a);
    EXPECT_TRUE(root->hasChild(a.get())); // removing from one parent leaves it in the other
    EXPECT_EQ(a->children().size(), 1u);
}

TEST_F(DuplicateTreeTest, CopiesRegisterOnlyLikeTheirSources)
{
    const Model unregistered = root->duplicate(true, true);
    EXPECT_EQ(controller().modelById(unregistered->id()), nullptr);

    controller().addModel(a); // registers a and the grandchild, not the root
    const Model withoutFlag = root->duplicate(true, false);
    EXPECT_EQ(controller().modelById(withoutFlag->id()), nullptr);
    const Model copyOfA = withoutFlag->children()[0];
    EXPECT_EQ(controller().modelById(copyOfA->id()), copyOfA);
    EXPECT_EQ(controller().modelById(copyOfA->children()[0]->id()), copyOfA->children()[0]);
    EXPECT_EQ(controller().modelById(withoutFlag->children()[1]->id()), nullptr);

    const Model registeredCopy = a->duplicate(false, true);
    const auto list = controller().modelsOfType(TableChild::staticTypeId());
    ASSERT_FALSE(list.empty());
    EXPECT_EQ(list.back(), registeredCopy);
}

TEST_F(DuplicateTest, DeepCopyOfACyclicTreeEnds)
{
    // Wrapped without a self pointer, x leaves its children without a parent link, so the
    // refusal of cycles cannot see that y -> x closes one.
    std::shared_ptr<TableModel> x(new TableModel("x"));
    auto y = zqCreateModel<TableModel>("y");
    x->addChild(y);
    y->addChild(x);
    ASSERT_TRUE(y->hasChild(x.get()));

    std::vector<std::string> lines;
    zqSetLogSink([&](const char* line) { lines.emplace_back(line); });
    const Model copy = y->duplicate(true, false);
    zqSetLogSink(nullptr);
    // y' [x' [ ]]: the copy of x does not copy y again.
    ASSERT_EQ(copy->children().size(), 1u);
    EXPECT_TRUE(copy->children()[0]->children().empty());
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("[ZqModel]"), std::string::npos);

    y->removeAllChildren(true); // break the cycle so that both can go
    x->removeAllChildren(true);
}

} // namespace
