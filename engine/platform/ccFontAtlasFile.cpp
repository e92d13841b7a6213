#include "ccFontAtlasFile.h"

#include "platform/CCFileUtils.h"

#include <ZqLog.h>

#include <algorithm>

namespace cocos2d {

namespace {

std::uint64_t s_fontAtlasBytes = 0;

} // namespace

bool ccReadFontAtlasFile(const char* name, const char* tag, ZqFileBytes& bytes)
{
    if (!name || !*name) {
        debugLog("[%s] no file name", tag);
        return false;
    }
    // A refusal of the read is logged by it.
    if (!CCFileUtils::sharedFileUtils()->readWhole(name, kCCMaxFontAtlasFileSize, bytes))
        return false;
    const std::uint64_t left = kCCMaxFontAtlasBytes - std::min(s_fontAtlasBytes, kCCMaxFontAtlasBytes);
    if (bytes.size > left) {
        debugLog("[%s] %s: its %llu bytes pass the %llu left of the %llu MiB that fonts and atlases may be built from",
                 tag, zqPrintable(name).c_str(), static_cast<unsigned long long>(bytes.size),
                 static_cast<unsigned long long>(left), static_cast<unsigned long long>(kCCMaxFontAtlasBytes >> 20));
        bytes = ZqFileBytes();
        return false;
    }
    s_fontAtlasBytes += bytes.size;
    return true;
}

void ccReleaseFontAtlasBytes(std::uint64_t size)
{
    s_fontAtlasBytes -= std::min(size, s_fontAtlasBytes);
}

std::uint64_t ccFontAtlasBytesInUse()
{
    return s_fontAtlasBytes;
}

} // namespace cocos2d
