#include "gl/CCShaderCache.h"

#include "gl/CCGLProgram.h"
#include "gl/ccShaders.h"

namespace cocos2d {

namespace {

CCShaderCache* sharedInstance = nullptr;

struct BuiltInProgram {
    const char* key;
    const char* const* vert;
    const char* const* frag;
};

constexpr BuiltInProgram kBuiltInPrograms[] = {
    {kCCShader_PositionTextureColor, &ccPositionTextureColor_vert, &ccPositionTextureColor_frag},
    {kCCShader_PositionTexture_uColor, &ccPositionTexture_uColor_vert, &ccPositionTexture_uColor_frag},
    {kCCShader_PositionColor, &ccPositionColor_vert, &ccPositionColor_frag},
    {kCCShader_PositionTexture, &ccPositionTexture_vert, &ccPositionTexture_frag},
    {kCCShader_PositionTextureA8Color, &ccPositionTextureA8Color_vert, &ccPositionTextureA8Color_frag},
    {kCCShader_Position_uColor, &ccPosition_uColor_vert, &ccPosition_uColor_frag},
};

} // namespace

CCShaderCache* CCShaderCache::sharedShaderCache()
{
    if (!sharedInstance) {
        sharedInstance = new CCShaderCache();
        sharedInstance->loadDefaultShaders();
    }
    return sharedInstance;
}

void CCShaderCache::purgeSharedShaderCache()
{
    CC_SAFE_RELEASE_NULL(sharedInstance);
}

CCShaderCache::~CCShaderCache()
{
    for (auto& entry : m_programs)
        entry.second->release();
}

void CCShaderCache::loadDefaultShaders()
{
    for (const BuiltInProgram& builtIn : kBuiltInPrograms) {
        CCGLProgram* program = new CCGLProgram();
        if (program->initWithVertexShaderByteArray(*builtIn.vert, *builtIn.frag) && program->link()) {
            program->updateUniforms();
            addProgram(program, builtIn.key);
        }
        program->release();
    }
}

CCGLProgram* CCShaderCache::programForKey(const char* key) const
{
    if (!key)
        return nullptr;
    auto found = m_programs.find(key);
    return found == m_programs.end() ? nullptr : found->second;
}

void CCShaderCache::addProgram(CCGLProgram* program, const char* key)
{
    if (!program || !key)
        return;
    program->retain();
    CCGLProgram*& slot = m_programs[key];
    CC_SAFE_RELEASE(slot);
    slot = program;
}

} // namespace cocos2d
