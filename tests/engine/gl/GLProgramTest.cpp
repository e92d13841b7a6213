#include "engine/gl/GLFixture.h"

#include <GL/glew.h>
#include <ZqLog.h>

#include <string>

using namespace cocos2d;

namespace {

class GLProgramTest : public GLFixture {
protected:
    void SetUp() override
    {
        GLFixture::SetUp();
        zqSetLogSink([this](const char* line) { log += line; });
    }
    void TearDown() override
    {
        zqSetLogSink({});
        GLFixture::TearDown();
    }
    std::string log;
};

// An ES-style shader of the kind the game data carries: precision statement, precision
// words, the prelude's CC_Texture0, only two attributes added before linking.
constexpr const char* kDataVert = "attribute vec4 a_position;\r\n"
                                  "attribute vec2 a_texCoord;\r\n"
                                  "varying mediump vec2 v_texCoord;\r\n"
                                  "void main() { gl_Position = CC_MVPMatrix * a_position; v_texCoord = a_texCoord; }\r\n";
constexpr const char* kDataFrag = "#ifdef GL_ES\nprecision mediump float;\n#endif\n"
                                  "precision highp float;\n"
                                  "varying vec2 v_texCoord;\n"
                                  "uniform lowp vec4 u_shadeColor;\n"
                                  "void main() { gl_FragColor = texture2D(CC_Texture0, v_texCoord) * u_shadeColor; }\n";

TEST_F(GLProgramTest, EsStyleSourceCompilesAndBindsTheStandardAttributes)
{
    CCGLProgram* program = new CCGLProgram();
    ASSERT_TRUE(program->initWithVertexShaderByteArray(kDataVert, kDataFrag)) << program->getLastLog();
    program->addAttribute(kCCAttributeNamePosition, kCCVertexAttrib_Position);
    program->addAttribute(kCCAttributeNameTexCoord, kCCVertexAttrib_TexCoords);
    ASSERT_TRUE(program->link());
    program->updateUniforms();
    EXPECT_EQ(glGetAttribLocation(program->getProgram(), "a_texCoord"), 2);
    EXPECT_EQ(glGetAttribLocation(program->getProgram(), "a_position"), 0);
    EXPECT_GE(program->getUniformLocationForName("u_shadeColor"), 0);
    EXPECT_EQ(program->getUniformLocationForName("u_missing"), -1);
    program->release();
}

TEST_F(GLProgramTest, FailedCompileIsLoggedAndLeavesAnInertProgram)
{
    CCGLProgram* fallback = CCShaderCache::sharedShaderCache()->programForKey(kCCShader_PositionTexture_uColor);
    ASSERT_NE(fallback, nullptr);
    CCGLProgram* program = new CCGLProgram();
    EXPECT_FALSE(program->initWithVertexShaderByteArray(kDataVert, "void main() { gl_FragColor = nope; }"));
    EXPECT_NE(log.find("[CCGLProgram] fragment shader failed to compile"), std::string::npos) << log;
    EXPECT_EQ(program->getProgram(), 0u);
    EXPECT_FALSE(program->link());
    // The caller's default keeps working; calls on the failed one do nothing.
    program->use();
    program->setUniformsForBuiltins();
    program->setUniformLocationWith4f(program->getUniformLocationForName("u_color"), 1, 1, 1, 1);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    program->release();
}

TEST_F(GLProgramTest, BuiltInProgramsAreCachedByKey)
{
    CCShaderCache* cache = CCShaderCache::sharedShaderCache();
    for (const char* key : {kCCShader_PositionTextureColor, kCCShader_PositionTexture_uColor, kCCShader_PositionColor,
                            kCCShader_PositionTexture, kCCShader_PositionTextureA8Color, kCCShader_Position_uColor}) {
        CCGLProgram* program = cache->programForKey(key);
        ASSERT_NE(program, nullptr) << key;
        EXPECT_NE(program->getProgram(), 0u) << key;
    }
    EXPECT_GE(cache->programForKey("ShaderPositionTexture_uColor")->getUniformLocationForName("u_color"), 0);
    EXPECT_EQ(cache->programForKey("NoSuchShader"), nullptr);
    EXPECT_TRUE(log.empty()) << log;
}

} // namespace
