#pragma once

#include "engine/gl/GLFixture.h"
#include "model/GameplayParameters.h"
#include "model/ZqModelController.h"
#include "screens/ZqPScreenNavigator.h"

// GLFixture on a 480 x 320 view, one point a pixel, with the navigator and the model
// controller reset around each test.
class ScreenGLFixture : public GLFixture {
protected:
    static constexpr int kScreenWidth = 480;
    static constexpr int kScreenHeight = 320;

    cocos2d::CCSize viewSize() const override { return cocos2d::CCSize(kScreenWidth, kScreenHeight); }

    void SetUp() override
    {
        ZqModelController::shared()->reset();
        ZqPScreenNavigator::shared()->reset();
        // Earlier tests may have left a director with its scheduler and dispatchers; the
        // gameplay parameters live for the run (every container built resets a counter).
        cocos2d::CCDirector::sharedDirector()->purgeDirector();
        GameplayParameters::shared();
        GLFixture::SetUp();
    }

    void TearDown() override
    {
        ZqPScreenNavigator::shared()->reset();
        GLFixture::TearDown();
        ZqModelController::shared()->reset();
    }

    // The red channel at (x, y), y up (the tests draw greys).
    int red(int x, int y) { return pixel(x, y).at(0); }
};
