#include "gl/ccGLStateCache.h"

#include "CCGL.h"

unsigned int g_uNumberOfDraws = 0;

namespace cocos2d {

namespace {

constexpr int kMaxTextureUnits = 16;
// A value no GL object or enum takes: the cache is unknown.
constexpr unsigned int kUnknown = ~0u;

struct StateCache {
    unsigned int program = kUnknown;
    unsigned int blendSrc = kUnknown;
    unsigned int blendDst = kUnknown;
    unsigned int activeUnit = kUnknown;
    unsigned int textures[kMaxTextureUnits];
    // kUnknown: the enabled arrays are unknown.
    unsigned int attribFlags = kUnknown;

    StateCache()
    {
        for (unsigned int& texture : textures)
            texture = kUnknown;
    }
};

StateCache cache;

} // namespace

void ccGLInvalidateStateCache()
{
    cache = StateCache();
}

void ccGLUseProgram(unsigned int program)
{
    if (program != cache.program) {
        cache.program = program;
        glUseProgram(program);
    }
}

void ccGLDeleteProgram(unsigned int program)
{
    if (program == cache.program)
        cache.program = kUnknown;
    glDeleteProgram(program);
}

void ccGLBlendFunc(unsigned int sfactor, unsigned int dfactor)
{
    if (sfactor == cache.blendSrc && dfactor == cache.blendDst)
        return;
    cache.blendSrc = sfactor;
    cache.blendDst = dfactor;
    // ONE, ZERO is no blending at all: switching it off saves the blend stage.
    if (sfactor == GL_ONE && dfactor == GL_ZERO) {
        glDisable(GL_BLEND);
    } else {
        glEnable(GL_BLEND);
        glBlendFunc(sfactor, dfactor);
    }
}

void ccGLBindTexture2D(unsigned int textureId)
{
    ccGLBindTexture2DN(0, textureId);
}

void ccGLBindTexture2DN(unsigned int textureUnit, unsigned int textureId)
{
    if (textureUnit >= kMaxTextureUnits) {
        glActiveTexture(GL_TEXTURE0 + textureUnit);
        glBindTexture(GL_TEXTURE_2D, textureId);
        cache.activeUnit = textureUnit;
        return;
    }
    if (cache.textures[textureUnit] == textureId)
        return;
    cache.textures[textureUnit] = textureId;
    if (cache.activeUnit != textureUnit) {
        cache.activeUnit = textureUnit;
        glActiveTexture(GL_TEXTURE0 + textureUnit);
    }
    glBindTexture(GL_TEXTURE_2D, textureId);
}

void ccGLDeleteTexture(unsigned int textureId)
{
    for (unsigned int& texture : cache.textures) {
        if (texture == textureId)
            texture = kUnknown;
    }
    glDeleteTextures(1, &textureId);
}

void ccGLEnableVertexAttribs(unsigned int flags)
{
    flags &= kCCVertexAttribFlag_PosColorTex;
    for (unsigned int index = 0; index < 3; ++index) {
        const unsigned int bit = 1u << index;
        const bool wanted = (flags & bit) != 0;
        if (cache.attribFlags != kUnknown && ((cache.attribFlags & bit) != 0) == wanted)
            continue;
        if (wanted)
            glEnableVertexAttribArray(index);
        else
            glDisableVertexAttribArray(index);
    }
    cache.attribFlags = flags;
}

} // namespace cocos2d
