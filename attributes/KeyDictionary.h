#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <unordered_map>

// The process-wide key dictionary: every MessagePack map key of the game data is a small
// integer code; this turns the names used in code ("value", "Class Name", attribute names)
// into those codes and back. It starts empty and is filled once from the key file.
using KeyCodeTable = std::unordered_map<std::string, int32_t>;
using KeyNameTable = std::unordered_map<int32_t, std::string>;

class KeyDictionary {
public:
    static KeyDictionary& shared();

    // name -> code; code -> name is always rebuilt from it (a shared code keeps the name
    // met later in this map's iteration order).
    KeyCodeTable nameToCode;
    KeyNameTable codeToName;
    // Names of every key the collectKeys operations would write; nothing in the player reads it.
    std::set<std::string> keyNameSet;

private:
    KeyDictionary();
};

// Installs a name -> code table (copied) and rebuilds code -> name. An empty table resets.
void installKeyDictionary(const KeyCodeTable& table);

// Strict lookup for writers; throws std::runtime_error "A key is not present".
int32_t keyCode(const std::string& name);

// Lookup for readers: the installed code, else the fixed code of "id" (42), "Class Name" (33),
// "value" (10) or "User ID" (50) while no installed name holds that code, else -1 (absent).
int32_t keyCodeOrDefault(const std::string& name);

// Reverse lookup; throws std::out_of_range for an unknown code.
const std::string& keyName(int32_t code);

// Reverse lookup that does not throw: null for an unknown code. The pointer stays valid
// until the next install.
const std::string* tryKeyName(int32_t code);

// The dictionary's key collection set (KeyDictionary::keyNameSet).
std::set<std::string>& keyNameSet();
