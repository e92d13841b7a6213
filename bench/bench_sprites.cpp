// 10,000 sprites drawn headless per frame: from one atlas, from four atlases
// interleaved (every sprite changes texture), and from four atlases in four batch
// nodes. Each scene runs batched and with batching off (the baseline: one draw call a
// sprite); draw calls per frame and frame times are printed side by side with the ratio.
#include "cocos2d.h"
#include "bench/bench_view.h"
#include "sprite_nodes/CCQuadRenderer.h"
#include "sprite_nodes/CCSprite.h"
#include "sprite_nodes/CCSpriteBatchNode.h"
#include "sprite_nodes/CCSpriteFrame.h"
#include "textures/CCTexture2D.h"

#include <GL/glew.h>
#include <benchmark/benchmark.h>

#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

using namespace cocos2d;

namespace {

constexpr int kSprites = 10000;
constexpr int kWidth = 640;
constexpr int kHeight = 480;

enum Layout { kOneAtlas, kFourInterleaved, kFourBatchNodes };
const char* const kLayoutNames[] = {"one atlas", "four atlases interleaved", "four atlases, four batch nodes"};

struct Result {
    double frameMs = 0.0;
    double draws = 0.0;
};
std::map<std::pair<int, bool>, Result> g_results;

std::unique_ptr<CCEGLViewSDL> g_view;

CCTexture2D* makeAtlas(int seed)
{
    std::vector<unsigned char> pixels(64 * 64 * 4);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = static_cast<unsigned char>((i * 7 + static_cast<size_t>(seed) * 50) & 0xff);
    CCTexture2D* texture = new CCTexture2D();
    texture->initWithData(pixels.data(), kCCTexture2DPixelFormat_RGBA8888, 64, 64, CCSize(64, 64));
    texture->autorelease();
    return texture;
}

CCScene* buildScene(Layout layout)
{
    CCScene* scene = CCScene::create();
    CCTexture2D* atlases[4] = {makeAtlas(0), makeAtlas(1), makeAtlas(2), makeAtlas(3)};
    CCNode* parents[4] = {scene, scene, scene, scene};
    if (layout == kFourBatchNodes) {
        for (int a = 0; a < 4; ++a) {
            parents[a] = CCSpriteBatchNode::createWithTexture(atlases[a]);
            scene->addChild(parents[a]);
        }
    }
    for (int i = 0; i < kSprites; ++i) {
        const int atlas = layout == kOneAtlas ? 0 : i % 4;
        const CCRect rect(static_cast<float>(i % 4 * 16), static_cast<float>(i / 4 % 4 * 16), 16, 16);
        CCSprite* sprite = CCSprite::createWithSpriteFrame(CCSpriteFrame::createWithTexture(atlases[atlas], rect));
        sprite->setPosition(CCPoint(static_cast<float>(i * 37 % kWidth), static_cast<float>(i * 53 % kHeight)));
        sprite->setRotation(static_cast<float>(i % 360));
        parents[atlas]->addChild(sprite);
    }
    return scene;
}

void BM_Sprites(benchmark::State& state)
{
    const Layout layout = static_cast<Layout>(state.range(0));
    const bool batched = state.range(1) != 0;
    CCDirector* director = CCDirector::sharedDirector();
    director->setOpenGLView(g_view.get());
    zqbench::switchScene(buildScene(layout));
    CCQuadRenderer::sharedRenderer()->setBatchingEnabled(batched);
    director->mainLoopWithDelta(1.0f / 60.0f);

    double draws = 0.0;
    long frames = 0;
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        director->mainLoopWithDelta(1.0f / 60.0f);
        glFinish();
        draws += g_uNumberOfDraws;
        ++frames;
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    state.counters["draws_per_frame"] = draws / static_cast<double>(frames);
    g_results[{layout, batched}] = Result{seconds * 1000.0 / static_cast<double>(frames), draws / frames};

    CCQuadRenderer::sharedRenderer()->setBatchingEnabled(true);
}

BENCHMARK(BM_Sprites)
    ->ArgsProduct({{kOneAtlas, kFourInterleaved, kFourBatchNodes}, {1, 0}})
    ->ArgNames({"layout", "batched"})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(30);

} // namespace

int main(int argc, char** argv)
{
    g_view = zqBenchView(kWidth, kHeight);
    if (!g_view)
        return 1;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    std::printf("\n%-32s %14s %14s %14s %14s %8s\n", "scene (10,000 sprites)", "batched draws", "batched ms",
                "unbatched draws", "unbatched ms", "ratio");
    for (int layout = kOneAtlas; layout <= kFourBatchNodes; ++layout) {
        const auto batched = g_results.find({layout, true});
        const auto baseline = g_results.find({layout, false});
        if (batched == g_results.end() || baseline == g_results.end())
            continue;
        std::printf("%-32s %14.0f %14.2f %14.0f %14.2f %7.2fx\n", kLayoutNames[layout], batched->second.draws,
                    batched->second.frameMs, baseline->second.draws, baseline->second.frameMs,
                    baseline->second.frameMs / batched->second.frameMs);
    }
    CCDirector::sharedDirector()->purgeDirector();
    g_view.reset();
    return 0;
}
