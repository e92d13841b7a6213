#pragma once

// What the game-field benchmarks share: a generated game whose media live in a temporary
// directory for the run, and a field of its scene running as the director's scene.
#include "cocos2d.h"
#include "sprite_nodes/CCSpriteFrameCache.h"

#include "model/ZqModelController.h"
#include "model/scene/ZqModelMedia.h"
#include "model/scene/ZqModelScreen.h"
#include "bench/bench_view.h"
#include "screens/field/ZqPScreenScene.h"
#include "screens/ZqScreenWiring.h"
#include "tools/ZqGameBuilder.h"

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

namespace zqbench {

// A fresh game in the shared model controller, its models made through builder. load()
// registers them, writes their media and puts the atlases' frames into the sprite-frame
// cache, as the player's loading does. The media go with the object.
class FieldGame {
public:
    explicit FieldGame(const std::string& name)
        : m_directory(std::filesystem::temp_directory_path() / ("zq-bench-" + name + "-" + std::to_string(getpid())))
    {
        ZqGameBuilder::startGame(*ZqModelController::shared(), name);
    }
    ~FieldGame()
    {
        cocos2d::CCSpriteFrameCache::purgeSharedSpriteFrameCache();
        ZqModelController::shared()->reset();
        std::filesystem::remove_all(m_directory);
    }
    FieldGame(const FieldGame&) = delete;
    FieldGame& operator=(const FieldGame&) = delete;

    void load()
    {
        builder.addTo(*ZqModelController::shared());
        builder.writeMedia(m_directory.string());
        // Media names resolve under the resource root: the game's directory for the run.
        cocos2d::CCFileUtils* files = cocos2d::CCFileUtils::sharedFileUtils();
        const std::string root = files->getResourceRoot();
        files->setResourceRoot(m_directory.string() + "/");
        for (const std::shared_ptr<ZqModel>& model : builder.models()) {
            if (modelCast<ZqModelAtlas>(model)) {
                const std::string plist = "atlases/atlas_ID" + std::to_string(model->id()) + ".plist";
                cocos2d::CCSpriteFrameCache::sharedSpriteFrameCache()->addSpriteFramesWithFile(plist.c_str());
            }
        }
        files->setResourceRoot(root);
    }

    ZqGameBuilder builder;

private:
    std::filesystem::path m_directory;
};

// A field of scene as the only screen of a new running scene; its world is built by its
// first update. The director must have its view.
inline ZqPScreenScene* runField(const std::shared_ptr<ZqModelScreenScene>& scene)
{
    cocos2d::CCScene* running = switchScene();
    ZqPScreenScene* field = ZqPScreenScene::create(scene);
    running->addChild(field);
    return field;
}

inline double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The main program of a field benchmark: the headless view of width x height kept in view
// while the registered benchmarks run, then summary. 1 without a GL context.
inline int runFieldBenchmarks(int argc, char** argv, int width, int height,
                              std::unique_ptr<cocos2d::CCEGLViewSDL>& view, void (*summary)())
{
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    view = zqBenchView(width, height);
    if (!view)
        return 1;
    zqInstallScreenAnswers();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    summary();
    cocos2d::CCDirector::sharedDirector()->purgeDirector();
    view.reset();
    return 0;
}

} // namespace zqbench
