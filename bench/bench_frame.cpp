// The game field's frame against a bare physics world doing the same work. The field holds
// 250 to 2,000 physics units, boxes of 16 points with a one-frame idle animation, in a grid
// of 50 a row at 21-point spacing, falling under the scene's gravity (0, -9.81) between two
// walls onto a ground platform 1136 points wide, with the scene's friction 0.2: the piles
// stand and no box leaves the field (the ground is 200 points deep, since the piles of
// 2,000 boxes push their lowest row through a thinner one); bodies never sleep. The field's first frame makes the bodies,
// which turn dynamic after its step and before any has moved: the bare b2World
// (bench/bench_world.h) is copied from the field's world there, and from then on steps once
// for each field frame, with the same step and iterations. 60 drawn frames of warm-up, then
// 600 field frames without drawing (camera, step, object updates, sections, queue, and the
// autorelease pool drained) and 600 bare steps are timed one by one, each field frame
// beside its bare step, which of the two goes first alternating. Then both worlds must
// hold the same bodies at the same places (1e-4 m) and as many contacts: a repetition that
// ends otherwise says how they differ, and its case prints no ratio. A repetition's figure
// is the median frame; the summary sets the medians of 5 repetitions side by side, with the
// field's phase split (means over the 600 frames, the bare step's mean beside its step)
// and 60 drawn frames, which come last, once the boxes have come to rest (draw calls of
// one frame; the drawing is the drawn frame less the field's update). The field has no
// overlay, so one atlas should take one draw call.
// A variant gives each box a move component bound to a button never pressed and a
// rotation mapper, which change nothing physical.
//
// The field has no characters: game over never comes, since hasActiveCharacters answers
// true while no character was ever registered. Were that rule to change, the field would
// end after a second and the figures would be those of an empty field.
#include "bench/bench_field.h"
#include "bench/bench_support.h"
#include "bench/bench_world.h"

#include "ZqRandom.h"
#include "model/GameplayParameters.h"
#include "model/objects/ZqModelComponentsBehaviour.h"
#include "model/objects/ZqModelObjectsUnits.h"
#include "model/scene/ZqModelShapes.h"
#include "objects/ZqPhysicsWorld.h"

#include <GL/glew.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

using namespace cocos2d;

