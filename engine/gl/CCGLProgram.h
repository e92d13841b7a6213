#pragma once

#include "base/CCObject.h"

#include <string>

namespace cocos2d {

// Standard vertex attribute indices: link() binds the standard names to them.
enum {
    kCCVertexAttrib_Position = 0,
    kCCVertexAttrib_Color = 1,
    kCCVertexAttrib_TexCoords = 2,
    kCCVertexAttrib_MAX = 3,
};

inline constexpr const char* kCCAttributeNamePosition = "a_position";
inline constexpr const char* kCCAttributeNameColor = "a_color";
inline constexpr const char* kCCAttributeNameTexCoord = "a_texCoord";

// Uniforms every program gets declared for it (see initWithVertexShaderByteArray).
inline constexpr const char* kCCUniformPMatrix_s = "CC_PMatrix";
inline constexpr const char* kCCUniformMVMatrix_s = "CC_MVMatrix";
inline constexpr const char* kCCUniformMVPMatrix_s = "CC_MVPMatrix";
inline constexpr const char* kCCUniformSampler_s = "CC_Texture0";

// A GLSL program made of one vertex and one fragment shader. Needs a current GL context
// from init to destruction.
//
// Sources are written in the ES style and compile on desktop GL: the precision words
// lowp, mediump and highp are defined away, `precision ...;` statements are dropped, and
// the uniforms CC_PMatrix, CC_MVMatrix, CC_MVPMatrix (mat4) and CC_Texture0 (sampler2D)
// are declared ahead of both sources (a #version line stays first).
//
// Use: init, addAttribute (optional), link, updateUniforms, then per draw use and
// setUniformsForBuiltins. A program that failed to compile or link has GL name 0 and
// every later call on it does nothing, so a caller can keep its default program.
class CCGLProgram : public CCObject {
public:
    CCGLProgram() = default;
    ~CCGLProgram() override;

    // Compiles both sources (null-terminated). On failure logs the compiler's message
    // ("[CCGLProgram] ...") and returns false.
    bool initWithVertexShaderByteArray(const char* vShaderByteArray, const char* fShaderByteArray);
    // Binds an attribute name to an index for the coming link.
    void addAttribute(const char* attributeName, unsigned int index);
    // Binds "a_position" 0, "a_color" 1, "a_texCoord" 2 (then the added attributes),
    // links and drops the shader objects. False (logged) on failure or without a
    // compiled program.
    bool link();
    // Looks up the built-in uniforms and points CC_Texture0 at texture unit 0.
    void updateUniforms();
    void use();
    // Sets CC_PMatrix, CC_MVMatrix and CC_MVPMatrix from the kmGL stacks' tops.
    void setUniformsForBuiltins();

    // -1 for an unknown name or an unlinked program.
    int getUniformLocationForName(const char* name) const;
    // These set a uniform of this program (which they make current); location -1 is ignored.
    void setUniformLocationWith1i(int location, int i1);
    void setUniformLocationWith1f(int location, float f1);
    void setUniformLocationWith2f(int location, float f1, float f2);
    void setUniformLocationWith4f(int location, float f1, float f2, float f3, float f4);
    // matrixArray holds numberOfMatrices column-major 4x4 matrices.
    void setUniformLocationWithMatrix4fv(int location, const float* matrixArray, unsigned int numberOfMatrices);

    // The GL program name (0 when none).
    unsigned int getProgram() const { return m_uProgram; }
    // The last compile or link message ("" when none).
    const std::string& getLastLog() const { return m_lastLog; }

private:
    bool compileShader(unsigned int* shader, unsigned int type, const char* source);
    void deleteShaders();
    void reset();

    unsigned int m_uProgram = 0;
    unsigned int m_uVertShader = 0;
    unsigned int m_uFragShader = 0;
    int m_uniformP = -1;
    int m_uniformMV = -1;
    int m_uniformMVP = -1;
    int m_uniformSampler = -1;
    std::string m_lastLog;
};

} // namespace cocos2d
