// The bundled sample game as the player loads it: every model comes back, and the game
// holds what the README promises (the four screens and their links, the game field with
// its level sections, character, obstacles, enemy and power-up, and the media models).
#include "tools_test_support.h"

#include "model/objects/ZqModelComponentsBehaviour.h"
#include "model/objects/ZqModelObjectsControls.h"
#include "model/objects/ZqModelObjectsUnits.h"
#include "model/scene/ZqModelAssets.h"
#include "model/scene/ZqModelButtons.h"
#include "model/scene/ZqModelComponents.h"
#include "model/scene/ZqModelFont.h"
#include "model/scene/ZqModelLabel.h"
#include "model/scene/ZqModelLevelSection.h"
#include "model/scene/ZqModelMedia.h"
#include "model/scene/ZqModelScreen.h"
#include "model/scene/ZqModelShapes.h"
#include "model/scene/ZqNode.h"
#include "screens/ZqPScreenNavigator.h"
#include "tools/ZqDataWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

using namespace archive_test;
using namespace tools_test;

namespace {

class SampleGameTest : public ToolsTest {
protected:
    // Writes the sample game below dir and loads it back; the models as they were
    // before writing.
    std::map<unsigned, std::string> writeAndLoad(const TempDir& dir, bool archive)
    {
        ZqDataWriter::Options options;
        options.plainFiles = !archive;
        options.archive = archive;
        ZqSampleGame::write(controller(), dir.file("data"), options);
        const auto written = describeModels(controller());
        m_run = loadGame(controller(), dir.path().string());
        return written;
    }

    static ZqPScreenNavigator& navigator() { return *ZqPScreenNavigator::shared(); }

    // The key of the screen that the named port of the keyed screen's node leads to.
    static std::string followPort(const std::string& key, const std::string& port)
    {
        ZqBaseAttribute* attribute = navigator().portForKey(key, port);
        std::shared_ptr<ZqModelScreen> screen = ZqPScreenNavigator::linkedScreen(attribute);
        return screen ? screen->key() : "(no link)";
    }

