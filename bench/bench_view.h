#pragma once

// The headless window of the drawing benchmarks.
#include "cocos2d.h"
#include "platform/CCEGLViewSDL.h"

#include <cstdio>
#include <cstdlib>
#include <memory>

// A view of width x height pixels on SDL's offscreen driver, one design point a pixel;
// null, reported on standard error, without a GL context.
inline std::unique_ptr<cocos2d::CCEGLViewSDL> zqBenchView(int width, int height)
{
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    std::unique_ptr<cocos2d::CCEGLViewSDL> view = cocos2d::CCEGLViewSDL::createHeadless(width, height);
    if (!view) {
        std::fprintf(stderr, "no headless GL context\n");
        return nullptr;
    }
    view->setDesignResolutionSize(width, height, cocos2d::kResolutionShowAll);
    return view;
}

namespace zqbench {

// Makes scene (a fresh empty one when null) the running scene and draws one frame: the
// earlier scene is cleaned up at that frame. Benchmarks change scenes this way between
// cases: purging the director ends its view, which then draws nothing for the cases after.
inline cocos2d::CCScene* switchScene(cocos2d::CCScene* scene = nullptr)
{
    cocos2d::CCDirector* director = cocos2d::CCDirector::sharedDirector();
    if (!scene)
        scene = cocos2d::CCScene::create();
    if (director->getRunningScene())
        director->replaceScene(scene);
    else
        director->runWithScene(scene);
    director->mainLoopWithDelta(1.0f / 60.0f);
    return scene;
}

} // namespace zqbench
