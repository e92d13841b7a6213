#pragma once

// GL state the engine and the game set often, cached so that repeated calls with the
// same value cost nothing. GL names and enums are plain unsigned ints here so that no
// GL header leaks into the interface. All calls need a current GL context, except
// ccGLInvalidateStateCache.

namespace cocos2d {

enum {
    kCCVertexAttribFlag_None = 0,
    kCCVertexAttribFlag_Position = 1 << 0,
    kCCVertexAttribFlag_Color = 1 << 1,
    kCCVertexAttribFlag_TexCoords = 1 << 2,
    kCCVertexAttribFlag_PosColorTex = kCCVertexAttribFlag_Position | kCCVertexAttribFlag_Color | kCCVertexAttribFlag_TexCoords,
};

// Forgets the cached state (after a new context, or GL calls made behind the cache).
void ccGLInvalidateStateCache();
void ccGLUseProgram(unsigned int program);
void ccGLDeleteProgram(unsigned int program);
// Enables blending with these factors (GL enum values).
void ccGLBlendFunc(unsigned int sfactor, unsigned int dfactor);
// Binds the texture on unit 0.
void ccGLBindTexture2D(unsigned int textureId);
void ccGLBindTexture2DN(unsigned int textureUnit, unsigned int textureId);
// Deletes the texture and forgets it where it is bound in the cache.
void ccGLDeleteTexture(unsigned int textureId);
// Enables the vertex attribute arrays 0, 1, 2 whose flags are set and disables the
// others (position 0, colour 1, texture coordinates 2).
void ccGLEnableVertexAttribs(unsigned int flags);

} // namespace cocos2d

// Draw calls made so far in the current frame; the director zeroes it at the start of
// every frame.
extern unsigned int g_uNumberOfDraws;
#define CC_INCREMENT_GL_DRAWS(n) (g_uNumberOfDraws += (n))
