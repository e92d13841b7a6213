#include "textures/CCTexture2D.h"

#include "CCGL.h"
#include "ccImageFile.h"
#include "gl/ccGLStateCache.h"

#include <SDL2/SDL.h>

#include <ZqLog.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace cocos2d {

namespace {

std::uint64_t s_imageBytes = 0;

} // namespace

CCTexture2D::~CCTexture2D()
{
    if (m_uName != 0)
        ccGLDeleteTexture(m_uName);
    s_imageBytes -= m_imageBytes;
}

std::uint64_t CCTexture2D::imageBytesInUse()
{
    return s_imageBytes;
}

bool CCTexture2D::upload(const void* rgba, unsigned int pixelsWide, unsigned int pixelsHigh)
{
    if (m_uName != 0) {
        debugLog("[CCTexture2D] texture %u is already initialised", m_uName);
        return false;
    }
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    if (pixelsWide == 0 || pixelsHigh == 0 || maxSize <= 0 || pixelsWide > static_cast<unsigned int>(maxSize)
        || pixelsHigh > static_cast<unsigned int>(maxSize)) {
        debugLog("[CCTexture2D] unsupported size %ux%u (max %d)", pixelsWide, pixelsHigh, maxSize);
        return false;
    }
    GLuint name = 0;
    glGenTextures(1, &name);
    if (name == 0) {
        debugLog("[CCTexture2D] glGenTextures failed");
        return false;
    }
    m_uName = name;
    ccGLBindTexture2D(name);
    // Rows of any width are tightly packed in the caller's buffer.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    setFilter(GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, static_cast<GLsizei>(pixelsWide), static_cast<GLsizei>(pixelsHigh), 0,
                 GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    m_uPixelsWide = pixelsWide;
    m_uPixelsHigh = pixelsHigh;
    return true;
}

bool CCTexture2D::initWithData(const void* data, CCTexture2DPixelFormat pixelFormat, unsigned int pixelsWide,
                               unsigned int pixelsHigh, const CCSize& contentSize)
{
    if (pixelFormat != kCCTexture2DPixelFormat_RGBA8888) {
        debugLog("[CCTexture2D] unsupported pixel format %d", static_cast<int>(pixelFormat));
        return false;
    }
    if (!data) {
        debugLog("[CCTexture2D] no pixel data");
        return false;
    }
    if (!upload(data, pixelsWide, pixelsHigh))
        return false;
    m_ePixelFormat = pixelFormat;
    m_tContentSize = contentSize;
    m_bHasPremultipliedAlpha = false;
    return true;
}

bool CCTexture2D::initWithImageFile(const std::string& fullPath)
{
    // Without a GL context (no limit to ask) the fixed cap stands in for it.
    GLint maxSize = 0;
    if (SDL_GL_GetCurrentContext())
        glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    const std::uint32_t maxSide = maxSize > 0 ? static_cast<std::uint32_t>(maxSize) : kCCMaxImageSide;
    // Textures are kept for the run, so together they have a budget: images that each pass
    // the pixel cap (a few bytes of a JPEG cut short, a PNG of zeros) could take GBs.
    const std::uint64_t bytesLeft = kCCMaxImageBytes - std::min(s_imageBytes, kCCMaxImageBytes);
    SDL_Surface* loaded = ccLoadImageFile(fullPath, maxSide, bytesLeft, "CCTexture2D");
    if (!loaded)
        return false;
    // ABGR8888 is R, G, B, A in memory on little-endian machines; this names the byte
    // order whatever the machine.
    SDL_Surface* rgba = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGBA32, 0);
    SDL_FreeSurface(loaded);
    if (!rgba) {
        debugLog("[CCTexture2D] cannot convert image %s: %s", zqPrintable(fullPath, kZqLogLineLength).c_str(),
                 SDL_GetError());
        return false;
    }
    const unsigned int width = static_cast<unsigned int>(rgba->w);
    const unsigned int height = static_cast<unsigned int>(rgba->h);
    std::vector<unsigned char> pixels(static_cast<size_t>(width) * height * 4);
    SDL_LockSurface(rgba);
    for (unsigned int y = 0; y < height; ++y) {
        const auto* row = static_cast<const unsigned char*>(rgba->pixels) + static_cast<size_t>(y) * rgba->pitch;
        unsigned char* out = pixels.data() + static_cast<size_t>(y) * width * 4;
        for (unsigned int x = 0; x < width * 4; x += 4) {
            const unsigned int a = row[x + 3];
            out[x] = static_cast<unsigned char>(row[x] * a / 255);
            out[x + 1] = static_cast<unsigned char>(row[x + 1] * a / 255);
            out[x + 2] = static_cast<unsigned char>(row[x + 2] * a / 255);
            out[x + 3] = static_cast<unsigned char>(a);
        }
    }
    SDL_UnlockSurface(rgba);
    SDL_FreeSurface(rgba);
    if (!upload(pixels.data(), width, height))
        return false;
    m_imageBytes = pixels.size();
    s_imageBytes += m_imageBytes;
    m_ePixelFormat = kCCTexture2DPixelFormat_RGBA8888;
    m_tContentSize = CCSize(static_cast<float>(width), static_cast<float>(height));
    m_bHasPremultipliedAlpha = true;
    return true;
}

void CCTexture2D::setFilter(int filter)
{
    if (m_uName == 0)
        return;
    ccGLBindTexture2D(m_uName);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
    m_bHasMipmaps = false;
}

void CCTexture2D::setAntiAliasTexParameters()
{
    setFilter(GL_LINEAR);
}

void CCTexture2D::generateMipmap()
{
    if (m_uName == 0 || m_bHasMipmaps)
        return;
    // The context's framebuffer support, which the engine requires, brings this call.
    if (!glGenerateMipmap) {
        debugLog("[CCTexture2D] no mipmaps for texture %u: glGenerateMipmap is missing", m_uName);
        return;
    }
    ccGLBindTexture2D(m_uName);
    glGenerateMipmap(GL_TEXTURE_2D);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    m_bHasMipmaps = true;
}

void CCTexture2D::setAliasTexParameters()
{
    setFilter(GL_NEAREST);
}

} // namespace cocos2d
