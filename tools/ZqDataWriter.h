#pragma once

#include <cstddef>
#include <set>
#include <string>
#include <vector>

class ZqModelController;

// One file of exported game data: its name in the data directory and in the archive
// ("Keys.pack", "ZqModelScreen.0.attributes.pack", ...) and its bytes.
struct ZqDataFile {
    std::string name;
    std::vector<unsigned char> bytes;
};

// A media file to copy into the data directory: source is a path on disk, target a
// relative path under the data directory ("images/ZqModelSprite_12.png").
struct ZqMediaFile {
    std::string source;
    std::string target;
};

// Exports the models registered in a controller in exactly the form the player reads,
// through the models' own packing: the scrambled key file, then per class the
// attributes and connections files numbered from 0, the media, and data.pkg.
//
// Packing installs the written key dictionary process-wide (the codes of the files are
// the codes of that dictionary). The general settings must be registered: their
// "User ID" scrambles the key file. Every registered model's class must be in the
// controller's registry, since the player could not read it back otherwise.
class ZqDataWriter {
public:
    struct Options {
        bool plainFiles = true;        // Keys.pack and the model files in the directory
        bool archive = false;          // data.pkg holding the same files
        std::size_t modelsPerFile = 0; // models per model file; 0: no limit
        std::size_t maxFileBytes = 4u << 20; // a file is closed before it grows past this
                                             // (a single larger model gets a file alone)
        std::vector<ZqMediaFile> media;
        std::string password;          // the zip password; empty: the game's own
    };

    ZqDataWriter(ZqModelController& controller, Options options);

    // The key file's lines for a set of names: the fixed names at their codes
    // (kFixedKeyCodes), the others in set order around them, padded with unused names up to
    // the highest fixed code.
    // std::invalid_argument for an empty name or one holding a line break.
    static std::vector<std::string> keyLines(const std::set<std::string>& names);

    // Collects the key names of every registry class and registered model, installs the
    // key dictionary and packs every file, in archive order: Keys.pack, then each class
    // (the general settings first, then in registry order) with its attributes files
    // followed by its connections files. Raises std::invalid_argument for the data
    // faults named above.
    std::vector<ZqDataFile> buildFiles();

    // The key names in code order, as the last buildFiles wrote them.
    const std::vector<std::string>& keyNames() const { return m_keyNames; }

    // The whole export into dataDirectory (created when missing). Files of an earlier
    // export that this one does not write (model files, Keys.pack, data.pkg) are removed
    // first, since the player would read them as part of the game. Raises
    // std::system_error on I/O errors and std::invalid_argument for a media target
    // that is not a plain relative path.
    void write(const std::string& dataDirectory);

    // The zip archive of the files under the password (empty password: the game's own).
    static std::vector<unsigned char> archiveOf(const std::vector<ZqDataFile>& files,
                                                const std::string& password = {});

private:
    std::set<std::string> collectKeyNames() const;
    std::string userId() const;

    ZqModelController& m_controller;
    Options m_options;
    std::vector<std::string> m_keyNames;
};
