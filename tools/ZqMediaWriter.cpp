#include "tools/ZqMediaWriter.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_image.h>
#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include <lame/lame.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>

namespace zqmedia {

bool writePng(const std::string& path, int width, int height, const std::function<Rgba(int, int)>& colour)
{
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_RGBA32);
    if (!surface)
        return false;
    for (int y = 0; y < height; ++y) {
        auto* row = static_cast<unsigned char*>(surface->pixels) + y * surface->pitch;
        for (int x = 0; x < width; ++x) {
            const Rgba c = colour(x, y);
            row[x * 4] = c.r;
            row[x * 4 + 1] = c.g;
            row[x * 4 + 2] = c.b;
            row[x * 4 + 3] = c.a;
        }
    }
    const bool saved = IMG_SavePNG(surface, path.c_str()) == 0;
    SDL_FreeSurface(surface);
    return saved;
}

bool writeIco(const std::string& path, int width, int height, const std::function<Rgba(int, int)>& colour)
{
    if (width < 1 || width > 256 || height < 1 || height > 256)
        return false;
    std::string ico;
    auto put = [&ico](uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            ico.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    };
    const auto w = static_cast<uint32_t>(width);
    const auto h = static_cast<uint32_t>(height);
    // The image is a 32-bit bitmap with its transparency mask (one bit a pixel, rows of
    // whole 4-byte words), the form SDL2_image 2.6 reads; it reads no PNG inside an icon.
    const uint32_t maskRow = (w + 31) / 32 * 4;
    const uint32_t imageBytes = 40 + w * h * 4 + maskRow * h;
    // The directory: reserved, type 1 (icon), one image; its entry: sides (0 for 256),
    // no palette, 1 plane, 32 bits, the image's size and place.
    put(0, 2), put(1, 2), put(1, 2);
    put(w & 0xFF, 1), put(h & 0xFF, 1), put(0, 1), put(0, 1), put(1, 2), put(32, 2), put(imageBytes, 4), put(22, 4);
    // The bitmap header counts the mask's rows in the height.
    put(40, 4), put(w, 4), put(h * 2, 4), put(1, 2), put(32, 2), put(0, 4), put(w * h * 4 + maskRow * h, 4);
    put(0, 4), put(0, 4), put(0, 4), put(0, 4);
    // Rows bottom-up, blue-green-red-alpha.
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            const Rgba c = colour(x, y);
            put(c.b, 1), put(c.g, 1), put(c.r, 1), put(c.a, 1);
        }
    }
    ico.append(maskRow * h, '\0');
    return writeText(path, ico);
}

bool writeText(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary);
    out << text;
    return static_cast<bool>(out.flush());
}

bool AtlasPacker::place(AtlasFrame& frame)
{
    if (frame.width <= 0 || frame.height <= 0 || frame.width > m_width)
        return false;
    if (m_x + frame.width > m_width) {
        m_x = 0;
        m_y += m_rowHeight + m_padding;
        m_rowHeight = 0;
    }
    if (m_y + frame.height > m_height)
        return false;
    frame.x = m_x;
    frame.y = m_y;
    m_x += frame.width + m_padding;
    m_rowHeight = std::max(m_rowHeight, frame.height);
    return true;
}

std::string atlasPlist(const std::vector<AtlasFrame>& frames, const std::string& textureFileName, int width, int height)
{
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<plist version=\"1.0\">\n<dict>\n<key>frames</key>\n<dict>\n";
    char line[256];
    for (const AtlasFrame& frame : frames) {
        std::snprintf(line, sizeof line,
                      "<key>%s</key>\n<dict>\n<key>frame</key><string>{{%d,%d},{%d,%d}}</string>\n"
                      "<key>offset</key><string>{0,0}</string>\n<key>rotated</key><false/>\n"
                      "<key>sourceSize</key><string>{%d,%d}</string>\n</dict>\n",
                      frame.name.c_str(), frame.x, frame.y, frame.width, frame.height, frame.width, frame.height);
        out += line;
    }
    std::snprintf(line, sizeof line,
                  "</dict>\n<key>metadata</key>\n<dict>\n<key>format</key><integer>2</integer>\n"
                  "<key>size</key><string>{%d,%d}</string>\n<key>textureFileName</key><string>",
                  width, height);
    out += line;
    out += textureFileName;
    out += "</string>\n</dict>\n</dict>\n</plist>\n";
    return out;
}

