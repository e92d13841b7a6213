#include "textures/CCTextureCache.h"

#include "platform/CCFileUtils.h"
#include "textures/CCTexture2D.h"

#include <ZqLog.h>

namespace cocos2d {

namespace {

CCTextureCache* s_sharedTextureCache = nullptr;

} // namespace

CCTextureCache* CCTextureCache::sharedTextureCache()
{
    if (!s_sharedTextureCache)
        s_sharedTextureCache = new CCTextureCache();
    return s_sharedTextureCache;
}

void CCTextureCache::purgeSharedTextureCache()
{
    CC_SAFE_RELEASE_NULL(s_sharedTextureCache);
}

CCTextureCache::~CCTextureCache()
{
    removeAllTextures();
}

CCTexture2D* CCTextureCache::addImage(const char* path)
{
    if (!path || !*path) {
        debugLog("[CCTextureCache] addImage: empty path");
        return nullptr;
    }
    CCFileUtils* files = CCFileUtils::sharedFileUtils();
    if (!files->isFileExist(path)) {
        debugLog("[CCTextureCache] addImage: %s", files->missingFileText(path).c_str());
        return nullptr;
    }
    const std::string fullPath = files->fullPathForFilename(path);
    auto found = m_textures.find(fullPath);
    if (found != m_textures.end())
        return found->second;
    CCTexture2D* texture = new CCTexture2D();
    // A file that cannot be used is logged by the texture, once.
    if (!texture->initWithImageFile(fullPath)) {
        texture->release();
        return nullptr;
    }
    m_textures.emplace(fullPath, texture);
    return texture;
}

CCTexture2D* CCTextureCache::textureForKey(const char* path)
{
    if (!path || !*path)
        return nullptr;
    auto found = m_textures.find(CCFileUtils::sharedFileUtils()->fullPathForFilename(path));
    return found == m_textures.end() ? nullptr : found->second;
}

void CCTextureCache::removeTexture(CCTexture2D* texture)
{
    for (auto it = m_textures.begin(); it != m_textures.end(); ++it) {
        if (it->second == texture) {
            m_textures.erase(it);
            texture->release();
            return;
        }
    }
}

void CCTextureCache::removeAllTextures()
{
    // Emptied before the releases, so a destructor reaching the cache finds it consistent.
    std::map<std::string, CCTexture2D*> textures;
    textures.swap(m_textures);
    for (auto& entry : textures)
        entry.second->release();
}

} // namespace cocos2d
