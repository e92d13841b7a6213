#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

// Largest file of game data the player reads, in bytes: a model file, an archive member,
// an atlas, a font, a sound or a shader never comes near it; a file past it is damage.
inline constexpr std::uint64_t kZqMaxDataFileSize = 64ull << 20;

// A whole file in one buffer, followed by one zero byte (so that text reads as a C
// string); size does not count that byte.
struct ZqFileBytes {
    std::unique_ptr<unsigned char[]> data;
    std::size_t size = 0;
};

// Reads the regular file at path whole, if it holds at most limit bytes. The file is
// opened without waiting (a FIFO or a device never blocks the caller) and refused unless
// it is a regular file; its size is checked before a byte is read, and the bytes go
// straight into their one buffer. Returns "" on success, else why the file was refused
// ("missing", "not a regular file", "larger than 64 MiB", "cannot be read: ..."); out is
// then empty.
std::string zqReadRegularFile(const std::string& path, std::uint64_t limit, ZqFileBytes& out);
