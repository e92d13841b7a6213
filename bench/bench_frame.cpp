// The game field's frame against a bare physics world. The field holds 500 (then 2,000)
// physics units, boxes of 16 points with a one-frame idle animation, in a grid of 50 a row
// at 21-point spacing, falling onto a ground platform of 1136 x 20 points under the
// scene's gravity (0, -9.81); bodies never sleep. After 60 drawn frames of warm-up, the
// field's world is cloned into a bare b2World (bench/bench_world.h); then 600 field frames
// without drawing (camera, step, object updates, sections, queue) and 600 steps of the
// bare world, with the same step and iterations, are timed one by one. A repetition's
// figure is the median frame; the summary sets the medians of 5 repetitions side by side,
// with the field's phase split (means over the 600 frames) and 60 drawn frames, which come
// last, once the boxes have come to rest (draw calls of one frame; the drawing is the
// drawn frame less the field's update). The field has no overlay, so one atlas should
// take one draw call.
// A variant gives each of 500 boxes a move component bound to a button never pressed and a
// rotation mapper, which change nothing physical: its baseline is its own clone.
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

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
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

// Model ids of the generated game.
constexpr unsigned kAtlas = 10, kBoxSprite = 11, kGroundSprite = 12, kTurnSprites = 13; // 13 to 16
constexpr unsigned kBoxFrames = 20, kGroundFrames = 21, kTurnFrames = 22;
constexpr unsigned kBoxAnimation = 30, kGroundAnimation = 32, kTurnAnimation = 34; // each with its frame id + 1
constexpr unsigned kBoxShape = 40, kGroundShape = 41;
constexpr unsigned kBoxAsset = 50, kGroundAsset = 51, kMove = 52, kMapper = 53;
constexpr unsigned kNode = 60, kScene = 61, kGround = 70, kFirstBox = 100;

// One repetition: per-frame medians, the mean phase split and the drawn frames.
struct Repetition {
    double fieldSeconds = 0.0;
    double bareSeconds = 0.0;
    ZqPScreenScene::PhaseTimes phases; // per frame
    double drawnSeconds = 0.0;         // a whole drawn frame
    double drawSeconds = 0.0;          // its drawing: the frame less the field's update
    double draws = 0.0;
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
    // A 64-point platform stretched to the view's width.
    auto ground = game.make<ZqModelAssetObstacle>(kGroundAsset, "Ground");
    ground->m_collisionShape->setValue(game.boxShape(kGroundShape, "Ground", 64, 20), true);
    ground->m_idleAnimation->setValue(game.at<ZqModelAnimation>(kGroundAnimation), true);

    game.worldNode(kNode, kScene, "Field", 0);
    auto scene = game.at<ZqModelScreenScene>(kScene);
    scene->m_gravity->setValue(P(0.0f, -9.81f), true);
    auto platform = game.unit(kGround, "Ground", kGroundAsset, "kPlatformObjectType", P(kWidth / 2.0f, 10.0f));
    platform->m_movementType->setValue("", true);
    platform->m_scale->setValue(P(kWidth / 64.0f, 1.0f), true);
    scene->addChild(platform, true);
    const float left = kWidth / 2.0f - kSpacing * (kRowLength - 1) / 2.0f;
    for (int i = 0; i < boxes; ++i) {
        const P position(left + kSpacing * static_cast<float>(i % kRowLength), 40.0f + kSpacing * static_cast<float>(i / kRowLength));
        auto unit = game.unit(kFirstBox + static_cast<unsigned>(i), "Box", kBoxAsset, "kPlatformObjectType", position);
        unit->m_movementType->setValue("kMovementPhysics", true);
        scene->addChild(unit, true);
    }
    return scene;
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
    for (int frame = 0; frame < kWarmUpFrames; ++frame)
        director->mainLoopWithDelta(ZqPScreenScene::kFrameStep);
    glFinish();
    std::unique_ptr<b2World> bare = zqbench::cloneWorld(field->world()->box2d());
    CCPoolManager* pool = CCPoolManager::sharedPoolManager();

    Repetition run;
    std::vector<double> fieldFrames;
    ZqPScreenScene::PhaseTimes phases;
    field->setPhaseTimes(&phases);
    for (int frame = 0; frame < kTimedFrames; ++frame) {
        const auto start = std::chrono::steady_clock::now();
        field->update(ZqPScreenScene::kFrameStep);
        fieldFrames.push_back(zqbench::secondsSince(start));
        pool->pop();
    }
    const double frames = kTimedFrames;
    run.phases = {phases.step / frames, phases.objects / frames, phases.sections / frames, phases.queue / frames,
                  phases.other / frames};

    const float step = GameplayParameters::shared()->simulationTimeScale() * ZqPScreenScene::kFrameStep;
    std::vector<double> bareFrames;
    for (int frame = 0; frame < kTimedFrames; ++frame) {
        const auto start = std::chrono::steady_clock::now();
        bare->Step(step, ZqPScreenScene::kVelocityIterations, ZqPScreenScene::kPositionIterations);
        bareFrames.push_back(zqbench::secondsSince(start));
    }

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
        g_runs[{boxes, components}].push_back(run);
    }
}

BENCHMARK(BM_Frame)
    ->Args({500, 0})
    ->Args({2000, 0})
    ->Args({500, 1})
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
    std::printf("\n%-22s %8s %8s %8s %8s %8s | %8s %8s %6s\n", "mean ms a field frame", "step", "objects",
                "sections", "queue", "other", "drawn", "drawing", "draws");
    for (const auto& [key, runs] : g_runs) {
        auto ms = [&](double ZqPScreenScene::PhaseTimes::*phase) {
            return medianOf(runs, [phase](const Repetition& run) { return run.phases.*phase; }) * 1e3;
        };
        const std::string name = std::to_string(key.first) + " boxes" + (key.second ? ", components" : "");
        std::printf("%-22s %8.3f %8.3f %8.3f %8.3f %8.3f | %8.3f %8.3f %6.0f\n", name.c_str(),
                    ms(&ZqPScreenScene::PhaseTimes::step), ms(&ZqPScreenScene::PhaseTimes::objects),
                    ms(&ZqPScreenScene::PhaseTimes::sections), ms(&ZqPScreenScene::PhaseTimes::queue),
                    ms(&ZqPScreenScene::PhaseTimes::other),
                    medianOf(runs, [](const Repetition& run) { return run.drawnSeconds; }) * 1e3,
                    medianOf(runs, [](const Repetition& run) { return run.drawSeconds; }) * 1e3,
                    medianOf(runs, [](const Repetition& run) { return run.draws; }));
    }
    const auto plain = g_runs.find({500, false});
    const auto variant = g_runs.find({500, true});
    if (variant != g_runs.end()) {
        std::printf("frame 500 with components: field %.2f ms, bare step %.2f ms, ratio %.2f", fieldMs(variant->second),
                    bareMs(variant->second), fieldMs(variant->second) / bareMs(variant->second));
        if (plain != g_runs.end())
            std::printf(" (without: %.2f)", fieldMs(plain->second) / bareMs(plain->second));
        std::printf("\n");
    }
    for (int boxes : {500, 2000}) {
        const auto found = g_runs.find({boxes, false});
        if (found == g_runs.end())
            continue;
        std::printf("frame %d: field %.2f ms, bare step %.2f ms, ratio %.2f\n", boxes, fieldMs(found->second),
                    bareMs(found->second), fieldMs(found->second) / bareMs(found->second));
    }
}

} // namespace

int main(int argc, char** argv)
{
    return zqbench::runFieldBenchmarks(argc, argv, kWidth, kHeight, g_view, printSummary);
}
