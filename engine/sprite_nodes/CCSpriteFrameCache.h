#pragma once

#include "base/CCGeometry.h"
#include "base/CCObject.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace cocos2d {

class CCDictionary;
class CCSpriteFrame;

// One frame of a .plist atlas, as written in it.
struct CCSpriteFrameEntry {
    std::string name;
    // Texture pixels, origin top-left; the upright size of the picture.
    CCRect rect;
    bool rotated = false;
    // Trimmed centre minus untrimmed centre, points, y up.
    CCPoint offset;
    CCSize originalSize;
};

// What a .plist atlas holds: its texture's file name (as written; relative to the
// plist's directory) and its frames in file order.
struct CCSpriteFrameAtlas {
    std::string textureFileName;
    std::vector<CCSpriteFrameEntry> frames;
};

// Reads the XML text of a .plist atlas of format 2 ("frame", "offset", "rotated",
// "sourceColorRect", "sourceSize") or 3 ("textureRect", "spriteOffset",
// "textureRotated", "spriteSourceSize"); a missing "metadata" means format 2. False
// (logged) when the text is not such an atlas; frames without a positive size are
// skipped (logged).
bool ccParseSpriteFrameAtlas(const char* data, size_t size, CCSpriteFrameAtlas& atlas);

// The sprite frames of the loaded atlases by name. Holds one reference to each frame.
class CCSpriteFrameCache : public CCObject {
public:
    static CCSpriteFrameCache* sharedSpriteFrameCache();
    // Drops the shared cache and its frames (tests, shutdown).
    static void purgeSharedSpriteFrameCache();

    ~CCSpriteFrameCache() override;

    // Loads the frames of a .plist atlas and its texture (through the texture cache);
    // a frame name already present is replaced. A plist already loaded is not read
    // again. Nothing is added (logged) when the plist or its texture cannot be read, or the
    // plist is refused by the bounds of font and atlas files (ccFontAtlasFile.h).
    void addSpriteFramesWithFile(const char* plist);
    // The frame, or null when there is none of that name.
    CCSpriteFrame* spriteFrameByName(const char* name) const;
    // Forgets every frame and every loaded plist (their bytes leave the budget).
    void removeSpriteFrames();

private:
    CCSpriteFrameCache();

    CCDictionary* m_pSpriteFrames;
    // The loaded plists' full paths and the bytes each counts against the budget.
    std::map<std::string, std::uint64_t> m_loadedFiles;
};

} // namespace cocos2d
