#pragma once

#include <cairo.h>

#include <functional>
#include <string>
#include <vector>

// The media the project makes itself, for its sample game, generated games and tests:
// PNG images (through SDL2_image), texture atlases (PNG and .plist) whose frames are one
// colour or drawn by cairo, bitmap fonts (.fnt
// text and page PNG) and short tones as MP3 (through LAME) or WAV. Each writer answers
// false when the file could not be written.
namespace zqmedia {

struct Rgba {
    unsigned char r, g, b, a;
};

// A width x height PNG whose pixel (x, y from the top-left) is colour(x, y).
bool writePng(const std::string& path, int width, int height, const std::function<Rgba(int, int)>& colour);
bool writeText(const std::string& path, const std::string& text);
// A window icon file (.ico) of one width x height image (sides up to 256), with its alpha.
bool writeIco(const std::string& path, int width, int height, const std::function<Rgba(int, int)>& colour);

// Draws a picture on a transparent width x height canvas whose user space is in pixels,
// origin top-left, y down; colour is the picture's own colour (a shirt, a button's face).
using Painter = void (*)(cairo_t* canvas, int width, int height, Rgba colour);

// One frame of an atlas: its name in the sprite-frame cache, its place in the texture
// (pixels, origin top-left), its colour, and the painter that draws it (none: the frame is
// its colour all over).
struct AtlasFrame {
    std::string name;
    int x = 0, y = 0, width = 0, height = 0;
    Rgba colour{255, 255, 255, 255};
    Painter painter = nullptr;
};

// The frame's pixels, rows top-down, with straight (not premultiplied) alpha.
std::vector<Rgba> framePixels(const AtlasFrame& frame);

// Places frames (their width and height given) row by row on a width x height texture,
// padding pixels apart.
class AtlasPacker {
public:
    AtlasPacker(int width, int height, int padding) : m_width(width), m_height(height), m_padding(padding) {}
    // Sets the frame's x and y; false when it does not fit any more.
    bool place(AtlasFrame& frame);

private:
    int m_width, m_height, m_padding;
    int m_x = 0, m_y = 0, m_rowHeight = 0;
};
// The .plist text (format 2) of the frames on the texture file named textureFileName
// (relative to the plist's directory).
std::string atlasPlist(const std::vector<AtlasFrame>& frames, const std::string& textureFileName, int width,
                       int height);
// The texture (transparent but for the frames) and its plist.
bool writeAtlas(const std::string& pngPath, const std::string& plistPath, const std::vector<AtlasFrame>& frames,
                int width, int height);

// The typeface fonts are rendered from: DejaVu Sans Bold (Debian's fonts-dejavu-core).
inline constexpr const char* kDefaultTypeface = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";

// A bitmap font of the printable ASCII characters rendered from a TrueType typeface at
// pixelSize pixels a line (FreeType): the glyphs' shapes, as white with the typeface's
// coverage for alpha, on one page PNG written beside the .fnt under pageFileName, and
// their real metrics (offsets, advances, line height, base) in the .fnt. False when the
// typeface cannot be read.
bool writeFont(const std::string& fntPath, const std::string& pageFileName, int pixelSize,
               const std::string& typeface = kDefaultTypeface);

// Draws text on the canvas in the typeface, pixelSize pixels a line, in colour, centred on
// centreX with its baseline at baseline (canvas pixels). False when the typeface cannot be
// read.
bool drawText(cairo_t* canvas, const std::string& text, double centreX, double baseline, double pixelSize,
              Rgba colour, const std::string& typeface = kDefaultTypeface);

// The effects' media under dataDirectory: "fx/lightMap.png" (white, fading out from the
// centre to transparent at the rim and the corners), "fx/trailMap.png" and "fx/flagMap.png"
// (opaque white), and "shaders/WaterReflection.fsh" (the texture tinted by the uniform
// "u_shadeColor").
bool writeEffectMedia(const std::string& dataDirectory);

// A mono tone of frequency hertz lasting seconds, sampled at rate.
std::vector<short> tone(double seconds, int rate = 22050, double frequency = 440.0);
// As a 16-bit PCM WAV.
std::string wavBytes(double seconds, int rate = 22050, double frequency = 440.0);
// As a constant-bit-rate MPEG audio file, encoded by LAME.
bool writeMp3(const std::string& path, double seconds, int rate = 22050, double frequency = 440.0);

} // namespace zqmedia
