#include "tools/ZqSampleGame.h"

#include "attributes/ZqAttributeFundamental.h"
#include "attributes/ZqAttributePoint.h"
#include "attributes/ZqAttributeValue.h"
#include "model/ZqAttributeTable.h"
#include "model/ZqModelController.h"
#include "model/ZqModelGeneralSettings.h"
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
#include "cocos2d.h"

#include <algorithm>
#include <initializer_list>
#include <map>
#include <stdexcept>

namespace {

constexpr unsigned kGeneralSettingsId = 1;

// Gives a generated model's number, flag and text attributes values drawn from its
// position k, through the setters (so they are clamped into each attribute's range
// like an editor's values would be).
void fillAttributes(ZqModel& model, std::size_t k)
{
    const int n = static_cast<int>(k % 100000);
    for (ZqBaseAttribute* attribute : model.attributes()) {
        const std::size_t type = attribute->typeId();
        if (attribute == model.nameAttribute())
            model.setName("Generated " + std::to_string(k));
        else if (type == ZqAttributeFloat::staticTypeId())
            static_cast<ZqAttributeFloat*>(attribute)->setValue(static_cast<float>(n % 97) * 0.25f, true);
        else if (type == ZqAttributeInt::staticTypeId())
            static_cast<ZqAttributeInt*>(attribute)->setValue(n % 11 - 5, true);
        else if (type == ZqAttributeUInt::staticTypeId())
            static_cast<ZqAttributeUInt*>(attribute)->setValue(static_cast<unsigned>(n), true);
        else if (type == ZqAttributeBool::staticTypeId())
            static_cast<ZqAttributeBool*>(attribute)->setValue(k % 2 == 1, true);
        else if (type == ZqAttributeString::staticTypeId())
            static_cast<ZqAttributeString*>(attribute)->setValue("text " + std::to_string(k), true);
        else if (type == ZqAttributeSize::staticTypeId())
            static_cast<ZqAttributeSize*>(attribute)->setValue(cocos2d::CCSize(n % 50, n % 30 + 0.5f), true);
    }
}

// Sets an attribute by its key, silently like the data would.
template <class Attribute, class Value>
void setAttribute(ZqModel& model, const char* key, const Value& value)
{
    Attribute* attribute = zqRebindAttribute<Attribute>(model, key);
    if (!attribute)
        throw std::logic_error(std::string("ZqSampleGame: ") + model.className() + " lacks " + key);
    attribute->setValue(value, true);
}

// The sample game's ids, a hundred per kind: 100 flow-graph nodes, 200 screens,
// 300 interface objects, 400 level sections, 500 placed objects, 600 assets,
// 700 components, 800 collision shapes, 900 animations (950 their frames),
// 1000 sprite containers, 1100 sprites, 1200 the atlas, 1300 sounds, 1400 fonts.
constexpr unsigned kMenuNode = 101, kGameNode = 102, kGameOverNode = 103;
constexpr unsigned kSectionStart = 401, kSectionRocks = 402, kSectionSlime = 403;
constexpr unsigned kHero = 601, kRock = 602, kSlime = 603, kStar = 604;
constexpr unsigned kAtlas = 1201, kMenuMusic = 1301, kFont = 1401;
constexpr float kWidth = 1136.0f;  // the design size, landscape
constexpr float kHeight = 640.0f;

// Every picture, in sizes of a 1136x640 game.
struct SpriteRow {
    unsigned id;
    const char* name;
    float width, height;
};
constexpr SpriteRow kSprites[] = {
    {1101, "Hero Idle 1", 96, 128}, {1102, "Hero Idle 2", 96, 128}, {1103, "Hero Run 1", 96, 128},
    {1104, "Hero Run 2", 96, 128},  {1105, "Hero Run 3", 96, 128},  {1106, "Hero Run 4", 96, 128},
    {1107, "Hero Jump", 96, 128},   {1108, "Ground", 568, 64},      {1109, "Rock", 96, 80},
    {1110, "Slime 1", 96, 64},      {1111, "Slime 2", 96, 64},      {1112, "Star", 64, 64},
    {1113, "Play Button", 240, 96}, {1114, "Restart Button", 240, 96},
};

// Frame animations of sprites; speed scales the 30 frames a second.
struct ContainerRow {
    unsigned id;
    const char* name;
    float speed;
    std::vector<unsigned> sprites;
};
const ContainerRow kContainers[] = {
    {1001, "Hero Idle", 0.1f, {1101, 1102}}, {1002, "Hero Run", 0.4f, {1103, 1104, 1105, 1106}},
    {1003, "Hero Jump", 1.0f, {1107}},       {1004, "Ground", 1.0f, {1108}},
    {1005, "Rock", 1.0f, {1109}},            {1006, "Slime", 0.15f, {1110, 1111}},
    {1007, "Star", 1.0f, {1112}},            {1008, "Play Button", 1.0f, {1113}},
    {1009, "Restart Button", 1.0f, {1114}},
};

// Animations of one image frame showing a container (frame id = animation id + 50).
struct AnimationRow {
    unsigned id;
    const char* name;
    unsigned container;
    bool loop;
};
constexpr AnimationRow kAnimations[] = {
    {901, "Hero Idle", 1001, true}, {902, "Hero Run", 1002, true}, {903, "Hero Jump", 1003, false},
    {904, "Rock", 1005, true},      {905, "Slime", 1006, true},    {906, "Star", 1007, true},
};

// The objects of the level sections, each section one screen wide (x, y in points).
enum class Kind { Hero, Ground, Rock, Slime, Star };
struct PlacedRow {
    unsigned id;
    unsigned section;
    Kind kind;
    float x, y;
};
constexpr PlacedRow kPlaced[] = {
    {501, kSectionStart, Kind::Ground, 284, 32}, {502, kSectionStart, Kind::Ground, 852, 32},
    {503, kSectionStart, Kind::Hero, 200, 128},  {504, kSectionStart, Kind::Star, 760, 260},
    {511, kSectionRocks, Kind::Ground, 284, 32}, {512, kSectionRocks, Kind::Ground, 852, 32},
    {513, kSectionRocks, Kind::Rock, 420, 104},  {514, kSectionRocks, Kind::Rock, 880, 104},
    {521, kSectionSlime, Kind::Ground, 284, 32}, {522, kSectionSlime, Kind::Ground, 852, 32},
    {523, kSectionSlime, Kind::Rock, 300, 104},  {524, kSectionSlime, Kind::Slime, 800, 96},
    {525, kSectionSlime, Kind::Star, 560, 300},
};

// Makes the sample's models with their fixed ids and keeps them in making order, the
// order they are registered in.
class SampleBuilder {
public:
    void build();
    const std::vector<std::shared_ptr<ZqModel>>& models() const { return m_models; }
    unsigned lastId() const { return m_byId.rbegin()->first; }

private:
    template <class T>
    std::shared_ptr<T> make(unsigned id, const std::string& name)
    {
        std::shared_ptr<T> model = T::create();
        model->setId(id);
        model->setName(name);
        // A reused id would let the controller drop the later model without a word.
        if (!m_byId.emplace(id, model).second)
            throw std::logic_error("ZqSampleGame: id " + std::to_string(id) + " is used twice");
        m_models.push_back(model);
        return model;
    }
    template <class T>
    std::shared_ptr<T> at(unsigned id) const
    {
        std::shared_ptr<T> model = modelKindCast<T>(m_byId.at(id));
        if (!model)
            throw std::logic_error("ZqSampleGame: model " + std::to_string(id) + " is no " + T::staticClassName());
        return model;
    }

