// Data tokens are read into their codes once, as the model is read or set: on each of the
// loader's roads, through every way a text reaches the attribute, with the text kept as it
// came; an unknown token is logged once and reads as its family's default.
#include "object_asset_support.h"

#include "model/ZqStartMode.h"
#include "model/objects/ZqModelObjectsLogic.h"
#include "model/scene/ZqModelAssets.h"
#include "model/scene/ZqModelButtons.h"

#include <ZqLog.h>

#include <algorithm>

namespace {

using namespace object_asset_test;

class DataTokensTest : public SceneModelTest {
protected:
    void SetUp() override
    {
        SceneModelTest::SetUp();
        zqForgetUnknownTokens();
        zqSetLogSink([this](const char* line) { log.emplace_back(line); });
    }
    void TearDown() override
    {
        zqSetLogSink({});
        ZqModelLoader::shared()->setModelFileRoad(ZqModelFileRoad::kVisitor);
        SceneModelTest::TearDown();
    }

    std::shared_ptr<ZqModelAssetPowerup> powerupOf(const std::string& type)
    {
        auto powerup = controller().createModel<ZqModelAssetPowerup>();
        powerup->m_powerupType->setValue(type);
        return powerup;
    }

    long linesNaming(const std::string& token) const
    {
        return std::count_if(log.begin(), log.end(),
                             [&](const std::string& line) { return line.find(token) != std::string::npos; });
    }

    std::vector<std::string> log;
};

TEST_F(DataTokensTest, EveryRoadReadsTheCodesAndKeepsTheTexts)
{
    const ModelList game
        = {powerupOf("kPowerupMagnet"), powerupOf(""), powerupOf("kPowerupSurprise"), powerupOf("kPowerupSurprise")};
    std::vector<unsigned> ids;
    for (const std::shared_ptr<ZqModel>& model : game)
        ids.push_back(model->id());
    const SavedModels saved = saveModels(game, attributeLines);
    for (const ZqModelFileRoad road : {ZqModelFileRoad::kVisitor, ZqModelFileRoad::kParse, ZqModelFileRoad::kMaps}) {
        SCOPED_TRACE(static_cast<int>(road));
        zqForgetUnknownTokens();
        log.clear();
        ZqModelLoader::shared()->setModelFileRoad(road);
        ASSERT_NO_FATAL_FAILURE(expectModelsReload(saved, attributeLines));
        const auto loaded
            = [&](std::size_t i) { return modelCast<ZqModelAssetPowerup>(controller().modelById(ids[i])); };
        EXPECT_EQ(loaded(0)->powerupType(), kPowerupMagnet);
        EXPECT_EQ(loaded(1)->powerupType(), kPowerupOther);
        EXPECT_EQ(loaded(2)->powerupType(), kPowerupOther);
        EXPECT_EQ(loaded(3)->powerupType(), kPowerupOther);
        EXPECT_EQ(loaded(2)->m_powerupType->value(), "kPowerupSurprise") << "the text is written back as it came";
        EXPECT_EQ(linesNaming("kPowerupSurprise"), 1) << "an unknown token is said once";
        EXPECT_EQ(log.size(), static_cast<std::size_t>(1)) << "an empty token is no damage";
    }
}

TEST_F(DataTokensTest, TheCodeFollowsEveryWayTheTextChanges)
{
    const std::shared_ptr<ZqModelAssetPowerup> powerup = powerupOf("kPowerupStrike");
    EXPECT_EQ(powerup->powerupType(), kPowerupStrike);

    // Through the attribute's text face, as generic code sets texts.
    static_cast<ZqAttributeString*>(powerup->findAttribute("Powerup Type"))->setValue("kPowerupGameplay");
    EXPECT_EQ(powerup->powerupType(), kPowerupGameplay);

    // A copy keeps the code with the text.
    const auto copy = modelCast<ZqModelAssetPowerup>(powerup->duplicate(false, false));
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->powerupType(), kPowerupGameplay);

    // The engine-dictionary form.
    cocos2d::CCDictionary* saved = powerup->saveAttributesToDictionary();
    saved->retain();
    powerup->m_powerupType->setValue("kPowerupCoin");
    powerup->loadAttributesFromDictionary(saved);
    saved->release();
    EXPECT_EQ(powerup->powerupType(), kPowerupGameplay);

    // A token no longer known, then known again.
    powerup->m_powerupType->setValue("kPowerupLost");
    EXPECT_EQ(powerup->powerupType(), kPowerupOther);
    powerup->m_powerupType->setValue("kPowerupMagnet");
    EXPECT_EQ(powerup->powerupType(), kPowerupMagnet);
    EXPECT_EQ(linesNaming("kPowerupLost"), 1);

    // A new game says an unknown token again.
    zqForgetUnknownTokens();
    powerup->m_powerupType->setValue("kPowerupLost");
    EXPECT_EQ(linesNaming("kPowerupLost"), 2);
}

TEST_F(DataTokensTest, AButtonsActionIsACommandAStartOrATextOfItsOwn)
{
    const auto buttonWith = [&](const std::string& action) {
        auto button = controller().createModel<ZqModelObjectButton>();
        button->m_action->setValue(action);
        return button;
    };
    const auto pause = buttonWith("kPauseButton");
    const auto link = buttonWith("kStartCheckpointButton");
    const auto label = buttonWith("Play again");
    auto powerup = controller().createModel<ZqModelObjectButtonPowerup>();
    powerup->m_action->setValue("55");
    auto jump = controller().createModel<ZqModelObjectScreenJump>();
    jump->m_function->setValue("kStartCheckpointJump");

    const SavedModels saved = saveModels({pause, link, label, powerup, jump}, attributeLines);
    ASSERT_NO_FATAL_FAILURE(expectModelsReload(saved, attributeLines));
    const auto loaded = [&](const auto& model) {
        return modelCast<std::remove_cvref_t<decltype(*model)>>(controller().modelById(model->id()));
    };
    EXPECT_EQ(loaded(pause)->actionCode(), kButtonPause);
    EXPECT_EQ(zqStartFunctionOf(loaded(pause)->actionCode()), kFunctionOther);
    EXPECT_EQ(zqStartFunctionOf(loaded(link)->actionCode()), kFunctionCheckpointButton);
    EXPECT_EQ(loaded(label)->actionCode(), kButtonActionOther);
    EXPECT_EQ(loaded(label)->action(), "Play again");
    // Renamed "Powerup Selection", the power-up's id stays a text, in copies too.
    const auto copy = modelCast<ZqModelObjectButtonPowerup>(loaded(powerup)->duplicate(false, false));
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->action(), "55");
    EXPECT_EQ(copy->actionCode(), kButtonActionOther);
    EXPECT_EQ(loaded(jump)->function(), kFunctionCheckpointJump);
    EXPECT_TRUE(log.empty()) << "a text of the data's own is no damage: " << log.front();
}

} // namespace
