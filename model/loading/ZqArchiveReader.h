#pragma once

#include "model/loading/ZqZipCrypto.h"

#include <ZqFileRead.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Read-only access to the game's zip archive (data/data.pkg): read one named member
// whole, or walk the members in archive order. Members are plain, protected with
// traditional zip encryption, or AES-encrypted (WinZip AE-1/AE-2, method 99). minizip
// walks the central directory; each member's stored bytes are read raw and checked
// here: its local header against the directory, the check byte or password verifier,
// the AES authentication code over all of its stored bytes before any is decrypted,
// and its size and CRC (AE-2 has none) after inflating. Damaged data and a wrong
// password never come back as bytes.
//
// At most one member is open at a time. Errors other than a missing member or the
// end of the walk raise exceptions whose text is a fixed message and a suffix:
//   std::system_error  "Unable to open the archive", and I/O errors of the C library
//   std::runtime_error "<message> Invalid parameter" / " Bad archive" (damaged data:
//                      headers that disagree, failed CRC or authentication code, a
//                      short member, a bad AES field, an unsupported method, a member
//                      too large or inflating too far, see sizeAccepted)
//                      / " Error P17" (wrong or missing password: a failed check byte
//                      or verifier, nothing else)
//                      / " Unsupported encryption" (PKWARE strong encryption)
//                      / " Unknown error"
// with the messages "Unable to open a file:", "Unable to locate the file:",
// "Unable to locate the first file:", "Unable to locate the next file:" and
// "Unable to read the file:". After an error no member is open.
//
// Passwords are the zip password's bytes; an empty one reads plain members only.
// Archives with bytes in front of the zip data or zip64 offsets are refused. Main
// thread only.
class ZqArchiveReader {
public:
    // Largest member the reader accepts, in bytes (uncompressed): the cap of every file
    // of game data.
    static constexpr uint64_t kMaxMemberSize = kZqMaxDataFileSize;
    // A member larger than this may inflate to at most kMaxInflateRatio times its
    // stored bytes: more is a bomb, not game data.
    static constexpr uint64_t kRatioCheckedAbove = 1ull << 20;
    static constexpr uint64_t kMaxInflateRatio = 100;

    // Whether a member of size bytes stored in storedSize bytes is within the limits
    // above (the writer keeps to them too).
    static constexpr bool sizeAccepted(uint64_t size, uint64_t storedSize)
    {
        return size <= kMaxMemberSize && (size <= kRatioCheckedAbove || size / kMaxInflateRatio <= storedSize);
    }

    // Opens the archive and checks every member's local header against the central
    // directory. Raises std::system_error "Unable to open the archive" for a missing,
    // empty or non-zip file; a runtime error "Unable to open the archive: the archive is
    // damaged ..." for a zip file whose directory is missing or cut off (a truncated
    // archive), and "... Bad archive" when the directory cannot be walked or a header
    // disagrees. With a root (the game's folder), an archive whose path leads out of it is
    // refused with a runtime error "... it " and zqWhyOutside's words (zqOpenBeneath).
    // Every read, minizip's too, goes through the descriptor opened there: the path is
    // never opened again.
    explicit ZqArchiveReader(const std::string& path, const std::string& root = std::string());
    virtual ~ZqArchiveReader();

    ZqArchiveReader(const ZqArchiveReader&) = delete;
    ZqArchiveReader& operator=(const ZqArchiveReader&) = delete;

    // Name of the member at the current position.
    std::string currentFileName();

    // Opens the member at the current position for reading and checks its encryption
    // header or password verifier against the password.
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
    // after it. A member larger than maxSize (at most kMaxMemberSize) is "Bad archive".
    // No member is open afterwards.
    std::optional<std::vector<unsigned char>> readFile(const std::string& name, std::string_view password,
                                                       uint64_t maxSize = kMaxMemberSize);

private:
    struct Header;
    Header currentHeader(const char* message);
    void readAt(uint64_t offset, unsigned char* out, size_t size, const char* message) const;
    std::string walkFrom(int status, const char* message);
    bool isAtMember(const std::string& name);
    std::vector<unsigned char> readOpenMember(uint64_t maxSize);
    void closeMember();

    void* archive_ = nullptr;  // minizip unzFile, owned
    int file_ = -1;            // the same archive for raw reads, owned
    uint64_t fileSize_ = 0;
    std::string openName_;     // empty when no member is open

    // The open member, its encryption header or salt and verifier consumed.
    struct OpenMember {
        uint64_t dataOffset = 0;  // file offset of the first stored byte left
        uint64_t storedSize = 0;  // stored bytes left (an AES authentication code included)
        uint64_t memberStoredSize = 0;  // all stored bytes, for the inflate ratio
        uint64_t size = 0;
        uint32_t crc = 0;
        bool checkCrc = true;     // false for AE-2, whose authentication code is its check
        int method = 0;           // stored or deflated, under any encryption
        std::optional<ZqZipCrypto> cipher;
        std::unique_ptr<ZqZipAes> aes;
    };
    OpenMember member_;
};
