// Writes the seed archives of the archive fuzz target into a directory: small archives
// of two members each under traditional encryption and under AES (AE-1 and AE-2, 128,
// 192 and 256 bits, stored and deflated), so that the fuzzer starts on every member
// road the reader has, and the whole sample game under AES-256. (Every AES member
// costs a key derivation per run: whole games under each cipher would slow the
// fuzzer tenfold.)
//   fuzz_archive_seeds <directory>
#include "model/loading/ZqGameSecrets.h"
#include "model/ZqModelController.h"
#include "tools/ZqArchiveWriter.h"
#include "tools/ZqDataWriter.h"
#include "tools/ZqSampleGame.h"

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

namespace {

using Cipher = ZqArchiveWriter::Cipher;
using Method = ZqArchiveWriter::Method;
using AesVersion = ZqArchiveWriter::AesVersion;

struct Seed {
    const char* name;
    Cipher cipher;
    AesVersion version;
    Method method;
    bool wholeGame;
};

constexpr Seed kSeeds[] = {
    {"traditional", Cipher::Traditional, AesVersion::Ae2, Method::Deflated, false},
    {"aes256-ae2", Cipher::Aes256, AesVersion::Ae2, Method::Deflated, true},
    {"aes128-ae1", Cipher::Aes128, AesVersion::Ae1, Method::Deflated, false},
    {"aes256-ae1-stored", Cipher::Aes256, AesVersion::Ae1, Method::Stored, false},
    {"aes192-ae2-stored", Cipher::Aes192, AesVersion::Ae2, Method::Stored, false},
};

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_archive_seeds <directory>\n");
        return 2;
    }
    const std::string directory = argv[1];
    try {
        ZqModelController controller;
        ZqSampleGame::build(controller);
        const std::vector<ZqDataFile> files = ZqDataWriter(controller, {}).buildFiles();
        const std::string password = decodeArchivePassword(kZqArchivePasswordText);
        for (const Seed& seed : kSeeds) {
            ZqArchiveWriter game(password, seed.cipher, seed.version);
            ZqArchiveWriter small(password, seed.cipher, seed.version);
            for (const ZqDataFile& file : files) {
                game.addFile(file.name, file.bytes, seed.method);
                if (file.name == "Keys.pack" || file.name == "ZqModelGeneralSettings.0.attributes.pack")
                    small.addFile(file.name, file.bytes, seed.method);
            }
            if (seed.wholeGame)
                game.save(directory + "/game-" + seed.name + ".pkg");
            small.save(directory + "/small-" + seed.name + ".pkg");
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "fuzz_archive_seeds: %s\n", e.what());
        return 1;
    }
    return 0;
}
