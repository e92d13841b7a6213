#include "gl/ccShaders.h"

namespace cocos2d {

namespace {

// Position, texture coordinates and vertex colour through: both coloured-texture programs.
constexpr char kTextureColorVert[] = R"(
attribute vec4 a_position;
attribute vec2 a_texCoord;
attribute vec4 a_color;
varying lowp vec4 v_fragmentColor;
varying mediump vec2 v_texCoord;
void main()
{
    gl_Position = CC_MVPMatrix * a_position;
    v_fragmentColor = a_color;
    v_texCoord = a_texCoord;
}
)";

// Position and texture coordinates through: the plain and the uniform-colour texture programs.
constexpr char kTextureVert[] = R"(
attribute vec4 a_position;
attribute vec2 a_texCoord;
varying mediump vec2 v_texCoord;
void main()
{
    gl_Position = CC_MVPMatrix * a_position;
    v_texCoord = a_texCoord;
}
)";

} // namespace

const char* const ccPositionTextureColor_vert = kTextureColorVert;

const char* const ccPositionTextureColor_frag = R"(
precision lowp float;
varying vec4 v_fragmentColor;
varying vec2 v_texCoord;
void main()
{
    gl_FragColor = v_fragmentColor * texture2D(CC_Texture0, v_texCoord);
}
)";

const char* const ccPositionTexture_uColor_vert = kTextureVert;

const char* const ccPositionTexture_uColor_frag = R"(
precision lowp float;
uniform vec4 u_color;
varying vec2 v_texCoord;
void main()
{
    gl_FragColor = texture2D(CC_Texture0, v_texCoord) * u_color;
}
)";

const char* const ccPositionColor_vert = R"(
attribute vec4 a_position;
attribute vec4 a_color;
varying lowp vec4 v_fragmentColor;
void main()
{
    gl_Position = CC_MVPMatrix * a_position;
    v_fragmentColor = a_color;
}
)";

const char* const ccPositionColor_frag = R"(
precision lowp float;
varying vec4 v_fragmentColor;
void main()
{
    gl_FragColor = v_fragmentColor;
}
)";

const char* const ccPositionTexture_vert = kTextureVert;

const char* const ccPositionTexture_frag = R"(
precision lowp float;
varying vec2 v_texCoord;
void main()
{
    gl_FragColor = texture2D(CC_Texture0, v_texCoord);
}
)";

const char* const ccPositionTextureA8Color_vert = kTextureColorVert;

const char* const ccPositionTextureA8Color_frag = R"(
precision lowp float;
varying vec4 v_fragmentColor;
varying vec2 v_texCoord;
void main()
{
    gl_FragColor = vec4(v_fragmentColor.rgb, v_fragmentColor.a * texture2D(CC_Texture0, v_texCoord).a);
}
)";

const char* const ccPosition_uColor_vert = R"(
attribute vec4 a_position;
uniform float u_pointSize;
void main()
{
    gl_Position = CC_MVPMatrix * a_position;
    gl_PointSize = u_pointSize;
}
)";

const char* const ccPosition_uColor_frag = R"(
precision lowp float;
uniform vec4 u_color;
void main()
{
    gl_FragColor = u_color;
}
)";

} // namespace cocos2d
