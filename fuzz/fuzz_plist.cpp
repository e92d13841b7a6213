// Feeds arbitrary bytes to the atlas reader as a sprite-frame plist of the game's data,
// up to the size the player reads, then places the texture it names. A crash, a
// sanitizer report, an escaping exception or a texture path outside the data folder is
// a finding.
#include "fuzz_media.h"

#include "sprite_nodes/CCSpriteFrameCache.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (!fuzzMediaSizeAccepted(size))
        return 0;
    cocos2d::CCSpriteFrameAtlas atlas;
    if (cocos2d::ccParseSpriteFrameAtlas(reinterpret_cast<const char*>(data), size, atlas))
        checkNamedInDataFolder("data/atlases/atlas_ID1.plist", atlas.textureFileName);
    return 0;
}
