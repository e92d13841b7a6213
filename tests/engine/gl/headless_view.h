#pragma once

#include "cocos2d.h"
#include "platform/CCEGLViewSDL.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

// A headless GL view of width x height pixels (SDL's offscreen driver unless the
// environment names another), made the director's view. Null, with the test failed, when
// no headless GL context can be made.
inline std::unique_ptr<cocos2d::CCEGLViewSDL> makeHeadlessView(int width, int height)
{
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    std::unique_ptr<cocos2d::CCEGLViewSDL> view = cocos2d::CCEGLViewSDL::createHeadless(width, height);
    if (!view) {
        ADD_FAILURE() << "no headless GL context (Mesa's EGL and DRI packages missing?)";
        return view;
    }
    cocos2d::CCDirector::sharedDirector()->setOpenGLView(view.get());
    return view;
}
