#pragma once

#include "cocos2d.h"
#include "sprite_nodes/CCQuadRenderer.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_image.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <unistd.h>

// Media the drawing tests make for themselves: PNG images, plist and fnt texts.
namespace media {

struct Rgba {
    unsigned char r, g, b, a;
};

// A fresh directory for one test's files, removed with the object.
class TempDir {
public:
    TempDir()
        : m_path(std::filesystem::temp_directory_path()
                 / ("zq_media_" + std::to_string(getpid()) + "_" + std::to_string(s_counter++)))
    {
        std::filesystem::create_directories(m_path);
    }
    ~TempDir() { std::filesystem::remove_all(m_path); }
    std::string file(const std::string& name) const { return (m_path / name).string(); }

private:
    static inline int s_counter = 0;
    std::filesystem::path m_path;
};

// Writes a width x height PNG whose pixel (x, y from the top-left) is colour(x, y).
inline bool writePng(const std::string& path, int width, int height, const std::function<Rgba(int, int)>& colour)
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

inline void writeText(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

} // namespace media
