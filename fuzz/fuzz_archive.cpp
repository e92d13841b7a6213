// Opens arbitrary bytes as the game archive, walks it and reads every member.
// The reader's documented failures are exceptions; anything else (a crash, a
// sanitizer report, another exception) is a finding.
#include "model/loading/ZqArchiveReader.h"
#include "model/loading/ZqGameSecrets.h"

#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <unistd.h>

namespace {
// minizip reads archives from paths only. One temporary file for the whole run, unlinked
// as soon as it is made and reached through its descriptor's /proc path, so that nothing
// is left behind however the run ends (a finding, a time limit, a kill).
int archiveFile()
{
    static const int fd = [] {
        char name[] = "/tmp/zq_fuzz_archive_XXXXXX";
        const int made = mkstemp(name);
        if (made < 0 || unlink(name) != 0)
            std::abort();
        return made;
    }();
    return fd;
}

const std::string& archivePath()
{
    static const std::string path = "/proc/self/fd/" + std::to_string(archiveFile());
    return path;
}

bool writeArchive(const uint8_t* data, size_t size)
{
    const int fd = archiveFile();
    if (ftruncate(fd, 0) != 0)
        return false;
    size_t written = 0;
    while (written < size) {
        const ssize_t n = pwrite(fd, data + written, size - written, static_cast<off_t>(written));
        if (n <= 0)
            return false;
        written += static_cast<size_t>(n);
    }
    return true;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (!writeArchive(data, size))
        return 0;
    static const std::string password = decodeArchivePassword(kZqArchivePasswordText);
    try {
        ZqArchiveReader reader(archivePath());
        reader.readFile("Keys.pack", password);
        for (std::string name = reader.firstFile(); !name.empty(); name = reader.nextFile()) {
            try {
                const auto member = reader.readFile(name, password);
                if (!member)
                    std::abort();  // the walk returned a name the reader cannot find
            } catch (const std::runtime_error&) {
                // A bad member does not stop the walk.
            }
        }
    } catch (const std::runtime_error&) {
        // std::system_error derives from it: an archive that cannot be opened or walked.
    }
    return 0;
}