std::vector<Rgba> framePixels(const AtlasFrame& frame)
{
    const int width = std::max(frame.width, 0);
    const int height = std::max(frame.height, 0);
    std::vector<Rgba> pixels(static_cast<std::size_t>(width) * height, frame.colour);
    if (!frame.painter || pixels.empty())
        return pixels;
    std::unique_ptr<cairo_surface_t, void (*)(cairo_surface_t*)> surface(
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height), cairo_surface_destroy);
    std::unique_ptr<cairo_t, void (*)(cairo_t*)> canvas(cairo_create(surface.get()), cairo_destroy);
    frame.painter(canvas.get(), width, height, frame.colour);
    cairo_surface_flush(surface.get());
    // Cairo keeps native-endian 32-bit words of premultiplied alpha, red, green, blue.
    const unsigned char* data = cairo_image_surface_get_data(surface.get());
    const int stride = cairo_image_surface_get_stride(surface.get());
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
        for (int x = 0; x < width; ++x) {
            const uint32_t word = row[x];
            const unsigned alpha = word >> 24;
            auto straight = [alpha](uint32_t premultiplied) {
                return static_cast<unsigned char>(alpha == 0 ? 0 : std::min(255u, (premultiplied * 255 + alpha / 2) / alpha));
            };
            pixels[static_cast<std::size_t>(y) * width + x] =
                Rgba{straight((word >> 16) & 0xFF), straight((word >> 8) & 0xFF), straight(word & 0xFF),
                     static_cast<unsigned char>(alpha)};
        }
    }
    return pixels;
}

bool writeAtlas(const std::string& pngPath, const std::string& plistPath, const std::vector<AtlasFrame>& frames,
                int width, int height)
{
    std::vector<Rgba> texture(static_cast<std::size_t>(std::max(width, 0)) * std::max(height, 0), Rgba{0, 0, 0, 0});
    for (const AtlasFrame& frame : frames) {
        const std::vector<Rgba> pixels = framePixels(frame);
        // Only what lies on the texture: a frame placed by hand may reach past its edge.
        for (int y = std::max(0, -frame.y); y < frame.height && frame.y + y < height; ++y) {
            for (int x = std::max(0, -frame.x); x < frame.width && frame.x + x < width; ++x)
                texture[static_cast<std::size_t>(frame.y + y) * width + frame.x + x] =
                    pixels[static_cast<std::size_t>(y) * frame.width + x];
        }
    }
    // Each frame's edge is copied one pixel out into the free padding: a sprite drawn
    // scaled or between pixels filters its edge with that ring, so tiled copies join
    // without a seam.
    const std::vector<Rgba> framed = texture;
    for (const AtlasFrame& frame : frames) {
        for (int y = frame.y - 1; y <= frame.y + frame.height; ++y) {
            for (int x = frame.x - 1; x <= frame.x + frame.width; ++x) {
                const bool ring = y < frame.y || y >= frame.y + frame.height || x < frame.x || x >= frame.x + frame.width;
                if (!ring || x < 0 || y < 0 || x >= width || y >= height || frame.width <= 0 || frame.height <= 0)
                    continue;
                Rgba& free = texture[static_cast<std::size_t>(y) * width + x];
                const int edgeX = std::clamp(x, std::max(frame.x, 0), std::min(frame.x + frame.width, width) - 1);
                const int edgeY = std::clamp(y, std::max(frame.y, 0), std::min(frame.y + frame.height, height) - 1);
                if (framed[static_cast<std::size_t>(y) * width + x].a == 0)
                    free = framed[static_cast<std::size_t>(edgeY) * width + edgeX];
            }
        }
    }
    const bool png = writePng(pngPath, width, height, [&texture, width](int x, int y) {
        return texture[static_cast<std::size_t>(y) * width + x];
    });
    const std::size_t slash = pngPath.find_last_of('/');
    const std::string textureName = slash == std::string::npos ? pngPath : pngPath.substr(slash + 1);
    return png && writeText(plistPath, atlasPlist(frames, textureName, width, height));
}

bool drawText(cairo_t* canvas, const std::string& text, double centreX, double baseline, double pixelSize,
              Rgba colour, const std::string& typeface)
{
    // One library for the process: cairo may keep a face made from it in its caches.
    static const FT_Library library = [] {
        FT_Library made = nullptr;
        return FT_Init_FreeType(&made) == 0 ? made : nullptr;
    }();
    FT_Face face = nullptr;
    if (!library || FT_New_Face(library, typeface.c_str(), 0, &face) != 0)
        return false;
    // The face lives as long as cairo's font made from it.
    static const cairo_user_data_key_t kFaceKey{};
    cairo_font_face_t* font = cairo_ft_font_face_create_for_ft_face(face, 0);
    if (cairo_font_face_set_user_data(font, &kFaceKey, face,
                                      [](void* owned) { FT_Done_Face(static_cast<FT_Face>(owned)); }) !=
        CAIRO_STATUS_SUCCESS) {
        cairo_font_face_destroy(font);
        FT_Done_Face(face);
        return false;
    }
    cairo_save(canvas);
    cairo_set_font_face(canvas, font);
    cairo_set_font_size(canvas, pixelSize);
    cairo_text_extents_t extents{};
    cairo_text_extents(canvas, text.c_str(), &extents);
    cairo_move_to(canvas, centreX - extents.x_bearing - extents.width / 2.0, baseline);
    cairo_set_source_rgba(canvas, colour.r / 255.0, colour.g / 255.0, colour.b / 255.0, colour.a / 255.0);
    cairo_show_text(canvas, text.c_str());
    cairo_restore(canvas);
    cairo_font_face_destroy(font);
    return true;
}

