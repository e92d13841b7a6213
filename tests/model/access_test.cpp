// Typed access: exact and kind casts, children and controller collections, typed lookups
// by id, and creation with registration.
#include "ModelTestSupport.h"

#include "model/ZqModelAccess.h"

namespace {

using AccessTest = ModelTest;

// A small class tree standing in for image, button, purchase button and linker models;
// a generated base sits between the button and the image.
class ProbeImage : public ZqModel {
public:
    explicit ProbeImage(const std::string& name) : ZqModel(name) {}
    ProbeImage(const ProbeImage& source) : ZqModel(source) {}
    ZQ_MODEL_IDENTITY(ProbeImage, ZqModel)
    static std::shared_ptr<ProbeImage> create(const std::string& name) { return zqCreateModel<ProbeImage>(name); }
};

class ProbeBaseButton : public ProbeImage {
public:
    using ProbeImage::ProbeImage;
};

class ProbeButton : public ProbeBaseButton {
public:
    explicit ProbeButton(const std::string& name) : ProbeBaseButton(name) {}
    ProbeButton(const ProbeButton& source) : ProbeBaseButton(source) {}
    ZQ_MODEL_IDENTITY(ProbeButton, ProbeImage)
};

class ProbePurchase : public ProbeButton {
public:
    explicit ProbePurchase(const std::string& name) : ProbeButton(name) {}
    ProbePurchase(const ProbePurchase& source) : ProbeButton(source) {}
    ZQ_MODEL_IDENTITY(ProbePurchase, ProbeButton)
};

class ProbeLinker : public ZqModel {
public:
    explicit ProbeLinker(const std::string& name) : ZqModel(name) {}
    ProbeLinker(const ProbeLinker& source) : ZqModel(source) {}
    ZQ_MODEL_IDENTITY(ProbeLinker, ZqModel)
};

// The two node classes whose kind collection depends on the type-id order.
namespace fake {
class ZqNodeUI : public ZqModel {
public:
    explicit ZqNodeUI(const std::string& name) : ZqModel(name) {}
    ZqNodeUI(const ZqNodeUI& source) : ZqModel(source) {}
    ZQ_MODEL_IDENTITY(ZqNodeUI, ZqModel)
    ZQ_MODEL_FACTORY(ZqNodeUI)
};
class ZqNodeUIStart : public ZqNodeUI {
public:
    explicit ZqNodeUIStart(const std::string& name) : ZqNodeUI(name) {}
    ZqNodeUIStart(const ZqNodeUIStart& source) : ZqNodeUI(source) {}
    ZQ_MODEL_IDENTITY(ZqNodeUIStart, ZqNodeUI)
    ZQ_MODEL_FACTORY(ZqNodeUIStart)
};
} // namespace fake

TEST_F(AccessTest, KindTestsAcceptTheClassAndItsAncestorsOnly)
{
    std::shared_ptr<ZqModel> purchase = zqCreateModel<ProbePurchase>("purchase");
    for (uint32_t id : {ProbePurchase::staticTypeId(), ProbeButton::staticTypeId(), ProbeImage::staticTypeId(),
                        ZqModel::staticTypeId()})
        EXPECT_TRUE(purchase->isKindOf(id));
    for (uint32_t id : {ProbeLinker::staticTypeId(), TableModel::staticTypeId(), zqTypeIdOf("ProbeBaseButton"),
                        ZqAttributeString::staticTypeId(), 0u})
        EXPECT_FALSE(purchase->isKindOf(id));
    std::shared_ptr<ZqModel> button = zqCreateModel<ProbeButton>("button");
    EXPECT_FALSE(button->isKindOf(ProbePurchase::staticTypeId()));
    EXPECT_EQ(button->typeId(), ProbeButton::staticTypeId()); // the generated base is passed over
}

TEST_F(AccessTest, CastsShareTheObjectOrGiveNothing)
{
    std::shared_ptr<ZqModel> purchase = zqCreateModel<ProbePurchase>("purchase");
    EXPECT_EQ(modelCast<ProbeButton>(purchase), nullptr); // exact: a subclass is refused
    std::shared_ptr<ProbeButton> asButton = modelKindCast<ProbeButton>(purchase);
    EXPECT_EQ(static_cast<ZqModel*>(asButton.get()), purchase.get());
    EXPECT_EQ(purchase.use_count(), 2); // shares ownership, no copy
    EXPECT_EQ(modelKindCast<ProbeLinker>(purchase), nullptr);
    EXPECT_EQ(modelCast<ProbeImage>(nullptr), nullptr);
    EXPECT_EQ(modelKindCast<ZqModel>(nullptr), nullptr);

    std::shared_ptr<ProbeButton> copy = duplicateModel(asButton, false, false);
    EXPECT_STREQ(copy->className(), "ProbePurchase");
    EXPECT_EQ(duplicateModel(std::shared_ptr<ProbeButton>(), true, true), nullptr);
}

TEST_F(AccessTest, ChildrenByClassAndKindInChildOrder)
{
    auto parent = zqCreateModel<ProbeImage>("parent");
    EXPECT_TRUE(parent->childrenOfClass<ProbeLinker>().empty());
    EXPECT_EQ(parent->firstChildOfKind<ProbeImage>(), nullptr);

    auto image = zqCreateModel<ProbeImage>("image");
    auto first = zqCreateModel<ProbeLinker>("L1");
    auto purchase = zqCreateModel<ProbePurchase>("purchase");
    auto second = zqCreateModel<ProbeLinker>("L2");
    auto button = zqCreateModel<ProbeButton>("button");
    for (const std::shared_ptr<ZqModel>& child : std::vector<std::shared_ptr<ZqModel>>{image, first, purchase, second, button})
        parent->addChild(child);
    purchase->addChild(zqCreateModel<ProbeLinker>("nested")); // children are not searched deeper

    EXPECT_EQ(parent->childrenOfClass<ProbeLinker>(), (std::vector<std::shared_ptr<ProbeLinker>>{first, second}));
    EXPECT_EQ(parent->firstChildOfClass<ProbeLinker>(), first);
    EXPECT_EQ(parent->childrenOfClass<ProbeButton>(), (std::vector<std::shared_ptr<ProbeButton>>{button}));
    std::vector<std::shared_ptr<ProbeButton>> buttons = parent->childrenOfKind<ProbeButton>();
    ASSERT_EQ(buttons.size(), 2u);
    EXPECT_EQ(buttons[0].get(), static_cast<ProbeButton*>(purchase.get()));
    EXPECT_EQ(buttons[1], button);
    EXPECT_EQ(parent->firstChildOfKind<ProbeButton>().get(), static_cast<ProbeButton*>(purchase.get()));
    EXPECT_EQ(parent->childrenOfKind<ProbeImage>().size(), 3u);
}

TEST_F(AccessTest, ControllerLookupsByIdClassAndKind)
{
    auto image = controller().createModel<ProbeImage>("image");
    auto button = zqCreateModel<ProbeButton>("button");
    auto purchase = zqCreateModel<ProbePurchase>("purchase");
    auto secondButton = zqCreateModel<ProbeButton>("second");
    for (const std::shared_ptr<ZqModel>& model : std::vector<std::shared_ptr<ZqModel>>{button, purchase, secondButton})
        controller().addModel(model);
    EXPECT_EQ(controller().modelById(image->id()), image);

    EXPECT_EQ(controller().getModel<ProbeButton>(button->id()), button);
    EXPECT_EQ(controller().getModel<ProbeButton>(purchase->id()), nullptr);
    EXPECT_EQ(controller().getModelOfKind<ProbeButton>(purchase->id()).get(), static_cast<ProbeButton*>(purchase.get()));
    EXPECT_EQ(controller().getModelOfKind<ProbeButton>(image->id()), nullptr);
    EXPECT_EQ(controller().getModel<ProbeImage>(9999), nullptr);

    EXPECT_EQ(controller().modelsOfClass<ProbeButton>(),
              (std::vector<std::shared_ptr<ProbeButton>>{button, secondButton}));
    EXPECT_TRUE(controller().modelsOfClass<ProbeLinker>().empty());

    // Grouped by class in ascending type-id order, registration order within a group.
    std::vector<std::shared_ptr<ZqModel>> expected;
    for (const auto& [typeId, models] : controller().modelsByType()) {
        if (typeId == ProbeButton::staticTypeId())
            expected.insert(expected.end(), {button, secondButton});
        else if (typeId == ProbePurchase::staticTypeId())
            expected.push_back(purchase);
    }
    std::vector<std::shared_ptr<ZqModel>> kinds;
    for (const std::shared_ptr<ProbeButton>& model : controller().modelsOfKind<ProbeButton>())
        kinds.push_back(model);
    EXPECT_EQ(kinds, expected);
    EXPECT_EQ(controller().modelsOfKind<ProbeImage>().size(), 4u);
    EXPECT_TRUE(controller().modelsOfKind<ProbeLinker>().empty());
}

TEST_F(AccessTest, NodeStartsComeBeforeOtherNodesOfTheirKind)
{
    auto node = controller().createModel<fake::ZqNodeUI>();
    auto start = controller().createModel<fake::ZqNodeUIStart>();
    std::vector<std::shared_ptr<ZqModel>> nodes;
    for (const std::shared_ptr<fake::ZqNodeUI>& model : controller().modelsOfKind<fake::ZqNodeUI>())
        nodes.push_back(model);
    EXPECT_EQ(nodes, (std::vector<std::shared_ptr<ZqModel>>{start, node}));
}

} // namespace
