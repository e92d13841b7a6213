// An endless generated field streamed for 36,000 frames headless with drawing: level
// sections of platform units and coins ("kPowerupCoin" power-ups) are appended ahead of
// the camera and their objects removed behind it, as a stand-in character the camera
// follows runs 8 points a frame. The baseline, in the same run, is the same stream done
// bare: per frame, bodies of the same shapes at the same places made in and destroyed
// from a bare b2World stepped with the same step, and as many CCNodes added to and removed
// from one node of the running scene, the director drawing each frame as it draws the
// field's. Each side runs 5 repetitions; the summary gives frames per second, objects
// made and removed per second, the peak of live field objects, and the ratio of the
// medians of the field's frame time to the bare one.
#include "bench/bench_field.h"
#include "bench/bench_support.h"
#include "bench/bench_world.h"
#include "tests/screens/field_pilot.h"

#include "ZqRandom.h"
#include "app/ZqPInputController.h"
#include "model/GameplayParameters.h"
#include "model/objects/ZqModelObjectsUnits.h"
#include "model/scene/ZqModelAssets.h"
#include "model/scene/ZqModelLevelSection.h"
#include "model/scene/ZqModelShapes.h"
#include "objects/ZqPObject.h"
#include "objects/ZqPhysicsWorld.h"

#include <GL/glew.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <unordered_map>
#include <unordered_set>
#include <vector>

using namespace cocos2d;

