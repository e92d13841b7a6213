#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

// Writes a zip archive of named members held in memory, in the form the player reads
// and the standard zip tools accept: each member deflated or stored, and protected
// with traditional zip encryption when a password is given (encryption header with
// the CRC's high byte as check byte, no data descriptor). Directory entries are
// never encrypted. No zip64: members and the archive stay below 4 GiB, at most
// 65535 entries. Every entry carries the same fixed time stamp, so equal input
// gives equal archives apart from the random bytes of the encryption headers,
// which come from zqRand().
class ZqArchiveWriter {
public:
    enum class Method : uint16_t { Stored = 0, Deflated = 8 };

    // password: the zip password's bytes; empty writes unencrypted members.
    explicit ZqArchiveWriter(std::string password = {});

    // Adds a member named name (no trailing "/") holding data, compressed with method.
    // Raises std::invalid_argument for an empty or directory name and std::length_error
    // past the format's limits.
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
        Method method = Method::Stored;
        uint32_t crc = 0;
        uint32_t compressedSize = 0;  // encryption header included
        uint32_t size = 0;
        uint32_t localOffset = 0;
        bool directory = false;
    };

    void addEntry(Entry entry, std::vector<unsigned char> payload);

    std::string password_;
    std::vector<Entry> entries_;
    std::vector<unsigned char> local_;  // local headers and member data, in order
};
