#pragma once

#include "cocos2d.h"
#include "sprite_nodes/CCQuadRenderer.h"

#include "tools/ZqMediaWriter.h"

#include <climits>
#include <filesystem>
#include <string>
#include <unistd.h>

// The media writers the drawing tests use, and a directory for their files.
namespace media {

using zqmedia::Rgba;
using zqmedia::writePng;
using zqmedia::writeText;

// A fresh directory for one test's files, removed with the object. It is the resource
// root while it lives (files are read only inside the root).
class TempDir {
public:
    TempDir()
        : m_path(std::filesystem::temp_directory_path()
                 / ("zq_media_" + std::to_string(getpid()) + "_" + std::to_string(s_counter++)))
    {
        std::filesystem::create_directories(m_path);
        cocos2d::CCFileUtils::sharedFileUtils()->setResourceRoot(m_path.string());
    }
    ~TempDir()
    {
        cocos2d::CCFileUtils::sharedFileUtils()->setResourceRoot("");
        std::filesystem::remove_all(m_path);
    }
    std::string file(const std::string& name) const { return (m_path / name).string(); }

private:
    static inline int s_counter = 0;
    std::filesystem::path m_path;
};

// 132 bytes of a progressive grey JPEG claiming side x side pixels: its tables and the
// start of its first scan, cut short. A decoder fills in the rest (256 MB for 8192).
inline std::string jpegCutShort(unsigned side)
{
    const char high = static_cast<char>(side >> 8);
    const char low = static_cast<char>(side);
    const std::string frame = std::string("\xff\xc2\0\x0b\x08", 5) + high + low + high + low +
                              std::string("\x01\x01\x11\0", 4);
    // One DC code of one bit.
    const std::string table = std::string("\xff\xc4\0\x14\0\x01", 6) + std::string(15, '\0') + '\0';
    const std::string scan("\xff\xda\0\x08\x01\x01\0\0\0\0", 10);
    std::string bytes = std::string("\xff\xd8\xff\xdb\0\x43\0", 7) + std::string(64, '\x01') + frame + table + scan;
    return bytes + std::string(132 - bytes.size(), '\0');
}

} // namespace media