    void buildMedia();
    std::shared_ptr<ZqModelPolygon> shape(unsigned id, const std::string& name,
                                          std::initializer_list<cocos2d::CCPoint> points);
    void buildAssets();
    std::shared_ptr<ZqBaseNode> node(std::shared_ptr<ZqBaseNode> node, std::shared_ptr<ZqModelScreen> screen,
                                     const std::string& key, float canvasX);
    std::shared_ptr<ZqModelObjectLabel> label(unsigned id, const std::string& text, float y);
    void button(unsigned id, const std::string& name, unsigned container, ZqBaseNode& from, const ZqBaseNode& to);
    void buildScreens();
    void buildGameField();

    std::vector<std::shared_ptr<ZqModel>> m_models;
    std::map<unsigned, std::shared_ptr<ZqModel>> m_byId;
};

// A value-less target port of the node, linked to the "Load" port of the node it leads to.
void linkPort(ZqBaseNode& from, const std::string& portName, const ZqBaseNode& to)
{
    ZqBaseAttribute* port = from.findAttribute(portName);
    if (!port) {
        port = new ZqAttribute(portName, &from);
        port->setConnectionType(ZqBaseAttribute::kTarget, true);
    }
    port->connect(to.loadPort(), true);
}

void SampleBuilder::buildMedia()
{
    // The atlas packs the sprites row by row; each sprite's "Source Rect" is its place.
    std::shared_ptr<ZqModelAtlas> atlas = make<ZqModelAtlas>(kAtlas, "Sample Atlas");
    const float side = 1024.0f;
    const float padding = 4.0f;
    setAttribute<ZqAttributeFloat>(*atlas, "width", side);
    setAttribute<ZqAttributeFloat>(*atlas, "height", side);
    setAttribute<ZqAttributeFloat>(*atlas, "padding", padding);
    cocos2d::CCPoint cursor(0.0f, 0.0f);
    float rowHeight = 0.0f;
    for (const SpriteRow& row : kSprites) {
        if (cursor.x + row.width > side) {
            cursor = cocos2d::CCPoint(0.0f, cursor.y + rowHeight + padding);
            rowHeight = 0.0f;
        }
        std::shared_ptr<ZqModelSprite> sprite = make<ZqModelSprite>(row.id, row.name);
        setAttribute<ZqAttributeSize>(*sprite, "Size", cocos2d::CCSize(row.width, row.height));
        setAttribute<ZqAttributeSize>(*sprite, "SourceSize", cocos2d::CCSize(row.width, row.height));
        setAttribute<ZqAttributeRect>(*sprite, "Source Rect", cocos2d::CCRect(cursor.x, cursor.y, row.width, row.height));
        atlas->addChild(sprite, true);
        cursor.x += row.width + padding;
        rowHeight = std::max(rowHeight, row.height);
    }
    for (const ContainerRow& row : kContainers) {
        std::shared_ptr<ZqModelSpriteContainer> container = make<ZqModelSpriteContainer>(row.id, row.name);
        setAttribute<ZqAttributeFloat>(*container, "Animation Speed", row.speed);
        setAttribute<ZqAttributeFloat>(*container, "Duration", static_cast<float>(row.sprites.size()) / (30.0f * row.speed));
        for (unsigned sprite : row.sprites)
            container->addChild(at<ZqModelSprite>(sprite), true);
    }
    for (const AnimationRow& row : kAnimations) {
        std::shared_ptr<ZqModelAnimation> animation = make<ZqModelAnimation>(row.id, row.name);
        std::shared_ptr<ZqModelObjectImage> frame = make<ZqModelObjectImage>(row.id + 50, row.name);
        frame->m_image->setValue(at<ZqModelSpriteContainer>(row.container), true);
        animation->addChild(frame, true);
        animation->setLoop(row.loop);
        animation->setDuration(at<ZqModelSpriteContainer>(row.container)->duration());
    }
    make<ZqModelSound>(kMenuMusic, "Menu Music");
    make<ZqModelFont>(kFont, "Main Font");
}

// A convex outline, counter-clockwise, in model points around the object's centre.
std::shared_ptr<ZqModelPolygon> SampleBuilder::shape(unsigned id, const std::string& name,
                                                     std::initializer_list<cocos2d::CCPoint> points)
{
    std::shared_ptr<ZqModelPolygon> polygon = make<ZqModelPolygon>(id, name);
    for (const cocos2d::CCPoint& point : points)
        polygon->addPoint(point, true);
    return polygon;
}

void SampleBuilder::buildAssets()
{
    using P = cocos2d::CCPoint;
    std::shared_ptr<ZqModelAssetCharacter> hero = make<ZqModelAssetCharacter>(kHero, "Hero");
    hero->m_collisionShape->setValue(shape(801, "Hero Shape", {P(-30, -60), P(30, -60), P(30, 50), P(-30, 50)}), true);
    hero->m_defaultAnimation->setValue(at<ZqModelAnimation>(901), true);
    hero->m_moveAnimation->setValue(at<ZqModelAnimation>(902), true);
    hero->m_jumpAnimation->setValue(at<ZqModelAnimation>(903), true);
    hero->m_gameOverDelay->setValue(1.0f, true);
    std::shared_ptr<ZqModelComponentHealth> health = make<ZqModelComponentHealth>(701, "Hero Health");
    health->m_health->setValue(3.0f, true);
    health->m_lives->setValue(1.0f, true);
    health->m_deathDelay->setValue(0.5f, true);
    hero->addChild(health, true);
    auto gameplay = make<ZqModelComponentCharacterGameplaySettings>(702, "Hero Gameplay");
    gameplay->m_maxSpeed->setValue(P(8, 0), true);
    gameplay->m_jumpForce->setValue(P(0, 14), true);
    gameplay->m_jumpCounter->setValue(2.0f, true);  // a double jump
    gameplay->m_jumpFromGround->setValue(true, true);
    gameplay->m_fixedRotation->setValue(true, true);
    hero->addChild(gameplay, true);

    std::shared_ptr<ZqModelAssetObstacle> rock = make<ZqModelAssetObstacle>(kRock, "Rock");
    rock->m_collisionShape->setValue(shape(802, "Rock Shape", {P(-46, -38), P(46, -38), P(30, 30), P(0, 40), P(-30, 30)}), true);
    rock->m_idleAnimation->setValue(at<ZqModelAnimation>(904), true);
    std::shared_ptr<ZqModelAssetObstacle> slime = make<ZqModelAssetObstacle>(kSlime, "Slime");
    slime->m_collisionShape->setValue(shape(803, "Slime Shape", {P(-46, -30), P(46, -30), P(40, 10), P(0, 30), P(-40, 10)}), true);
    slime->m_idleAnimation->setValue(at<ZqModelAnimation>(905), true);

    std::shared_ptr<ZqModelAssetPowerup> star = make<ZqModelAssetPowerup>(kStar, "Star");
    star->m_collisionShape->setValue(shape(804, "Star Shape", {P(-28, -28), P(28, -28), P(28, 28), P(-28, 28)}), true);
    star->m_idleAnimation->setValue(at<ZqModelAnimation>(906), true);
    star->m_powerupType->setValue("kPowerupInvincibility", true);
    star->m_duration->setValue(5.0f, true);
    star->m_rewardPoints->setValue(50.0f, true);
    star->m_showPointsReward->setValue(true, true);
    star->m_appearanceChance->setValue(100.0f, true);
}

// The node holds its screen; "Position" is its place on the editor's canvas.
std::shared_ptr<ZqBaseNode> SampleBuilder::node(std::shared_ptr<ZqBaseNode> node, std::shared_ptr<ZqModelScreen> screen,
                                                const std::string& key, float canvasX)
{
    screen->m_key->setValue(key, true);
    setAttribute<ZqAttributePoint>(*node, "Position", cocos2d::CCPoint(canvasX, 0.0f));
    node->addChild(screen, true);
    return node;
}

// A fixed, centred text in the game's font.
std::shared_ptr<ZqModelObjectLabel> SampleBuilder::label(unsigned id, const std::string& text, float y)
{
    std::shared_ptr<ZqModelObjectLabel> label = make<ZqModelObjectLabel>(id, text + " Text");
    label->m_action->setValue("kCustomVector", true);
    label->m_text->setValue(text, true);
    label->m_font->setValue(std::to_string(kFont), true);
    label->m_position->setValue(cocos2d::CCPoint(kWidth / 2, y), true);
    return label;
}

// A navigation button: pressed, it follows the port of its screen's node named like it.
void SampleBuilder::button(unsigned id, const std::string& name, unsigned container, ZqBaseNode& from,
                           const ZqBaseNode& to)
{
    std::shared_ptr<ZqModelObjectButton> button = make<ZqModelObjectButton>(id, name);
    button->m_image->setValue(at<ZqModelSpriteContainer>(container), true);
    button->m_position->setValue(cocos2d::CCPoint(kWidth / 2, kHeight * 0.4f), true);
    from.screen()->addChild(button, true);
    linkPort(from, name, to);
}

void SampleBuilder::buildScreens()
{
    // The start screen as the earlier sample had it (ids 2 to 5), now in the game's font.
    std::shared_ptr<ZqBaseNode> start = node(make<ZqNodeUIStart>(2, "Start"), make<ZqModelScreen>(3, "Start Screen"),
                                             "ZqPScreenStart", 0.0f);
    std::shared_ptr<ZqModelObjectLabel> loading = make<ZqModelObjectLabel>(4, "Loading Text");
    loading->m_text->setValue("Loading...", true);
    loading->m_font->setValue(std::to_string(kFont), true);
    loading->m_position->setValue(cocos2d::CCPoint(kWidth / 2, 360.0f), true);
    std::shared_ptr<ZqModelObjectLoadingBar> bar = make<ZqModelObjectLoadingBar>(5, "Loading Bar");
    bar->m_position->setValue(cocos2d::CCPoint(kWidth / 2, 280.0f), true);
    start->screen()->addChild(loading, true);
    start->screen()->addChild(bar, true);

    std::shared_ptr<ZqModelScreen> menuScreen = make<ZqModelScreen>(201, "Menu Screen");
    menuScreen->m_music->setValue(at<ZqModelSound>(kMenuMusic), true);
    std::shared_ptr<ZqBaseNode> menu = node(make<ZqNodeUI>(kMenuNode, "Menu"), menuScreen, "Menu", 250.0f);
    std::shared_ptr<ZqBaseNode> game = node(make<ZqNodeScene>(kGameNode, "Game"),
                                            make<ZqModelScreenScene>(202, "Game Scene"), "Game", 500.0f);
    std::shared_ptr<ZqBaseNode> gameOver = node(make<ZqNodeUI>(kGameOverNode, "Game Over"),
                                                make<ZqModelScreen>(203, "Game Over Screen"), "GameOver", 750.0f);

    linkPort(*start, "Load", *menu);
    menuScreen->addChild(label(301, ZqSampleGame::kApplicationName, kHeight * 0.7f), true);
    button(302, "Play", 1008, *menu, *game);
    linkPort(*game, "Game Over", *gameOver);
    gameOver->screen()->addChild(label(303, "Game Over", kHeight * 0.7f), true);
    button(304, "Restart", 1009, *gameOver, *game);
}

void SampleBuilder::buildGameField()
{
    std::shared_ptr<ZqModelScreenScene> scene = at<ZqModelScreenScene>(202);
    scene->m_gameSpeedMin->setValue(3.0f, true);
    scene->m_gameSpeedMax->setValue(10.0f, true);
    scene->m_speedIncrease->setValue(0.1f, true);
    scene->m_scoreMultiplier->setValue(1.0f, true);
    struct SectionRow {
        unsigned id;
        const char* name;
        float startDistance;
    };
    constexpr SectionRow kSections[] = {{kSectionStart, "Start", 0}, {kSectionRocks, "Rocks", 0}, {kSectionSlime, "Slime", 3000}};
    for (const SectionRow& row : kSections) {
        std::shared_ptr<ZqModelLevelSection> section = make<ZqModelLevelSection>(row.id, row.name);
        section->m_initSection->setValue(row.id == kSectionStart, true);
        section->m_startDistance->setValue(row.startDistance, true);
        section->m_width->setValue(kWidth, true);
        scene->addChild(section, true);
    }
    std::shared_ptr<ZqModelComponentScore> score = make<ZqModelComponentScore>(703, "Game Score");
    score->m_resetPoints->setValue(true, true);
    score->m_resetDistance->setValue(true, true);
    scene->addChild(score, true);

    for (const PlacedRow& row : kPlaced) {
        std::shared_ptr<ZqModelObject> object;
        if (row.kind == Kind::Ground) {
            auto ground = make<ZqModelObjectImage>(row.id, "Ground");
            ground->m_image->setValue(at<ZqModelSpriteContainer>(1004), true);
            object = ground;
        } else if (row.kind == Kind::Hero) {
            auto hero = make<ZqModelObjectAssetCharacter>(row.id, "Hero");
            hero->m_asset->setValue(at<ZqModelAsset>(kHero), true);
            hero->m_zDepth->setValue(10, true);
            object = hero;
        } else if (row.kind == Kind::Star) {
            auto star = make<ZqModelObjectAssetPowerup>(row.id, "Star");
            star->m_asset->setValue(at<ZqModelAsset>(kStar), true);
            object = star;
        } else {
            // Rocks stand still as platforms; the slime walks toward the character.
            const bool enemy = row.kind == Kind::Slime;
            auto unit = make<ZqModelObjectAssetUnit>(row.id, enemy ? "Slime" : "Rock");
            unit->m_asset->setValue(at<ZqModelAsset>(enemy ? kSlime : kRock), true);
            unit->m_objectType->setValue(enemy ? "kEnemyObjectType" : "kPlatformObjectType", true);
            unit->m_movementType->setValue("kMovementLinear", true);
            unit->m_collisionType->setValue("kCharacterCollision", true);
            unit->m_destroyType->setValue(enemy ? "kDestroyCollision" : "kDestroyNo", true);
            unit->m_linearVelocity->setValue(cocos2d::CCPoint(enemy ? -80.0f : 0.0f, 0.0f), true);
            object = unit;
        }
        object->m_position->setValue(cocos2d::CCPoint(row.x, row.y), true);
        at<ZqModelLevelSection>(row.section)->addChild(object, true);
    }
}

void SampleBuilder::build()
{
    buildMedia();
    buildAssets();
    buildScreens();
    buildGameField();
}

} // namespace

