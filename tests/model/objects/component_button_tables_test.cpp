// The behaviour components and the further buttons, made through the registry: class name,
// type id, attributes (the data's own spellings, order, classes, defaults) and a round trip
// of every class through the bytes of model files.
#include "../scene/object_asset_support.h"

#include "model/objects/ZqModelComponentsBehaviour.h"
#include "model/objects/ZqModelObjectButtons.h"
#include "model/scene/ZqModelShapes.h"

#include <ZqTypeId.h>

#include <algorithm>
#include <cfloat>
#include <map>

namespace {

using namespace object_asset_test;
using namespace cocos2d;

using Table = std::vector<Row>;

struct ClassCase {
    const char* className;
    const char* defaultName;
    // Registered class whose attributes come first (after "Name"); null for a component.
    const char* inheritedFrom;
    Table own;
    // Inherited attributes whose value the class changes.
    std::map<std::string, std::string> changed;
};

const std::vector<ClassCase>& classCases()
{
    static const std::vector<ClassCase> cases = {
        {"ZqModelComponentForcedMovement", "Forced Movement", nullptr,
         {{"Froce Min", "ZqAttributeFloat", "3"},
          {"Force Max", "ZqAttributeFloat", "10"},
          {"Force Increase", "ZqAttributeFloat", "0.1"}}, {}},
        {"ZqModelComponentDeletionThreshold", "Object Deletion Threshold", nullptr,
         {{"Back Deletion Threshold", "ZqAttributeFloat", "300"},
          {"Sides Deletion Threshold", "ZqAttributeFloat", "550"}}, {}},
        {"ZqModelComponentSpawner", "Spawner", nullptr,
         {{"Spawn Action", "ZqAttributeStringList", "\"kPermanentSpawning\""},
          {"Spawn Rate", "ZqAttributeFloat", "1"}}, {}},
        {"ZqModelComponentWakeup", "Wake Up", nullptr,
         {{"Wake Up", "ZqAttributeStringList", "\"kNoWakeup\""},
          {"Sleep", "ZqAttributeStringList", "\"kNoSleep\""},
          {"Wakeup Distance", "ZqAttributeFloat", "0"},
          {"Sleep Distance", "ZqAttributeFloat", "0"}}, {}},
        {"ZqModelComponentDamage", "Damage", nullptr,
         {{"Damage", "ZqAttributeFloat", "1"}, {"Damage delay", "ZqAttributeFloat", "0"}}, {}},
        {"ZqModelComponentCharacterGameplaySettings", "Character Gameplay Settings", nullptr,
         {{"Max Speed", "ZqAttributePoint", "(0,0)"},
          {"Bounce Force", "ZqAttributePoint", "(0,0)"},
          {"Jump Force", "ZqAttributePoint", "(0,5)"},
          {"Air Drag", "ZqAttributePoint", "(0.8,1)"},
          {"Jump Timeout", "ZqAttributeFloat", "0.25"},
          {"Jump Counter", "ZqAttributeFloat", "0"},
          {"Ground Threshold", "ZqAttributeFloat", "0.01"},
          {"Left Lean Force", "ZqAttributeFloat", "0"},
          {"Right Lean Force", "ZqAttributeFloat", "0"},
          {"Platform Friction", "ZqAttributeFloat", "1"},
          {"Rotation Drag", "ZqAttributeFloat", "1"},
          {"Jump From Ground", "ZqAttributeBool", "false"},
          {"Direct Movement", "ZqAttributeBool", "false"},
          {"Forced Movement", "ZqAttributeBool", "true"},
          {"Fixed Rotation", "ZqAttributeBool", "false"},
          {"Image Direction", "ZqAttributeBool", "false"}}, {}},
        {"ZqModelComponentCharacterIcon", "Character Icon", nullptr,
         {{"Regular Icon", "ZqAttributeAnimation", "empty"},
          {"Locked Icon", "ZqAttributeAnimation", "empty"},
          {"Selected Icon", "ZqAttributeAnimation", "empty"}}, {}},
        {"ZqModelComponentIsoJump", "Ghost Jump", nullptr,
         {{"Jump Velocity", "ZqAttributePoint", "(0,0)"},
          {"Jump Gravity", "ZqAttributePoint", "(0,0)"},
          {"Jump Speed", "ZqAttributeFloat", "1"},
          {"Jump Duration", "ZqAttributeFloat", "1"},
          {"Jump Timeout", "ZqAttributeFloat", "0"},
          {"Jump Count", "ZqAttributeFloat", "1"},
          {"Continuous Jump", "ZqAttributeBool", "false"},
          {"Activate On Release", "ZqAttributeBool", "false"},
          {"Event", "ZqAttributeStringList", "\"\""},
          {"Syncronize Animation", "ZqAttributeBool", "false"},
          {"Collision Shape", "ZqAttributeShape", "empty"},
          {"Animation", "ZqAttributeAnimation", "empty"},
          {"Ground", "ZqAttributeAnimation", "empty"},
          {"Jump Sound", "ZqAttributeSound", "empty"},
          {"Double Jump Sound", "ZqAttributeSound", "empty"}}, {}},
        {"ZqModelComponentMotor", "Motor", nullptr,
         {{"Linear Velocity", "ZqAttributePoint", "(0,0)"},
          {"Angular Velocity", "ZqAttributeFloat", "0"},
          {"Event", "ZqAttributeStringList", "\"kEventButton\""},
          {"Linear Multiplier", "ZqAttributePoint", "(1,1)"},
          {"Angular Multiplier", "ZqAttributeFloat", "1"},
          {"Affected asset", "ZqAttributeStringList", "\"-1\""}}, {}},
        {"ZqModelComponentMove", "Advanced Move", nullptr,
         {{"Collision Shape", "ZqAttributeShape", "empty"},
          {"Animation", "ZqAttributeAnimation", "empty"},
          {"Sound", "ZqAttributeSound", "empty"},
          {"Activate On Release", "ZqAttributeBool", "false"},
          {"Forced Switch Button", "ZqAttributeBool", "false"},
          {"Linear Velocity", "ZqAttributePoint", "(0,0)"},
          {"Angular Velocity", "ZqAttributeFloat", "0 [empty]"},
          {"Mathematical Operation", "ZqAttributeStringList", "\"kReplace\""},
          {"Event", "ZqAttributeString", "\"kEventStart\""},
          {"Affected asset", "ZqAttributeStringList", "\"-1\""},
          {"Timeout", "ZqAttributeFloat", "0"}}, {}},
        {"ZqModelComponentRotationMapper", "Rotation Mapper", nullptr,
         {{"Animation", "ZqAttributeAnimation", "empty"}}, {}},
        {"ZqModelComponentSlide", "Slide", nullptr,
         {{"Collision Shape", "ZqAttributeShape", "empty"},
          {"Animation", "ZqAttributeAnimation", "empty"},
          {"Event", "ZqAttributeStringList", "\"kEventButton\""},
          {"Sound", "ZqAttributeSound", "empty"}}, {}},
        {"ZqModelObjectButtonControl", "", "ZqModelObjectButton", {}, {}},
        {"ZqModelObjectButtonSoundControl", "Audio Button", "ZqModelObjectButton", {}, {}},
        {"ZqModelObjectButtonSwitch", "Switch Button", "ZqModelObjectButton", {},
         {{"Action", "\"kInputControllerActionButton\""}}},
        {"ZqModelObjectButtonUrl", "Url Button", "ZqModelObjectButton",
         {{"URL", "ZqAttributeString", "\"\""}}, {}},
        {"ZqModelObjectButtonFacebook", "Facebook Button", "ZqModelObjectButton",
         {{"Facebook URL", "ZqAttributeString", "\"\""}, {"Facebook ID", "ZqAttributeString", "\"\""}}, {}},
        {"ZqModelObjectButtonCharacterUnlock", "Single Unlock", "ZqModelObjectButton",
         {{"Character", "ZqAttributeString", "\"\""}, {"Show When Selected", "ZqAttributeBool", "false"}}, {}},
        {"ZqModelObjectLockButton", "Lock Button", "ZqModelObjectButton",
         {{"Locked Image", "ZqAttributeSprite", "empty"},
          {"Locked Image Selected", "ZqAttributeSprite", "empty"},
          {"Unlock", "ZqAttributeStringList", "\"kInGameCurrency\""},
          {"Price", "ZqAttributeFloat", "0"},
          {"Store Identifier", "ZqAttributeString", "\"\""},
          {"Destination", "ZqAttributeStringList", "\"kSceneDestination\""},
          {"World", "ZqAttributeString", "\"\""},
          {"Scene", "ZqAttributeString", "\"\""},
          {"Auto Follow", "ZqAttributeBool", "false"},
          {"Auto Lock", "ZqAttributeBool", "false"}}, {}},
    };
    return cases;
}

class BehaviourClassTest : public SceneModelTest, public ::testing::WithParamInterface<ClassCase> {};

TEST_P(BehaviourClassTest, FreshModelHoldsItsTableInOrder)
{
    const ClassCase& expected = GetParam();
    const std::shared_ptr<ZqModel> model = controller().registry().create(expected.className);
    ASSERT_TRUE(model);
    EXPECT_STREQ(model->className(), expected.className);
    EXPECT_EQ(model->typeId(), zqTypeIdOf(expected.className));

    // "Name", the inherited attributes as a fresh model of the parent class holds them (with
    // the class's changes), the own rows.
    const Table table = expectedTable(expected.defaultName, expected.inheritedFrom, expected.own, attributeValueText,
                                      expected.changed);
    const ZqAttributeList& attributes = model->attributes();
    ASSERT_NO_FATAL_FAILURE(expectTable(attributes, table, attributeValueText));
    // The own numbers have no range.
    for (std::size_t i = 0; i < attributes.size(); ++i) {
        SCOPED_TRACE(table[i].name);
        if (auto* number = dynamic_cast<const ZqAttributeFloat*>(attributes[i]);
            number && i > 0 && i + expected.own.size() >= attributes.size()) {
            EXPECT_EQ(number->minValue(), -FLT_MAX);
            EXPECT_EQ(number->maxValue(), FLT_MAX);
        }
    }

    // A copy re-binds its members to its own clones: same class, same values.
    const std::shared_ptr<ZqModel> copy = model->duplicate(false, false);
    EXPECT_EQ(copy->typeId(), model->typeId());
    EXPECT_NE(copy->id(), model->id());
    ASSERT_EQ(copy->attributes().size(), attributes.size());
    for (std::size_t i = 0; i < attributes.size(); ++i)
        EXPECT_EQ(attributeValueText(*copy->attributes()[i]), attributeValueText(*attributes[i]));
}

INSTANTIATE_TEST_SUITE_P(BehaviourClasses, BehaviourClassTest, ::testing::ValuesIn(classCases()),
                         [](const ::testing::TestParamInfo<ClassCase>& info) { return std::string(info.param.className); });

// Gives every attribute a value other than its default; references point at the media.
void changeEveryAttribute(ZqModel& model, const ModelList& media)
{
    int step = 1;
    for (ZqBaseAttribute* attribute : model.attributes()) {
        const float number = 2.5f * static_cast<float>(step++);
        if (auto* value = dynamic_cast<ZqAttributeFloat*>(attribute))
            value->setValue(number);
        else if (auto* flag = dynamic_cast<ZqAttributeBool*>(attribute))
            flag->setValue(!flag->value());
        else if (auto* point = dynamic_cast<ZqAttributePoint*>(attribute))
            point->setValue(CCPoint(number, -number));
        else if (auto* text = dynamic_cast<ZqAttributeString*>(attribute))
            text->setValue(std::string(attribute->name()) + " " + std::to_string(step));
        else if (auto* sprite = dynamic_cast<ZqAttributeSprite*>(attribute))
            sprite->setValue(std::static_pointer_cast<ZqModelSpriteContainer>(media[0]));
        else if (auto* shape = dynamic_cast<ZqAttributeShape*>(attribute))
            shape->setValue(std::static_pointer_cast<ZqModelPolygon>(media[1]));
        else if (auto* animation = dynamic_cast<ZqAttributeAnimation*>(attribute))
            animation->setValue(std::static_pointer_cast<ZqModelAnimation>(media[2]));
        else if (auto* sound = dynamic_cast<ZqAttributeSound*>(attribute))
            sound->setValue(std::static_pointer_cast<ZqModelSound>(media[3]));
    }
}

TEST_F(SceneModelTest, EveryClassComesBackThroughModelFileBytes)
{
    ModelList game = {controller().createModel<ZqModelSpriteContainer>(), controller().createModel<ZqModelPolygon>(),
                      controller().createModel<ZqModelAnimation>(), controller().createModel<ZqModelSound>()};
    const ModelList media = game;
    for (const ClassCase& each : classCases()) {
        std::shared_ptr<ZqModel> changed = controller().registry().create(each.className);
        changeEveryAttribute(*changed, media);
        controller().addModel(changed);
        game.push_back(changed);
        // A fresh one too: its defaults (and the move's empty marks) must survive as well.
        std::shared_ptr<ZqModel> fresh = controller().registry().create(each.className);
        controller().addModel(fresh);
        game.push_back(fresh);
    }
    const SavedModels saved = saveModels(game, attributeLines);
    game.clear();
    // The changed values really differ from the defaults, references included.
    const std::vector<std::string>& lock = std::prev(saved.before.end())->second;
    EXPECT_EQ(lock.front(), "ZqModelObjectLockButton");
    const std::vector<std::string>& changedLock = std::prev(saved.before.end(), 2)->second;
    EXPECT_NE(changedLock, lock);
    EXPECT_NE(std::find(changedLock.begin(), changedLock.end(), "Locked Image = model " + std::to_string(media[0]->id())),
              changedLock.end());
    expectModelsReload(saved, attributeLines);
}

} // namespace
