// Opens arbitrary bytes as the game archive, walks it and reads every member.
// The reader's documented failures are exceptions; anything else (a crash, a
// sanitizer report, another exception) is a finding.
#include "model/ZqArchiveReader.h"
#include "model/ZqGameSecrets.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <unistd.h>

namespace {
// One temporary file for the whole run: minizip reads archives from paths only.
const std::string& archivePath()
{
    static const std::string path = [] {
        char name[] = "/tmp/zq_fuzz_archive_XXXXXX";
        const int fd = mkstemp(name);
        if (fd < 0)
            std::abort();
        close(fd);
        return std::string(name);
    }();
    return path;
}

bool writeArchive(const uint8_t* data, size_t size)
{
    FILE* file = std::fopen(archivePath().c_str(), "wb");
    if (!file)
        return false;
    const bool written = std::fwrite(data, 1, size, file) == size;
    return std::fclose(file) == 0 && written;
}
}

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
