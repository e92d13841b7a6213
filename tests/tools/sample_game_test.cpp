// The bundled sample game as the player loads it: every model comes back, and the game
// holds what the README promises (the four screens and their links, the game field with
// its level sections, character, obstacles, enemy and power-up, and the media models).
#include "tools_test_support.h"

#include "attributes/ZqEditorKeys.h"

#include "model/objects/ZqModelComponentsBehaviour.h"
#include "model/objects/ZqModelObjectButtons.h"
#include "model/objects/ZqModelObjectsControls.h"
#include "model/objects/ZqModelObjectsEffects.h"
#include "model/objects/ZqModelObjectsLogic.h"
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
#include <map>
#include <filesystem>
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
        // The steps the files (or members) and the registered classes make.
        const int steps =
            expectedSteps(dataFileNames(dir.path().string(), archive), controller().registry().classNames(), archive);
        EXPECT_EQ(m_run.progress.size(), static_cast<std::size_t>(steps));
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
    // The HUD's game-over observer is named for the world node's port: the HUD's node has
    // no port of that name.
    auto observer = navigator().uiNodeForKey("HUD")->screen()->firstChildOfClass<ZqModelObjectEventObserver>();
    ASSERT_TRUE(observer);
    EXPECT_EQ(observer->eventType(), kObserveGameOver);
    EXPECT_EQ(followPort("HUD", observer->name()), "(no link)");
    EXPECT_EQ(followPort("Game", observer->name()), "GameOver");
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
    EXPECT_EQ(buttons, 27u) << "Play, Continue, Shop, Characters, the two window modes, Exit; Restart and Menu; "
                               "Pause, Jump, Shoot and the touch HUD; Resume and Menu; two Backs; the touch HUD's "
                               "way back and pause; Restart and Menu on each of the three screens that end a game "
                               "once the second world opens, and on the second world's game over";
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
        if (label->action() == kLabelScore)
            scores.insert(label->m_world->value() + " " + label->m_scoreType->value() + " " + label->m_amount->value());
    }
    return scores;
}