bool writeFont(const std::string& fntPath, const std::string& pageFileName, int pixelSize, const std::string& typeface)
{
    constexpr int kFirst = 32;
    constexpr int kLast = 126;
    constexpr int kPadding = 2;  // keeps neighbours out of a glyph's filtered edge
    if (pixelSize < 1 || pixelSize > 256)
        return false;
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0)
        return false;
    std::unique_ptr<FT_LibraryRec_, FT_Error (*)(FT_Library)> libraryOwner(library, FT_Done_FreeType);
    FT_Face face = nullptr;
    if (FT_New_Face(library, typeface.c_str(), 0, &face) != 0)
        return false;
    std::unique_ptr<FT_FaceRec_, FT_Error (*)(FT_Face)> faceOwner(face, FT_Done_Face);
    if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixelSize)) != 0)
        return false;

    // Each glyph's coverage, placed on a page wide enough for about sixteen a row.
    struct Glyph {
        int code;
        AtlasFrame frame;
        int left, top, advance;
        std::vector<unsigned char> coverage;
    };
    const int pageWidth = 16 * (pixelSize + kPadding) + kPadding;
    AtlasPacker packer(pageWidth, 1 << 14, kPadding);
    std::vector<Glyph> glyphs;
    int pageHeight = 1;
    for (int c = kFirst; c <= kLast; ++c) {
        if (FT_Load_Char(face, static_cast<FT_ULong>(c), FT_LOAD_RENDER) != 0)
            return false;
        const FT_GlyphSlot slot = face->glyph;
        const FT_Bitmap& bitmap = slot->bitmap;
        if (bitmap.width > 0 && bitmap.pixel_mode != FT_PIXEL_MODE_GRAY)
            return false;
        Glyph glyph{c, {}, slot->bitmap_left, slot->bitmap_top, static_cast<int>(slot->advance.x >> 6), {}};
        glyph.frame.width = static_cast<int>(bitmap.width);
        glyph.frame.height = static_cast<int>(bitmap.rows);
        if (glyph.frame.width > 0 && glyph.frame.height > 0) {
            if (!packer.place(glyph.frame))
                return false;
            for (unsigned row = 0; row < bitmap.rows; ++row) {
                const unsigned char* line = bitmap.buffer + static_cast<std::ptrdiff_t>(row) * bitmap.pitch;
                glyph.coverage.insert(glyph.coverage.end(), line, line + bitmap.width);
            }
            pageHeight = std::max(pageHeight, glyph.frame.y + glyph.frame.height + kPadding);
        }
        glyphs.push_back(std::move(glyph));
    }

    // White glyphs whose alpha is the typeface's coverage: labels tint them.
    std::vector<unsigned char> alpha(static_cast<std::size_t>(pageWidth) * pageHeight, 0);
    for (const Glyph& glyph : glyphs) {
        for (int y = 0; y < glyph.frame.height; ++y)
            std::copy_n(&glyph.coverage[static_cast<std::size_t>(y) * glyph.frame.width], glyph.frame.width,
                        &alpha[static_cast<std::size_t>(glyph.frame.y + y) * pageWidth + glyph.frame.x]);
    }
    const int lineHeight = static_cast<int>(face->size->metrics.height >> 6);
    const int base = static_cast<int>(face->size->metrics.ascender >> 6);
    std::string fnt;
    char line[320];
    std::snprintf(line, sizeof line,
                  "info face=\"%s\" size=%d bold=0 italic=0 charset=\"\" unicode=0 stretchH=100 smooth=1 aa=1 "
                  "padding=0,0,0,0 spacing=%d,%d\n"
                  "common lineHeight=%d base=%d scaleW=%d scaleH=%d pages=1 packed=0\n"
                  "page id=0 file=\"%s\"\nchars count=%zu\n",
                  face->family_name ? face->family_name : "", pixelSize, kPadding, kPadding, lineHeight, base,
                  pageWidth, pageHeight, pageFileName.c_str(), glyphs.size());
    fnt += line;
    for (const Glyph& glyph : glyphs) {
        std::snprintf(line, sizeof line,
                      "char id=%d x=%d y=%d width=%d height=%d xoffset=%d yoffset=%d xadvance=%d page=0 chnl=15\n",
                      glyph.code, glyph.frame.x, glyph.frame.y, glyph.frame.width, glyph.frame.height, glyph.left,
                      base - glyph.top, glyph.advance);
        fnt += line;
    }
    const std::size_t slash = fntPath.find_last_of('/');
    const std::string directory = slash == std::string::npos ? std::string() : fntPath.substr(0, slash + 1);
    const bool page = writePng(directory + pageFileName, pageWidth, pageHeight, [&](int x, int y) {
        return Rgba{255, 255, 255, alpha[static_cast<std::size_t>(y) * pageWidth + x]};
    });
    return page && writeText(fntPath, fnt);
}