ZqGeneratedModel::ZqGeneratedModel(const std::string& name)
    : ZqModel(name)
{
    ZQ_ATTRIBUTE_CREATE(ZQ_GENERATED_MODEL_ATTRIBUTES)
    m_output = new ZqAttribute("Output", this);
    m_output->setConnectionType(ZqBaseAttribute::kSource, true);
    m_input = new ZqAttribute("Input", this);
    m_input->setConnectionType(ZqBaseAttribute::kTarget, true);
}

ZqGeneratedModel::ZqGeneratedModel(const ZqGeneratedModel& source)
    : ZqModel(source)
{
    ZQ_ATTRIBUTE_REBIND(ZQ_GENERATED_MODEL_ATTRIBUTES)
    m_output = zqRebindAttribute<ZqAttribute>(*this, "Output");
    m_input = zqRebindAttribute<ZqAttribute>(*this, "Input");
}

std::span<const ZqModelClass> ZqSampleGame::generatedModelClasses()
{
    static const ZqModelClass rows[] = {zqModelClassRow<ZqGeneratedModel>()};
    return rows;
}

void ZqSampleGame::build(ZqModelController& controller)
{
    Generated game;
    game.modelCount = 0;
    buildGenerated(controller, game);

    SampleBuilder sample;
    sample.build();
    for (const std::shared_ptr<ZqModel>& model : sample.models())
        controller.addModel(model);
    setAttribute<ZqAttributeUInt>(*ZqModelGeneralSettings::shared(), "Last ID", sample.lastId());
}

