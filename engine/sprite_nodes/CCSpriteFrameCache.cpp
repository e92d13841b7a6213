#include "sprite_nodes/CCSpriteFrameCache.h"

#include "base/CCDictionary.h"
#include "ccFontAtlasFile.h"
#include "platform/CCFileUtils.h"
#include "sprite_nodes/CCSpriteFrame.h"
#include "textures/CCTextureCache.h"

#include <ZqLog.h>

#include <pugixml.hpp>

#include <cstring>

namespace cocos2d {

namespace {

CCSpriteFrameCache* s_sharedSpriteFrameCache = nullptr;

// The value element after <key>name</key> in a plist <dict>, or an empty node.
pugi::xml_node dictValue(pugi::xml_node dict, const char* name)
{
    for (pugi::xml_node key = dict.child("key"); key; key = key.next_sibling("key")) {
        if (std::strcmp(key.text().get(), name) == 0)
            return key.next_sibling();
    }
    return pugi::xml_node();
}

const char* dictString(pugi::xml_node dict, const char* name)
{
    return dictValue(dict, name).text().get();
}

struct FormatKeys {
    const char* rect;
    const char* offset;
    const char* rotated;
    const char* sourceSize;
};

constexpr FormatKeys kFormat2Keys{"frame", "offset", "rotated", "sourceSize"};
constexpr FormatKeys kFormat3Keys{"textureRect", "spriteOffset", "textureRotated", "spriteSourceSize"};

} // namespace

bool ccParseSpriteFrameAtlas(const char* data, size_t size, CCSpriteFrameAtlas& atlas)
{
    atlas = CCSpriteFrameAtlas();
    pugi::xml_document document;
    const pugi::xml_parse_result parsed = document.load_buffer(data, size);
    if (!parsed) {
        debugLog("[CCSpriteFrameCache] not XML: %s at %d", parsed.description(), static_cast<int>(parsed.offset));
        return false;
    }
    const pugi::xml_node root = document.child("plist").child("dict");
    const pugi::xml_node frames = dictValue(root, "frames");
    if (std::strcmp(frames.name(), "dict") != 0) {
        debugLog("[CCSpriteFrameCache] no \"frames\" dictionary");
        return false;
    }
    const pugi::xml_node metadata = dictValue(root, "metadata");
    const pugi::xml_node formatNode = dictValue(metadata, "format");
    const int format = formatNode ? formatNode.text().as_int(-1) : 2;
    if (format != 2 && format != 3) {
        debugLog("[CCSpriteFrameCache] unsupported atlas format %d", format);
        return false;
    }
    const FormatKeys& keys = format == 2 ? kFormat2Keys : kFormat3Keys;
    atlas.textureFileName = dictString(metadata, "textureFileName");

    for (pugi::xml_node key = frames.child("key"); key; key = key.next_sibling("key")) {
        const pugi::xml_node entry = key.next_sibling();
        CCSpriteFrameEntry frame;
        frame.name = key.text().get();
        frame.rect = CCRectFromString(dictString(entry, keys.rect));
        frame.offset = CCPointFromString(dictString(entry, keys.offset));
        frame.rotated = std::strcmp(dictValue(entry, keys.rotated).name(), "true") == 0;
        frame.originalSize = CCSizeFromString(dictString(entry, keys.sourceSize));
        if (std::strcmp(entry.name(), "dict") != 0 || frame.rect.size.width <= 0.0f
            || frame.rect.size.height <= 0.0f) {
            debugLog("[CCSpriteFrameCache] frame \"%s\" skipped: no valid rectangle", zqPrintable(frame.name).c_str());
            continue;
        }
        // A frame without its untrimmed size is taken as untrimmed.
        if (frame.originalSize.width <= 0.0f || frame.originalSize.height <= 0.0f)
            frame.originalSize = frame.rect.size;
        atlas.frames.push_back(std::move(frame));
    }
    return true;
}

CCSpriteFrameCache* CCSpriteFrameCache::sharedSpriteFrameCache()
{
    if (!s_sharedSpriteFrameCache)
        s_sharedSpriteFrameCache = new CCSpriteFrameCache();
    return s_sharedSpriteFrameCache;
}

void CCSpriteFrameCache::purgeSharedSpriteFrameCache()
{
    CC_SAFE_RELEASE_NULL(s_sharedSpriteFrameCache);
}

CCSpriteFrameCache::CCSpriteFrameCache()
    : m_pSpriteFrames(new CCDictionary())
{
}

CCSpriteFrameCache::~CCSpriteFrameCache()
{
    removeSpriteFrames();
    m_pSpriteFrames->release();
}

void CCSpriteFrameCache::addSpriteFramesWithFile(const char* plist)
{
    CCFileUtils* files = CCFileUtils::sharedFileUtils();
    const std::string fullPath = files->fullPathForFilename(plist ? plist : "");
    if (m_loadedFiles.count(fullPath))
        return;
    ZqFileBytes bytes;
    if (!ccReadFontAtlasFile(plist, "CCSpriteFrameCache", bytes))
        return;
    // Counted while the atlas stays loaded; given back here when it does not load.
    struct Counted {
        std::uint64_t size;
        ~Counted() { ccReleaseFontAtlasBytes(size); }
    } counted{bytes.size};
    CCSpriteFrameAtlas atlas;
    if (!ccParseSpriteFrameAtlas(reinterpret_cast<const char*>(bytes.data.get()), bytes.size, atlas)) {
        debugLog("[CCSpriteFrameCache] %s is not an atlas", plist);
        return;
    }
    bytes = ZqFileBytes();
    std::string texturePath;
    if (!atlas.textureFileName.empty()) {
        // A name from the file: it must stay inside the game's folder.
        texturePath = files->pathNamedInFile(fullPath, atlas.textureFileName);
        if (texturePath.empty())
            return;
    } else {
        // No texture named: the image of the same name beside the plist.
        const size_t slash = fullPath.rfind('/');
        const size_t dot = fullPath.rfind('.');
        texturePath = (dot == std::string::npos || dot < slash + 1 ? fullPath : fullPath.substr(0, dot)) + ".png";
    }
    CCTexture2D* texture = CCTextureCache::sharedTextureCache()->addImage(texturePath.c_str());
    if (!texture) {
        debugLog("[CCSpriteFrameCache] %s: no texture %s", plist, zqPrintable(texturePath, kZqLogLineLength).c_str());
        return;
    }
    for (const CCSpriteFrameEntry& entry : atlas.frames) {
        m_pSpriteFrames->setObject(CCSpriteFrame::createWithTexture(texture, entry.rect, entry.rotated,
                                                                    entry.offset, entry.originalSize),
                                   entry.name);
    }
    m_loadedFiles.emplace(fullPath, counted.size);
    counted.size = 0;
}

CCSpriteFrame* CCSpriteFrameCache::spriteFrameByName(const char* name) const
{
    if (!name)
        return nullptr;
    return static_cast<CCSpriteFrame*>(m_pSpriteFrames->objectForKey(name));
}

void CCSpriteFrameCache::removeSpriteFrames()
{
    m_pSpriteFrames->removeAllObjects();
    for (const auto& [path, size] : m_loadedFiles)
        ccReleaseFontAtlasBytes(size);
    m_loadedFiles.clear();
}

} // namespace cocos2d
