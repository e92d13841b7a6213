#pragma once

#include "nodes/CCNode.h"

namespace cocos2d {

class CCTexture2D;

// A node whose children are sprites of one texture, so that they are drawn with one
// draw call. Children that are not sprites, or show another texture, are refused
// (logged). The texture is retained.
class CCSpriteBatchNode : public CCNode {
public:
    // Autoreleased; null when the image cannot be loaded or the texture is null.
    static CCSpriteBatchNode* create(const char* file);
    static CCSpriteBatchNode* createWithTexture(CCTexture2D* texture);

    ~CCSpriteBatchNode() override;

    CCTexture2D* getTexture() const { return m_pTexture; }

    void addChild(CCNode* child) override;
    void addChild(CCNode* child, int zOrder) override;
    void addChild(CCNode* child, int zOrder, int tag) override;

private:
    CCSpriteBatchNode() = default;

    CCTexture2D* m_pTexture = nullptr;
};

} // namespace cocos2d
