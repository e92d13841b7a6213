// The live values of texts: scores by world, type and amount with their padding, the
// loading progress and the character counts.
#include "objects/ZqLiveLabelText.h"

#include "app/app_test_support.h"
#include "model/loading/ZqModelLoader.h"
#include "model/scene/ZqModelAssets.h"
#include "model/scene/ZqModelLabel.h"

namespace {

class LiveTextTest : public AppTest {
protected:
    std::shared_ptr<ZqModelObjectLabel> label(const std::string& action, const std::string& world = "",
                                              const std::string& type = "", const std::string& amount = "",
                                              int digits = 0)
    {
        auto label = ZqModelObjectLabel::create();
        label->m_action->setValue(action, true);
        label->m_world->setValue(world, true);
        label->m_scoreType->setValue(type, true);
        label->m_amount->setValue(amount, true);
        label->m_scoreModifier->setValue(digits, true);
        return label;
    }
    std::string text(const std::shared_ptr<ZqModelObjectLabel>& model) { return zqLiveLabelText(*model).value_or("<none>"); }
};

TEST_F(LiveTextTest, ScoresComeFromTheWorldTypeAndAmountChosen)
{
    ScoreRegistry::setCurrentKey("Game");
    ScoreRecord& game = ScoreRegistry::current();
    game.distance = {42.9f, 120.5f, 900.0f, {}};
    game.points = {7, 70, 700, {}};
    game.coins = {3, 30, 300, {}};
    ScoreRecord& purse = ScoreRegistry::global();
    purse.distance = {1.0f, 2.0f, 3.0f, {}};
    purse.coins = {5, 50, 500, {}};

    EXPECT_EQ(text(label("kScoreVector", "", "kScoreDistance")), "42");
    EXPECT_EQ(text(label("kScoreVector", "Game", "kScoreDistance", "kScoreBest")), "120");
    EXPECT_EQ(text(label("kScoreVector", "", "kScoreDistance", "kScoreTotal")), "900");
    EXPECT_EQ(text(label("kScoreVector", "", "kScorePoints", "kScoreBest")), "70");
    EXPECT_EQ(text(label("kScoreVector", "", "kScorePoints", "kScoreSession")), "7");
    EXPECT_EQ(text(label("kScoreVector", "", "kScoreCoins", "kScoreTotal")), "300");
    EXPECT_EQ(text(label("kScoreVector", "", "", "")), "3") << "coins and the session by default";
    EXPECT_EQ(text(label("kScoreVector", "kGlobal", "kScoreDistance", "kScoreTotal")), "3");
    EXPECT_EQ(text(label("kScoreVector", "kGlobal", "kScoreCoins", "kScoreBest")), "50");
}

TEST_F(LiveTextTest, AScoreModifierPadsWithZeros)
{
    ScoreRegistry::global().points.session = 42;
    EXPECT_EQ(text(label("kScoreVector", "kGlobal", "kScorePoints", "", 5)), "00042");
    EXPECT_EQ(text(label("kScoreVector", "kGlobal", "kScorePoints", "", 2)), "42");
    EXPECT_EQ(text(label("kScoreVector", "kGlobal", "kScorePoints", "", -3)), "42");
    EXPECT_EQ(zqPaddedNumber(-42, 4), "-0042");
    EXPECT_EQ(zqPaddedNumber(0, 0), "0");
    EXPECT_EQ(zqPaddedNumber(LLONG_MIN, 1), "-9223372036854775808");
    EXPECT_EQ(zqPaddedNumber(1, 2147483647).size(), 64u) << "a huge modifier stays bounded";
    ScoreRegistry::global().distance.session = 1e30f;
    EXPECT_EQ(text(label("kScoreVector", "kGlobal", "kScoreDistance")), "9000000000000000000");
}

TEST_F(LiveTextTest, ProgressAndCharacterCountsAndFixedTexts)
{
    EXPECT_EQ(text(label("kLoadingCounter")), "0");
    ZqModelLoader::shared()->nextPhase();
    ZqModelLoader::shared()->nextPhase();
    EXPECT_EQ(text(label("kLoadingCounter")), "100");

    for (const char* method : {"", "kInGameCurrency", "kInGameCurrency", "kWebLink"}) {
        auto character = ZqModelAssetCharacter::create();
        character->m_purchaseMethod->setValue(method, true);
        ZqModelController::shared()->addModel(character);
    }
    EXPECT_EQ(text(label("kAllCharactersCount")), "4");
    EXPECT_EQ(text(label("kUnlockedCharactersCount")), "1");
    ZqPSettingsController::shared()->unlockCharacter(3);
    EXPECT_EQ(text(label("kUnlockedCharactersCount")), "2");

    EXPECT_FALSE(zqLiveLabelText(*label("kCustomVector")).has_value());
    EXPECT_FALSE(zqLiveLabelText(*label("kStartSceneName")).has_value());
    EXPECT_FALSE(zqLiveLabelText(*label("")).has_value());
}

} // namespace
