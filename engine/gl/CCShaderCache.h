#pragma once

#include "base/CCObject.h"

#include <map>
#include <string>

namespace cocos2d {

class CCGLProgram;

// Keys of the built-in programs.
inline constexpr const char* kCCShader_PositionTextureColor = "ShaderPositionTextureColor";
inline constexpr const char* kCCShader_PositionTexture_uColor = "ShaderPositionTexture_uColor";
inline constexpr const char* kCCShader_PositionColor = "ShaderPositionColor";
inline constexpr const char* kCCShader_PositionTexture = "ShaderPositionTexture";
inline constexpr const char* kCCShader_PositionTextureA8Color = "ShaderPositionTextureA8Color";
inline constexpr const char* kCCShader_Position_uColor = "ShaderPosition_uColor";

// Programs by key, each retained by the cache. The shared cache compiles the built-in
// programs when first asked for, so the first call needs a current GL context; the
// view that owns the context purges the cache before the context goes.
class CCShaderCache : public CCObject {
public:
    static CCShaderCache* sharedShaderCache();
    // Releases the shared cache and its programs (their GL objects with them).
    static void purgeSharedShaderCache();

    ~CCShaderCache() override;

    // Compiles and links the built-in programs (failures logged; such a key stays empty).
    void loadDefaultShaders();
    // Null for an unknown key.
    CCGLProgram* programForKey(const char* key) const;
    // Retains program; replaces (and releases) one stored under the same key.
    void addProgram(CCGLProgram* program, const char* key);

private:
    std::map<std::string, CCGLProgram*> m_programs;
};

} // namespace cocos2d
