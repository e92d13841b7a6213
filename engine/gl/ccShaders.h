#pragma once

// Sources of the built-in programs, in the ES style CCGLProgram accepts. Attributes:
// a_position, a_color, a_texCoord; CC_MVPMatrix and CC_Texture0 come from the prelude.
namespace cocos2d {

extern const char* const ccPositionTextureColor_vert;
extern const char* const ccPositionTextureColor_frag;
// Texture times the uniform colour "u_color".
extern const char* const ccPositionTexture_uColor_vert;
extern const char* const ccPositionTexture_uColor_frag;
extern const char* const ccPositionColor_vert;
extern const char* const ccPositionColor_frag;
extern const char* const ccPositionTexture_vert;
extern const char* const ccPositionTexture_frag;
// The vertex colour with its alpha times the texture's alpha (alpha-only glyph pages).
extern const char* const ccPositionTextureA8Color_vert;
extern const char* const ccPositionTextureA8Color_frag;
// One uniform colour "u_color"; point size "u_pointSize".
extern const char* const ccPosition_uColor_vert;
extern const char* const ccPosition_uColor_frag;

} // namespace cocos2d
