// Every class of the object, asset and component families, made through the registry,
// holds exactly the attributes of its table: names (the data's own spellings), order,
// attribute classes and fresh values.
#include "object_asset_support.h"

#include "model/scene/ZqModelAssets.h"
#include "model/scene/ZqModelComponents.h"
#include "model/scene/ZqModelObject.h"

#include <cfloat>

namespace {

using namespace object_asset_test;

struct Row {
    std::string name;
    std::string type;
    std::string value;
};

using Table = std::vector<Row>;

Table operator+(Table head, const Table& tail)
{
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

Table named(const std::string& name)
{
    return {{"Name", "ZqAttributeString", "\"" + name + "\""}};
}

const Table kObject = {
    {"Position", "ZqAttributePoint", "(0,0)"},
    {"Rotation", "ZqAttributeFloat", "0"},
    {"Scale", "ZqAttributePoint", "(1,1)"},
    {"Opacity", "ZqAttributeFloat", "1"},
    {"Z Depth", "ZqAttributeInt", "0"},
    {"Hidden", "ZqAttributeBool", "false"},
};

const Table kAsset = {{"Collision Shape", "ZqAttributeShape", "empty"}};

const Table kCharacter = {
    {"Default Animation", "ZqAttributeAnimation", "empty"},
    {"Shooting Animation", "ZqAttributeAnimation", "empty"},
    {"Bullet Animation", "ZqAttributeAnimation", "empty"},
    {"Jump Animation", "ZqAttributeAnimation", "empty"},
    {"Move Animation", "ZqAttributeAnimation", "empty"},
    {"Defeated Animation", "ZqAttributeAnimation", "empty"},
    {"Jump Sound", "ZqAttributeSound", "empty"},
    {"Shoot Sound", "ZqAttributeSound", "empty"},
    {"Defeated Sound", "ZqAttributeSound", "empty"},
    {"Ground Collision", "ZqAttributeSound", "empty"},
    {"Cast Shadow", "ZqAttributeBool", "true"},
    {"Auto Tilt", "ZqAttributeBool", "false"},
    {"Game Over Delay", "ZqAttributeFloat", "0"},
    {"Camera Shake", "ZqAttributeFloat", "0"},
    {"Camera Flash", "ZqAttributeFloat", "0"},
    {"Fall Attribute", "ZqAttributeFloat", "0"},
    {"Purchase Method", "ZqAttributeStringList", "\"\""},
    {"Ad Network", "ZqAttributeStringList", "\"\""},
    {"Store Identifier", "ZqAttributeString", "\"\""},
    {"Web Link", "ZqAttributeString", "\"\""},
    {"Price", "ZqAttributeFloat", "0"},
};

const Table kPowerup = {
    {"Idle Animation", "ZqAttributeAnimation", "empty"},
    {"Powerup Type", "ZqAttributeStringList", "\"\""},
    {"Start Animation", "ZqAttributeAnimation", "empty"},
    {"Animation Placement", "ZqAttributeStringList", "\"\""},
    {"Animation Behaviour", "ZqAttributeStringList", "\"\""},
    {"Idle Sound", "ZqAttributeSound", "empty"},
    {"Start Sound", "ZqAttributeSound", "empty"},
    {"End Sound", "ZqAttributeSound", "empty"},
    {"Reward Coins", "ZqAttributeFloat", "0"},
    {"Show coin reward", "ZqAttributeBool", "false"},
    {"Reward Points", "ZqAttributeFloat", "0"},
    {"Show points reward", "ZqAttributeBool", "false"},
    {"Duration", "ZqAttributeFloat", "0"},
    {"Appearance Chance", "ZqAttributeFloat", "0"},
    {"Camera Shake", "ZqAttributeFloat", "0"},
    {"Camera Flash", "ZqAttributeFloat", "0"},
    {"Max Speed", "ZqAttributePoint", "(0,0)"},
    {"Gravity", "ZqAttributePoint", "(0,0)"},
    {"Jump Force", "ZqAttributePoint", "(0,0)"},
    {"Jump Counter", "ZqAttributeFloat", "0"},
    {"Jump Timeout", "ZqAttributeFloat", "0"},
    {"Ground Threshold", "ZqAttributeFloat", "0 [empty]"},
    {"Jump From Ground", "ZqAttributeBool", "false"},
    {"Right Lean Force", "ZqAttributeFloat", "0"},
    {"Left Lean Force", "ZqAttributeFloat", "0"},
    {"Game Speed Min", "ZqAttributeFloat", "0"},
    {"Game Speed Max", "ZqAttributeFloat", "0"},
    {"Speed Increase", "ZqAttributeFloat", "0"},
    {"Friction", "ZqAttributeFloat", "0"},
    {"Time Warp", "ZqAttributeFloat", "0"},
    {"Velocity Drag", "ZqAttributeFloat", "0"},
    {"Rotation Drag", "ZqAttributeFloat", "0"},
    {"Bounce Force", "ZqAttributePoint", "(0,0)"},
    {"Bounce", "ZqAttributeFloat", "0"},
    {"Score Multiplier", "ZqAttributeFloat", "0"},
    {"Air Drag", "ZqAttributePoint", "(0,0)"},
    {"Platform Friction", "ZqAttributeFloat", "0"},
    {"Game Direction", "ZqAttributeFloat", "0"},
    {"Fixed Rotation", "ZqAttributeBool", "false"},
};

const Table kObjectAsset = {{"Asset", "ZqAttributeAsset", "empty"}};

const Table kImage = {
    {"Image", "ZqAttributeSprite", "empty"},
    {"Autohide", "ZqAttributeFloat", "0"},
    {"Stick To Edge", "ZqAttributeBool", "true"},
};

const Table kHealth = {
    {"Taking Damage Anim.", "ZqAttributeAnimation", "empty"},
    {"Taking Damage Sound", "ZqAttributeSound", "empty"},
    {"Death Delay", "ZqAttributeFloat", "0"},
    {"Health", "ZqAttributeFloat", "1"},
    {"Lives", "ZqAttributeFloat", "1"},
};

const Table kScore = {
    {"Reset Coins", "ZqAttributeBool", "false"},
    {"Reset Points", "ZqAttributeBool", "false"},
    {"Reset Distance", "ZqAttributeBool", "false"},
};

struct ClassCase {
    const char* className;
    Table attributes;
};

const std::vector<ClassCase>& classCases()
{
    static const std::vector<ClassCase> cases = {
        {"ZqModelAsset", named("") + kAsset},
        {"ZqModelAssetCharacter", named("") + kAsset + kCharacter},
        {"ZqModelAssetPowerup", named("Powerup") + kAsset + kPowerup},
        {"ZqModelObject", named("Untitled") + kObject},
        {"ZqModelObjectAsset", named("") + kObject + kObjectAsset},
        {"ZqModelObjectAssetCharacter", named("") + kObject + kObjectAsset},
        {"ZqModelObjectAssetPowerup", named("") + kObject + kObjectAsset},
        {"ZqModelObjectImage", named("Image") + kObject + kImage},
        {"ZqModelComponentHealth", named("Health") + kHealth},
        {"ZqModelComponentScore", named("Score") + kScore},
    };
    return cases;
}

class ClassTableTest : public SceneModelTest, public ::testing::WithParamInterface<ClassCase> {};

TEST_P(ClassTableTest, FreshModelHoldsTheTableInOrder)
{
    const ClassCase& expected = GetParam();
    const std::shared_ptr<ZqModel> model = controller().registry().create(expected.className);
    ASSERT_TRUE(model);
    EXPECT_STREQ(model->className(), expected.className);

    const ZqAttributeList& attributes = model->attributes();
    ASSERT_EQ(attributes.size(), expected.attributes.size());
    for (std::size_t i = 0; i < attributes.size(); ++i) {
        SCOPED_TRACE(expected.attributes[i].name);
        EXPECT_EQ(attributes[i]->name(), expected.attributes[i].name);
        EXPECT_STREQ(attributes[i]->className(), expected.attributes[i].type.c_str());
        EXPECT_EQ(attributeValueText(*attributes[i]), expected.attributes[i].value);
        EXPECT_EQ(attributes[i]->owner(), model.get());
        if (auto* number = dynamic_cast<const ZqAttributeFloat*>(attributes[i])) {
            EXPECT_EQ(number->minValue(), -FLT_MAX);
            EXPECT_EQ(number->maxValue(), FLT_MAX);
        }
    }

    // A copy re-binds every member to its own clone, in the same order.
    const std::shared_ptr<ZqModel> copy = model->duplicate(false, false);
    ASSERT_EQ(copy->attributes().size(), attributes.size());
    for (std::size_t i = 0; i < attributes.size(); ++i) {
        EXPECT_EQ(copy->attributes()[i]->name(), attributes[i]->name());
        EXPECT_EQ(attributeValueText(*copy->attributes()[i]), attributeValueText(*attributes[i]));
    }
}

INSTANTIATE_TEST_SUITE_P(SceneClasses, ClassTableTest, ::testing::ValuesIn(classCases()),
                         [](const ::testing::TestParamInfo<ClassCase>& info) { return std::string(info.param.className); });

TEST_F(SceneModelTest, KindChainsFollowTheClassTree)
{
    const auto character = ZqModelObjectAssetCharacter::create();
    EXPECT_TRUE(character->isKindOf(ZqModelObjectAsset::staticTypeId()));
    EXPECT_TRUE(character->isKindOf(ZqModelObject::staticTypeId()));
    EXPECT_TRUE(character->isKindOf(ZqModelCompound::staticTypeId()));
    EXPECT_FALSE(character->isKindOf(ZqModelObjectAssetPowerup::staticTypeId()));
    EXPECT_TRUE(ZqModelAssetPowerup::create()->isKindOf(ZqModelAsset::staticTypeId()));
    EXPECT_TRUE(ZqModelObjectImage::create()->isKindOf(ZqModelCompound::staticTypeId()));
    const auto health = ZqModelComponentHealth::create();
    EXPECT_TRUE(health->isKindOf(ZqModelComponent::staticTypeId()));
    EXPECT_FALSE(health->isKindOf(ZqModelCompound::staticTypeId()));
    EXPECT_EQ(health->currentLives, 1);
}

} // namespace
