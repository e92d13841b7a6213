#pragma once

#include "cocos2d.h"

#include <memory>
#include <string>

class ZqModelSpriteContainer;

// What the light, trail and flag share to draw their triangles through the engine's one
// effect call with the program "ShaderPositionTexture_uColor".
class ZqEffectDrawing {
public:
    // The texture of container's first sprite, else the image fallback (a path under the
    // data directory such as "/fx/trailMap.png") through the texture cache; null when
    // neither loads. Not retained.
    static cocos2d::CCTexture2D* texture(const std::shared_ptr<ZqModelSpriteContainer>& container,
                                         const std::string& fallback);

    ZqEffectDrawing();
    // Sets "u_color" to colour and draws count vertices as mode; nothing without a
    // program or texture.
    void draw(cocos2d::CCTexture2D* texture, cocos2d::ccTriangleMode mode, const cocos2d::ccVertex2F* positions,
              const cocos2d::ccTex2F* texCoords, unsigned int count, const cocos2d::ccColor4F& colour) const;

private:
    // The shader cache's; not owned.
    cocos2d::CCGLProgram* m_program = nullptr;
    int m_colorLocation = -1;
};
