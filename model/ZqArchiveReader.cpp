#include "model/ZqArchiveReader.h"

#include <ZqLog.h>

#include <minizip/unzip.h>
#include <zlib.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <system_error>

namespace {
constexpr int kStatusWrongPassword = -106;
// Not a minizip status: the reader's own, for AES and strong encryption.
constexpr int kStatusUnsupportedEncryption = -1000;

constexpr int kMethodStored = 0;
constexpr int kMethodDeflated = 8;
constexpr int kMethodAes = 99;
constexpr unsigned long kFlagEncrypted = 0x0001;
constexpr unsigned long kFlagDataDescriptor = 0x0008;
constexpr unsigned long kFlagStrongEncryption = 0x0040;
// Deflate cannot expand data by more than about 1032 to 1: a member declaring more
// is damaged, and refusing it early avoids allocating for a size it cannot have.
constexpr uint64_t kMaxDeflateRatio = 1032;
constexpr unsigned int kChunkSize = 16384;

unzFile handle(void* archive)
{
    return static_cast<unzFile>(archive);
}

// minizip reports some failures as I/O errors with errno untouched; a system_error
// saying "Success" would hide that something went wrong.
int lastErrno(int fallback)
{
    return errno != 0 ? errno : fallback;
}

[[noreturn]] void throwArchiveError(int status, const std::string& message)
{
    switch (status) {
    case UNZ_ERRNO:
        throw std::system_error(lastErrno(EIO), std::generic_category(), message);
    case UNZ_PARAMERROR:
        throw std::runtime_error(message + " Invalid parameter");
    case UNZ_BADZIPFILE:
    case Z_STREAM_ERROR:
    case Z_DATA_ERROR:
    case Z_MEM_ERROR:
    case Z_BUF_ERROR:
        throw std::runtime_error(message + " Bad archive");
    case kStatusWrongPassword:
        throw std::runtime_error(message + " Error P17");
    case kStatusUnsupportedEncryption:
        throw std::runtime_error(message + " Unsupported encryption");
    default:
        throw std::runtime_error(message + " Unknown error");
    }
}

constexpr const char* kOpenError = "Unable to open a file:";
constexpr const char* kReadError = "Unable to read the file:";
constexpr const char* kNextError = "Unable to locate the next file:";

bool isDirectoryOrNameless(const std::string& name)
{
    return name.empty() || name.back() == '/';
}
}

ZqArchiveReader::ZqArchiveReader(const std::string& path)
{
    errno = 0;
    archive_ = unzOpen(path.c_str());
    if (!archive_)
        throw std::system_error(lastErrno(EINVAL), std::generic_category(), "Unable to open the archive");

    // Count the model files once, for the loader's progress; nothing is decompressed.
    try {
        for (std::string name = firstFile(); !name.empty(); name = nextFile()) {
            if (name.find(".attributes.") != std::string::npos)
                ++attributesCount_;
            if (name.find(".connections.") != std::string::npos)
                ++connectionsCount_;
        }
    } catch (...) {
        unzClose(handle(archive_));
        throw;
    }
}

ZqArchiveReader::~ZqArchiveReader()
{
    closeMember();
    unzClose(handle(archive_));
}

size_t ZqArchiveReader::modelFileCount(int kind) const
{
    if (kind == 0)
        return attributesCount_;
    if (kind == 1)
        return connectionsCount_;
    return 0;
}

std::string ZqArchiveReader::currentFileName()
{
    unz_file_info info;
    int status = unzGetCurrentFileInfo(handle(archive_), &info, nullptr, 0, nullptr, 0, nullptr, 0);
    if (status != UNZ_OK)
        throwArchiveError(status, kNextError);
    std::string name(info.size_filename + 1, '\0');
    status = unzGetCurrentFileInfo(handle(archive_), &info, name.data(), name.size(), nullptr, 0, nullptr, 0);
    if (status != UNZ_OK)
        throwArchiveError(status, kNextError);
    name.resize(info.size_filename);
    return name;
}