TEST_F(SampleGameTest, MenuShopCharactersHudAndGameOverHoldTheirControls)
{
    writeAndLoad(m_dir, true);
    ASSERT_FALSE(m_run.failed) << m_run.error;
    using Set = std::multiset<std::string>;
    // The menu: Play (a full restart), Continue (start mode 0), the shop, the characters,
    // one button of each window mode, sound and exit; the best distance, the most coins of a
    // game (what opens the second world) and the purse.
    // Beside them, the link and social buttons, the runner's unlock and the second world's lock.
    EXPECT_EQ(actionsOf("Menu"), (Set{"", "", "", "", "", "", "", "", "kStartCheckpointButton", "kFullscreen", "kWindowed",
                                      "kExitButton"}));
    EXPECT_EQ(followPort("Menu", "Continue"), "Game");
    EXPECT_EQ(followPort("Menu", "Shop"), "Shop");
    EXPECT_EQ(followPort("Menu", "Characters"), "Characters");
    EXPECT_EQ(scoresOf("Menu"), (Set{"kGlobal kScoreDistance kScoreBest", "kGlobal kScoreCoins kScoreBest",
                                     "kGlobal kScoreCoins kScoreTotal"}));
    // The game over: restart, back to the menu, the best distance beside the game's
    // distance and coins.
    EXPECT_EQ(followPort("GameOver", "Restart"), "Game");
    EXPECT_EQ(followPort("GameOver", "Menu"), "Menu");
    const Set game{"kGlobal kScoreDistance current", "kGlobal kScoreCoins current"};
    EXPECT_EQ(scoresOf("GameOver"), (Set{"kGlobal kScoreDistance kScoreBest", "kGlobal kScoreDistance current",
                                         "kGlobal kScoreCoins current"}));
    // The HUD: the game's distance and coins, pause, jump and shoot, and the magnets in stock.
    EXPECT_EQ(scoresOf("HUD"), game);
    EXPECT_EQ(scoresOf("TouchHUD"), game);
    const auto hudPowerups = objectsOf<ZqModelObjectButtonPowerup>("HUD");
    ASSERT_EQ(hudPowerups.size(), 1u);
    const auto magnet = controller().getModel<ZqModelAssetPowerup>(static_cast<unsigned>(std::stoi(hudPowerups[0]->action())));
    ASSERT_TRUE(magnet);
    EXPECT_EQ(magnet->powerupType(), kPowerupMagnet);
    EXPECT_TRUE(magnet->idleAnimation());
    for (const char* action : {"kPauseButton", "kCharacterJumpButton", "kCharacterShootButton"})
        EXPECT_EQ(actionsOf("HUD").count(action), 1u) << action;
    EXPECT_EQ(followPort("Pause", "Menu"), "Menu");
    EXPECT_EQ(actionsOf("Pause").count("kBackButton"), 1u);

    // The shop sells that magnet for the stock and the removal of ads once, for coins.
    const auto purchases = objectsOf<ZqModelObjectButtonPurchase>("Shop");
    ASSERT_EQ(purchases.size(), 2u);
    EXPECT_EQ(purchases[0]->type(), kPurchaseTypePowerup);
    EXPECT_EQ(purchases[0]->powerupSelectionId(), static_cast<int>(magnet->id()));
    EXPECT_FALSE(purchases[0]->buyAndUse()) << "bought into the stock";
    EXPECT_EQ(purchases[1]->type(), kPurchaseTypeRemoveAds);
    EXPECT_EQ(purchases[1]->oneTimePurchase(), kSellOnce);
    for (const auto& purchase : purchases) {
        EXPECT_EQ(purchase->purchaseMethod(), kPayInGameCurrency);
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
    EXPECT_EQ(characters[1]->purchaseMethod(), kPayInGameCurrency);
    EXPECT_GT(characters[1]->price(), 0.0f);
    EXPECT_NE(characters[1]->defaultAnimation(), characters[0]->defaultAnimation());
    ASSERT_EQ(characters[1]->children().size(), characters[0]->children().size());
    for (std::size_t i = 0; i < characters[0]->children().size(); ++i) {
        EXPECT_NE(characters[1]->children()[i], characters[0]->children()[i]) << "components of its own";
        EXPECT_STREQ(characters[1]->children()[i]->className(), characters[0]->children()[i]->className());
    }
}

TEST_F(SampleGameTest, TheMenusKeyLineNamesEveryKeyTheGameAnswers)
{
    writeAndLoad(m_dir, false);
    ASSERT_FALSE(m_run.failed) << m_run.error;
    std::string line;
    for (const auto& label : objectsOf<ZqModelObjectLabel>("Menu")) {
        if (label->text().find("Return:") != std::string::npos)
            line = label->text();
    }
    ASSERT_FALSE(line.empty()) << "no key line on the menu";
    // The keys of the screens' buttons, the shoot binding and the move-left one (the way
    // back to the door behind the start).
    const std::map<int, std::string> names = {{ZqEditorKey::kReturn, "Return"}, {ZqEditorKey::kSpace, "Space"},
                                              {ZqEditorKey::kDown, "Down"},     {'K', "K"},
                                              {ZqEditorKey::kLeft, "Left"},     {ZqEditorKey::kEscape, "Escape"}};
    std::set<int> keys = {ZqModelGeneralSettings::shared()->shootKey(), ZqModelGeneralSettings::shared()->moveLeftKey()};
    for (const char* screen : {"Menu", "HUD", "Pause", "GameOver", "Shop", "Characters", "TouchHUD"}) {
        for (const auto& button : objectsOf<ZqModelObjectButton>(screen)) {
            if (button->keyboardKey() != 0)
                keys.insert(button->keyboardKey());
        }
    }
    for (const int key : keys) {
        const auto name = names.find(key);
        ASSERT_NE(name, names.end()) << "a key this check cannot name: " << key;
        EXPECT_NE(line.find(name->second + ":"), std::string::npos) << name->second << " missing from: " << line;
    }
    // Escape presses the HUD's pause button.
    ASSERT_EQ(actionsOf("HUD").count("kPauseButton"), 1u);
    EXPECT_NE(line.find("Escape: pause"), std::string::npos) << line;
    EXPECT_NE(line.find("Down: slide"), std::string::npos) << line;
}

TEST_F(SampleGameTest, GameFieldHoldsCharacterObstaclesEnemyAndPowerup)
{
    writeAndLoad(m_dir, true);
    ASSERT_FALSE(m_run.failed) << m_run.error;
    auto scene = modelCast<ZqModelScreenScene>(std::shared_ptr<ZqModel>(navigator().sceneNodeForKey("Game")->screen()));
    ASSERT_TRUE(scene);
    EXPECT_TRUE(scene->firstChildOfClass<ZqModelComponentScore>());
    const auto& sections = scene->levelSections();
    ASSERT_GE(sections.size(), 7u) << "the start and at least six sections appended after it";
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
    std::set<ZqPowerupType> playedPowerupTypes;
    int gaps = 0;
    int ledges = 0;
    int movingObstacles = 0;
    for (const std::shared_ptr<ZqModelLevelSection>& section : sections) {
        EXPECT_GT(section->width(), 0.0f);
        // The ground is platform units that carry the character, 568 points wide at scale
        // 1; the start section's stops short of its end, so that a character that never
        // jumps falls; the others reach their end, some with gaps on the way.
        std::vector<std::pair<float, float>> ground;
        for (const std::shared_ptr<ZqModelObject>& object : section->objects()) {
            auto unit = modelCast<ZqModelObjectAssetUnit>(object);
            if (object->name() != "Ground")
                continue;
            ASSERT_TRUE(unit && unit->assetObstacle());
            EXPECT_EQ(unit->objectType(), kPlatformObjectType);
            EXPECT_EQ(unit->collisionType(), kCharacterCollision);
            const float half = 284.0f * unit->scale(0.0f, 0).x;
            ground.emplace_back(unit->position(0.0f, 0).x - half, unit->position(0.0f, 0).x + half);
        }
        ASSERT_FALSE(ground.empty()) << section->name();
        std::sort(ground.begin(), ground.end());
        float groundEnd = ground.front().second;
        for (const auto& [left, right] : ground) {
            gaps += left > groundEnd + 60.0f && section != sections[0] ? 1 : 0;
            groundEnd = std::max(groundEnd, right);
        }
        if (section == sections[0])
            EXPECT_LT(groundEnd + 100.0f, section->width()) << "a pit";
        else
            EXPECT_GE(groundEnd, section->width()) << section->name();
        const bool played = section != sections[0] && !section->isMuted();
        for (const std::shared_ptr<ZqModelObject>& object : section->objects()) {
            auto unit = modelCast<ZqModelObjectAssetUnit>(object);
            if (played && unit && unit->collisionShape() && unit->collisionShape()->oneWayCollisionVector().y > 0.0f)
                ++ledges;
            if (played && unit && unit->objectType() == kPlatformObjectType && unit->linearVelocity().x != 0.0f)
                ++movingObstacles;
            if (auto powerup = modelCast<ZqModelObjectAssetPowerup>(object); powerup && played)
                playedPowerupTypes.insert(powerup->powerupType());
            if (auto character = modelCast<ZqModelObjectAssetCharacter>(object)) {
                EXPECT_EQ(section, sections[0]) << "characters start in the init section only";
                hero = character;
            } else if (auto unit = modelCast<ZqModelObjectAssetUnit>(object)) {
                (unit->objectType() == kEnemyObjectType ? enemies : obstacles).push_back(unit);
            } else if (auto powerup = modelCast<ZqModelObjectAssetPowerup>(object)) {
                ++powerups;
                if (powerup->powerupType() == kPowerupCoin) {
                    EXPECT_EQ(powerup->assetPowerup()->rewardCoins(), 1) << "a coin is worth one";
                }
                ASSERT_TRUE(powerup->assetPowerup());
                EXPECT_NE(powerup->powerupType(), kPowerupOther);
                EXPECT_TRUE(powerup->idleAnimation());
                EXPECT_TRUE(powerup->hasValidShape());
            }
        }
    }
    EXPECT_GE(powerups, 1u);
    // The appended sections that play hold the world's pick-ups (coins worth one, a
    // checkpoint, a magnet, invincibility), gaps, ledges solid from above only, and
    // obstacles moving at the hero.
    for (ZqPowerupType type : {kPowerupCoin, kPowerupCheckpoint, kPowerupMagnet, kPowerupInvincibility})
        EXPECT_EQ(playedPowerupTypes.count(type), 1u) << ZqPowerupTypeTokens::kTokens[type];
    EXPECT_GE(gaps, 2);
    EXPECT_GE(ledges, 1);
    EXPECT_GE(movingObstacles, 1);

    ASSERT_TRUE(hero);
    std::shared_ptr<ZqModelAssetCharacter> asset = hero->assetCharacter();
    ASSERT_TRUE(asset);
    EXPECT_TRUE(hero->hasValidShape());
    // The feet's corners are cut (points have y downwards), so that the hero glides over the
    // seams of the ground instead of catching on them.
    float feet = -1e9f, widest = 0.0f, widestAtFeet = 0.0f;
    for (const cocos2d::CCPoint& point : asset->collisionShape()->points())
        feet = std::max(feet, point.y);
    for (const cocos2d::CCPoint& point : asset->collisionShape()->points()) {
        widest = std::max(widest, std::abs(point.x));
        if (point.y == feet)
            widestAtFeet = std::max(widestAtFeet, std::abs(point.x));
    }
    EXPECT_LT(widestAtFeet, widest);
    std::shared_ptr<ZqModelComponentHealth> health = asset->firstChildOfClass<ZqModelComponentHealth>();
    ASSERT_TRUE(health);
    EXPECT_GT(health->health(), 0);
    EXPECT_EQ(health->lives(), 3);
    // The gun: its bullets show the bullet animation, shaped like its first frame.
    ASSERT_TRUE(asset->bulletAnimation());
    auto bullet = modelCast<ZqModelObjectImage>(asset->bulletAnimation()->frame(0));
    ASSERT_TRUE(bullet && bullet->spriteContainer());
    EXPECT_FALSE(bullet->spriteContainer()->sprites().empty());
    EXPECT_TRUE(asset->shootSound());
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
    // Bullets destroy every enemy.
    for (const auto& enemy : enemies)
        EXPECT_EQ(enemy->destroyType(), kDestroyCollision) << enemy->name();
    EXPECT_GE(enemies.size(), 2u);
}

// The world's behaviour components: the hero slides, lower, while the HUD's "Slide"
// control (a key too) is held; the raft moves when something lands on it.
TEST_F(SampleGameTest, TheHeroSlidesOnTheHudsSlideControlAndTheRaftMovesOnContact)
{
    writeAndLoad(m_dir, false);
    ASSERT_FALSE(m_run.failed) << m_run.error;
    std::shared_ptr<ZqModelObjectButtonControl> control;
    for (const std::shared_ptr<ZqModelObject>& object : navigator().uiNodeForKey("HUD")->screen()->objectModels()) {
        if (auto found = modelCast<ZqModelObjectButtonControl>(object); found && found->name() == "Slide")
            control = found;
    }
    ASSERT_TRUE(control);
    EXPECT_NE(control->keyboardKey(), 0);
    EXPECT_EQ(control->action(), "kInputControllerActionButton") << "it presses the slide's event";
    EXPECT_TRUE(control->spriteContainer());

    std::shared_ptr<ZqModelAssetCharacter> hero;
    for (const auto& character : controller().modelsOfClass<ZqModelAssetCharacter>())
        hero = character->name() == "Hero" ? character : hero;
    ASSERT_TRUE(hero);
    auto slide = hero->firstChildOfClass<ZqModelComponentSlide>();
    ASSERT_TRUE(slide);
    EXPECT_EQ(slide->m_event->value(), "kEventButton") << "any control button";
    ASSERT_TRUE(slide->m_collisionShape->value());
    ASSERT_TRUE(slide->m_animation->value());
    // Outline points have y downwards: the slide's top lies lower than the hero's.
    auto top = [](const ZqModelPolygon& shape) {
        float found = 1e9f;
        for (int i = 0; i < shape.pointCount(); ++i)
            found = std::min(found, shape.pointAt(i).y);
        return found;
    };
    EXPECT_GT(top(*slide->m_collisionShape->value()), top(*hero->collisionShape()) + 50.0f);

    std::size_t movers = 0;
    for (const auto& obstacle : controller().modelsOfClass<ZqModelAssetObstacle>()) {
        if (auto move = obstacle->firstChildOfClass<ZqModelComponentMove>()) {
            ++movers;
            EXPECT_EQ(move->m_event->value(), "kEventCollision") << obstacle->name();
            EXPECT_FALSE(move->m_linearVelocity->isXEmpty());
            EXPECT_GT(move->m_timeout->value(), 0.0f) << "it stops again";
        }
    }
    EXPECT_EQ(movers, 1u);
}

// The level mechanics: a path in loop mode carrying its section's platform over a gap of
// water and back, and two portals of one group that reach each other, across a wall.
TEST_F(SampleGameTest, APathCarriesAPlatformOverAGapAndPortalsPairAcrossAWall)
{
    writeAndLoad(m_dir, false);
    ASSERT_FALSE(m_run.failed) << m_run.error;
    std::size_t paths = 0;
    std::vector<std::shared_ptr<ZqModelObjectTeleport>> teleports;
    for (const auto& section : controller().modelsOfClass<ZqModelLevelSection>()) {
        for (const std::shared_ptr<ZqModelObject>& object : section->objects()) {
            if (auto teleport = modelCast<ZqModelObjectTeleport>(object))
                teleports.push_back(teleport);
            auto path = modelCast<ZqModelObjectPath>(object);
            if (!path)
                continue;
            ++paths;
            EXPECT_EQ(path->playMode(), kPlayModeLoop);
            EXPECT_EQ(path->affectedAsset(), kPathAffectsAssets);
            ASSERT_EQ(path->points().size(), 2u);
            EXPECT_EQ(path->points().back(), cocos2d::CCPoint()) << "back where it starts: no jump at the loop";
            // Its platform starts on the path, within reach.
            bool carries = false;
            for (const std::shared_ptr<ZqModelObject>& other : section->objects()) {
                auto unit = modelCast<ZqModelObjectAssetUnit>(other);
                carries = carries || (unit && unit->assetObstacle() && static_cast<int>(unit->assetObstacle()->id()) == path->objectAssetId() &&
                                      unit->objectType() == kPlatformObjectType &&
                                      ccpDistance(unit->position(0.0f, 0), path->position(0.0f, 0)) <= path->searchRadius());
            }
            EXPECT_TRUE(carries) << section->name();
        }
    }
    EXPECT_EQ(paths, 1u);
    // The water's mirror draws through the shader the media writer made.
    ASSERT_EQ(controller().modelsOfClass<ZqModelObjectMirror>().size(), 1u);
    EXPECT_GT(std::filesystem::file_size(m_dir.file("data/shaders/WaterReflection.fsh")), 0u);
    ASSERT_EQ(teleports.size(), 2u);
    EXPECT_EQ(teleports[0]->groupId(), teleports[1]->groupId());
    EXPECT_EQ(teleports[0]->parent(), teleports[1]->parent()) << "in one section";
    const float apart = ccpDistance(teleports[0]->position(0.0f, 0), teleports[1]->position(0.0f, 0));
    for (const auto& teleport : teleports) {
        EXPECT_GT(teleport->searchRadius(), apart);
        EXPECT_FALSE(teleport->isExitOnly());
        EXPECT_FALSE(teleport->isSingleUse());
        // Its zone rises above a double jump (points have y downwards), so no hero passes by.
        float top = 0.0f;
        for (const cocos2d::CCPoint& point : teleport->collisionShape()->points())
            top = std::min(top, point.y);
        EXPECT_LT(top, -500.0f);
    }
}

TEST_F(SampleGameTest, EverySpriteHasItsOwnPlaceInTheAtlasAndMediaPathsDiffer)
{
    writeAndLoad(m_dir, false);
    ASSERT_FALSE(m_run.failed) << m_run.error;
    // The main atlas, the menus' own, the bonus room's and the second world's.
    const auto atlases = controller().modelsOfClass<ZqModelAtlas>();
    ASSERT_EQ(atlases.size(), 4u);
    const auto sprites = controller().modelsOfClass<ZqModelSprite>();
    ASSERT_FALSE(sprites.empty());
    std::size_t atlasSprites = 0;
    for (const auto& atlas : atlases)
        atlasSprites += atlas->sprites().size();
    EXPECT_EQ(atlasSprites, sprites.size());

    std::set<std::string> paths;
    std::map<const ZqModelAtlas*, std::vector<cocos2d::CCRect>> placed;
    for (const auto& sprite : sprites) {
        const auto owner = std::find_if(atlases.begin(), atlases.end(),
                                        [&sprite](const auto& atlas) { return atlas->hasChild(sprite.get()); });
        ASSERT_NE(owner, atlases.end()) << sprite->name();
        const auto& atlas = *owner;
        std::vector<cocos2d::CCRect>& places = placed[atlas.get()];
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
    const auto fonts = controller().modelsOfClass<ZqModelFont>();
    for (const auto& font : fonts)
        paths.insert(font->fontFilePath());
    EXPECT_EQ(sounds.size(), 8u)
        << "the menu music, the hero's jump, landing, defeat and shot, a coin, a power-up, and a purchase";
    EXPECT_EQ(fonts.size(), 3u) << "the texts', the titles' and the captions'";
    EXPECT_EQ(paths.size(), sprites.size() + sounds.size() + fonts.size());

    // Every picture shown is one of the atlases' sprites.
    for (const auto& container : controller().modelsOfClass<ZqModelSpriteContainer>()) {
        EXPECT_FALSE(container->sprites().empty()) << container->name();
        for (const auto& sprite : container->sprites())
            EXPECT_TRUE(std::any_of(atlases.begin(), atlases.end(),
                                    [&sprite](const auto& atlas) { return atlas->hasChild(sprite.get()); }))
                << container->name();
    }
}

// Every media file a model names is in the data directory the writer filled: the atlas's
// plist and picture, each sound, the font and its page, and the mirror's shader.
TEST_F(SampleGameTest, EveryMediaFileTheModelsNameIsWritten)
{
    writeAndLoad(m_dir, false);
    ASSERT_FALSE(m_run.failed) << m_run.error;
    std::vector<std::string> named;
    for (const auto& atlas : controller().modelsOfClass<ZqModelAtlas>()) {
        named.push_back(atlas->plistPath());
        named.push_back(atlas->imagePath());
    }
    for (const auto& sound : controller().modelsOfClass<ZqModelSound>())
        named.push_back(sound->soundPath());
    for (const auto& font : controller().modelsOfClass<ZqModelFont>()) {
        named.push_back(font->fontFilePath());
        const std::string page = font->fontFilePath();
        named.push_back(page.substr(0, page.size() - 4) + ".png");
    }
    named.push_back("data/shaders/WaterReflection.fsh");
    ASSERT_GE(named.size(), 12u);
    // The models name their media from the game's directory, as the player looks them up.
    for (const std::string& path : named) {
        const std::filesystem::path file = std::filesystem::path(path).is_absolute() ? std::filesystem::path(path) : m_dir.path() / path;
        EXPECT_TRUE(std::filesystem::is_regular_file(file)) << file;
    }
}

} // namespace
