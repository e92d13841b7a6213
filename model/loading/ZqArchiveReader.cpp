#include "model/loading/ZqArchiveReader.h"

#include <ZqFileRead.h>
#include <ZqLog.h>

#include <minizip/unzip.h>
#include <openssl/crypto.h>
#include <zlib.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace {
constexpr int kStatusWrongPassword = -106;
// Not a minizip status: the reader's own, for PKWARE strong encryption.
constexpr int kStatusUnsupportedEncryption = -1000;

constexpr int kMethodStored = 0;
constexpr int kMethodDeflated = 8;
constexpr int kMethodAes = 99;
constexpr unsigned long kFlagEncrypted = 0x0001;
constexpr unsigned long kFlagDataDescriptor = 0x0008;
constexpr unsigned long kFlagStrongEncryption = 0x0040;

constexpr uint32_t kCentralSignature = 0x02014b50;
constexpr uint32_t kLocalSignature = 0x04034b50;
constexpr size_t kCentralRecordSize = 46;
constexpr size_t kLocalHeaderSize = 30;
constexpr uint16_t kAesExtraId = 0x9901;
constexpr size_t kAesExtraSize = 7;

unzFile handle(void* archive)
{
    return static_cast<unzFile>(archive);
}

// A failed open may leave errno untouched; a system_error saying "Success" would hide
// that something went wrong.
int lastErrno(int fallback)
{
    return errno != 0 ? errno : fallback;
}