void ZqArchiveReader::openCurrentFile(std::string_view password)
{
    closeMember();
    unz_file_info info;
    int status = unzGetCurrentFileInfo(handle(archive_), &info, nullptr, 0, nullptr, 0, nullptr, 0);
    if (status != UNZ_OK)
        throwArchiveError(status, kOpenError);
    const std::string name = currentFileName();

    if (info.compression_method == kMethodAes || (info.flag & kFlagStrongEncryption)) {
        debugLog("[ZqArchiveReader] %s: unsupported encryption", name.c_str());
        throwArchiveError(kStatusUnsupportedEncryption, kOpenError);
    }
    if (info.compression_method != kMethodStored && info.compression_method != kMethodDeflated)
        throwArchiveError(UNZ_BADZIPFILE, kOpenError);
    const bool encrypted = (info.flag & kFlagEncrypted) != 0;
    if (encrypted && (password.empty() || info.compressed_size < ZqZipCrypto::kHeaderSize))
        throwArchiveError(password.empty() ? kStatusWrongPassword : UNZ_BADZIPFILE, kOpenError);

    // Debian's minizip cannot decrypt, so every member is read raw and decoded here.
    int method = 0;
    int level = 0;
    status = unzOpenCurrentFile3(handle(archive_), &method, &level, 1, nullptr);
    if (status != UNZ_OK)
        throwArchiveError(status, kOpenError);
    openName_ = name;
    member_ = OpenMember{};
    member_.compressedSize = info.compressed_size;
    member_.size = info.uncompressed_size;
    member_.crc = static_cast<uint32_t>(info.crc);
    member_.method = static_cast<int>(info.compression_method);
    if (!encrypted)
        return;

    unsigned char header[ZqZipCrypto::kHeaderSize];
    const int count = unzReadCurrentFile(handle(archive_), header, sizeof header);
    if (count != static_cast<int>(sizeof header)) {
        closeMember();
        throwArchiveError(count < 0 ? count : UNZ_BADZIPFILE, kOpenError);
    }
    member_.cipher.emplace(password);
    member_.cipher->decrypt(header, sizeof header);
    // With a data descriptor (flag bit 3) the CRC is not known when the header is
    // written, so the check byte is the high byte of the DOS time instead.
    const auto expected = static_cast<unsigned char>(
        (info.flag & kFlagDataDescriptor) ? (info.dosDate >> 8) & 0xFF : (info.crc >> 24) & 0xFF);
    if (header[ZqZipCrypto::kHeaderSize - 1] != expected) {
        closeMember();
        throwArchiveError(kStatusWrongPassword, kOpenError);
    }
    member_.compressedSize -= ZqZipCrypto::kHeaderSize;
}

bool ZqArchiveReader::locateFile(const std::string& name, std::string_view password)
{
    if (name.empty())
        return false;
    if (!openName_.empty() && openName_ == name)
        return true;
    closeMember();
    // Case-sensitive on every platform: the writer stores exact names.
    const int status = unzLocateFile(handle(archive_), name.c_str(), 1);
    if (status == UNZ_END_OF_LIST_OF_FILE)
        return false;
    if (status != UNZ_OK)
        throwArchiveError(status, "Unable to locate the file:");
    openCurrentFile(password);
    return true;
}

std::string ZqArchiveReader::firstFile()
{
    closeMember();
    return walkFrom(unzGoToFirstFile(handle(archive_)), "Unable to locate the first file:");
}

std::string ZqArchiveReader::nextFile()
{
    closeMember();
    return walkFrom(unzGoToNextFile(handle(archive_)), kNextError);
}

// A loop rather than recursion over directory entries: a crafted archive may hold
// any number of them.
std::string ZqArchiveReader::walkFrom(int status, const char* message)
{
    for (;;) {
        if (status == UNZ_END_OF_LIST_OF_FILE)
            return {};
        if (status != UNZ_OK)
            throwArchiveError(status, message);
        std::string name = currentFileName();
        if (!isDirectoryOrNameless(name))
            return name;
        status = unzGoToNextFile(handle(archive_));
        message = kNextError;
    }
}

