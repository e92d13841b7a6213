#include "ccImageFile.h"

#include "platform/CCFileUtils.h"

#include <ZqFileRead.h>
#include <ZqLog.h>

#include <SDL2/SDL.h>
#include <SDL2/SDL_image.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>

// After <cstdio>: it names FILE without including it.
#include <jpeglib.h>

namespace cocos2d {

namespace {

std::uint32_t bigEndian16(const unsigned char* p)
{
    return std::uint32_t(p[0]) << 8 | p[1];
}

std::uint32_t bigEndian32(const unsigned char* p)
{
    return bigEndian16(p) << 16 | bigEndian16(p + 2);
}

std::uint32_t littleEndian16(const unsigned char* p)
{
    return std::uint32_t(p[1]) << 8 | p[0];
}

std::uint32_t littleEndian32(const unsigned char* p)
{
    return littleEndian16(p + 2) << 16 | littleEndian16(p);
}

constexpr unsigned char kPngSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};

// The first chunk of a PNG is its header: length, "IHDR", width, height.
bool pngSize(const unsigned char* data, std::size_t size, std::uint32_t& width, std::uint32_t& height)
{
    if (size < 24 || std::memcmp(data, kPngSignature, 8) != 0 || std::memcmp(data + 12, "IHDR", 4) != 0)
        return false;
    width = bigEndian32(data + 16);
    height = bigEndian32(data + 20);
    return true;
}

// A JPEG's size as the decoder reads it: its own header reader walks the markers to the
// frame header (markers such as RST0 to RST7 and TEM carry no length, so a walk by length
// fields alone can land inside another segment and find another size there).
bool jpegSize(const unsigned char* data, std::size_t size, std::uint32_t& width, std::uint32_t& height,
              std::uint64_t& leastBytes)
{
    if (size < 2 || data[0] != 0xff || data[1] != 0xd8)
        return false;
    struct ErrorExit {
        jpeg_error_mgr manager;
        std::jmp_buf jump;
    };
    // Plain structs only from here: a decoder error leaves by longjmp, past every destructor.
    jpeg_decompress_struct info{};
    ErrorExit error{};
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = [](j_common_ptr common) {
        std::longjmp(reinterpret_cast<ErrorExit*>(common->err)->jump, 1);
    };
    error.manager.output_message = [](j_common_ptr) {};
    if (setjmp(error.jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
    const bool read = jpeg_read_header(&info, TRUE) == JPEG_HEADER_OK;
    width = info.image_width;
    height = info.image_height;
    // The header read has laid out the components' blocks. An arithmetic coder may code a
    // block in less than a bit, so it sets no floor.
    std::uint64_t blocks = 0;
    for (int i = 0; read && !info.arith_code && i < info.num_components; ++i)
        blocks = std::max<std::uint64_t>(blocks, std::uint64_t(info.comp_info[i].width_in_blocks) *
                                                     info.comp_info[i].height_in_blocks);
    leastBytes = (blocks + 7) / 8;
    jpeg_destroy_decompress(&info);
    return read;
}

// An icon file lists its images; each is a PNG or a bitmap without its file header,
// whose own header (width, then twice the height) is what the decoder goes by.
bool iconSize(const unsigned char* data, std::size_t size, std::uint32_t& width, std::uint32_t& height)
{
    if (size < 6 || littleEndian16(data) != 0 || (littleEndian16(data + 2) != 1 && littleEndian16(data + 2) != 2))
        return false;
    const std::uint32_t count = littleEndian16(data + 4);
    if (count == 0 || 6 + std::size_t(count) * 16 > size)
        return false;
    width = height = 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::size_t offset = littleEndian32(data + 6 + std::size_t(i) * 16 + 12);
        if (offset >= size)
            return false;
        std::uint32_t w = 0;
        std::uint32_t h = 0;
        if (!pngSize(data + offset, size - offset, w, h)) {
            if (size - offset < 12)
                return false;
            const std::int32_t bitmapWidth = static_cast<std::int32_t>(littleEndian32(data + offset + 4));
            const std::int32_t bitmapHeight = static_cast<std::int32_t>(littleEndian32(data + offset + 8));
            if (bitmapWidth <= 0 || bitmapHeight == 0 || bitmapHeight == INT32_MIN)
                return false;
            w = static_cast<std::uint32_t>(bitmapWidth);
            h = static_cast<std::uint32_t>(bitmapHeight < 0 ? -bitmapHeight : bitmapHeight) / 2;
        }
        width = std::max(width, w);
        height = std::max(height, h);
    }
    return true;
}

// Why an image claiming width x height pixels in fileSize bytes is not decoded, or "": the
// limit it passes.
std::string sizeRefusal(std::uint32_t width, std::uint32_t height, std::uint64_t fileSize, std::uint64_t leastBytes,
                        std::uint32_t maxSide, std::uint64_t maxBytes)
{
    const std::uint64_t pixels = std::uint64_t(width) * height;
    if (pixels == 0)
        return "no pixel at all";
    if (width > maxSide || height > maxSide)
        return "more than " + std::to_string(maxSide) + " a side";
    if (pixels > kCCMaxImagePixels)
        return "more than " + std::to_string(kCCMaxImagePixels) + " in all";
    if (fileSize < leastBytes)
        return "more than its " + std::to_string(fileSize) + " bytes hold (a whole file has " +
               std::to_string(leastBytes) + " at least)";
    if (pixels * 4 > maxBytes)
        return "more than the " + std::to_string(maxBytes >> 20) + " MiB left of the " +
               std::to_string(kCCMaxImageBytes >> 20) + " MiB that decoded images may take";
    return std::string();
}

} // namespace

bool ccImageHeaderSize(const unsigned char* data, std::size_t size, std::uint32_t& width, std::uint32_t& height,
                       std::uint64_t* leastBytes)
{
    width = height = 0;
    std::uint64_t least = 0;
    const bool known = data && (pngSize(data, size, width, height) || jpegSize(data, size, width, height, least) ||
                                iconSize(data, size, width, height));
    if (leastBytes)
        *leastBytes = least;
    return known;
}

SDL_Surface* ccLoadImageFile(const std::string& fullPath, std::uint32_t maxSide, std::uint64_t maxBytes,
                             const char* tag)
{
    const std::string shown = zqPrintable(fullPath, kZqLogLineLength);
    ZqFileBytes bytes;
    const std::string refused =
        zqReadRegularFile(fullPath, CCFileUtils::sharedFileUtils()->getResourceRoot(), kZqMaxDataFileSize, bytes);
    if (!refused.empty()) {
        debugLog("[%s] image %s: %s", tag, shown.c_str(), refused.c_str());
        return nullptr;
    }
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint64_t leastBytes = 0;
    if (!ccImageHeaderSize(bytes.data.get(), bytes.size, width, height, &leastBytes)) {
        debugLog("[%s] image %s: not a PNG, JPEG or icon file", tag, shown.c_str());
        return nullptr;
    }
    // Refused before decoding: the decoder would allocate what the header claims.
    const std::string refusal = sizeRefusal(width, height, bytes.size, leastBytes, maxSide, maxBytes);
    if (!refusal.empty()) {
        debugLog("[%s] image %s: claims %ux%u pixels, %s", tag, shown.c_str(), width, height, refusal.c_str());
        return nullptr;
    }
    SDL_RWops* source = SDL_RWFromConstMem(bytes.data.get(), static_cast<int>(bytes.size));
    SDL_Surface* surface = source ? IMG_Load_RW(source, 1) : nullptr;
    if (!surface)
        debugLog("[%s] cannot load image %s: %s", tag, shown.c_str(), IMG_GetError());
    return surface;
}

} // namespace cocos2d
