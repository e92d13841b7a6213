#pragma once

#include "model/ZqZipCrypto.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Read-only access to the game's zip archive (data/data.pkg): read one named member
// whole, or walk the members in archive order. Members are plain or protected with
// traditional zip encryption; each one read is checked against its check byte, its
// CRC-32 and its size, so damaged data and a wrong password never come back as bytes.
//
// At most one member is open at a time. Errors other than a missing member or the
// end of the walk raise exceptions whose text is a fixed message and a suffix:
//   std::system_error  "Unable to open the archive", and I/O errors of the C library
//   std::runtime_error "<message> Invalid parameter" / " Bad archive" (damaged data,
//                      CRC or size mismatch, unsupported method, member over 256 MiB)
//                      / " Error P17" (wrong or missing password)
//                      / " Unsupported encryption" (AES or strong encryption)
//                      / " Unknown error"
// with the messages "Unable to open a file:", "Unable to locate the file:",
// "Unable to locate the first file:", "Unable to locate the next file:" and
// "Unable to read the file:". After an error no member is open.
//
// Passwords are the zip password's bytes; an empty one reads plain members only.
// Main thread only.
class ZqArchiveReader {
public:
    // Largest member the reader accepts, in bytes (uncompressed).
    static constexpr uint64_t kMaxMemberSize = 256ull * 1024 * 1024;

    // Opens the archive and counts its model files from the central directory.
    // Raises std::system_error "Unable to open the archive" for a missing, empty or
    // non-zip file, and a runtime error when the central directory cannot be walked.
    explicit ZqArchiveReader(const std::string& path);
    virtual ~ZqArchiveReader();

    ZqArchiveReader(const ZqArchiveReader&) = delete;
    ZqArchiveReader& operator=(const ZqArchiveReader&) = delete;

    // Number of members whose names contain ".attributes." (kind 0) or ".connections."
    // (kind 1), directories excluded; 0 for any other kind.
    size_t modelFileCount(int kind) const;

    // Name of the member at the current position.
    std::string currentFileName();

    // Opens the member at the current position for reading and checks its encryption
    // header against the password.
    void openCurrentFile(std::string_view password);

    // Moves to the member of that exact name (case-sensitive) and opens it; true at once
    // when it is the open member. False when the archive has no such member.
    bool locateFile(const std::string& name, std::string_view password);

    // The walk: the name of the first / next member that is not a directory, or ""
    // past the last one. The walk only moves the position; it opens nothing, so a
    // member it passes over is never decrypted or checked.
    std::string firstFile();
    std::string nextFile();

    // The member's bytes, or nothing when the archive has no such member. The member at
    // the walk's position is read there without locating it again, so the walk goes on
    // after it. No member is open afterwards.
    std::optional<std::vector<unsigned char>> readFile(const std::string& name, std::string_view password);

private:
    std::string walkFrom(int status, const char* message);
    bool isAtMember(const std::string& name);
    std::vector<unsigned char> readOpenMember();
    void closeMember();

    void* archive_ = nullptr;  // minizip unzFile, owned
    std::string openName_;     // empty when no member is open
    size_t attributesCount_ = 0;
    size_t connectionsCount_ = 0;

    // The open member, from the central directory.
    struct OpenMember {
        uint64_t compressedSize = 0;  // stored bytes, encryption header excluded
        uint64_t size = 0;
        uint32_t crc = 0;
        int method = 0;
        std::optional<ZqZipCrypto> cipher;  // set for an encrypted member, header consumed
    };
    OpenMember member_;
};
