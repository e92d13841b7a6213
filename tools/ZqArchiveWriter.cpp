#include "tools/ZqArchiveWriter.h"

#include "model/loading/ZqArchiveReader.h"
#include "model/loading/ZqZipCrypto.h"

#include <ZqRandom.h>

#include <openssl/rand.h>
#include <zlib.h>

#include <cerrno>
#include <fstream>
#include <limits>
#include <stdexcept>
#include <system_error>

namespace {
constexpr uint32_t kLocalSignature = 0x04034b50;
constexpr uint32_t kCentralSignature = 0x02014b50;
constexpr uint32_t kEndSignature = 0x06054b50;
constexpr uint16_t kVersionNeededAes = 51;    // 5.1: AES
constexpr uint16_t kMethodAes = 99;
constexpr uint16_t kAesExtraId = 0x9901;
constexpr uint16_t kVersionMadeBy = 0x0314;   // Unix, 2.0: external attributes are a mode
constexpr uint16_t kFlagEncrypted = 0x0001;
// 2020-01-01 00:00:00 in MS-DOS form.
constexpr uint16_t kDosTime = 0;
constexpr uint16_t kDosDate = ((2020 - 1980) << 9) | (1 << 5) | 1;
constexpr uint32_t kFileMode = 0100644;
constexpr uint32_t kDirectoryMode = 040755;
constexpr uint32_t kDosDirectoryAttribute = 0x10;

void put16(std::vector<unsigned char>& out, uint16_t value)
{
    out.push_back(static_cast<unsigned char>(value));
    out.push_back(static_cast<unsigned char>(value >> 8));
}

void put32(std::vector<unsigned char>& out, uint32_t value)
{
    put16(out, static_cast<uint16_t>(value));
    put16(out, static_cast<uint16_t>(value >> 16));
}

uint32_t checked32(size_t value, const char* what)
{
    if (value >= std::numeric_limits<uint32_t>::max())
        throw std::length_error(std::string("ZqArchiveWriter: ") + what + " too large for a zip archive");
    return static_cast<uint32_t>(value);
}

std::vector<unsigned char> deflateRaw(std::span<const unsigned char> data)
{
    z_stream zs{};
    if (deflateInit2(&zs, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        throw std::runtime_error("ZqArchiveWriter: deflate cannot start");
    std::vector<unsigned char> out(deflateBound(&zs, checked32(data.size(), "member")));
    // zlib takes a non-const input pointer but does not write through it.
    zs.next_in = const_cast<unsigned char*>(data.data());
    zs.avail_in = static_cast<uInt>(data.size());
    zs.next_out = out.data();
    zs.avail_out = static_cast<uInt>(out.size());
    const int status = deflate(&zs, Z_FINISH);
    out.resize(zs.total_out);
    deflateEnd(&zs);
    if (status != Z_STREAM_END)
        throw std::runtime_error("ZqArchiveWriter: deflate failed");
    return out;
}
}

ZqArchiveWriter::ZqArchiveWriter(std::string password, Cipher cipher, AesVersion aesVersion)
    : password_(std::move(password)), cipher_(cipher), aesVersion_(aesVersion)
{
}

void ZqArchiveWriter::addFile(const std::string& name, std::span<const unsigned char> data, Method method)
{
    if (name.empty() || name.back() == '/')
        throw std::invalid_argument("ZqArchiveWriter: a file needs a name without a trailing '/'");
    if (data.size() > ZqArchiveReader::kMaxMemberSize)
        throw std::length_error("ZqArchiveWriter: member " + name + " is larger than the player reads");
    Entry entry;
    entry.name = name;
    entry.size = checked32(data.size(), "member");
    entry.crc = static_cast<uint32_t>(crc32(0L, data.data(), static_cast<uInt>(data.size())));

    std::vector<unsigned char> packed;
    if (method == Method::Deflated) {
        packed = deflateRaw(data);
        // Highly repetitive data the player would take for a bomb.
        if (!ZqArchiveReader::sizeAccepted(data.size(), packed.size()))
            method = Method::Stored;
    }
    if (method == Method::Stored)
        packed.assign(data.begin(), data.end());
    entry.method = static_cast<uint16_t>(method);

    std::vector<unsigned char> payload;
    if (password_.empty())
        payload = std::move(packed);
    else if (cipher_ == Cipher::Traditional)
        payload = encryptTraditional(entry, packed);
    else
        payload = encryptAes(entry, packed);
    addEntry(std::move(entry), std::move(payload));
}

std::vector<unsigned char> ZqArchiveWriter::encryptTraditional(Entry& entry,
                                                               std::span<const unsigned char> packed) const
{
    // Ten random bytes, then the CRC's two high bytes; the last is the check byte.
    std::vector<unsigned char> payload(ZqZipCrypto::kHeaderSize);
    for (size_t i = 0; i < ZqZipCrypto::kHeaderSize - 2; ++i)
        payload[i] = static_cast<unsigned char>(zqRand() & 0xFF);
    payload[10] = static_cast<unsigned char>(entry.crc >> 16);
    payload[11] = static_cast<unsigned char>(entry.crc >> 24);
    payload.insert(payload.end(), packed.begin(), packed.end());
    ZqZipCrypto cipher(password_);
    cipher.encrypt(payload.data(), payload.size());
    entry.flags |= kFlagEncrypted;
    return payload;
}

std::vector<unsigned char> ZqArchiveWriter::encryptAes(Entry& entry, std::span<const unsigned char> packed) const
{
    const int strength = cipher_ == Cipher::Aes128 ? 1 : cipher_ == Cipher::Aes192 ? 2 : 3;
    const size_t saltSize = ZqZipAes::saltSize(strength);
    // Salt, verifier, encrypted bytes, authentication code.
    std::vector<unsigned char> payload(saltSize);
    if (RAND_bytes(payload.data(), static_cast<int>(saltSize)) != 1)
        throw std::runtime_error("ZqArchiveWriter: no random salt from libcrypto");
    ZqZipAes aes(password_, strength, payload);
    payload.insert(payload.end(), aes.verifier().begin(), aes.verifier().end());
    const size_t start = payload.size();
    payload.insert(payload.end(), packed.begin(), packed.end());
    aes.crypt(payload.data() + start, packed.size());
    const ZqZipAes::AuthCode code = aes.authCode(std::span(payload.data() + start, packed.size()));
    payload.insert(payload.end(), code.begin(), code.end());

    const auto version = static_cast<uint16_t>(aesVersion_);
    entry.extra = {static_cast<unsigned char>(kAesExtraId), static_cast<unsigned char>(kAesExtraId >> 8), 7, 0,
                   static_cast<unsigned char>(version), static_cast<unsigned char>(version >> 8), 'A', 'E',
                   static_cast<unsigned char>(strength), static_cast<unsigned char>(entry.method),
                   static_cast<unsigned char>(entry.method >> 8)};
    entry.method = kMethodAes;
    entry.flags |= kFlagEncrypted;
    entry.versionNeeded = kVersionNeededAes;
    if (aesVersion_ == AesVersion::Ae2)
        entry.crc = 0;
    return payload;
}

void ZqArchiveWriter::addFile(const std::string& name, const std::string& text, Method method)
{
    addFile(name, std::span(reinterpret_cast<const unsigned char*>(text.data()), text.size()), method);
}

void ZqArchiveWriter::addDirectory(const std::string& name)
{
    if (name.empty() || name.back() != '/')
        throw std::invalid_argument("ZqArchiveWriter: a directory name ends in '/'");
    Entry entry;
    entry.name = name;
    entry.directory = true;
    addEntry(std::move(entry), {});
}

void ZqArchiveWriter::addEntry(Entry entry, std::vector<unsigned char> payload)
{
    if (entry.name.size() > std::numeric_limits<uint16_t>::max())
        throw std::length_error("ZqArchiveWriter: member name too long");
    if (entries_.size() >= std::numeric_limits<uint16_t>::max())
        throw std::length_error("ZqArchiveWriter: too many members");
    entry.compressedSize = checked32(payload.size(), "member");
    entry.localOffset = checked32(local_.size(), "archive");

    put32(local_, kLocalSignature);
    put16(local_, entry.versionNeeded);
    put16(local_, entry.flags);
    put16(local_, entry.method);
    put16(local_, kDosTime);
    put16(local_, kDosDate);
    put32(local_, entry.crc);
    put32(local_, entry.compressedSize);
    put32(local_, entry.size);
    put16(local_, static_cast<uint16_t>(entry.name.size()));
    put16(local_, static_cast<uint16_t>(entry.extra.size()));
    local_.insert(local_.end(), entry.name.begin(), entry.name.end());
    local_.insert(local_.end(), entry.extra.begin(), entry.extra.end());
    local_.insert(local_.end(), payload.begin(), payload.end());
    checked32(local_.size(), "archive");
    entries_.push_back(std::move(entry));
}

std::vector<unsigned char> ZqArchiveWriter::archive() const
{
    std::vector<unsigned char> out = local_;
    const uint32_t centralOffset = static_cast<uint32_t>(out.size());
    for (const Entry& entry : entries_) {
        put32(out, kCentralSignature);
        put16(out, kVersionMadeBy);
        put16(out, entry.versionNeeded);
        put16(out, entry.flags);
        put16(out, entry.method);
        put16(out, kDosTime);
        put16(out, kDosDate);
        put32(out, entry.crc);
        put32(out, entry.compressedSize);
        put32(out, entry.size);
        put16(out, static_cast<uint16_t>(entry.name.size()));
        put16(out, static_cast<uint16_t>(entry.extra.size()));
        put16(out, 0);  // comment length
        put16(out, 0);  // disk number
        put16(out, 0);  // internal attributes
        put32(out, entry.directory ? (kDirectoryMode << 16) | kDosDirectoryAttribute : kFileMode << 16);
        put32(out, entry.localOffset);
        out.insert(out.end(), entry.name.begin(), entry.name.end());
        out.insert(out.end(), entry.extra.begin(), entry.extra.end());
    }
    const uint32_t centralSize = checked32(out.size() - centralOffset, "central directory");
    checked32(out.size(), "archive");
    put32(out, kEndSignature);
    put16(out, 0);  // this disk
    put16(out, 0);  // disk of the central directory
    put16(out, static_cast<uint16_t>(entries_.size()));
    put16(out, static_cast<uint16_t>(entries_.size()));
    put32(out, centralSize);
    put32(out, centralOffset);
    put16(out, 0);  // comment length
    return out;
}

void ZqArchiveWriter::save(const std::string& path) const
{
    const std::vector<unsigned char> bytes = archive();
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    file.close();
    if (!file)
        throw std::system_error(errno != 0 ? errno : EIO, std::generic_category(),
                                "ZqArchiveWriter: cannot write " + path);
}
