// The effects in one game field, headless: a light with shadows over 80 casters, 10
// particle systems of 500 particles, 20 trails and a mirror, each alone and all together.
// The baseline, in the same run, is the same field without effects. Each configuration
// runs 5 repetitions of 30 frames; the table gives the median frame time, its ratio to the
// baseline's median and the draw calls each adds. The sprite batch is on and the
// slow-device flag off (a slow device draws the light without shadows).
#include "cocos2d.h"
#include "bench/bench_view.h"
#include "platform/CCFileUtils.h"

#include "ZqRandom.h"
#include "app/ZqPSettingsController.h"
#include "bench/bench_support.h"
#include "model/ZqModelController.h"
#include "model/objects/ZqModelObjectsEffects.h"
#include "model/scene/ZqModelMedia.h"
#include "model/scene/ZqModelScreen.h"
#include "objects/ZqDrawingFunctions.h"
#include "objects/assets/ZqPObjectAsset.h"
#include "objects/ZqPhysicsWorld.h"
#include "screens/field/ZqPScreenScene.h"
#include "tools/ZqMediaWriter.h"

#include <GL/glew.h>
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

using namespace cocos2d;

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr int kFrames = 30;
constexpr int kRepetitions = 5;

enum Effects { kNone, kLight, kParticles, kTrails, kMirror, kAll, kEffectsCount };
const char* const kEffectNames[] = {"no effects", "light, 80 casters", "10 x 500 particles", "20 trails", "mirror",
                                    "all together"};
static_assert(std::size(kEffectNames) == kEffectsCount);

struct Samples {
    std::vector<double> frameSeconds;
    double draws = 0.0;
};
std::map<int, Samples> g_samples;
std::unique_ptr<CCEGLViewSDL> g_view;
std::filesystem::path g_media;

// A placed box whose fixtures cast shadows.
class Caster : public ZqPObjectAsset {
public:
    using ZqPObjectAsset::ZqPObjectAsset;
    bool castsShadow() const override { return true; }
};

// The field's common content: 100 sprites under its camera.
void addScenery(ZqPScreenScene* field)
{
    for (int i = 0; i < 100; ++i) {
        CCSprite* sprite = makeSolidColorSprite(CCSize(24, 24), static_cast<GLubyte>(i * 2), 120, 200, 255);
        sprite->setPosition(static_cast<float>(i * 61 % kWidth), static_cast<float>(i * 37 % kHeight));
        field->camera()->addChild(sprite);
    }
}

void place(ZqPScreenScene* field, const std::shared_ptr<ZqModelObjectAsset>& model, const CCPoint& position)
{
    ZqPObject* object = ZqPObjectAsset::createAssetObject(model);
    object->setPosition(position);
    field->adoptObject(object, nullptr);
}

void addLight(ZqPScreenScene* field)
{
    auto asset = ZqModelController::shared()->createModel<ZqModelAsset>();
    asset->updateCollisionShape(CCSize(20, 20), CCPoint());
    for (int i = 0; i < 80; ++i) {
        auto placed = ZqModelController::shared()->createModel<ZqModelObjectAsset>();
        placed->setAsset(asset);
        const CCPoint position(100.0f + static_cast<float>(i % 10) * 45.0f, 60.0f + static_cast<float>(i / 10) * 45.0f);
        placed->setPosition(position);
        auto* caster = new Caster(placed);
        caster->autorelease();
        caster->setPosition(position);
        field->camera()->addChild(caster);
        caster->setReferenceNode(field->camera());
        caster->createBody(field->world(), false);
    }
    auto light = ZqModelController::shared()->createModel<ZqModelObjectLight>();
    light->m_radius->setValue(15.0f);
    light->m_castShadow->setValue(true);
    // Between the casters, none of which holds it.
    place(field, light, CCPoint(302, 262));
}

void addParticles(ZqPScreenScene* field)
{
    auto container = ZqModelController::shared()->createModel<ZqModelSpriteContainer>();
    auto sprite = ZqModelController::shared()->createModel<ZqModelSprite>();
    container->addChild(sprite);
    zqmedia::writePng((g_media / "data/effects" / ("ZqModelSprite_ID" + std::to_string(sprite->id()) + ".png")).string(),
                      8, 8, [](int, int) { return zqmedia::Rgba{255, 255, 255, 255}; });
    for (int i = 0; i < 10; ++i) {
        auto particles = ZqModelController::shared()->createModel<ZqModelObjectParticles>();
        auto emitter = ZqModelController::shared()->createModel<ZqModelObjectParticlesEmitter>();
        emitter->m_texture->setValue(container);
        emitter->m_totalParticles->setValue(500.0f);
        emitter->m_emissionRate->setValue(500.0f);
        emitter->m_life->setValue(2.0f);
        emitter->m_speed->setValue(60.0f);
        emitter->m_startSize->setValue(6.0f);
        emitter->m_color->setColorAt(0.0f, ccc4f(1, 1, 1, 1));
        particles->addEmitter(*emitter);
        place(field, particles, CCPoint(60.0f + static_cast<float>(i) * 55.0f, 240.0f));
    }
}

