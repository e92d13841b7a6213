// Feeds arbitrary bytes to the bitmap-font reader as a .fnt file of the game's data, up
// to the size the player reads, then places each page it names. A crash, a sanitizer
// report, an escaping exception or a page path outside the data folder is a finding.
#include "fuzz_media.h"

#include "label_nodes/CCBMFontConfiguration.h"

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (!fuzzMediaSizeAccepted(size))
        return 0;
    cocos2d::CCBMFontConfiguration font;
    if (font.parse(std::string(reinterpret_cast<const char*>(data), size))) {
        for (const std::string& page : font.getPages())
            checkNamedInDataFolder("data/fonts/ZqModelFont_ID1.fnt", page);
    }
    return 0;
}
