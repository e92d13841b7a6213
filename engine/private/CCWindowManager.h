#pragma once

struct SDL_Window;

namespace cocos2d {

// Whether the window system makes the window fullscreen when SDL asks: true on an X
// display whose running window manager names the fullscreen state among those it
// supports, and on every other window system; false on X without a window manager (or
// with one that has no fullscreen state), where the request goes unanswered and the
// window keeps its size.
bool ccWindowSystemGrantsFullscreen(SDL_Window* window);

} // namespace cocos2d
