#pragma once

// Helpers shared by the archive tests: a temporary directory, file access, and
// patching of fields in the headers of an archive the writer made.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

namespace archive_test {

using Bytes = std::vector<unsigned char>;

inline Bytes bytesOf(const std::string& text)
{
    return Bytes(text.begin(), text.end());
}

// A fresh directory under the system's temporary directory, removed with its contents.
class TempDir {
public:
    TempDir()
    {
        static int counter = 0;
        path_ = std::filesystem::temp_directory_path() /
                ("zq_archive_test_" + std::to_string(getpid()) + "_" + std::to_string(counter++));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TempDir() { std::filesystem::remove_all(path_); }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string file(const std::string& name) const { return (path_ / name).string(); }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

inline void writeBytes(const std::string& path, const Bytes& bytes)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!file)
        throw std::runtime_error("cannot write " + path);
}

inline Bytes readBytes(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

inline uint32_t get32(const Bytes& b, size_t at)
{
    return uint32_t(b.at(at)) | uint32_t(b.at(at + 1)) << 8 | uint32_t(b.at(at + 2)) << 16 |
           uint32_t(b.at(at + 3)) << 24;
}

inline void put(Bytes& b, size_t at, uint32_t value, int width)
{
    for (int i = 0; i < width; ++i)
        b.at(at + i) = static_cast<unsigned char>(value >> (8 * i));
}

// Offset of the central directory record of entry index (single-disk archive, no comment).
inline size_t centralRecord(const Bytes& archive, size_t index)
{
    size_t at = get32(archive, archive.size() - 22 + 16);
    for (size_t i = 0; i < index; ++i)
        at += 46 + (archive.at(at + 28) | archive.at(at + 29) << 8) + (archive.at(at + 30) | archive.at(at + 31) << 8) +
              (archive.at(at + 32) | archive.at(at + 33) << 8);
    return at;
}

inline size_t localRecord(const Bytes& archive, size_t index)
{
    return get32(archive, centralRecord(archive, index) + 42);
}

// Offset and length of an entry's stored bytes (encryption header or AES salt,
// verifier and authentication code included).
inline std::pair<size_t, size_t> payloadRange(const Bytes& archive, size_t index)
{
    const size_t local = localRecord(archive, index);
    const size_t nameLength = archive.at(local + 26) | archive.at(local + 27) << 8;
    const size_t extraLength = archive.at(local + 28) | archive.at(local + 29) << 8;
    return {local + 30 + nameLength + extraLength, get32(archive, centralRecord(archive, index) + 20)};
}

// Offset of the 0x9901 field's data (version, "AE", strength, method) in an entry's
// central extra field; our writer puts it there alone.
inline size_t centralAesField(const Bytes& archive, size_t index)
{
    const size_t central = centralRecord(archive, index);
    const size_t nameSize = archive.at(central + 28) | archive.at(central + 29) << 8;
    return central + 46 + nameSize + 4;
}

// Header fields kept in both the local and the central record of an entry.
enum class Field { Flags, Method, Crc, CompressedSize, Size };

inline void patchEntry(Bytes& archive, size_t index, Field field, uint32_t value)
{
    struct Place { size_t local, central; int width; };
    static const Place places[] = {{6, 8, 2}, {8, 10, 2}, {14, 16, 4}, {18, 20, 4}, {22, 24, 4}};
    const Place& place = places[static_cast<int>(field)];
    put(archive, localRecord(archive, index) + place.local, value, place.width);
    put(archive, centralRecord(archive, index) + place.central, value, place.width);
}

// The message of the runtime error that f raises, or "" when it raises none.
template <typename F>
std::string errorOf(F&& f)
{
    try {
        f();
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    return "";
}

inline bool toolAvailable(const char* tool)
{
    return std::system((std::string("command -v ") + tool + " >/dev/null 2>&1").c_str()) == 0;
}

}
