#pragma once

// The headless window of the drawing benchmarks.
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
