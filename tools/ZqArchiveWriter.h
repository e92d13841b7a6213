#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

// Writes a zip archive of named members held in memory, in the form the player reads
// and the standard zip tools accept: each member deflated or stored, and, when a
// password is given, protected with traditional zip encryption (encryption header with
// the CRC's high byte as check byte, no data descriptor) or with WinZip AES (AE-1 or
// AE-2, 128, 192 or 256 bits, method 99 with the 0x9901 extra field). Directory
// entries are never encrypted. No zip64: members and the archive stay below 4 GiB, at
// most 65535 entries. Every entry carries the same fixed time stamp, so equal input
// gives equal archives apart from the random bytes of the encryption headers (from
// zqRand()) and of the AES salts (from libcrypto's generator: a salt must never repeat
// under one password).
class ZqArchiveWriter {
public:
    enum class Method : uint16_t { Stored = 0, Deflated = 8 };
    enum class Cipher { Traditional, Aes128, Aes192, Aes256 };
    // AE-1 keeps the CRC; AE-2 stores 0 in its place and relies on the authentication code.
    enum class AesVersion : uint16_t { Ae1 = 1, Ae2 = 2 };

    // password: the zip password's bytes; empty writes unencrypted members.
    explicit ZqArchiveWriter(std::string password = {}, Cipher cipher = Cipher::Traditional,
                             AesVersion aesVersion = AesVersion::Ae2);

    // Adds a member named name (no trailing "/") holding data, compressed with method;
    // a member that would inflate further than the player's reader accepts is stored
    // instead (ZqArchiveReader::sizeAccepted). Raises std::invalid_argument for an empty
    // or directory name and std::length_error past the format's limits or for a member
    // larger than the reader accepts.
    void addFile(const std::string& name, std::span<const unsigned char> data,
                 Method method = Method::Deflated);
    void addFile(const std::string& name, const std::string& text, Method method = Method::Deflated);

    // Adds a directory entry; name must end in "/".
    void addDirectory(const std::string& name);

    // The whole archive: local entries, central directory and end record.
    std::vector<unsigned char> archive() const;

    // Writes archive() to path. Raises std::system_error when the file cannot be written.
    void save(const std::string& path) const;

private:
    struct Entry {
        std::string name;
        uint16_t flags = 0;
        uint16_t method = 0;  // 0, 8, or 99 for AES (the real one in the extra field)
        uint32_t crc = 0;
        uint32_t compressedSize = 0;  // encryption header included
        uint32_t size = 0;
        uint32_t localOffset = 0;
        uint16_t versionNeeded = 20;  // 2.0: deflate, traditional encryption; 5.1 for AES
        std::vector<unsigned char> extra;  // the same in the local and the central header
        bool directory = false;
    };

    std::vector<unsigned char> encryptTraditional(Entry& entry, std::span<const unsigned char> packed) const;
    std::vector<unsigned char> encryptAes(Entry& entry, std::span<const unsigned char> packed) const;

    void addEntry(Entry entry, std::vector<unsigned char> payload);

    std::string password_;
    Cipher cipher_;
    AesVersion aesVersion_;
    std::vector<Entry> entries_;
    std::vector<unsigned char> local_;  // local headers and member data, in order
};
