#pragma once

#include "base/CCGeometry.h"
#include "base/CCObject.h"

#include <cstdint>
#include <string>

namespace cocos2d {

// Pixel layouts a texture can be made from. The game passes the format as the number
// 7 for four bytes a pixel in the order R, G, B, A, so RGBA8888 carries that value.
enum CCTexture2DPixelFormat {
    kCCTexture2DPixelFormat_RGBA8888 = 7,
    kCCTexture2DPixelFormat_Default = kCCTexture2DPixelFormat_RGBA8888,
};

// An RGBA8888 GL texture. Needs a current GL context from init to destruction.
//
// Pixel rows are stored top row first, so texture coordinate v = 0 is the top edge of
// the image and a rectangle in texture pixels has its origin at the top-left. Sizes are
// in pixels; one pixel is one point. Edges clamp, so a rectangle larger than the
// texture stretches its edge texels.
//
// Images from PNG files are premultiplied by their alpha on load (their sprites blend
// with ONE, ONE_MINUS_SRC_ALPHA); raw data is taken as it is, not premultiplied.
class CCTexture2D : public CCObject {
public:
    CCTexture2D() = default;
    ~CCTexture2D() override;

    // data holds pixelsWide x pixelsHigh pixels of pixelFormat, rows top first; it is
    // copied. contentSize is the part of the pixels the texture shows, in points. False
    // (logged) for an unknown format, a zero size, null data, or a second init.
    bool initWithData(const void* data, CCTexture2DPixelFormat pixelFormat, unsigned int pixelsWide,
                      unsigned int pixelsHigh, const CCSize& contentSize);
    // Loads an image file (PNG and whatever SDL2_image reads) by its full path and
    // converts it to premultiplied RGBA8888. False (logged) when it cannot be read, or
    // when its pixels would take imageBytesInUse past 1 GiB.
    bool initWithImageFile(const std::string& fullPath);
    // Decoded bytes (four a pixel) that the live textures made from image files hold.
    static std::uint64_t imageBytesInUse();

    // The GL texture name; 0 before a successful init.
    unsigned int getName() const { return m_uName; }
    const CCSize& getContentSize() const { return m_tContentSize; }
    unsigned int getPixelsWide() const { return m_uPixelsWide; }
    unsigned int getPixelsHigh() const { return m_uPixelsHigh; }
    CCTexture2DPixelFormat getPixelFormat() const { return m_ePixelFormat; }
    bool hasPremultipliedAlpha() const { return m_bHasPremultipliedAlpha; }

    // Linear filtering (the default) or nearest-texel filtering; either drops the
    // mipmaps' filtering.
    void setAntiAliasTexParameters();
    void setAliasTexParameters();
    // Builds the texture's halved copies down to one pixel and filters between them where
    // it is drawn smaller than its pixels: linear filtering alone reads 2 x 2 texels a
    // pixel, so at a third of its size a line one texel thin (the dot of an "i") falls
    // between the texels read and is lost. Once a texture; later calls do nothing.
    void generateMipmap();
    bool hasMipmaps() const { return m_bHasMipmaps; }

private:
    bool upload(const void* rgba, unsigned int pixelsWide, unsigned int pixelsHigh);
    void setFilter(int filter);

    unsigned int m_uName = 0;
    unsigned int m_uPixelsWide = 0;
    unsigned int m_uPixelsHigh = 0;
    CCSize m_tContentSize;
    CCTexture2DPixelFormat m_ePixelFormat = kCCTexture2DPixelFormat_Default;
    bool m_bHasPremultipliedAlpha = false;
    bool m_bHasMipmaps = false;
    // What this texture adds to imageBytesInUse.
    std::uint64_t m_imageBytes = 0;
};

} // namespace cocos2d