namespace {

constexpr int kWidth = 1136;
constexpr int kHeight = 640;
constexpr int kFrames = 36000;
constexpr int kRepetitions = 5;
constexpr float kRunPerFrame = 8.0f;

// Model ids of the generated game.
constexpr unsigned kAtlas = 10, kPlatformSprite = 11, kCoinSprite = 12;
constexpr unsigned kPlatformFrames = 20, kCoinFrames = 21;
constexpr unsigned kPlatformAnimation = 30, kCoinAnimation = 32; // each with its frame id + 1
constexpr unsigned kPlatformShape = 40, kCoinShape = 41;
constexpr unsigned kPlatformAsset = 50, kCoinAsset = 51;
constexpr unsigned kNode = 60, kScene = 61, kFirstSection = 70, kFirstObject = 1000;
constexpr int kSections = 4; // the start section and three to append

// What the field's camera held new and what left it in one frame: the ids (CCObject::m_uID)
// of the objects, and for each new one the copy of its body in the pattern world (null
// when it had none).
struct FrameChanges {
    std::vector<std::pair<unsigned, const b2Body*>> made;
    std::vector<unsigned> removed;
};

// The field's stream, recorded by its first repetition for the bare one.
struct Stream {
    b2World patterns{b2Vec2(0.0f, 0.0f)};
    std::vector<FrameChanges> frames;
    b2Vec2 gravity{0.0f, 0.0f};
    float step = 0.0f;
    long made = 0;
    long removed = 0;
    std::size_t peak = 0;
};
std::unique_ptr<Stream> g_stream;
std::vector<double> g_fieldSeconds;
std::vector<double> g_bareSeconds;
std::unique_ptr<CCEGLViewSDL> g_view;

// Sections 1136 points wide, each a staircase of platforms 120 x 20 with an arc of coins
// over each; the sections differ in their heights.
std::shared_ptr<ZqModelScreenScene> buildGame(ZqGameBuilder& game)
{
    using P = CCPoint;
    game.atlas(kAtlas, "Atlas", 256, 2);
    game.sprite(kPlatformSprite, "Platform", kAtlas, 120, 20, {60, 160, 60, 255});
    game.sprite(kCoinSprite, "Coin", kAtlas, 16, 16, {240, 200, 40, 255});
    game.container(kPlatformFrames, "Platform", 1.0f, {kPlatformSprite});
    game.container(kCoinFrames, "Coin", 1.0f, {kCoinSprite});
    game.animation(kPlatformAnimation, kPlatformAnimation + 1, "Platform", kPlatformFrames, true);
    game.animation(kCoinAnimation, kCoinAnimation + 1, "Coin", kCoinFrames, true);

    auto platform = game.make<ZqModelAssetObstacle>(kPlatformAsset, "Platform");
    platform->m_collisionShape->setValue(game.boxShape(kPlatformShape, "Platform", 120, 20), true);
    platform->m_idleAnimation->setValue(game.at<ZqModelAnimation>(kPlatformAnimation), true);
    auto coin = game.make<ZqModelAssetPowerup>(kCoinAsset, "Coin");
    coin->m_collisionShape->setValue(game.boxShape(kCoinShape, "Coin", 16, 16), true);
    coin->m_idleAnimation->setValue(game.at<ZqModelAnimation>(kCoinAnimation), true);
    coin->m_powerupType->setValue("kPowerupCoin", true);
    coin->m_rewardCoins->setValue(1.0f, true);
    coin->m_appearanceChance->setValue(100.0f, true);

    game.worldNode(kNode, kScene, "Field", 0);
    auto scene = game.at<ZqModelScreenScene>(kScene);
    unsigned id = kFirstObject;
    for (int s = 0; s < kSections; ++s) {
        auto section = game.section(kFirstSection + static_cast<unsigned>(s), "Stairs", *scene, kWidth, 0, s == 0);
        for (int step = 0; step < 8; ++step) {
            const float x = 71.0f + 142.0f * static_cast<float>(step);
            const float y = 60.0f + 30.0f * static_cast<float>((step + s) % 4);
            auto unit = game.unit(id++, "Platform", kPlatformAsset, "kPlatformObjectType", P(x, y));
            unit->m_movementType->setValue("", true);
            section->addChild(unit, true);
            for (int c = 0; c < 3; ++c) {
                auto placed = game.make<ZqModelObjectAssetPowerup>(id++, "Coin");
                placed->m_asset->setValue(coin, true);
                placed->m_position->setValue(P(x - 30.0f + 30.0f * static_cast<float>(c), y + 40.0f + (c == 1 ? 12.0f : 0.0f)), true);
                section->addChild(placed, true);
            }
        }
    }
    return scene;
}

// Compares the camera's children with those of the frame before (seen), recording what
// came and went when record is set; answers how many there are now.
std::size_t takeChanges(const ZqPScreenScene& field, std::unordered_set<unsigned>& seen, Stream* record)
{
    std::unordered_set<unsigned> now;
    FrameChanges changes;
    for (CCObject* child : *field.camera()->getChildren()) {
        now.insert(child->m_uID);
        if (seen.count(child->m_uID) || !record)
            continue;
        const ZqPObject* object = dynamic_cast<const ZqPObject*>(child);
        const b2Body* body = object ? object->getBody() : nullptr;
        changes.made.emplace_back(child->m_uID, body ? zqbench::copyBody(*body, record->patterns) : nullptr);
    }
    if (record) {
        for (unsigned id : seen) {
            if (!now.count(id))
                changes.removed.push_back(id);
        }
        record->made += static_cast<long>(changes.made.size());
        record->removed += static_cast<long>(changes.removed.size());
        record->peak = std::max(record->peak, now.size());
        record->frames.push_back(std::move(changes));
    }
    seen = std::move(now);
    return seen.size();
}

void BM_FieldStream(benchmark::State& state)
{
    for (auto _ : state) {
        zqbench::FieldGame game("field-stream");
        std::shared_ptr<ZqModelScreenScene> scene = buildGame(game.builder);
        game.load();
        zqSrand(1);
        CCDirector* director = CCDirector::sharedDirector();
        director->setOpenGLView(g_view.get());
        ZqPScreenScene* field = zqbench::runField(scene);
        // The build forgets every character: the stand-in comes after it.
        director->mainLoopWithDelta(ZqPScreenScene::kFrameStep);
        field_test::Pilot* pilot = field_test::Pilot::create();
        pilot->setPosition(CCPoint(kWidth / 2.0f, 300.0f));
        ZqPInputController::shared()->addCharacter(pilot);

        std::unique_ptr<Stream> record = g_stream ? nullptr : std::make_unique<Stream>();
        if (record) {
            record->gravity = field->world()->box2d().GetGravity();
            record->step = GameplayParameters::shared()->simulationTimeScale() * ZqPScreenScene::kFrameStep;
        }
        std::unordered_set<unsigned> seen;
        takeChanges(*field, seen, nullptr);
        double seconds = 0.0;
        for (int frame = 0; frame < kFrames; ++frame) {
            pilot->setPosition(pilot->getPosition() + CCPoint(kRunPerFrame, 0.0f));
            const auto start = std::chrono::steady_clock::now();
            director->mainLoopWithDelta(ZqPScreenScene::kFrameStep);
            glFinish();
            seconds += zqbench::secondsSince(start);
            takeChanges(*field, seen, record.get());
        }
        if (field->cameraDistance() < kRunPerFrame * kFrames * 0.9f)
            state.SkipWithError("the camera did not follow the stand-in");
        state.SetIterationTime(seconds);
        g_fieldSeconds.push_back(seconds);
        if (record)
            g_stream = std::move(record);
        ZqPInputController::shared()->removeCharacter(pilot);
        zqbench::switchScene();
    }
}

void BM_BareStream(benchmark::State& state)
{
    if (!g_stream) {
        state.SkipWithError("the field's stream has not run");
        return;
    }
    for (auto _ : state) {
        CCDirector* director = CCDirector::sharedDirector();
        director->setOpenGLView(g_view.get());
        CCScene* running = zqbench::switchScene();
        CCNode* parent = CCNode::create();
        running->addChild(parent);
        b2World world(g_stream->gravity);
        std::unordered_map<unsigned, std::pair<b2Body*, CCNode*>> live;

        double seconds = 0.0;
        for (const FrameChanges& changes : g_stream->frames) {
            const auto start = std::chrono::steady_clock::now();
            for (const auto& [id, pattern] : changes.made) {
                CCNode* node = CCNode::create();
                parent->addChild(node);
                live[id] = {pattern ? zqbench::copyBody(*pattern, world) : nullptr, node};
            }
            for (unsigned id : changes.removed) {
                const auto found = live.find(id);
                if (found == live.end())
                    continue;
                if (found->second.first)
                    world.DestroyBody(found->second.first);
                parent->removeChild(found->second.second, true);
                live.erase(found);
            }
            world.Step(g_stream->step, ZqPScreenScene::kVelocityIterations, ZqPScreenScene::kPositionIterations);
            director->mainLoopWithDelta(ZqPScreenScene::kFrameStep);
            glFinish();
            seconds += zqbench::secondsSince(start);
        }
        state.SetIterationTime(seconds);
        g_bareSeconds.push_back(seconds);
        zqbench::switchScene();
    }
}

BENCHMARK(BM_FieldStream)->Unit(benchmark::kSecond)->UseManualTime()->Iterations(1)->Repetitions(kRepetitions);
BENCHMARK(BM_BareStream)->Unit(benchmark::kSecond)->UseManualTime()->Iterations(1)->Repetitions(kRepetitions);

void printSummary()
{
    const double field = zqbench::median(g_fieldSeconds);
    const double bare = zqbench::median(g_bareSeconds);
    if (!g_stream || field <= 0.0)
        return;
    std::printf("\nstream of %d frames (medians of %zu and %zu repetitions)\n", kFrames, g_fieldSeconds.size(),
                g_bareSeconds.size());
    std::printf("objects made %ld, removed %ld, peak live %zu\n", g_stream->made, g_stream->removed, g_stream->peak);
    std::printf("field: %.0f frames/s, %.0f objects made/s, %.0f removed/s\n", kFrames / field,
                static_cast<double>(g_stream->made) / field, static_cast<double>(g_stream->removed) / field);
    if (bare > 0.0)
        std::printf("bare:  %.0f frames/s, %.0f objects made/s, %.0f removed/s\n", kFrames / bare,
                    static_cast<double>(g_stream->made) / bare, static_cast<double>(g_stream->removed) / bare);
    zqbench::printRatio("field frame", field / kFrames, "bare frame", bare / kFrames);
}

} // namespace

int main(int argc, char** argv)
{
    const int status = zqbench::runFieldBenchmarks(argc, argv, kWidth, kHeight, g_view, printSummary);
    g_stream.reset();
    return status;
}
