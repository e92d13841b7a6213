#pragma once

namespace cocos2d {

// The size in pixels of the drawable the current GL context draws to, as the window
// system has it (EGL's surface, GLX's window), not as SDL last asked for it: without a
// window manager a fullscreen switch leaves the window as it was. False when no EGL or
// GLX drawable is current.
bool ccCurrentDrawableSize(int& width, int& height);

} // namespace cocos2d
