#pragma once

// GL for the engine's sources: GLEW's declarations and the entry-point check.
// Only .cpp files and private headers include this.
#include <GL/glew.h>

namespace cocos2d {

// Loads the GL entry points for the current context through GLEW. GLEW reports that
// it found no GLX display on EGL contexts (SDL's offscreen driver) although the entry
// points load; that case is accepted when every entry point the engine calls is set.
// Returns false (logged) when one is missing.
bool ccGLLoadEntryPoints();

} // namespace cocos2d
