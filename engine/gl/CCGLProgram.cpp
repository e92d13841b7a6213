#include "gl/CCGLProgram.h"

#include "gl/ccGLMatrix.h"
#include "gl/ccGLStateCache.h"

#include "CCGL.h"

#include <ZqLog.h>

#include <string_view>

namespace cocos2d {

namespace {

constexpr const char* kShaderPrelude =
    "#define lowp\n"
    "#define mediump\n"
    "#define highp\n"
    "uniform mat4 CC_PMatrix;\n"
    "uniform mat4 CC_MVMatrix;\n"
    "uniform mat4 CC_MVPMatrix;\n"
    "uniform sampler2D CC_Texture0;\n";

bool isWordChar(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

// Desktop GLSL 1.10/1.20 has no precision statements: they are cut out of the source
// (the statement up to its ';'), whole words only.
std::string dropPrecisionStatements(std::string_view source)
{
    constexpr std::string_view word = "precision";
    std::string out;
    out.reserve(source.size());
    size_t i = 0;
    while (i < source.size()) {
        const bool atWord = source.compare(i, word.size(), word) == 0 && (i == 0 || !isWordChar(source[i - 1])) &&
                            (i + word.size() >= source.size() || !isWordChar(source[i + word.size()]));
        if (atWord) {
            const size_t end = source.find(';', i);
            if (end == std::string_view::npos)
                break;
            i = end + 1;
            continue;
        }
        out += source[i++];
    }
    return out;
}

// The prelude goes after a leading #version line, which GLSL wants first.
std::string prepareSource(const char* source)
{
    std::string body = dropPrecisionStatements(source);
    size_t start = body.find_first_not_of(" \t\r\n");
    if (start != std::string::npos && body.compare(start, 8, "#version") == 0) {
        size_t lineEnd = body.find('\n', start);
        lineEnd = lineEnd == std::string::npos ? body.size() : lineEnd + 1;
        std::string version = body.substr(0, lineEnd);
        if (version.back() != '\n')
            version += '\n';
        return version + kShaderPrelude + body.substr(lineEnd);
    }
    return kShaderPrelude + body;
}

std::string shaderLog(GLuint shader)
{
    GLint length = 0;
    glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
    std::string log(length > 0 ? static_cast<size_t>(length) : 0, '\0');
    if (length > 0)
        glGetShaderInfoLog(shader, length, nullptr, log.data());
    return log.c_str();
}

std::string programLog(GLuint program)
{
    GLint length = 0;
    glGetProgramiv(program, GL_INFO_LOG_LENGTH, &length);
    std::string log(length > 0 ? static_cast<size_t>(length) : 0, '\0');
    if (length > 0)
        glGetProgramInfoLog(program, length, nullptr, log.data());
    return log.c_str();
}

} // namespace

CCGLProgram::~CCGLProgram()
{
    reset();
}

void CCGLProgram::deleteShaders()
{
    if (m_uVertShader)
        glDeleteShader(m_uVertShader);
    if (m_uFragShader)
        glDeleteShader(m_uFragShader);
    m_uVertShader = 0;
    m_uFragShader = 0;
}

void CCGLProgram::reset()
{
    deleteShaders();
    if (m_uProgram)
        ccGLDeleteProgram(m_uProgram);
    m_uProgram = 0;
    m_uniformP = m_uniformMV = m_uniformMVP = m_uniformSampler = -1;
}

bool CCGLProgram::compileShader(unsigned int* shader, unsigned int type, const char* source)
{
    const std::string text = prepareSource(source);
    const char* texts[] = {text.c_str()};
    *shader = glCreateShader(type);
    glShaderSource(*shader, 1, texts, nullptr);
    glCompileShader(*shader);
    GLint status = GL_FALSE;
    glGetShaderiv(*shader, GL_COMPILE_STATUS, &status);
    if (status == GL_TRUE)
        return true;
    m_lastLog = shaderLog(*shader);
    debugLog("[CCGLProgram] %s shader failed to compile: %s", type == GL_VERTEX_SHADER ? "vertex" : "fragment",
             m_lastLog.c_str());
    return false;
}

bool CCGLProgram::initWithVertexShaderByteArray(const char* vShaderByteArray, const char* fShaderByteArray)
{
    reset();
    m_lastLog.clear();
    if (!vShaderByteArray || !fShaderByteArray) {
        debugLog("[CCGLProgram] missing shader source");
        return false;
    }
    if (!compileShader(&m_uVertShader, GL_VERTEX_SHADER, vShaderByteArray) ||
        !compileShader(&m_uFragShader, GL_FRAGMENT_SHADER, fShaderByteArray)) {
        reset();
        return false;
    }
    m_uProgram = glCreateProgram();
    glAttachShader(m_uProgram, m_uVertShader);
    glAttachShader(m_uProgram, m_uFragShader);
    return true;
}

void CCGLProgram::addAttribute(const char* attributeName, unsigned int index)
{
    if (m_uProgram && attributeName)
        glBindAttribLocation(m_uProgram, index, attributeName);
}

bool CCGLProgram::link()
{
    if (!m_uProgram) {
        debugLog("[CCGLProgram] link without a compiled program");
        return false;
    }
    // Bound whatever the caller added: the engine feeds these indices for every program.
    glBindAttribLocation(m_uProgram, kCCVertexAttrib_Position, kCCAttributeNamePosition);
    glBindAttribLocation(m_uProgram, kCCVertexAttrib_Color, kCCAttributeNameColor);
    glBindAttribLocation(m_uProgram, kCCVertexAttrib_TexCoords, kCCAttributeNameTexCoord);
    glLinkProgram(m_uProgram);
    deleteShaders();
    GLint status = GL_FALSE;
    glGetProgramiv(m_uProgram, GL_LINK_STATUS, &status);
    if (status == GL_TRUE)
        return true;
    m_lastLog = programLog(m_uProgram);
    debugLog("[CCGLProgram] program failed to link: %s", m_lastLog.c_str());
    reset();
    return false;
}

void CCGLProgram::updateUniforms()
{
    if (!m_uProgram)
        return;
    m_uniformP = glGetUniformLocation(m_uProgram, kCCUniformPMatrix_s);
    m_uniformMV = glGetUniformLocation(m_uProgram, kCCUniformMVMatrix_s);
    m_uniformMVP = glGetUniformLocation(m_uProgram, kCCUniformMVPMatrix_s);
    m_uniformSampler = glGetUniformLocation(m_uProgram, kCCUniformSampler_s);
    setUniformLocationWith1i(m_uniformSampler, 0);
}

void CCGLProgram::use()
{
    if (m_uProgram)
        ccGLUseProgram(m_uProgram);
}

void CCGLProgram::setUniformsForBuiltins()
{
    if (!m_uProgram)
        return;
    kmMat4 projection;
    kmMat4 modelView;
    kmMat4 mvp;
    kmGLGetMatrix(KM_GL_PROJECTION, &projection);
    kmGLGetMatrix(KM_GL_MODELVIEW, &modelView);
    kmMat4Multiply(&mvp, &projection, &modelView);
    setUniformLocationWithMatrix4fv(m_uniformP, projection.mat, 1);
    setUniformLocationWithMatrix4fv(m_uniformMV, modelView.mat, 1);
    setUniformLocationWithMatrix4fv(m_uniformMVP, mvp.mat, 1);
}

int CCGLProgram::getUniformLocationForName(const char* name) const
{
    if (!m_uProgram || !name)
        return -1;
    return glGetUniformLocation(m_uProgram, name);
}

void CCGLProgram::setUniformLocationWith1i(int location, int i1)
{
    if (!m_uProgram || location < 0)
        return;
    use();
    glUniform1i(location, i1);
}

void CCGLProgram::setUniformLocationWith1f(int location, float f1)
{
    if (!m_uProgram || location < 0)
        return;
    use();
    glUniform1f(location, f1);
}

void CCGLProgram::setUniformLocationWith2f(int location, float f1, float f2)
{
    if (!m_uProgram || location < 0)
        return;
    use();
    glUniform2f(location, f1, f2);
}

void CCGLProgram::setUniformLocationWith4f(int location, float f1, float f2, float f3, float f4)
{
    if (!m_uProgram || location < 0)
        return;
    use();
    glUniform4f(location, f1, f2, f3, f4);
}

void CCGLProgram::setUniformLocationWithMatrix4fv(int location, const float* matrixArray, unsigned int numberOfMatrices)
{
    if (!m_uProgram || location < 0)
        return;
    use();
    glUniformMatrix4fv(location, static_cast<GLsizei>(numberOfMatrices), GL_FALSE, matrixArray);
}

} // namespace cocos2d
