#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct SDL_Surface;

namespace cocos2d {

// Sides an image may claim when no GL context tells the texture limit, and pixels any
// image may claim (256 MiB as RGBA): no real atlas, page or icon comes near either.
inline constexpr std::uint32_t kCCMaxImageSide = 16384;
inline constexpr std::uint64_t kCCMaxImagePixels = std::uint64_t(1) << 26;

// The width and height an image's header claims, in pixels. False when data does not
// start as a PNG, a JPEG or an icon file (for a JPEG, the size its decoder reads, so one
// whose header the decoder cannot read to its first scan is none; for an icon, the widest
// and the tallest of its images, each read from that image's own header).
bool ccImageHeaderSize(const unsigned char* data, std::size_t size, std::uint32_t& width, std::uint32_t& height);

// Decodes the image file at its full path into a new surface that the caller frees. The
// file is read within the data file limits and inside the resource root (zqReadRegularFile),
// and its header checked before any pixel is decoded. Null, with one log line tagged with tag, when the file is
// refused, is not a PNG, JPEG or icon file, claims a side over maxSide or more than
// kCCMaxImagePixels pixels, or does not decode.
SDL_Surface* ccLoadImageFile(const std::string& fullPath, std::uint32_t maxSide, const char* tag);

} // namespace cocos2d