std::vector<short> tone(double seconds, int rate, double frequency)
{
    const auto count = static_cast<std::size_t>(std::max(0.0, seconds) * rate);
    std::vector<short> samples(count);
    for (std::size_t i = 0; i < count; ++i)
        samples[i] = static_cast<short>(6000.0 * std::sin(static_cast<double>(i) * 2.0 * M_PI * frequency / rate));
    return samples;
}

std::string wavBytes(double seconds, int rate, double frequency)
{
    const std::vector<short> samples = tone(seconds, rate, frequency);
    const auto dataBytes = static_cast<uint32_t>(samples.size() * 2);
    std::string bytes = "RIFF";
    auto put = [&bytes](uint32_t value, int size) {
        for (int i = 0; i < size; ++i)
            bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xff));
    };
    put(36 + dataBytes, 4);
    bytes += "WAVEfmt ";
    put(16, 4);
    put(1, 2); // PCM
    put(1, 2); // mono
    put(static_cast<uint32_t>(rate), 4);
    put(static_cast<uint32_t>(rate) * 2, 4);
    put(2, 2);
    put(16, 2);
    bytes += "data";
    put(dataBytes, 4);
    for (short sample : samples)
        put(static_cast<uint16_t>(sample), 2);
    return bytes;
}

bool writeMp3(const std::string& path, double seconds, int rate, double frequency)
{
    std::unique_ptr<lame_global_flags, int (*)(lame_global_flags*)> lame(lame_init(), lame_close);
    if (!lame)
        return false;
    lame_set_in_samplerate(lame.get(), rate);
    lame_set_out_samplerate(lame.get(), rate);
    lame_set_num_channels(lame.get(), 1);
    lame_set_mode(lame.get(), MONO);
    lame_set_brate(lame.get(), 32);
    lame_set_quality(lame.get(), 7);
    if (lame_init_params(lame.get()) < 0)
        return false;

    std::vector<short> samples = tone(seconds, rate, frequency);
    // LAME's documented worst case: 1.25 bytes a sample plus 7200.
    std::vector<unsigned char> mp3(samples.size() * 5 / 4 + 7200);
    const int encoded = lame_encode_buffer(lame.get(), samples.data(), samples.data(), static_cast<int>(samples.size()),
                                           mp3.data(), static_cast<int>(mp3.size()));
    if (encoded < 0)
        return false;
    const int flushed = lame_encode_flush(lame.get(), mp3.data() + encoded, static_cast<int>(mp3.size()) - encoded);
    if (flushed < 0)
        return false;
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(mp3.data()), encoded + flushed);
    return static_cast<bool>(out.flush());
}

bool writeEffectMedia(const std::string& dataDirectory)
{
    std::error_code error;
    std::filesystem::create_directories(dataDirectory + "/fx", error);
    std::filesystem::create_directories(dataDirectory + "/shaders", error);
    const Rgba white{255, 255, 255, 255};
    // Alpha falls from 1 at the centre to 0 at the rim of the inscribed circle.
    constexpr int kLightSide = 64;
    const auto light = [](int x, int y) {
        const double dx = (x + 0.5) / (kLightSide / 2.0) - 1.0;
        const double dy = (y + 0.5) / (kLightSide / 2.0) - 1.0;
        const double fade = std::clamp(1.0 - std::sqrt(dx * dx + dy * dy), 0.0, 1.0);
        return Rgba{255, 255, 255, static_cast<unsigned char>(std::lround(fade * 255.0))};
    };
    return writePng(dataDirectory + "/fx/lightMap.png", kLightSide, kLightSide, light)
        && writePng(dataDirectory + "/fx/trailMap.png", 32, 8, [white](int, int) { return white; })
        && writePng(dataDirectory + "/fx/flagMap.png", 32, 16, [white](int, int) { return white; })
        && writeText(dataDirectory + "/shaders/WaterReflection.fsh",
                     "precision lowp float;\n"
                     "varying vec4 v_fragmentColor;\n"
                     "varying vec2 v_texCoord;\n"
                     "uniform vec4 u_shadeColor;\n"
                     "void main()\n"
                     "{\n"
                     "    gl_FragColor = texture2D(CC_Texture0, v_texCoord) * u_shadeColor;\n"
                     "}\n");
}

} // namespace zqmedia