void addTrails(ZqPScreenScene* field, std::vector<ZqPObject*>& movers)
{
    for (int i = 0; i < 20; ++i) {
        auto trail = ZqModelController::shared()->createModel<ZqModelObjectTrail>();
        trail->m_length->setValue(200.0f);
        trail->m_startWidth->setValue(6.0f);
        trail->m_endWidth->setValue(1.0f);
        trail->m_waveHeight->setValue(20.0f);
        trail->m_waveLength->setValue(10.0f);
        ZqPObject* object = ZqPObjectAsset::createAssetObject(trail);
        object->setPosition(20.0f, 20.0f + static_cast<float>(i) * 22.0f);
        field->adoptObject(object, nullptr);
        movers.push_back(object);
    }
}

void addMirror(ZqPScreenScene* field)
{
    auto mirror = ZqModelController::shared()->createModel<ZqModelObjectMirror>();
    mirror->setScale(CCPoint(6.4f, 1.2f));
    mirror->m_color->setValue(ccc4f(160, 200, 255, 255));
    place(field, mirror, CCPoint(320, 60));
}

void BM_Effects(benchmark::State& state)
{
    const int effects = static_cast<int>(state.range(0));
    ZqModelController::shared()->reset();
    ZqPSettingsController::shared()->setSlowDevice(false);
    zqSrand(1);
    CCDirector* director = CCDirector::sharedDirector();
    director->setOpenGLView(g_view.get());
    CCScene* scene = zqbench::switchScene();
    ZqPScreenScene* field = ZqPScreenScene::create(ZqModelController::shared()->createModel<ZqModelScreenScene>());
    scene->addChild(field);
    field->update(ZqPScreenScene::kFrameStep);
    addScenery(field);
    std::vector<ZqPObject*> movers;
    if (effects == kLight || effects == kAll)
        addLight(field);
    if (effects == kParticles || effects == kAll)
        addParticles(field);
    if (effects == kTrails || effects == kAll)
        addTrails(field, movers);
    if (effects == kMirror || effects == kAll)
        addMirror(field);
    director->mainLoopWithDelta(ZqPScreenScene::kFrameStep);

    double draws = 0.0;
    long frames = 0;
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        for (ZqPObject* mover : movers)
            mover->setPosition(static_cast<float>((static_cast<int>(mover->getPositionX()) + 7) % kWidth),
                               mover->getPositionY());
        // The field steps itself in the frame.
        director->mainLoopWithDelta(ZqPScreenScene::kFrameStep);
        glFinish();
        draws += g_uNumberOfDraws;
        ++frames;
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    Samples& samples = g_samples[effects];
    samples.frameSeconds.push_back(seconds / static_cast<double>(frames));
    samples.draws = draws / static_cast<double>(frames);
    state.counters["draws_per_frame"] = samples.draws;
    // The field goes with its scene, before its models.
    zqbench::switchScene();
    ZqModelController::shared()->reset();
}

BENCHMARK(BM_Effects)
    ->DenseRange(kNone, kAll)
    ->ArgName("effects")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(kFrames)
    ->Repetitions(kRepetitions);

} // namespace

int main(int argc, char** argv)
{
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    g_media = std::filesystem::temp_directory_path() / ("zq-bench-effects-" + std::to_string(getpid()));
    std::filesystem::create_directories(g_media / "data/effects");
    if (!zqmedia::writeEffectMedia((g_media / "data").string())) {
        std::fprintf(stderr, "cannot write the effects' media\n");
        return 1;
    }
    CCFileUtils::sharedFileUtils()->setResourceRoot(g_media.string() + "/");
    g_view = zqBenchView(kWidth, kHeight);
    if (!g_view)
        return 1;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    const auto baseline = g_samples.find(kNone);
    if (baseline != g_samples.end()) {
        const double baseSeconds = zqbench::median(baseline->second.frameSeconds);
        std::printf("\n%-20s %10s %14s\n", "field with", "draws", "draws added");
        for (int effects = kNone; effects < kEffectsCount; ++effects) {
            const auto found = g_samples.find(effects);
            if (found == g_samples.end())
                continue;
            std::printf("%-20s %10.0f %14.0f\n", kEffectNames[effects], found->second.draws,
                        found->second.draws - baseline->second.draws);
        }
        for (int effects = kLight; effects < kEffectsCount; ++effects) {
            const auto found = g_samples.find(effects);
            if (found != g_samples.end())
                zqbench::printRatio(std::string("frame with ") + kEffectNames[effects],
                                    zqbench::median(found->second.frameSeconds), "no effects", baseSeconds);
        }
    }
    CCDirector::sharedDirector()->purgeDirector();
    g_view.reset();
    std::filesystem::remove_all(g_media);
    return 0;
}
