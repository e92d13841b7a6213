// Class identity of models and attributes, and models built from an attribute table.
#include "ModelTestSupport.h"

namespace {

TEST(ModelIdentity, NamesTypeIdsAndKinds)
{
    ZqModelController::shared()->reset();
    auto parent = zqCreateModel<TableModel>("parent");
    auto child = zqCreateModel<TableChild>("child");
    std::shared_ptr<ZqModel> asModel = child;

    EXPECT_STREQ(asModel->className(), "TableChild");
    EXPECT_EQ(asModel->typeId(), zqTypeIdOf("TableChild"));
    EXPECT_EQ(TableChild::staticTypeId(), zqTypeIdOf("TableChild"));
    EXPECT_NE(asModel->typeId(), TableModel::staticTypeId()); // an exact test

    EXPECT_TRUE(child->isKindOf(TableChild::staticTypeId()));
    EXPECT_TRUE(child->isKindOf(TableModel::staticTypeId()));
    EXPECT_TRUE(child->isKindOf(ZqModel::staticTypeId()));
    EXPECT_TRUE(parent->isKindOf(ZqModel::staticTypeId()));
    EXPECT_FALSE(parent->isKindOf(TableChild::staticTypeId()));
    EXPECT_FALSE(child->isKindOf(ZqAttributeString::staticTypeId()));
    EXPECT_FALSE(child->isKindOf(0));

    std::shared_ptr<ZqModel> copy = asModel->duplicate(false, false);
    EXPECT_STREQ(copy->className(), "TableChild");
    EXPECT_EQ(copy->typeId(), child->typeId());
    EXPECT_EQ(copy->sharedFromThis(), copy);
    ZqModelController::shared()->reset();
}

// The kind collection of ZqNodeUI walks the type lists in ascending id order and must
// meet ZqNodeUIStart models first.
namespace fake {
class ZqNodeUI : public ZqModel {
public:
    ZqNodeUI() : ZqModel("") {}
    ZqNodeUI(const ZqNodeUI& source) : ZqModel(source) {}
    ZQ_MODEL_IDENTITY(ZqNodeUI, ZqModel)
};
class ZqNodeUIStart : public ZqNodeUI {
public:
    ZqNodeUIStart() = default;
    ZqNodeUIStart(const ZqNodeUIStart& source) : ZqNodeUI(source) {}
    ZQ_MODEL_IDENTITY(ZqNodeUIStart, ZqNodeUI)
};
} // namespace fake

TEST(ModelIdentity, TypeListsRunInAscendingIdOrder)
{
    ZqModelController& controller = *ZqModelController::shared();
    controller.reset();
    controller.addModel(zqCreateModel<fake::ZqNodeUI>());
    controller.addModel(zqCreateModel<fake::ZqNodeUIStart>());
    std::vector<std::string> kinds;
    for (const auto& [typeId, models] : controller.modelsByType()) {
        for (const auto& model : models) {
            if (model->isKindOf(fake::ZqNodeUI::staticTypeId()))
                kinds.emplace_back(model->className());
        }
    }
    EXPECT_EQ(kinds, (std::vector<std::string>{"ZqNodeUIStart", "ZqNodeUI"}));
    controller.reset();
}

TEST_F(ModelTest, TableCreatesMembersWithClampedSilentDefaults)
{
    CountingObserver observer;
    auto model = zqCreateModel<TableModel>("table");
    model->addObserver(&observer);
    std::vector<std::string> names;
    for (ZqBaseAttribute* attribute : model->attributes())
        names.emplace_back(attribute->name());
    EXPECT_EQ(names, (std::vector<std::string>{"Name", "Speed", "Lives", "Active", "Title"}));
    EXPECT_EQ(model->m_speed->value(), 2.5f);
    EXPECT_EQ(model->m_speed->maxValue(), 10.0f);
    EXPECT_EQ(model->m_lives->value(), 9); // 50 clamped into [1, 9]
    EXPECT_TRUE(model->m_active->value());
    EXPECT_EQ(model->m_title->value(), "Untitled");
    EXPECT_FALSE(controller().isChanged());

    model->m_speed->setValue(12.0f);
    EXPECT_EQ(model->m_speed->value(), 10.0f);
    EXPECT_EQ(observer.attributeChanges, 1);
    model->removeObserver(&observer);
}

TEST_F(ModelTest, CopiesRebindMembersByNameAndClass)
{
    auto model = zqCreateModel<TableModel>("table");
    model->m_lives->setValue(4);
    // A clone under the member's name but of another class is not bound.
    model->m_title->setName("Old Title", true);
    new ZqAttributeInt("Title", model.get());

    auto copy = TableModel::create(*model);
    EXPECT_NE(copy->m_lives, model->m_lives);
    EXPECT_EQ(copy->m_lives->value(), 4);
    EXPECT_EQ(copy->m_lives->owner(), copy.get());
    EXPECT_EQ(copy->m_title, nullptr);
    EXPECT_EQ(copy->name(), "table");
    EXPECT_NE(copy->id(), model->id());

    model.reset(); // the copy owns its own attributes
    EXPECT_EQ(copy->m_speed->value(), 2.5f);
}

TEST_F(ModelTest, EveryAttributeCloneKeepsItsClass)
{
    auto model = zqCreateModel<TableModel>("table");
    auto other = zqCreateModel<TableModel>("other");
    for (ZqBaseAttribute* attribute : ZqAttributeList(model->attributes())) {
        for (ZqBaseAttribute* copy : {attribute->clone("c", other.get()), attribute->cloneForOwner(other.get()),
                                      attribute->cloneWithName("w")}) {
            EXPECT_STREQ(copy->className(), attribute->className());
            EXPECT_EQ(copy->typeId(), attribute->typeId());
        }
    }
    EXPECT_EQ(model->attributes().size(), 10u); // five own plus five cloneWithName copies
}

} // namespace
