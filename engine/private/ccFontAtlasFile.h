#pragma once

#include <ZqFileRead.h>

#include <cstdint>

namespace cocos2d {

// Fonts (.fnt) and atlases (.plist) are kept for the run and build a few times their bytes
// (an atlas's XML tree about ten times), so their files are bounded: each is read only up
// to kCCMaxFontAtlasFileSize, and the files of the live fonts and loaded atlases hold at
// most kCCMaxFontAtlasBytes together. An honest font or atlas is a few KB to a few
// hundred; a font of every code point of the first plane is about 6 MiB.
inline constexpr std::uint64_t kCCMaxFontAtlasFileSize = std::uint64_t(8) << 20;
inline constexpr std::uint64_t kCCMaxFontAtlasBytes = std::uint64_t(32) << 20;

// Reads a font or atlas file by name and counts its bytes against the budget. False, with
// one line (tagged with tag for the budget) naming the file and the limit, when the file
// is refused by the read, is larger than kCCMaxFontAtlasFileSize or passes what is left of
// kCCMaxFontAtlasBytes.
bool ccReadFontAtlasFile(const char* name, const char* tag, ZqFileBytes& bytes);
// Gives back bytes counted by ccReadFontAtlasFile, once what they built is gone.
void ccReleaseFontAtlasBytes(std::uint64_t size);
// The bytes counted now.
std::uint64_t ccFontAtlasBytesInUse();

} // namespace cocos2d