[[noreturn]] void throwArchiveError(int status, const std::string& message)
{
    switch (status) {
    case UNZ_ERRNO:
        // minizip also says this when the directory points past the end of the file,
        // with errno untouched: damage, not an I/O error.
        if (errno == 0)
            throw std::runtime_error(message + " Bad archive");
        // system_error adds ": " and the error's text itself.
        throw std::system_error(errno, std::generic_category(),
                                message.back() == ':' ? message.substr(0, message.size() - 1) : message);
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

uint16_t get16(const unsigned char* p)
{
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

uint32_t get32(const unsigned char* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

// The fields of an AES member's 0x9901 extra field.
struct AesField {
    int version = 0;   // 1: AE-1 (CRC kept), 2: AE-2 (no CRC)
    int strength = 0;  // 1, 2, 3: AES-128, -192, -256
    int method = 0;    // the real compression method
};

// The 0x9901 record of an extra field, checked; nothing when it is missing or wrong.
std::optional<AesField> findAesField(const std::vector<unsigned char>& extra)
{
    size_t at = 0;
    while (at + 4 <= extra.size()) {
        const uint16_t id = get16(&extra[at]);
        const size_t size = get16(&extra[at + 2]);
        if (at + 4 + size > extra.size())
            return std::nullopt;
        if (id == kAesExtraId) {
            const unsigned char* field = &extra[at + 4];
            AesField aes{get16(field), field[4], get16(field + 5)};
            if (size != kAesExtraSize || (aes.version != 1 && aes.version != 2) || field[2] != 'A' ||
                field[3] != 'E' || !ZqZipAes::isValidStrength(aes.strength))
                return std::nullopt;
            return aes;
        }
        at += 4 + size;
    }
    return std::nullopt;
}

// minizip opens no file by name: its stream is a buffered FILE over a dup of the descriptor
// opened beneath the game folder, so no link swapped after that open can lead it to another
// file. minizip reads headers a byte at a time: the FILE's buffer keeps that from becoming a
// system call a byte. The reader's own raw reads are positioned (pread) and never move the
// shared file offset that the FILE's buffer follows.
voidpf ZCALLBACK openDescriptor(voidpf opaque, const void*, int)
{
    const int fd = fcntl(*static_cast<const int*>(opaque), F_DUPFD_CLOEXEC, 0);
    if (fd < 0)
        return nullptr;
    FILE* file = fdopen(fd, "rb");
    if (!file)
        close(fd);
    return file;
}
}

// What the central directory and the member's local header say about the member at
// the current position.
struct ZqArchiveReader::Header {
    unz_file_info64 info{};
    std::string name;
    std::vector<unsigned char> centralExtra;
    uint64_t dataOffset = 0;  // first stored byte
};

ZqArchiveReader::ZqArchiveReader(const std::string& path, const std::string& root)
{
    errno = 0;
    // O_NONBLOCK: a FIFO put at the path would otherwise hold the open for ever.
    file_ = zqOpenBeneath(path, root, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (file_ < 0 && errno == EXDEV)
        throw std::runtime_error(std::string("Unable to open the archive: it ") + zqWhyOutside(path, root));
    struct stat status {};
    if (file_ >= 0 && fstat(file_, &status) == 0 && S_ISREG(status.st_mode)) {
        zlib_filefunc64_def functions{};
        fill_fopen64_filefunc(&functions);
        functions.zopen64_file = openDescriptor;
        functions.opaque = &file_;
        archive_ = unzOpen2_64(path.c_str(), &functions);
    }
    if (!archive_) {
        const int error = file_ >= 0 && !S_ISREG(status.st_mode) ? EISDIR : lastErrno(EINVAL);
        // A zip's first member header with no directory to find: the archive was cut
        // short or its end is damaged, not a file of another kind.
        unsigned char start[4] = {};
        const bool zipStart = file_ >= 0 && S_ISREG(status.st_mode) && pread(file_, start, 4, 0) == 4 &&
                              get32(start) == kLocalSignature;
        if (file_ >= 0)
            close(file_);
        if (zipStart)
            throw std::runtime_error("Unable to open the archive: the archive is damaged (its zip directory is "
                                     "missing or cut off)");
        // A file that opened and read but holds no zip directory is a file of another kind:
        // minizip leaves no reason of its own ("Invalid argument").
        if (file_ >= 0 && S_ISREG(status.st_mode) && error == EINVAL)
            throw std::runtime_error("Unable to open the archive: the file is not a zip archive");
        throw std::system_error(error, std::generic_category(), "Unable to open the archive");
    }
    fileSize_ = static_cast<uint64_t>(status.st_size);

    // Every entry's headers once, so that a damaged name cannot hide a member from the
    // walk. Nothing is inflated.
    try {
        errno = 0;
        int result = unzGoToFirstFile(handle(archive_));
        const char* message = "Unable to locate the first file:";
        for (; result == UNZ_OK; errno = 0, result = unzGoToNextFile(handle(archive_)), message = kNextError)
            currentHeader(message);
        if (result != UNZ_END_OF_LIST_OF_FILE)
            throwArchiveError(result, message);
    } catch (...) {
        unzClose(handle(archive_));
        close(file_);
        throw;
    }
}

ZqArchiveReader::~ZqArchiveReader()
{
    closeMember();
    unzClose(handle(archive_));
    close(file_);
}

std::string ZqArchiveReader::currentFileName()
{
    errno = 0;
    unz_file_info64 info;
    int status = unzGetCurrentFileInfo64(handle(archive_), &info, nullptr, 0, nullptr, 0, nullptr, 0);
    if (status != UNZ_OK)
        throwArchiveError(status, kNextError);
    std::string name(info.size_filename + 1, '\0');
    status = unzGetCurrentFileInfo64(handle(archive_), &info, name.data(), name.size(), nullptr, 0, nullptr, 0);
    if (status != UNZ_OK)
        throwArchiveError(status, kNextError);
    name.resize(info.size_filename);
    return name;
}

void ZqArchiveReader::readAt(uint64_t offset, unsigned char* out, size_t size, const char* message) const
{
    if (offset > fileSize_ || size > fileSize_ - offset)
        throwArchiveError(UNZ_BADZIPFILE, message);
    while (size > 0) {
        errno = 0;
        const ssize_t count = pread(file_, out, size, static_cast<off_t>(offset));
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            throwArchiveError(UNZ_ERRNO, message);
        if (count == 0)
            throwArchiveError(UNZ_BADZIPFILE, message);  // the file shrank under us
        out += count;
        offset += static_cast<uint64_t>(count);
        size -= static_cast<size_t>(count);
    }
}

ZqArchiveReader::Header ZqArchiveReader::currentHeader(const char* message)
{
    Header header;
    errno = 0;
    int status = unzGetCurrentFileInfo64(handle(archive_), &header.info, nullptr, 0, nullptr, 0, nullptr, 0);
    if (status != UNZ_OK)
        throwArchiveError(status, message);
    header.name.resize(header.info.size_filename);
    header.centralExtra.resize(header.info.size_file_extra);
    status = unzGetCurrentFileInfo64(handle(archive_), &header.info, header.name.data(), header.name.size(),
                                     header.centralExtra.data(), header.centralExtra.size(), nullptr, 0);
    if (status != UNZ_OK)
        throwArchiveError(status, message);

    // minizip keeps the local header's offset to itself: read it from the directory
    // record, which must sit where minizip found it (no bytes before the zip data).
    unsigned char central[kCentralRecordSize];
    readAt(unzGetOffset64(handle(archive_)), central, sizeof central, message);
    const uint32_t local = get32(central + 42);
    if (get32(central) != kCentralSignature || get16(central + 28) != header.name.size() || local == 0xFFFFFFFFu)
        throwArchiveError(UNZ_BADZIPFILE, message);

    unsigned char localHeader[kLocalHeaderSize];
    readAt(local, localHeader, sizeof localHeader, message);
    const size_t localNameSize = get16(localHeader + 26);
    if (get32(localHeader) != kLocalSignature || get16(localHeader + 8) != header.info.compression_method ||
        localNameSize != header.name.size())
        throwArchiveError(UNZ_BADZIPFILE, message);
    std::string localName(localNameSize, '\0');
    readAt(local + kLocalHeaderSize, reinterpret_cast<unsigned char*>(localName.data()), localNameSize, message);
    // A damaged name in either copy would make the member pass for another, or for
    // one the loader does not know.
    if (localName != header.name) {
        debugLog("[ZqArchiveReader] member \"%s\" is \"%s\" in its local header", zqPrintable(header.name).c_str(),
                 zqPrintable(localName).c_str());
        throwArchiveError(UNZ_BADZIPFILE, message);
    }
    header.dataOffset = local + kLocalHeaderSize + localNameSize + get16(localHeader + 28);
    if (header.dataOffset > fileSize_ || header.info.compressed_size > fileSize_ - header.dataOffset)
        throwArchiveError(UNZ_BADZIPFILE, message);
    return header;
}

void ZqArchiveReader::openCurrentFile(std::string_view password)
{
    closeMember();
    const Header header = currentHeader(kOpenError);
    const unz_file_info64& info = header.info;
    if (info.flag & kFlagStrongEncryption) {
        debugLog("[ZqArchiveReader] %s: unsupported encryption", zqPrintable(header.name).c_str());
        throwArchiveError(kStatusUnsupportedEncryption, kOpenError);
    }
    const bool encrypted = (info.flag & kFlagEncrypted) != 0;
    OpenMember member;
    member.dataOffset = header.dataOffset;
    member.storedSize = info.compressed_size;
    member.memberStoredSize = info.compressed_size;
    member.size = info.uncompressed_size;
    member.crc = static_cast<uint32_t>(info.crc);
    member.method = static_cast<int>(info.compression_method);

    std::optional<AesField> aes;
    if (member.method == kMethodAes) {
        aes = findAesField(header.centralExtra);
        if (!aes || !encrypted)
            throwArchiveError(UNZ_BADZIPFILE, kReadError);
        member.method = aes->method;
        member.checkCrc = aes->version == 1;
    }
    if (member.method != kMethodStored && member.method != kMethodDeflated)
        throwArchiveError(UNZ_BADZIPFILE, kOpenError);
    if (encrypted && password.empty())
        throwArchiveError(kStatusWrongPassword, kOpenError);

    if (aes) {
        // Salt, verifier, at least no data, authentication code.
        const size_t saltSize = ZqZipAes::saltSize(aes->strength);
        if (member.storedSize < saltSize + ZqZipAes::kVerifierSize + ZqZipAes::kAuthCodeSize)
            throwArchiveError(UNZ_BADZIPFILE, kReadError);
        unsigned char head[ZqZipAes::kMaxSaltSize + ZqZipAes::kVerifierSize];
        readAt(member.dataOffset, head, saltSize + ZqZipAes::kVerifierSize, kOpenError);
        member.aes = std::make_unique<ZqZipAes>(password, aes->strength, std::span(head, saltSize));
        if (CRYPTO_memcmp(member.aes->verifier().data(), head + saltSize, ZqZipAes::kVerifierSize) != 0)
            throwArchiveError(kStatusWrongPassword, kOpenError);
        member.dataOffset += saltSize + ZqZipAes::kVerifierSize;
        member.storedSize -= saltSize + ZqZipAes::kVerifierSize;
    } else if (encrypted) {
        if (member.storedSize < ZqZipCrypto::kHeaderSize)
            throwArchiveError(UNZ_BADZIPFILE, kOpenError);
        unsigned char head[ZqZipCrypto::kHeaderSize];
        readAt(member.dataOffset, head, sizeof head, kOpenError);
        member.cipher.emplace(password);
        member.cipher->decrypt(head, sizeof head);
        // With a data descriptor (flag bit 3) the CRC is not known when the header is
        // written, so the check byte is the high byte of the DOS time instead.
        const auto expected = static_cast<unsigned char>(
            (info.flag & kFlagDataDescriptor) ? (info.dosDate >> 8) & 0xFF : (info.crc >> 24) & 0xFF);
        if (head[ZqZipCrypto::kHeaderSize - 1] != expected)
            throwArchiveError(kStatusWrongPassword, kOpenError);
        member.dataOffset += ZqZipCrypto::kHeaderSize;
        member.storedSize -= ZqZipCrypto::kHeaderSize;
    }
    member_ = std::move(member);
    openName_ = header.name;
}

bool ZqArchiveReader::locateFile(const std::string& name, std::string_view password)
{
    if (name.empty())
        return false;
    if (!openName_.empty() && openName_ == name)
        return true;
    closeMember();
    errno = 0;
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
    errno = 0;
    return walkFrom(unzGoToFirstFile(handle(archive_)), "Unable to locate the first file:");
}

std::string ZqArchiveReader::nextFile()
{
    closeMember();
    errno = 0;
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
        errno = 0;
        status = unzGoToNextFile(handle(archive_));
        message = kNextError;
    }
}

bool ZqArchiveReader::isAtMember(const std::string& name)
{
    unz_file_info64 info;
    // Fails past the end of the walk: then there is no current member.
    if (unzGetCurrentFileInfo64(handle(archive_), &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK)
        return false;
    return info.size_filename == name.size() && currentFileName() == name;
}

std::optional<std::vector<unsigned char>> ZqArchiveReader::readFile(const std::string& name,
                                                                    std::string_view password, uint64_t maxSize)
{
    if (name.empty())
        return std::nullopt;
    try {
        if (openName_ != name) {
            if (isAtMember(name))
                openCurrentFile(password);
            else if (!locateFile(name, password))
                return std::nullopt;
        }
        std::vector<unsigned char> data = readOpenMember(maxSize);
        closeMember();
        return data;
    } catch (...) {
        closeMember();
        throw;
    }
}

std::vector<unsigned char> ZqArchiveReader::readOpenMember(uint64_t maxSize)
{
    const OpenMember& member = member_;
    const size_t authSize = member.aes ? ZqZipAes::kAuthCodeSize : 0;
    const uint64_t dataSize = member.storedSize - authSize;
    const bool stored = member.method == kMethodStored;
    // Deflate never grows data by more than compressBound's margin (with room for
    // other deflaters' block choices); more stored bytes than that are not a member.
    const uint64_t maxStored = stored ? member.size : compressBound(static_cast<uLong>(member.size)) + 64;
    if (member.size > maxSize || !sizeAccepted(member.size, member.memberStoredSize) || dataSize > maxStored ||
        (stored && dataSize != member.size))
        throwArchiveError(UNZ_BADZIPFILE, kReadError);

    std::vector<unsigned char> raw(static_cast<size_t>(member.storedSize));
    readAt(member.dataOffset, raw.data(), raw.size(), kReadError);
    if (member.aes) {
        // Every stored byte is authenticated before one is decrypted or inflated.
        const ZqZipAes::AuthCode code = member.aes->authCode(std::span(raw.data(), static_cast<size_t>(dataSize)));
        if (CRYPTO_memcmp(code.data(), raw.data() + dataSize, authSize) != 0)
            throwArchiveError(UNZ_BADZIPFILE, kReadError);
        raw.resize(static_cast<size_t>(dataSize));
        member.aes->crypt(raw.data(), raw.size());
    } else if (member.cipher) {
        member_.cipher->decrypt(raw.data(), raw.size());
    }

    std::vector<unsigned char> data;
    if (stored) {
        data = std::move(raw);
    } else {
        data.resize(static_cast<size_t>(member.size));
        z_stream zs{};
        if (inflateInit2(&zs, -MAX_WBITS) != Z_OK)
            throwArchiveError(Z_MEM_ERROR, kReadError);
        unsigned char spare = 0;  // zlib refuses a null output pointer, even for 0 bytes
        zs.next_in = raw.empty() ? &spare : raw.data();
        zs.avail_in = static_cast<uInt>(raw.size());
        zs.next_out = data.empty() ? &spare : data.data();
        zs.avail_out = static_cast<uInt>(data.size());
        const int status = inflate(&zs, Z_FINISH);
        const bool exact = zs.avail_in == 0 && zs.total_out == data.size();
        inflateEnd(&zs);
        // Not ended: damaged or more data than declared; bytes left over: wrong sizes.
        if (status != Z_STREAM_END || !exact)
            throwArchiveError(Z_DATA_ERROR, kReadError);
    }
    if (member.checkCrc &&
        static_cast<uint32_t>(crc32(0L, data.data(), static_cast<uInt>(data.size()))) != member.crc)
        throwArchiveError(UNZ_BADZIPFILE, kReadError);
    return data;
}

void ZqArchiveReader::closeMember()
{
    openName_.clear();
    member_ = OpenMember{};
}
