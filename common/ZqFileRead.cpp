#include "ZqFileRead.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string sizeText(std::uint64_t bytes)
{
    if (bytes >= (1u << 20) && bytes % (1u << 20) == 0)
        return std::to_string(bytes >> 20) + " MiB";
    return std::to_string(bytes) + " bytes";
}

// Closes the descriptor on every way out.
struct Descriptor {
    int fd;
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

} // namespace

std::string zqReadRegularFile(const std::string& path, std::uint64_t limit, ZqFileBytes& out)
{
    out = ZqFileBytes();
    // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer for ever.
    const Descriptor file{::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY)};
    if (file.fd < 0)
        return errno == ENOENT || errno == ENOTDIR ? "missing" : std::string("cannot be read: ") + std::strerror(errno);
    struct stat status {};
    if (::fstat(file.fd, &status) != 0)
        return std::string("cannot be read: ") + std::strerror(errno);
    if (!S_ISREG(status.st_mode))
        return "not a regular file";
    const std::uint64_t size = static_cast<std::uint64_t>(status.st_size);
    if (size > limit)
        return "larger than " + sizeText(limit);

    ZqFileBytes bytes;
    bytes.data.reset(new unsigned char[static_cast<std::size_t>(size) + 1]);
    // A file cut short since it was measured gives what it still holds; one grown since
    // gives the measured part only, so the buffer never grows past the limit.
    std::size_t got = 0;
    while (got < size) {
        const ssize_t n = ::read(file.fd, bytes.data.get() + got, static_cast<std::size_t>(size) - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return std::string("cannot be read: ") + std::strerror(errno);
        if (n == 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    bytes.data[got] = 0;
    bytes.size = got;
    out = std::move(bytes);
    return std::string();
}
