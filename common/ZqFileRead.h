#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
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

// An open descriptor, closed with the object.
struct ZqDescriptor {
    int fd = -1;
    ZqDescriptor() = default;
    explicit ZqDescriptor(int descriptor) : fd(descriptor) {}
    ZqDescriptor(const ZqDescriptor&) = delete;
    ZqDescriptor& operator=(const ZqDescriptor&) = delete;
    ~ZqDescriptor();
};

// Why a file of the game is refused when its path leads out of the game's folder.
inline constexpr const char* kZqLeadsOutside = "leads outside the game folder";
// Why one is refused whose links stay inside the folder but one of them is absolute: the
// kernel's walk beneath the folder follows relative links only.
inline constexpr const char* kZqAbsoluteLink =
    "is an absolute link; only relative links inside the game folder are followed";

// What a directory entry of that type is when it is no regular file ("a directory", "a FIFO",
// "a character device", "a link that leads nowhere", ...), else null. A FIFO or a device would
// block or never end if read as a file.
const char* zqNotAFile(std::filesystem::file_type type);

// Opens path with open's flags; root is the folder of the game's files (absolute, ending
// in '/'), or "" for a file of the player's own (its store). With a root, path must lie
// below it, and no step of it may lead out of the root: a symlink, or a symlinked folder
// on the way, whose target lies outside is refused, a relative one that stays inside is
// followed, an absolute one is refused (the kernel resolves beneath the root, openat2,
// following relative links only). Where it cannot, the opened file's real path is checked,
// so a link swapped meanwhile cannot lead the open out. The descriptor (the caller closes
// it), or -1 with errno set: EXDEV when path leads out of the root.
int zqOpenBeneath(const std::string& path, const std::string& root, int flags);

// What to say of a path zqOpenBeneath refused with EXDEV: kZqAbsoluteLink when it resolves
// inside root through an absolute link, else kZqLeadsOutside.
const char* zqWhyOutside(const std::string& path, const std::string& root);

// Opens the regular file at path for reading, if it holds at most limit bytes, into file
// and its size in bytes into size. The file is opened without waiting (a FIFO or a device
// never blocks the caller) and refused unless it is a regular file; its size is checked
// before a byte is read. The path is opened beneath root (zqOpenBeneath).
//
// Returns "" on success, else why the file was refused ("missing", "not a regular file",
// "larger than 64 MiB", zqWhyOutside's words, "cannot be read: ...").
std::string zqOpenRegularFile(const std::string& path, const std::string& root, std::uint64_t limit,
                              ZqDescriptor& file, std::uint64_t& size);

// Reads file from where it stands into data until size bytes are in or the file ends (a
// file cut short since it was measured gives what it still holds). Returns the count read,
// or -1 with errno set when a read fails.
std::ptrdiff_t zqReadUpTo(const ZqDescriptor& file, unsigned char* data, std::size_t size);

// Reads the regular file at path whole, as zqOpenRegularFile opens it, straight into its
// one buffer. Returns "" on success, else why the file was refused; out is then empty.
std::string zqReadRegularFile(const std::string& path, const std::string& root, std::uint64_t limit,
                              ZqFileBytes& out);
