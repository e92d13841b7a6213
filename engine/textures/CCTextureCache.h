#pragma once

#include "base/CCObject.h"

#include <map>
#include <string>

namespace cocos2d {

class CCTexture2D;

// The textures loaded from files, keyed by their resolved full path
// (CCFileUtils::fullPathForFilename), so that two spellings of one file share a texture.
// The cache holds one reference to each texture. Needs a current GL context to load.
class CCTextureCache : public CCObject {
public:
    static CCTextureCache* sharedTextureCache();
    // Drops the shared cache and its references (tests, shutdown).
    static void purgeSharedTextureCache();

    ~CCTextureCache() override;

    // The texture of the image file at path, loaded on first use. Null (logged) when
    // the file is missing or is not a readable image. The cache keeps the texture.
    CCTexture2D* addImage(const char* path);
    // The cached texture of path, or null; never loads.
    CCTexture2D* textureForKey(const char* path);
    // Forgets texture (it lives on while others retain it).
    void removeTexture(CCTexture2D* texture);
    void removeAllTextures();

private:
    CCTextureCache() = default;

    std::map<std::string, CCTexture2D*> m_textures;
};

} // namespace cocos2d
