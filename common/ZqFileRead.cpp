#include "ZqFileRead.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

std::string sizeText(std::uint64_t bytes)
{
    if (bytes >= (1u << 20) && bytes % (1u << 20) == 0)
        return std::to_string(bytes >> 20) + " MiB";
    return std::to_string(bytes) + " bytes";
}

// The real path of a name, "" when it cannot be resolved.
std::string realPath(const std::string& path)
{
    char* real = ::realpath(path.c_str(), nullptr);
    const std::string result = real ? real : "";
    std::free(real);
    return result;
}

// The real path of what file opened: the kernel's name for the descriptor, else the
// real path of its name.
std::string realPathOf(int fd, const std::string& path)
{
    char buffer[PATH_MAX];
    const std::string link = "/proc/self/fd/" + std::to_string(fd);
    const ssize_t length = ::readlink(link.c_str(), buffer, sizeof buffer);
    if (length > 0 && static_cast<std::size_t>(length) < sizeof buffer)
        return std::string(buffer, static_cast<std::size_t>(length));
    return realPath(path);
}

// Whether the real path realFile is the real folder realRoot or lies below it.
bool liesBeneath(const std::string& realFile, const std::string& realRoot)
{
    const std::string inside = realRoot == "/" ? realRoot : realRoot + "/";
    return !realRoot.empty() && (realFile == realRoot || realFile.compare(0, inside.size(), inside) == 0);
}

// The folder root names, without the '/' it ends in.
std::string folderOf(const std::string& root)
{
    return root.back() == '/' ? root.substr(0, root.size() - 1) : root;
}

// Whether resolving the relative path from the folder at meets a symlink whose target is
// absolute. The steps are taken as the kernel takes them, link by link.
bool meetsAbsoluteLink(std::string at, std::string rest)
{
    constexpr int kMaxLinks = 40; // the kernel's own bound
    for (int links = 0; !rest.empty() && links <= kMaxLinks;) {
        const std::size_t slash = rest.find('/');
        const std::string step = rest.substr(0, slash);
        rest = slash == std::string::npos ? std::string() : rest.substr(slash + 1);
        if (step.empty() || step == ".")
            continue;
        if (step == "..") {
            at = at.substr(0, at.rfind('/'));
            continue;
        }
        const std::string next = at + "/" + step;
        char target[PATH_MAX];
        const ssize_t length = ::readlink(next.c_str(), target, sizeof target);
        if (length <= 0 || static_cast<std::size_t>(length) >= sizeof target) {
            at = next;
            continue;
        }
        ++links;
        if (target[0] == '/')
            return true;
        rest = std::string(target, static_cast<std::size_t>(length)) + (rest.empty() ? "" : "/" + rest);
    }
    return false;
}

} // namespace

const char* zqNotAFile(std::filesystem::file_type type)
{
    using std::filesystem::file_type;
    switch (type) {
    case file_type::regular:
        return nullptr;
    case file_type::directory:
        return "a directory";
    case file_type::fifo:
        return "a FIFO";
    case file_type::character:
        return "a character device";
    case file_type::block:
        return "a block device";
    case file_type::socket:
        return "a socket";
    case file_type::not_found:
        return "a link that leads nowhere";
    default:
        return "no regular file";
    }
}

ZqDescriptor::~ZqDescriptor()
{
    if (fd >= 0)
        ::close(fd);
}

int zqOpenBeneath(const std::string& path, const std::string& root, int flags)
{
    if (root.empty())
        return ::open(path.c_str(), flags);
    if (path.compare(0, root.size(), root) != 0) {
        errno = EXDEV;
        return -1;
    }
    const std::string relative = path.substr(root.size());
    const ZqDescriptor folder(::open(root.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (folder.fd < 0)
        return -1;
    const char* name = relative.empty() ? "." : relative.c_str();
    open_how how{};
    how.flags = static_cast<std::uint64_t>(flags);
    how.resolve = RESOLVE_BENEATH | RESOLVE_NO_MAGICLINKS;
    const int fd = static_cast<int>(::syscall(SYS_openat2, folder.fd, name, &how, sizeof how));
    // Kernels before 5.6 lack the call, and some sandboxes forbid it: open the file, then
    // ask where the descriptor leads. What was opened is what is checked; an absolute link
    // is refused as the kernel's walk refuses it, so a game reads alike everywhere.
    if (fd >= 0 || (errno != ENOSYS && errno != EPERM))
        return fd;
    ZqDescriptor file(::openat(folder.fd, name, flags));
    if (file.fd < 0)
        return -1;
    if (!liesBeneath(realPathOf(file.fd, path), realPathOf(folder.fd, root)) ||
        meetsAbsoluteLink(folderOf(root), relative)) {
        errno = EXDEV;
        return -1;
    }
    const int opened = file.fd;
    file.fd = -1;
    return opened;
}

const char* zqWhyOutside(const std::string& path, const std::string& root)
{
    if (root.empty() || path.compare(0, root.size(), root) != 0)
        return kZqLeadsOutside;
    // The kernel's walk beneath the folder refuses every absolute link, even one that
    // stays inside: that is an author's slip, not an escape, and is named as such.
    return liesBeneath(realPath(path), realPath(root)) && meetsAbsoluteLink(folderOf(root), path.substr(root.size()))
               ? kZqAbsoluteLink
               : kZqLeadsOutside;
}

std::string zqOpenRegularFile(const std::string& path, const std::string& root, std::uint64_t limit,
                              ZqDescriptor& file, std::uint64_t& size)
{
    size = 0;
    // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer for ever.
    constexpr int kFlags = O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY;
    const int fd = zqOpenBeneath(path, root, kFlags);
    if (fd < 0) {
        if (errno == EXDEV)
            return zqWhyOutside(path, root);
        return errno == ENOENT || errno == ENOTDIR ? "missing" : std::string("cannot be read: ") + std::strerror(errno);
    }
    ZqDescriptor opened(fd);
    struct stat status {};
    if (::fstat(opened.fd, &status) != 0)
        return std::string("cannot be read: ") + std::strerror(errno);
    if (!S_ISREG(status.st_mode))
        return "not a regular file";
    if (static_cast<std::uint64_t>(status.st_size) > limit)
        return "larger than " + sizeText(limit);
    size = static_cast<std::uint64_t>(status.st_size);
    std::swap(file.fd, opened.fd);
    return std::string();
}

std::ptrdiff_t zqReadUpTo(const ZqDescriptor& file, unsigned char* data, std::size_t size)
{
    std::size_t got = 0;
    while (got < size) {
        const ssize_t n = ::read(file.fd, data + got, size - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return -1;
        if (n == 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    return static_cast<std::ptrdiff_t>(got);
}

std::string zqReadRegularFile(const std::string& path, const std::string& root, std::uint64_t limit,
                              ZqFileBytes& out)
{
    out = ZqFileBytes();
    ZqDescriptor file;
    std::uint64_t size = 0;
    if (std::string refused = zqOpenRegularFile(path, root, limit, file, size); !refused.empty())
        return refused;
    ZqFileBytes bytes;
    bytes.data.reset(new unsigned char[static_cast<std::size_t>(size) + 1]);
    // A file grown since it was measured gives the measured part only, so the buffer
    // never grows past the limit.
    const std::ptrdiff_t got = zqReadUpTo(file, bytes.data.get(), static_cast<std::size_t>(size));
    if (got < 0)
        return std::string("cannot be read: ") + std::strerror(errno);
    bytes.data[static_cast<std::size_t>(got)] = 0;
    bytes.size = static_cast<std::size_t>(got);
    out = std::move(bytes);
    return std::string();
}
