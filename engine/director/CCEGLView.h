#pragma once

#include "director/CCEGLViewProtocol.h"

namespace cocos2d {

// The headless view: a frame with no window behind it. Swapping buffers does
// nothing; end() only marks it closed.
class CCEGLView : public CCEGLViewProtocol {
public:
    // The process's view, created on first use and never destroyed.
    static CCEGLView* sharedOpenGLView();

    void end() override { m_bEnded = true; }
    bool isOpenGLReady() override { return !m_bEnded; }
    void swapBuffers() override {}

private:
    bool m_bEnded = false;
};

} // namespace cocos2d
