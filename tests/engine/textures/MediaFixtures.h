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

} // namespace media