void ZqSampleGame::buildGenerated(ZqModelController& controller, const Generated& game)
{
    std::vector<std::string> classNames = game.classNames;
    if (classNames.empty() && game.modelCount != 0) {
        controller.addModelClasses(generatedModelClasses());
        classNames.push_back(ZqGeneratedModel::staticClassName());
    }

    // The reset drops the settings' instance too: nothing of an earlier game stays in them.
    controller.reset();
    std::shared_ptr<ZqModelGeneralSettings> settings = ZqModelGeneralSettings::shared();
    controller.addModel(settings);
    settings->setId(kGeneralSettingsId);

    // Made first, numbered after: a model takes a fresh id from the controller when it
    // is made, and the fixed ids are given once all of them exist.
    std::vector<std::shared_ptr<ZqModel>> models;
    models.reserve(game.modelCount);
    for (std::size_t k = 0; k < game.modelCount; ++k) {
        std::shared_ptr<ZqModel> model = controller.registry().create(classNames[k % classNames.size()]);
        if (!model)
            throw std::invalid_argument("ZqSampleGame: not a registry class: " + classNames[k % classNames.size()]);
        models.push_back(std::move(model));
    }
    for (std::size_t k = 0; k < models.size(); ++k) {
        models[k]->setId(kGeneralSettingsId + 1 + static_cast<unsigned>(k));
        fillAttributes(*models[k], k);
    }
    const std::size_t treeSize = game.treeSize == 0 ? models.size() : game.treeSize;
    const std::size_t fanout = game.fanout == 0 ? 1 : game.fanout;
    for (std::size_t k = 0; k < models.size(); ++k) {
        const std::size_t inTree = k % treeSize;
        if (inTree != 0)
            models[k - inTree + (inTree - 1) / fanout]->addChild(models[k], true);
    }
    for (std::size_t k = 1; k < models.size(); ++k) {
        ZqBaseAttribute* input = models[k]->findAttribute("Input");
        ZqBaseAttribute* output = models[k / 2]->findAttribute("Output");
        if (input && output && input->connectionType() == ZqBaseAttribute::kTarget &&
            output->connectionType() == ZqBaseAttribute::kSource)
            input->connect(output, true);
    }
    for (const std::shared_ptr<ZqModel>& model : models)
        controller.addModel(model);

    setAttribute<ZqAttributeString>(*settings, "Application Name", game.applicationName);
    setAttribute<ZqAttributeString>(*settings, "User ID", std::string(kUserId));
    setAttribute<ZqModelGeneralSettings::ZqAttributeOrientation>(*settings, "Orientation",
                                                               ZqModelGeneralSettings::Orientation::kLandscape);
    setAttribute<ZqAttributeSize>(*settings, "Design Size", cocos2d::CCSize(1136, 640));
    setAttribute<ZqAttributeUInt>(*settings, "Last ID", kGeneralSettingsId + static_cast<unsigned>(models.size()));
}

void ZqSampleGame::write(ZqModelController& controller, const std::string& dataDirectory,
                         ZqDataWriter::Options options)
{
    build(controller);
    ZqDataWriter(controller, std::move(options)).write(dataDirectory);
}
