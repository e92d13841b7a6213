#pragma once

#include "attributes/ZqAttributeFundamental.h"
#include "attributes/ZqAttributeValue.h"
#include "model/ZqAttributeTable.h"
#include "model/ZqModelIdentity.h"
#include "model/ZqModelRegistry.h"
#include "tools/ZqDataWriter.h"
#include "tools/ZqGameBuilder.h"

#include <cstddef>
#include <span>
#include <string>
#include <vector>

class ZqModelController;

#define ZQ_GENERATED_MODEL_ATTRIBUTES(A, V)                                       \
    A(ZqAttributeFloat,  m_speed,   "Speed",   1.0f, -1000.0f, 1000.0f)           \
    A(ZqAttributeInt,    m_count,   "Count",   0,    -1000,    1000)              \
    V(ZqAttributeUInt,   m_score,   "Score",   0u)                                \
    V(ZqAttributeBool,   m_visible, "Visible", true)                              \
    V(ZqAttributeString, m_title,   "Title",   "")                                \
    V(ZqAttributeSize,   m_size,    "Size",    cocos2d::CCSize())

// The model of generated games: a few attributes of each common kind and two ports,
// "Output" (a source) and "Input" (a target), so that generated data carries values,
// children and links. Not a class of the game data: only programs that add its row to
// their controller (ZqSampleGame::generatedModelClasses) read it; the player skips it.
class ZqGeneratedModel : public ZqModel {
public:
    explicit ZqGeneratedModel(const std::string& name);
    ZqGeneratedModel(const ZqGeneratedModel& source);
    ZQ_MODEL_IDENTITY(ZqGeneratedModel, ZqModel)
    static std::shared_ptr<ZqGeneratedModel> create() { return zqCreateModel<ZqGeneratedModel>("Generated"); }

    ZQ_ATTRIBUTE_MEMBERS(ZQ_GENERATED_MODEL_ATTRIBUTES)
    ZqAttribute* m_output = nullptr;
    ZqAttribute* m_input = nullptr;
};

// The games the project makes itself: the bundled sample game, and generated games for
// tests, fuzz corpora and benchmarks. Each builder resets the controller and leaves the
// game's models registered in it (the general settings included), ready for ZqDataWriter.
// Ids are fixed (the general settings are 1, the other models follow from 2), so equal
// calls give equal data.
class ZqSampleGame {
public:
    static constexpr const char* kApplicationName = "Zq Sample Game";
    static constexpr const char* kUserId = ZqGameBuilder::kUserId;

    // The sample game, a small but complete runner (ids grouped by hundreds per kind,
    // see the source): the general settings every game here carries (the application
    // name, a non-empty "User ID" so that the key file is really scrambled, landscape
    // 1136x640, "Last ID" = the highest id); the start node (id 2) whose screen
    // "ZqPScreenStart" (3) holds the text "Loading..." (4) and a loading bar (5); the menu
    // "Menu", the game field "Game" (a screen scene with level sections, the first the init
    // section holding the character) and the game over "GameOver"; the flow-graph
    // links start -> menu ("Load"), menu -> game ("Play"), game -> game over ("Game Over"),
    // game over -> game ("Restart"), each navigation button named like its port (Play
    // also on Return) and carrying its word; the menu's audio and exit buttons and a line
    // naming the keys; backgrounds on the menu and the game over; the game over's best
    // distance beside the game's distance and coins; the field's two parallax layers, a
    // light in the start section, a trail on the hero's default animation and sparks on
    // the star's; and the media models (one
    // atlas of every sprite, sprite containers, a font, the menu music, the effects'
    // images), whose files the builder writes. Beside Play the menu has Continue (start
    // mode 0), the shop, the characters, the window modes and the player's best distance
    // and coins; the shop sells magnets and the removal of ads for coins; the character
    // screen's selector sells a second character, a copy of the hero in other colours; the
    // HUD shows the game's distance and coins, the magnets in stock and on-screen jump and
    // shoot; the game over leads back to the menu. The world: a hero of three lives with a
    // gun and a slide (the HUD's "Slide" control, on Down); after the start section (its
    // pit at the end) nine sections, one muted, in distance windows, with gaps, one-way
    // ledges, rolling boulders, a slime and bats to shoot, coins, a checkpoint, a magnet,
    // invincibility stars, a raft set off by a landing, a ferry on a looping path over
    // water (a mirror), and a portal pair across a wall. Beyond those: the menu's link and
    // social buttons, the runner's own unlock button and the lock button of a second world
    // (a field of its own on sand), which a game over opens, through an unlocker on the
    // screen it moves on to, once 20 coins were taken in one game; and the HUD's touch
    // variant, shown over the run by its "touch" button, with the HUD's pause, figures and
    // magnets: a joystick pad, a swipe area whose upward stroke jumps, and a switch that
    // holds the slide.
    static void build(ZqModelController& controller);
    // The same, keeping the builder, which writes the sample's media files.
    static void build(ZqModelController& controller, ZqGameBuilder& game);

    // The registry rows of the generated games' own classes (ZqGeneratedModel).
    static std::span<const ZqModelClass> generatedModelClasses();

    // A generated game: the sample's general settings and modelCount models of the given
    // registry classes in turn (empty: ZqGeneratedModel, whose row is then added to the
    // controller). Models form trees: model k (from 0) is a child of model (k - 1) / fanout
    // of the same tree, each tree holding treeSize models (0: one tree). Every number,
    // flag, text and size attribute gets a value drawn from the model's position, so that
    // a lost value shows; a model's "Input" port is linked to the "Output" port of model
    // k / 2 when both exist. std::invalid_argument for a class the registry lacks.
    struct Generated {
        std::size_t modelCount = 100;
        std::vector<std::string> classNames;
        std::size_t fanout = 4;
        std::size_t treeSize = 64;
        std::string applicationName = kApplicationName;
    };
    static void buildGenerated(ZqModelController& controller, const Generated& game);

    // Builds the sample game and writes it, with its media files, into dataDirectory (see
    // ZqDataWriter::write).
    static void write(ZqModelController& controller, const std::string& dataDirectory,
                      ZqDataWriter::Options options);
    // The window's media beside the data directory, in the game's folder: the icon
    // "icon.ico" and the loading screen's splash "Default.png". std::runtime_error when
    // one cannot be written.
    static void writeWindowMedia(const std::string& gameDirectory);
};
