// The object models of the logic, effect, control and unit families, made through the
// registry: class name, type id, attributes in order with their classes and defaults,
// content size, copies, and a round trip of every class through the bytes of model files.
#include "object_support.h"

#include "model/objects/ZqModelObjectsControls.h"
#include "model/objects/ZqModelObjectsEffects.h"
#include "model/objects/ZqModelObjectsLogic.h"
#include "model/objects/ZqModelObjectsUnits.h"

#include <ZqTypeId.h>

namespace {

using namespace object_test;
using namespace cocos2d;

struct ClassCase {
    const char* className;
    const char* defaultName;
    // Registered class whose attributes come right after "Name".
    const char* inheritedFrom;
    std::vector<Row> own;
    CCSize contentSize; // (0, 0): the base rule (100 x 100 without a picture)
};

const std::vector<Row> kRibbon = {
    {"Texture", "ZqAttributeSprite", "empty"},   {"Start Width", "ZqAttributeFloat", "0"},
    {"End Width", "ZqAttributeFloat", "0"},      {"Speed", "ZqAttributeFloat", "0"},
    {"Length", "ZqAttributeFloat", "0"},         {"Wave Height", "ZqAttributeFloat", "0"},
    {"Wave Length", "ZqAttributeFloat", "0"}};

const CCSize kMarker(60.0f, 60.0f);
const CCSize kSmall(30.0f, 30.0f);

const std::vector<ClassCase>& classCases()
{
    static const std::vector<ClassCase> cases = {
        {"ZqModelAssetObstacle", "Obstacle", "ZqModelAsset",
         {{"Idle Animation", "ZqAttributeAnimation", "empty"},
          {"Defeated Animation", "ZqAttributeAnimation", "empty"},
          {"Idle Sound", "ZqAttributeSound", "empty"},
          {"Death Sound", "ZqAttributeSound", "empty"},
          {"WakeUp Sound", "ZqAttributeSound", "empty"}}, {}},
        {"ZqModelObjectAssetUnit", "", "ZqModelObjectAsset",
         {{"Object Type", "ZqAttributeStringList", "\"\""},
          {"Movement Type", "ZqAttributeStringList", "\"\""},
          {"Collision Type", "ZqAttributeStringList", "\"\""},
          {"Destroy Type", "ZqAttributeStringList", "\"\""},
          {"Linear Velocity", "ZqAttributePoint", "(0,0)"},
          {"Angular Velocity", "ZqAttributeFloat", "0"}}, {}},
        {"ZqModelObjectBackground", "Untitled", "ZqModelObject",
         {{"Image", "ZqAttributeSprite", "empty"},
          {"Speed", "ZqAttributeFloat", "0"},
          {"Tiling Offset", "ZqAttributeFloat", "0"},
          {"Fixed Rotation", "ZqAttributeBool", "false"}}, kMarker},
        {"ZqModelObjectGroup", "My Group Layer", "ZqModelObject",
         {{"Auto Depth Sorting", "ZqAttributeBool", "false"},
          {"Sort Direction", "ZqAttributeStringList", "\"gAxisX\""},
          {"Sort Order", "ZqAttributeStringList", "\"gSortAsc\""}}, kMarker},
        {"ZqModelObjectInstance", "", "ZqModelObject", {{"Reference", "ZqAttributeObjectAsset", "empty"}}, {}},
        {"ZqModelObjectLogic", "Transform", "ZqModelObjectAsset",
         {{"Position Modifier", "ZqAttributePoint", "(0,0) [x empty] [y empty]"},
          {"Rotation Modifier", "ZqAttributeFloat", "0 [empty]"},
          {"Scale Modifier", "ZqAttributePoint", "(0,0) [x empty] [y empty]"},
          {"World Space", "ZqAttributeBool", "false"},
          {"Linear Velocity Modifier", "ZqAttributePoint", "(0,0) [x empty] [y empty]"},
          {"Angular Velocity Modifier", "ZqAttributeFloat", "0 [empty]"},
          {"Affected asset", "ZqAttributeStringList", "\"\""},
          {"Affect operation", "ZqAttributeStringList", "\"\""}}, kMarker},
        {"ZqModelObjectGatekeeper", "Gatekeeper", "ZqModelObjectAsset",
         {{"Passed Amount", "ZqAttributeFloat", "0"}}, kMarker},
        {"ZqModelObjectTeleport", "Portal", "ZqModelObjectAsset",
         {{"Group ID", "ZqAttributeFloat", "0"},
          {"Delete Input Object", "ZqAttributeBool", "false"},
          {"Single Use", "ZqAttributeBool", "false"},
          {"Exit Only", "ZqAttributeBool", "false"},
          {"Search Radius", "ZqAttributeFloat", "0"}}, kMarker},
        {"ZqModelObjectScreenJump", "Menu Jump", "ZqModelObjectAsset",
         {{"Function", "ZqAttributeStringList", "\"\""},
          {"Pause Current World", "ZqAttributeBool", "false"}}, kMarker},
        {"ZqModelObjectLight", "Light", "ZqModelObjectAsset",
         {{"Radius", "ZqAttributeFloat", "0"},
          {"Color", "ZqAttributeColor", "rgba(255,255,255,255)"},
          {"Cast Shadow", "ZqAttributeBool", "false"}}, kMarker},
        {"ZqModelObjectTrail", "Trail", "ZqModelObjectAsset", kRibbon, kMarker},
        {"ZqModelObjectFlag", "Flag", "ZqModelObjectAsset", kRibbon, kMarker},
        {"ZqModelObjectMirror", "Mirror", "ZqModelObjectAsset",
         {{"Color", "ZqAttributeColor", "rgba(255,255,255,255)"}}, kMarker},
        {"ZqModelObjectParticles", "Particle", "ZqModelObjectAsset",
         {{"Emitters", "ZqAttributeParticlesEmitters", "port"}}, kMarker},
        {"ZqModelObjectParticlesEmitter", "", "ZqModelObjectAsset",
         {{"Texture", "ZqAttributeSprite", "empty"},
          {"Total Particles", "ZqAttributeFloat", "0"},
          {"Emission Rate", "ZqAttributeFloat", "0"},
          {"Blend Additive", "ZqAttributeBool", "false"},
          {"Start Size", "ZqAttributeFloat", "0"},
          {"End Size", "ZqAttributeFloat", "0"},
          {"Start Spin", "ZqAttributeFloat", "0"},
          {"End Spin", "ZqAttributeFloat", "0"},
          {"Gravity", "ZqAttributePoint", "(0,0)"},
          {"Radial Acceleration", "ZqAttributeFloat", "0"},
          {"Speed", "ZqAttributeFloat", "0"},
          {"Angle", "ZqAttributeFloat", "0"},
          {"Life", "ZqAttributeFloat", "0"},
          {"Color", "ZqAttributeGradient", "stops[]"},
          {"Color Variation", "ZqAttributeGradient", "stops[]"},
          {"Position Type", "ZqAttributeStringList", "\"\""},
          {"Emitters", "ZqAttribute", "port"}}, kSmall},
        {"ZqModelObjectPath", "Path", "ZqModelObjectAsset",
         {{"Search Radius", "ZqAttributeFloat", "50"},
          {"Speed", "ZqAttributeFloat", "50"},
          {"Attraction Force", "ZqAttributeFloat", "50"},
          {"Keep Velocity", "ZqAttributeBool", "true"},
          {"Image Direction", "ZqAttributeBool", "false"},
          {"Play Mode", "ZqAttributeStringList", "\"\""},
          {"Affected Asset", "ZqAttributeStringList", "\"\""},
          {"Object Asset", "ZqAttributeString", "\"\""},
          {"Image Transition", "ZqAttributeStringList", "\"\""}}, kSmall},
        {"ZqModelObjectManipulator", "", "ZqModelObject",
         {{"Sensitivity", "ZqAttributeFloat", "0"},
          {"Control Style", "ZqAttributeStringList", "\"\""}}, kMarker},
        {"ZqModelObjectAccelerometer", "", "ZqModelObjectManipulator",
         {{"Control Type", "ZqAttributeStringList", "\"\""},
          {"Active Axes", "ZqAttributeStringList", "\"\""}}, kMarker},
        {"ZqModelObjectSwipeControl", "", "ZqModelObject", {}, kMarker},
        {"ZqModelObjectCharacterSelector", "", "ZqModelObject",
         {{"Label Visibility", "ZqAttributeBool", "true"},
          {"Label Vertical Spacing", "ZqAttributeFloat", "100"},
          {"Label Name", "ZqAttributeString", "\"\""},
          {"Unlock Button", "ZqAttributeAnimation", "empty"},
          {"Unlock Yes", "ZqAttributeSound", "empty"},
          {"Unlock No", "ZqAttributeSound", "empty"},
          {"Unlock Suggestion", "ZqAttributeAnimation", "empty"},
          {"Spread", "ZqAttributeFloat", "100"}}, kMarker},
        {"ZqModelObjectEventObserver", "Event Observer", "ZqModelObject",
         {{"Event Type", "ZqAttributeStringList", "\"\""},
          {"Limit Number", "ZqAttributeFloat", "0"},
          {"Plays Before Redirect", "ZqAttributeFloat", "0"},
          {"Time", "ZqAttributeUInt", "0u"},
          {"Function", "ZqAttributeStringList", "\"\""},
          {"Pause Current World", "ZqAttributeBool", "false"}}, kMarker},
        {"ZqModelObjectLoadingBar", "Loading Bar", "ZqModelObject", {}, kMarker},
    };
    return cases;
}

class ObjectClassTest : public SceneModelTest, public ::testing::WithParamInterface<ClassCase> {};

TEST_P(ObjectClassTest, FreshModelHoldsItsTableInOrder)
{
    const ClassCase& expected = GetParam();
    const std::shared_ptr<ZqModel> model = controller().registry().create(expected.className);
    ASSERT_TRUE(model);
    EXPECT_STREQ(model->className(), expected.className);
    EXPECT_EQ(model->typeId(), zqTypeIdOf(expected.className));
    EXPECT_TRUE(model->isKindOf(zqTypeIdOf(expected.inheritedFrom)));

    // "Name", the parent class's attributes as a fresh model of it holds them, the own rows.
    const std::vector<Row> table = expectedTable(expected.defaultName, expected.inheritedFrom, expected.own, valueText);
    ASSERT_NO_FATAL_FAILURE(expectTable(model->attributes(), table, valueText));

    if (auto* object = dynamic_cast<const ZqBaseModelObject*>(model.get())) {
        const CCSize size = expected.contentSize.width > 0.0f ? expected.contentSize : CCSize(100.0f, 100.0f);
        EXPECT_EQ(object->contentSize(0.0f).width, size.width);
        EXPECT_EQ(object->contentSize(0.0f).height, size.height);
    }

    // A copy re-binds its members to its own clones: same class, same values.
    const std::shared_ptr<ZqModel> copy = model->duplicate(false, false);
    EXPECT_EQ(copy->typeId(), model->typeId());
    EXPECT_NE(copy->id(), model->id());
    EXPECT_EQ(modelLines(*copy), modelLines(*model));
}

INSTANTIATE_TEST_SUITE_P(ObjectClasses, ObjectClassTest, ::testing::ValuesIn(classCases()),
                         [](const ::testing::TestParamInfo<ClassCase>& info) { return std::string(info.param.className); });

TEST_F(SceneModelTest, PathAttractionForceStaysWithinItsRange)
{
    const std::shared_ptr<ZqModelObjectPath> path = ZqModelObjectPath::create();
    path->m_attractionForce->setValue(250.0f);
    EXPECT_EQ(path->attractionForce(), 100.0f);
    path->m_attractionForce->setValue(-3.0f);
    EXPECT_EQ(path->attractionForce(), 0.0f);
}

TEST_F(SceneModelTest, EveryObjectClassComesBackThroughModelFileBytes)
{
    const std::shared_ptr<ZqModelObjectAsset> placed = controller().createModel<ZqModelObjectAsset>();
    ModelList game = {controller().createModel<ZqModelSpriteContainer>(), controller().createModel<ZqModelPolygon>(),
                      controller().createModel<ZqModelAnimation>(),       controller().createModel<ZqModelSound>(),
                      placed,                                             controller().createModel<ZqModelAsset>()};
    const ModelList media = game;
    std::shared_ptr<ZqModelObjectParticles> particles;
    for (const ClassCase& each : classCases()) {
        std::shared_ptr<ZqModel> changed = controller().registry().create(each.className);
        changeEveryAttribute(*changed, media);
        if (auto* own = dynamic_cast<ZqBaseModelObjectOwnShape*>(changed.get())) {
            own->collisionShape()->setPoint(0, CCPoint(-7.5f, -9.0f));
            own->collisionShape()->setOneWayCollisionVector(CCPoint(0.0f, 1.0f));
        }
        if (auto* path = dynamic_cast<ZqBaseModelObjectPath*>(changed.get())) {
            for (int i = 0; i < 12; ++i)
                path->addPoint(CCPoint(10.0f * i, i % 2 ? 5.0f : -5.0f));
        }
        if (auto typed = modelCast<ZqModelObjectParticles>(changed))
            particles = typed;
        if (auto emitter = modelCast<ZqModelObjectParticlesEmitter>(changed); emitter && particles)
            particles->addEmitter(*emitter);
        controller().addModel(changed);
        game.push_back(changed);
        std::shared_ptr<ZqModel> fresh = controller().registry().create(each.className);
        controller().addModel(fresh);
        game.push_back(fresh);
    }
    const SavedModels saved = saveModels(game, modelLines);
    game.clear();
    particles.reset();
    expectModelsReload(saved, modelLines);
}

} // namespace
