#pragma once

#include "nodes/CCNode.h"

namespace cocos2d {

class CCSprite;
class CCTexture2D;

// A node that draws into its own texture (a framebuffer object) and shows it through
// its sprite. Needs a current GL context from create to destruction.
//
// Between begin and end, drawing lands in the texture: one design point on one texel
// from the texture's bottom-left, with the current model-view kept (so translations made
// before begin place what is drawn), and the previous framebuffer, viewport and
// projection restored by end. A begin/end pair may run inside another node's visit.
//
// visit draws the sprite (anchor (0.5, 0.5), centred on this node's position) with this
// node's transform; the texture shows upright while the node's scale is positive.
class CCRenderTexture : public CCNode {
public:
    // width x height texels (points), at least 1 each; null (logged) on failure.
    // Autoreleased.
    static CCRenderTexture* create(int width, int height);

    ~CCRenderTexture() override;
    bool initWithWidthAndHeight(int width, int height);

    void begin();
    // begin, then clears the texture to (r, g, b, a), each 0..1.
    void beginWithClear(float r, float g, float b, float a);
    void end();

    // Owned by the render texture; never null after a successful init.
    CCSprite* getSprite() const { return m_pSprite; }
    void visit() override;

private:
    unsigned int m_uFBO = 0;
    CCTexture2D* m_pTexture = nullptr;
    CCSprite* m_pSprite = nullptr;
    // What begin replaced, for end.
    int m_nOldFBO = 0;
    int m_oldViewport[4] = {0, 0, 0, 0};
    bool m_bBegun = false;
};

} // namespace cocos2d