namespace {

constexpr int kWidth = 1136;
constexpr int kHeight = 640;
constexpr int kWarmUpFrames = 60;
constexpr int kTimedFrames = 600;
constexpr int kDrawnFrames = 60;
constexpr int kRepetitions = 5;
constexpr int kRowLength = 50;
constexpr float kSpacing = 21.0f;
constexpr float kFriction = 0.2f;

// Model ids of the generated game.
constexpr unsigned kAtlas = 10, kBoxSprite = 11, kGroundSprite = 12, kTurnSprites = 13; // 13 to 16
constexpr unsigned kBoxFrames = 20, kGroundFrames = 21, kTurnFrames = 22;
constexpr unsigned kBoxAnimation = 30, kGroundAnimation = 32, kTurnAnimation = 34; // each with its frame id + 1
constexpr unsigned kBoxShape = 40, kGroundShape = 41;
constexpr unsigned kBoxAsset = 50, kGroundAsset = 51, kMove = 52, kMapper = 53;
constexpr unsigned kNode = 60, kScene = 61, kGround = 70, kFirstBox = 100; // walls 71 and 72

// One repetition: per-frame medians, the mean phase split and the drawn frames.
struct Repetition {
    double fieldSeconds = 0.0;
    double bareSeconds = 0.0;
    ZqPScreenScene::PhaseTimes phases; // per frame
    double bareMeanSeconds = 0.0;      // the bare step's mean, beside the field's step phase
    double drawnSeconds = 0.0;         // a whole drawn frame
    double drawSeconds = 0.0;          // its drawing: the frame less the field's update
    double draws = 0.0;
    std::string difference;            // how the worlds differ at the end; empty when alike
};
std::map<std::pair<int, bool>, std::vector<Repetition>> g_runs;
std::unique_ptr<CCEGLViewSDL> g_view;

// The field's scene: the ground and boxes physics units as its own objects, which the
// field makes at its first update.
std::shared_ptr<ZqModelScreenScene> buildGame(ZqGameBuilder& game, int boxes, bool components)
{
    using P = CCPoint;
    game.atlas(kAtlas, "Atlas", 128, 2);
    game.sprite(kBoxSprite, "Box", kAtlas, 16, 16, {200, 120, 40, 255});
    game.sprite(kGroundSprite, "Ground", kAtlas, 64, 20, {60, 160, 60, 255});
    for (unsigned i = 0; i < 4; ++i)
        game.sprite(kTurnSprites + i, "Turn", kAtlas, 16, 16, {40, static_cast<unsigned char>(60 * i), 200, 255});
    game.container(kBoxFrames, "Box", 1.0f, {kBoxSprite});
    game.container(kGroundFrames, "Ground", 1.0f, {kGroundSprite});
    game.container(kTurnFrames, "Turn", 1.0f, {kTurnSprites, kTurnSprites + 1, kTurnSprites + 2, kTurnSprites + 3});
    game.animation(kBoxAnimation, kBoxAnimation + 1, "Box", kBoxFrames, true);
    game.animation(kGroundAnimation, kGroundAnimation + 1, "Ground", kGroundFrames, true);
    game.animation(kTurnAnimation, kTurnAnimation + 1, "Turn", kTurnFrames, true);

    auto box = game.make<ZqModelAssetObstacle>(kBoxAsset, "Box");
    box->m_collisionShape->setValue(game.boxShape(kBoxShape, "Box", 16, 16), true);
    box->m_idleAnimation->setValue(game.at<ZqModelAnimation>(kBoxAnimation), true);
    if (components) {
        auto move = game.make<ZqModelComponentMove>(kMove, "Move");
        move->m_event->setValue("kButton-Never Pressed-0", true);
        box->addChild(move, true);
        auto mapper = game.make<ZqModelComponentRotationMapper>(kMapper, "Turn");
        mapper->m_animation->setValue(game.at<ZqModelAnimation>(kTurnAnimation), true);
        box->addChild(mapper, true);
    }
    // A 64 x 20-point platform stretched to the view's width and 200 points deep, its top at
    // 20, and walls of it 20 points wide and 1000 high.
    auto ground = game.make<ZqModelAssetObstacle>(kGroundAsset, "Ground");
    ground->m_collisionShape->setValue(game.boxShape(kGroundShape, "Ground", 64, 20), true);
    ground->m_idleAnimation->setValue(game.at<ZqModelAnimation>(kGroundAnimation), true);

    game.worldNode(kNode, kScene, "Field", 0);
    auto scene = game.at<ZqModelScreenScene>(kScene);
    scene->m_gravity->setValue(P(0.0f, -9.81f), true);
    scene->m_friction->setValue(kFriction, true);
    auto platform = game.unit(kGround, "Ground", kGroundAsset, "kPlatformObjectType", P(kWidth / 2.0f, -80.0f));
    platform->m_movementType->setValue("", true);
    platform->m_scale->setValue(P(kWidth / 64.0f, 10.0f), true);
    scene->addChild(platform, true);
    for (int side = 0; side < 2; ++side) {
        const P position(side ? kWidth - 30.0f : 30.0f, 500.0f);
        auto wall = game.unit(kGround + 1 + side, "Wall", kGroundAsset, "kPlatformObjectType", position);
        wall->m_movementType->setValue("", true);
        wall->m_scale->setValue(P(20.0f / 64.0f, 50.0f), true);
        scene->addChild(wall, true);
    }
    const float left = kWidth / 2.0f - kSpacing * (kRowLength - 1) / 2.0f;
    for (int i = 0; i < boxes; ++i) {
        const P position(left + kSpacing * static_cast<float>(i % kRowLength), 40.0f + kSpacing * static_cast<float>(i / kRowLength));
        auto unit = game.unit(kFirstBox + static_cast<unsigned>(i), "Box", kBoxAsset, "kPlatformObjectType", position);
        unit->m_movementType->setValue("kMovementPhysics", true);
        scene->addChild(unit, true);
    }
    return scene;
}

// One field frame as the game runs it without drawing: the field's update and the pool
// drained after it.
void fieldFrame(ZqPScreenScene& field)
{
    field.update(ZqPScreenScene::kFrameStep);
    CCPoolManager::sharedPoolManager()->pop();
}

Repetition runOnce(int boxes, bool components)
{
    zqbench::FieldGame game("frame");
    std::shared_ptr<ZqModelScreenScene> scene = buildGame(game.builder, boxes, components);
    game.load();
    zqSrand(1);
    CCDirector* director = CCDirector::sharedDirector();
    director->setOpenGLView(g_view.get());
    ZqPScreenScene* field = zqbench::runField(scene);
    director->mainLoopWithDelta(ZqPScreenScene::kFrameStep);
    std::unique_ptr<b2World> bare = zqbench::cloneWorld(field->world()->box2d());
    const float step = GameplayParameters::shared()->simulationTimeScale() * ZqPScreenScene::kFrameStep;
    auto bareStep = [&] { bare->Step(step, ZqPScreenScene::kVelocityIterations, ZqPScreenScene::kPositionIterations); };
    for (int frame = 1; frame < kWarmUpFrames; ++frame) {
        director->mainLoopWithDelta(ZqPScreenScene::kFrameStep);
        bareStep();
    }
    glFinish();

    Repetition run;
    std::vector<double> fieldFrames;
    std::vector<double> bareFrames;
    ZqPScreenScene::PhaseTimes phases;
    field->setPhaseTimes(&phases);
    auto timeField = [&] {
        const auto start = std::chrono::steady_clock::now();
        fieldFrame(*field);
        fieldFrames.push_back(zqbench::secondsSince(start));
    };
    auto timeBare = [&] {
        const auto start = std::chrono::steady_clock::now();
        bareStep();
        bareFrames.push_back(zqbench::secondsSince(start));
    };
    for (int frame = 0; frame < kTimedFrames; ++frame) {
        // Whichever runs second finds the caches as the other left them: each goes first
        // every other frame.
        if (frame % 2 == 0) {
            timeField();
            timeBare();
        } else {
            timeBare();
            timeField();
        }
    }
    const double frames = kTimedFrames;
    run.phases = {phases.step / frames, phases.objects / frames, phases.sections / frames, phases.queue / frames,
                  phases.other / frames};
    run.difference = zqbench::worldDifference(field->world()->box2d(), *bare);

    phases = {};
    double draws = 0.0;
    const auto drawnStart = std::chrono::steady_clock::now();
    for (int frame = 0; frame < kDrawnFrames; ++frame) {
        director->mainLoopWithDelta(ZqPScreenScene::kFrameStep);
        glFinish();
        draws += g_uNumberOfDraws;
    }
    run.drawnSeconds = zqbench::secondsSince(drawnStart) / kDrawnFrames;
    const double updateSeconds = phases.step + phases.objects + phases.sections + phases.queue + phases.other;
    run.drawSeconds = run.drawnSeconds - updateSeconds / kDrawnFrames;
    run.draws = draws / kDrawnFrames;
    field->setPhaseTimes(nullptr);

    run.fieldSeconds = zqbench::median(fieldFrames);
    run.bareSeconds = zqbench::median(bareFrames);
    for (double seconds : bareFrames)
        run.bareMeanSeconds += seconds / kTimedFrames;
    zqbench::switchScene();
    return run;
}

void BM_Frame(benchmark::State& state)
{
    const int boxes = static_cast<int>(state.range(0));
    const bool components = state.range(1) != 0;
    for (auto _ : state) {
        const Repetition run = runOnce(boxes, components);
        state.SetIterationTime(run.fieldSeconds * kTimedFrames);
        state.counters["field_ms"] = run.fieldSeconds * 1e3;
        state.counters["bare_ms"] = run.bareSeconds * 1e3;
        state.counters["draws"] = run.draws;
        if (!run.difference.empty())
            state.SkipWithError(("the worlds differ: " + run.difference).c_str());
        g_runs[{boxes, components}].push_back(run);
    }
}

BENCHMARK(BM_Frame)
    ->ArgsProduct({{250, 500, 1000, 2000}, {0, 1}})
    ->ArgNames({"boxes", "components"})
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(kRepetitions);

// The median over the repetitions of one figure.
template <class Figure>
double medianOf(const std::vector<Repetition>& runs, Figure figure)
{
    std::vector<double> values;
    for (const Repetition& run : runs)
        values.push_back(figure(run));
    return zqbench::median(values);
}

std::string caseName(const std::pair<int, bool>& key)
{
    return std::to_string(key.first) + " boxes" + (key.second ? ", components" : "");
}

double fieldMs(const std::vector<Repetition>& runs)
{
    return medianOf(runs, [](const Repetition& run) { return run.fieldSeconds; }) * 1e3;
}
double bareMs(const std::vector<Repetition>& runs)
{
    return medianOf(runs, [](const Repetition& run) { return run.bareSeconds; }) * 1e3;
}

void printSummary()
{
    std::printf("\n%-24s %8s %8s %8s %8s %8s %8s | %8s %8s %6s\n", "mean ms a field frame", "step", "bare",
                "objects", "sections", "queue", "other", "drawn", "drawing", "draws");
    for (const auto& [key, runs] : g_runs) {
        auto ms = [&](double ZqPScreenScene::PhaseTimes::*phase) {
            return medianOf(runs, [phase](const Repetition& run) { return run.phases.*phase; }) * 1e3;
        };
        std::printf("%-24s %8.3f %8.3f %8.3f %8.3f %8.3f %8.3f | %8.3f %8.3f %6.0f\n", caseName(key).c_str(),
                    ms(&ZqPScreenScene::PhaseTimes::step),
                    medianOf(runs, [](const Repetition& run) { return run.bareMeanSeconds; }) * 1e3,
                    ms(&ZqPScreenScene::PhaseTimes::objects),
                    ms(&ZqPScreenScene::PhaseTimes::sections), ms(&ZqPScreenScene::PhaseTimes::queue),
                    ms(&ZqPScreenScene::PhaseTimes::other),
                    medianOf(runs, [](const Repetition& run) { return run.drawnSeconds; }) * 1e3,
                    medianOf(runs, [](const Repetition& run) { return run.drawSeconds; }) * 1e3,
                    medianOf(runs, [](const Repetition& run) { return run.draws; }));
    }
    for (const auto& [key, runs] : g_runs) {
        const auto differing = std::find_if(runs.begin(), runs.end(),
                                            [](const Repetition& run) { return !run.difference.empty(); });
        if (differing != runs.end()) {
            std::printf("frame %s: no ratio, the worlds differ (%s)\n", caseName(key).c_str(),
                        differing->difference.c_str());
            continue;
        }
        std::printf("frame %s: field %.3f ms, bare step %.3f ms, ratio %.2f\n", caseName(key).c_str(),
                    fieldMs(runs), bareMs(runs), fieldMs(runs) / bareMs(runs));
    }
}

} // namespace

int main(int argc, char** argv)
{
    return zqbench::runFieldBenchmarks(argc, argv, kWidth, kHeight, g_view, printSummary);
}