bool ZqArchiveReader::isAtMember(const std::string& name)
{
    unz_file_info info;
    // Fails past the end of the walk: then there is no current member.
    if (unzGetCurrentFileInfo(handle(archive_), &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK)
        return false;
    return info.size_filename == name.size() && currentFileName() == name;
}

std::optional<std::vector<unsigned char>> ZqArchiveReader::readFile(const std::string& name,
                                                                    std::string_view password)
{
    if (name.empty())
        return std::nullopt;
    if (openName_ != name) {
        if (isAtMember(name))
            openCurrentFile(password);
        else if (!locateFile(name, password))
            return std::nullopt;
    }
    try {
        std::vector<unsigned char> data = readOpenMember();
        closeMember();
        return data;
    } catch (...) {
        closeMember();
        throw;
    }
}

std::vector<unsigned char> ZqArchiveReader::readOpenMember()
{
    const uint64_t declared = member_.size;
    const bool stored = member_.method == kMethodStored;
    if (declared > kMaxMemberSize || (stored && member_.compressedSize != declared) ||
        (!stored && declared / kMaxDeflateRatio > member_.compressedSize))
        throwArchiveError(UNZ_BADZIPFILE, kReadError);

    std::vector<unsigned char> data(static_cast<size_t>(declared));
    errno = 0;
    z_stream zs{};
    if (!stored && inflateInit2(&zs, -MAX_WBITS) != Z_OK)
        throwArchiveError(Z_MEM_ERROR, kReadError);
    struct InflateEnd {
        z_stream* zs;
        bool active;
        ~InflateEnd() { if (active) inflateEnd(zs); }
    } inflateEnd{&zs, !stored};

    unsigned char chunk[kChunkSize];
    unsigned char spare = 0;  // zlib refuses a null output pointer, even for 0 bytes
    uint64_t rawRead = 0;
    size_t produced = 0;
    bool streamEnded = stored;
    for (;;) {
        const int count = unzReadCurrentFile(handle(archive_), chunk, kChunkSize);
        if (count < 0)
            throwArchiveError(count, kReadError);
        if (count == 0)
            break;
        rawRead += static_cast<unsigned int>(count);
        if (rawRead > member_.compressedSize)
            throwArchiveError(UNZ_BADZIPFILE, kReadError);
        if (member_.cipher)
            member_.cipher->decrypt(chunk, static_cast<size_t>(count));
        if (stored) {
            std::memcpy(data.data() + produced, chunk, static_cast<size_t>(count));
            produced += static_cast<size_t>(count);
            continue;
        }
        zs.next_in = chunk;
        zs.avail_in = static_cast<unsigned int>(count);
        while (zs.avail_in > 0) {
            // Bytes after the end of the deflate stream mean the sizes are wrong.
            if (streamEnded)
                throwArchiveError(Z_DATA_ERROR, kReadError);
            zs.next_out = produced < data.size() ? data.data() + produced : &spare;
            zs.avail_out = static_cast<unsigned int>(data.size() - produced);
            const int status = inflate(&zs, Z_NO_FLUSH);
            produced = data.size() - zs.avail_out;
            if (status == Z_STREAM_END)
                streamEnded = true;
            else if (status != Z_OK)
                throwArchiveError(status, kReadError);  // Z_BUF_ERROR: more data than declared
        }
    }

    if (rawRead != member_.compressedSize || !streamEnded || produced != data.size() ||
        static_cast<uint32_t>(crc32(0L, data.data(), static_cast<uInt>(data.size()))) != member_.crc)
        throwArchiveError(UNZ_BADZIPFILE, kReadError);
    return data;
}

void ZqArchiveReader::closeMember()
{
    if (openName_.empty())
        return;
    // The CRC status of the close is meaningless for raw reads; readOpenMember checks it.
    unzCloseCurrentFile(handle(archive_));
    openName_.clear();
    member_ = OpenMember{};
}