    TempDir m_dir;
    LoadRun m_run;
};

TEST_F(SampleGameTest, LoadsBackAsWrittenFromDirectoryAndArchive)
{
    for (bool archive : {false, true}) {
        SCOPED_TRACE(archive ? "archive" : "directory");
        TempDir dir;
        const auto written = writeAndLoad(dir, archive);
        ASSERT_FALSE(m_run.failed) << m_run.error;
        EXPECT_EQ(m_run.archive, archive);
        ASSERT_FALSE(m_run.progress.empty());
        EXPECT_EQ(m_run.progress.back(), 100);
        EXPECT_EQ(describeModels(controller()), written);
        ASSERT_FALSE(written.empty());
        // "Last ID" is the highest id, so models the game makes later never collide.
        EXPECT_EQ(ZqModelGeneralSettings::shared()->lastId(), written.rbegin()->first);
    }
}

TEST_F(SampleGameTest, FourScreensLinkedStartMenuGameGameOver)
{
    writeAndLoad(m_dir, false);
    ASSERT_FALSE(m_run.failed) << m_run.error;

    std::shared_ptr<ZqNodeUI> start = navigator().uiNodeForKey("ZqPScreenStart");
    ASSERT_TRUE(start);
    EXPECT_TRUE(modelCast<ZqNodeUIStart>(start));
    ASSERT_TRUE(navigator().uiNodeForKey("Menu"));
    ASSERT_TRUE(navigator().uiNodeForKey("GameOver"));
    std::shared_ptr<ZqNodeScene> game = navigator().sceneNodeForKey("Game");
    ASSERT_TRUE(game);
    EXPECT_TRUE(modelCast<ZqModelScreenScene>(std::shared_ptr<ZqModel>(game->screen())));
    EXPECT_FALSE(navigator().uiNodeForKey("Game")) << "the game field is no interface screen";

    EXPECT_EQ(followPort("ZqPScreenStart", "Load"), "Menu");
    EXPECT_EQ(followPort("Menu", "Play"), "Game");
    EXPECT_EQ(followPort("Game", "Game Over"), "GameOver");
    EXPECT_EQ(followPort("GameOver", "Restart"), "Game");
    EXPECT_EQ(followPort("Game", "UI"), "HUD") << "the field's overlay";
    EXPECT_EQ(followPort("HUD", "Pause"), "Pause");
    EXPECT_EQ(followPort("Pause", "Menu"), "Menu");
    // The start node's incoming port stays unlinked: nothing leads back to loading.
    ZqBaseAttribute* incoming = start->findAttribute("---");
    ASSERT_TRUE(incoming);
    EXPECT_EQ(incoming->connectionType(), ZqBaseAttribute::kNone);

    // A pressed link button (no "Action") follows the port of its screen's node named like
    // the button, and every label is drawn in a font the game holds.
    std::size_t buttons = 0;
    for (const std::shared_ptr<ZqNodeUI>& node : controller().modelsOfKind<ZqNodeUI>()) {
        const std::string key = node->screen()->key();
        for (const std::shared_ptr<ZqModelObject>& object : node->screen()->objectModels()) {
            if (std::shared_ptr<ZqModelObjectButton> button = modelCast<ZqModelObjectButton>(object)) {
                ++buttons;
                if (button->action().empty()) {
                    EXPECT_NE(followPort(key, button->name()), "(no link)") << key << " " << button->name();
                }
                EXPECT_TRUE(button->spriteContainer()) << button->name();
            }
            if (std::shared_ptr<ZqModelObjectLabel> label = modelCast<ZqModelObjectLabel>(object)) {
                EXPECT_FALSE(label->text().empty());
                EXPECT_TRUE(controller().getModel<ZqModelFont>(static_cast<unsigned>(label->fontId())))
                    << label->text();
            }
        }
    }
    EXPECT_EQ(buttons, 16u) << "Play, Continue, Shop, Characters, the two window modes, Exit; Restart and Menu; "
                               "Pause, Jump and Shoot; Resume and Menu; two Backs";
    ASSERT_TRUE(navigator().uiNodeForKey("Menu")->screen()->music());
}

// The objects of one screen of class T, by the key of its node.
template <class T>
std::vector<std::shared_ptr<T>> objectsOf(const std::string& key)
{
    std::vector<std::shared_ptr<T>> found;
    for (const std::shared_ptr<ZqModelObject>& object : ZqPScreenNavigator::shared()->uiNodeForKey(key)->screen()->objectModels()) {
        if (std::shared_ptr<T> typed = modelKindCast<T>(std::shared_ptr<ZqModel>(object)))
            found.push_back(typed);
    }
    return found;
}

// The actions of a screen's buttons, and the live scores of its texts as "world score amount".
std::multiset<std::string> actionsOf(const std::string& key)
{
    std::multiset<std::string> actions;
    for (const auto& button : objectsOf<ZqModelObjectButton>(key))
        actions.insert(button->action());
    return actions;
}
std::multiset<std::string> scoresOf(const std::string& key)
{
    std::multiset<std::string> scores;
    for (const auto& label : objectsOf<ZqModelObjectLabel>(key)) {
        if (label->action() == "kScoreVector")
            scores.insert(label->world() + " " + label->scoreType() + " " + label->amount());
    }
    return scores;
}

TEST_F(SampleGameTest, MenuShopCharactersHudAndGameOverHoldTheirControls)
{
    writeAndLoad(m_dir, true);
    ASSERT_FALSE(m_run.failed) << m_run.error;
    using Set = std::multiset<std::string>;
    // The menu: Play (a full restart), Continue (start mode 0), the shop, the characters,
    // one button of each window mode, sound and exit; the best distance and the purse.
    EXPECT_EQ(actionsOf("Menu"), (Set{"", "", "", "", "kStartCheckpointButton", "kFullscreen", "kWindowed", "kExitButton"}));
    EXPECT_EQ(followPort("Menu", "Continue"), "Game");
    EXPECT_EQ(followPort("Menu", "Shop"), "Shop");
    EXPECT_EQ(followPort("Menu", "Characters"), "Characters");
    EXPECT_EQ(scoresOf("Menu"), (Set{"kGlobal kScoreDistance kScoreBest", "kGlobal kScoreCoins kScoreTotal"}));
    // The game over: restart, back to the menu, the best distance.
    EXPECT_EQ(followPort("GameOver", "Restart"), "Game");
    EXPECT_EQ(followPort("GameOver", "Menu"), "Menu");
    EXPECT_EQ(scoresOf("GameOver"), (Set{" kScoreDistance kScoreBest"}));
    // The HUD: the run's distance and coins, pause, jump and shoot, and the magnets in stock.
    EXPECT_EQ(scoresOf("HUD"), (Set{"kCurrentWorld kScoreDistance current", "kCurrentWorld kScoreCoins current"}));
    const auto hudPowerups = objectsOf<ZqModelObjectButtonPowerup>("HUD");
    ASSERT_EQ(hudPowerups.size(), 1u);
    const auto magnet = controller().getModel<ZqModelAssetPowerup>(static_cast<unsigned>(std::stoi(hudPowerups[0]->action())));
    ASSERT_TRUE(magnet);
    EXPECT_EQ(magnet->powerupType(), "kPowerupMagnet");
    EXPECT_TRUE(magnet->idleAnimation());
    for (const char* action : {"kPauseButton", "kCharacterJumpButton", "kCharacterShootButton"})
        EXPECT_EQ(actionsOf("HUD").count(action), 1u) << action;
    EXPECT_EQ(followPort("Pause", "Menu"), "Menu");
    EXPECT_EQ(actionsOf("Pause").count("kBackButton"), 1u);

    // The shop sells that magnet for the stock and the removal of ads once, for coins.
    const auto purchases = objectsOf<ZqModelObjectButtonPurchase>("Shop");
    ASSERT_EQ(purchases.size(), 2u);
    EXPECT_EQ(purchases[0]->type(), "kPurchasePowerup");
    EXPECT_EQ(purchases[0]->powerupSelectionId(), static_cast<int>(magnet->id()));
    EXPECT_FALSE(purchases[0]->buyAndUse()) << "bought into the stock";
    EXPECT_EQ(purchases[1]->type(), "kPurchaseRemoveAds");
    EXPECT_EQ(purchases[1]->oneTimePurchase(), "kOneTimePurchase");
    for (const auto& purchase : purchases) {
        EXPECT_EQ(purchase->purchaseMethod(), "kInGameCurrency");
        EXPECT_GT(purchase->price(), 0.0f);
        EXPECT_TRUE(purchase->purchaseCompleteSound());
    }
    for (const char* key : {"Shop", "Characters"})
        EXPECT_EQ(actionsOf(key).count("kBackButton"), 1u) << key;

    // The characters: a selector in the game's font with a buy button, over the hero and a
    // second character bought with coins that plays like the hero.
    const auto selectors = objectsOf<ZqModelObjectCharacterSelector>("Characters");
    ASSERT_EQ(selectors.size(), 1u);
    EXPECT_TRUE(controller().getModel<ZqModelFont>(static_cast<unsigned>(std::stoi(selectors[0]->labelName()))));
    ASSERT_TRUE(selectors[0]->unlockButton());
    EXPECT_GT(selectors[0]->spread(), 0.0f);
    const auto characters = controller().modelsOfClass<ZqModelAssetCharacter>();
    ASSERT_EQ(characters.size(), 2u);
    EXPECT_EQ(characters[1]->purchaseMethod(), "kInGameCurrency");
    EXPECT_GT(characters[1]->price(), 0.0f);
    EXPECT_NE(characters[1]->defaultAnimation(), characters[0]->defaultAnimation());
    ASSERT_EQ(characters[1]->children().size(), characters[0]->children().size());
    for (std::size_t i = 0; i < characters[0]->children().size(); ++i) {
        EXPECT_NE(characters[1]->children()[i], characters[0]->children()[i]) << "components of its own";
        EXPECT_STREQ(characters[1]->children()[i]->className(), characters[0]->children()[i]->className());
    }
}

TEST_F(SampleGameTest, GameFieldHoldsCharacterObstaclesEnemyAndPowerup)
{
    writeAndLoad(m_dir, true);
    ASSERT_FALSE(m_run.failed) << m_run.error;
    auto scene = modelCast<ZqModelScreenScene>(std::shared_ptr<ZqModel>(navigator().sceneNodeForKey("Game")->screen()));
    ASSERT_TRUE(scene);
    EXPECT_TRUE(scene->firstChildOfClass<ZqModelComponentScore>());
    const auto& sections = scene->levelSections();
    ASSERT_EQ(sections.size(), 4u);
    EXPECT_EQ(scene->initSection(), sections[0]);
    // What the field's choice works through: a muted section, a cooldown, distance windows.
    EXPECT_EQ(std::count_if(sections.begin(), sections.end(), [](const auto& s) { return s->isMuted(); }), 1);
    EXPECT_TRUE(std::any_of(sections.begin(), sections.end(), [](const auto& s) { return s->playCooldown() > 0; }));
    EXPECT_TRUE(std::any_of(sections.begin(), sections.end(), [](const auto& s) { return s->startDistance() > 0; }));
    EXPECT_TRUE(std::any_of(sections.begin(), sections.end(), [](const auto& s) { return s->endDistance() >= 0; }));
    // The next section after the first, as the game field picks them, is of this scene.
    EXPECT_EQ(navigator().nextDestination(static_cast<int>(sections[0]->id())), static_cast<int>(sections[1]->id()));

    std::shared_ptr<ZqModelObjectAssetCharacter> hero;
    std::vector<std::shared_ptr<ZqModelObjectAssetUnit>> obstacles;
    std::vector<std::shared_ptr<ZqModelObjectAssetUnit>> enemies;
    std::size_t powerups = 0;
    for (const std::shared_ptr<ZqModelLevelSection>& section : sections) {
        EXPECT_GT(section->width(), 0.0f);
        // The ground is platform units that carry the character; the start section's
        // stops short of its end, so that a character that never jumps falls.
        float groundEnd = 0.0f;
        for (const std::shared_ptr<ZqModelObject>& object : section->objects()) {
            auto unit = modelCast<ZqModelObjectAssetUnit>(object);
            if (object->name() != "Ground")
                continue;
            ASSERT_TRUE(unit && unit->assetObstacle());
            EXPECT_EQ(unit->objectType(), "kPlatformObjectType");
            EXPECT_EQ(unit->collisionType(), "kCharacterCollision");
            groundEnd = std::max(groundEnd, unit->position(0.0f, 0).x + 284.0f);
        }
        if (section == sections[0])
            EXPECT_LT(groundEnd + 100.0f, section->width()) << "a pit";
        else
            EXPECT_GE(groundEnd, section->width()) << section->name();
        for (const std::shared_ptr<ZqModelObject>& object : section->objects()) {
            if (auto character = modelCast<ZqModelObjectAssetCharacter>(object)) {
                EXPECT_EQ(section, sections[0]) << "characters start in the init section only";
                hero = character;
            } else if (auto unit = modelCast<ZqModelObjectAssetUnit>(object)) {
                (unit->objectType() == "kEnemyObjectType" ? enemies : obstacles).push_back(unit);
            } else if (auto powerup = modelCast<ZqModelObjectAssetPowerup>(object)) {
                ++powerups;
                ASSERT_TRUE(powerup->assetPowerup());
                EXPECT_FALSE(powerup->powerupType().empty());
                EXPECT_TRUE(powerup->idleAnimation());
                EXPECT_TRUE(powerup->hasValidShape());
            }
        }
    }
    EXPECT_GE(powerups, 1u);

    ASSERT_TRUE(hero);
    std::shared_ptr<ZqModelAssetCharacter> asset = hero->assetCharacter();
    ASSERT_TRUE(asset);
    EXPECT_TRUE(hero->hasValidShape());
    std::shared_ptr<ZqModelComponentHealth> health = asset->firstChildOfClass<ZqModelComponentHealth>();
    ASSERT_TRUE(health);
    EXPECT_GT(health->health(), 0);
    EXPECT_GT(health->lives(), 0);
    auto gameplay = asset->firstChildOfClass<ZqModelComponentCharacterGameplaySettings>();
    ASSERT_TRUE(gameplay);
    EXPECT_TRUE(gameplay->forcedMovement()) << "the hero runs at the game speed";
    for (const auto& animation : {asset->defaultAnimation(), asset->moveAnimation(), asset->jumpAnimation()}) {
        ASSERT_TRUE(animation);
        // The default animation also carries the hero's trail.
        ASSERT_EQ(animation->frameCount(), animation == asset->defaultAnimation() ? 2u : 1u) << animation->name();
        auto frame = modelCast<ZqModelObjectImage>(animation->frame(0));
        ASSERT_TRUE(frame && frame->spriteContainer()) << animation->name();
        EXPECT_FALSE(frame->spriteContainer()->sprites().empty()) << animation->name();
    }

    ASSERT_FALSE(obstacles.empty());
    ASSERT_FALSE(enemies.empty());
    for (const auto& unit : {obstacles.front(), enemies.front()}) {
        ASSERT_TRUE(unit->assetObstacle()) << unit->name();
        EXPECT_TRUE(unit->assetObstacle()->idleAnimation()) << unit->name();
        std::shared_ptr<ZqModelPolygon> shape = unit->collisionShape();
        ASSERT_TRUE(shape && modelCast<ZqModelPolygon>(std::shared_ptr<ZqModel>(shape))) << unit->name();
        EXPECT_TRUE(shape->isConvex()) << unit->name();
        EXPECT_TRUE(unit->hasValidShape()) << unit->name();
    }
    EXPECT_EQ(enemies.front()->linearVelocity(), cocos2d::CCPoint(-2.5f, 0.0f)) << "80 points a second toward the hero";
}

TEST_F(SampleGameTest, EverySpriteHasItsOwnPlaceInTheAtlasAndMediaPathsDiffer)
{
    writeAndLoad(m_dir, false);
    ASSERT_FALSE(m_run.failed) << m_run.error;
    const auto atlases = controller().modelsOfClass<ZqModelAtlas>();
    ASSERT_EQ(atlases.size(), 1u);
    const auto& atlas = atlases.front();
    const auto sprites = controller().modelsOfClass<ZqModelSprite>();
    ASSERT_FALSE(sprites.empty());
    EXPECT_EQ(atlas->sprites().size(), sprites.size());

    std::set<std::string> paths;
    std::vector<cocos2d::CCRect> places;
    for (const auto& sprite : sprites) {
        EXPECT_TRUE(atlas->hasChild(sprite.get())) << sprite->name();
        auto* rect = zqRebindAttribute<ZqAttributeRect>(*sprite, "Source Rect");
        ASSERT_TRUE(rect);
        const cocos2d::CCRect place = rect->value();
        EXPECT_GT(sprite->size().width, 0.0f);
        EXPECT_EQ(place.size.width, sprite->size().width) << sprite->name();
        EXPECT_GE(place.origin.x, 0.0f);
        EXPECT_GE(place.origin.y, 0.0f);
        EXPECT_LE(place.getMaxX(), atlas->width()) << sprite->name();
        EXPECT_LE(place.getMaxY(), atlas->height()) << sprite->name();
        for (const cocos2d::CCRect& other : places)
            EXPECT_FALSE(place.intersectsRect(other)) << sprite->name() << " overlaps another sprite";
        places.push_back(place);
        paths.insert(sprite->imagePath());
    }
    const auto sounds = controller().modelsOfClass<ZqModelSound>();
    for (const auto& sound : sounds)
        paths.insert(sound->soundPath());
    for (const auto& font : controller().modelsOfClass<ZqModelFont>())
        paths.insert(font->fontFilePath());
    EXPECT_EQ(sounds.size(), 5u) << "the menu music, the hero's jump, landing and defeat, and a purchase";
    EXPECT_EQ(paths.size(), sprites.size() + sounds.size() + 1) << "and one font";

    // Every picture shown is one of the atlas's sprites.
    for (const auto& container : controller().modelsOfClass<ZqModelSpriteContainer>()) {
        EXPECT_FALSE(container->sprites().empty()) << container->name();
        for (const auto& sprite : container->sprites())
            EXPECT_TRUE(atlas->hasChild(sprite.get())) << container->name();
    }
}

} // namespace
