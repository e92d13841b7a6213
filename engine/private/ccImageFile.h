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
// Decoded bytes (four a pixel) that the textures made from image files may hold together,
// since they are kept for the run: 64 pages of 4096 x 4096.
inline constexpr std::uint64_t kCCMaxImageBytes = std::uint64_t(1) << 30;

// The width and height an image's header claims, in pixels. False when data does not
// start as a PNG, a JPEG or an icon file (for a JPEG, the size its decoder reads, so one
// whose header the decoder cannot read to its first scan is none; for an icon, the widest
// and the tallest of its images, each read from that image's own header). leastBytes, when
// given, receives the fewest bytes a whole file of that size holds: for a JPEG coded by
// Huffman tables, one bit for each 8x8 block of its largest component (every block's first
// code takes a bit at least); 0 for other files.
bool ccImageHeaderSize(const unsigned char* data, std::size_t size, std::uint32_t& width, std::uint32_t& height,
                       std::uint64_t* leastBytes = nullptr);

// Decodes the image file at its full path into a new surface that the caller frees. The
// file is read within the data file limits and inside the resource root (zqReadRegularFile),
// and its header checked before any pixel is decoded. Null, with one log line tagged with
// tag that names the limit, when the file is refused, is not a PNG, JPEG or icon file,
// claims no pixel, a side over maxSide, more than kCCMaxImagePixels pixels, more than
// maxBytes decoded bytes (four a pixel) or more pixels than its bytes can hold (a file cut
// short: a decoder fills in what is missing), or does not decode.
SDL_Surface* ccLoadImageFile(const std::string& fullPath, std::uint32_t maxSide, std::uint64_t maxBytes,
                             const char* tag);

} // namespace cocos2d
