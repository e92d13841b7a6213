#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// Hash of key names that also takes views and literals, so that a lookup builds no string.
struct KeyNameHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view name) const { return std::hash<std::string_view>()(name); }
};

// The process-wide key dictionary: every MessagePack map key of the game data is a small
// integer code; this turns the names used in code ("value", "Class Name", attribute names)
// into those codes and back. It starts empty and is filled once from the key file.
using KeyCodeTable = std::unordered_map<std::string, int32_t, KeyNameHash, std::equal_to<>>;
using KeyNameTable = std::unordered_map<int32_t, std::string>;

// The names every key file keeps at the same codes: the writer puts them there, and readers
// know them before the key file is installed.
struct FixedKeyCode {
    std::string_view name;
    int32_t code;
};
inline constexpr FixedKeyCode kFixedKeyCodes[] = {
    {"value", 10},
    {"Class Name", 33},
    {"id", 42},
    {"User ID", 50},
};
// The highest fixed code: a key file has at least this many lines and one more.
inline constexpr int32_t kHighestFixedKeyCode = [] {
    int32_t highest = 0;
    for (const FixedKeyCode& fixed : kFixedKeyCodes) {
        if (fixed.code > highest)
            highest = fixed.code;
    }
    return highest;
}();

// The fixed code of name; -1 for a name without one.
constexpr int32_t fixedKeyCode(std::string_view name)
{
    for (const FixedKeyCode& fixed : kFixedKeyCodes) {
        if (fixed.name == name)
            return fixed.code;
    }
    return -1;
}
constexpr bool isFixedKeyCode(int32_t code)
{
    for (const FixedKeyCode& fixed : kFixedKeyCodes) {
        if (fixed.code == code)
            return true;
    }
    return false;
}

// A table of the fixed names at their codes, for writers and tests to extend.
KeyCodeTable fixedKeyCodeTable();

class KeyDictionary {
public:
    static KeyDictionary& shared()
    {
        static KeyDictionary dictionary;
        return dictionary;
    }

    // name -> code; code -> name is always rebuilt from it (a shared code keeps the name
    // met later in this map's iteration order). Both change only through installKeyDictionary.
    KeyCodeTable nameToCode;
    KeyNameTable codeToName;
    // Names of every key the collectKeys operations would write; nothing in the player reads it.
    std::set<std::string> keyNameSet;
    // Codes 0..n-1 that name a key (keyCodeIsKnown: 1), rebuilt by each install: loading
    // asks for every key it reads, a byte a code is one load.
    std::vector<uint8_t> knownCodes;
    // Counts the installs (from 1), so that codes remembered by CachedKeyName go stale.
    // Static, so that a reader checks it without reaching the dictionary.
    static inline std::atomic<uint32_t> generation{1};

private:
    KeyDictionary();
};

// Installs a name -> code table (copied) and rebuilds code -> name. An empty table resets.
void installKeyDictionary(const KeyCodeTable& table);

// Strict lookup for writers; throws std::runtime_error "A key is not present".
int32_t keyCode(std::string_view name);

// Lookup for readers: the installed code, else the fixed code of a fixed name
// (kFixedKeyCodes) while no installed name holds that code, else -1 (absent).
int32_t keyCodeOrDefault(std::string_view name);

// A key name fixed in code whose reader code (keyCodeOrDefault) is looked up once per
// installed dictionary. For static objects named by a literal: the name is not copied.
class CachedKeyName {
public:
    constexpr explicit CachedKeyName(std::string_view name) : m_name(name) {}
    CachedKeyName(const CachedKeyName&) = delete;
    CachedKeyName& operator=(const CachedKeyName&) = delete;

    std::string_view name() const { return m_name; }
    int32_t codeOrDefault() const
    {
        const uint64_t cached = m_cached.load(std::memory_order_relaxed);
        if ((cached >> 32) == KeyDictionary::generation.load(std::memory_order_relaxed))
            return static_cast<int32_t>(static_cast<uint32_t>(cached));
        return lookUp();
    }

private:
    // Looks the code up in the installed dictionary and remembers it.
    int32_t lookUp() const;

    std::string_view m_name;
    // The dictionary generation in the high half, the code in the low half; 0 = not looked up.
    mutable std::atomic<uint64_t> m_cached{0};
};

// A key name as readers take it: any text (looked up each time) or a CachedKeyName.
// Holds a view or a pointer only: it lives for the call it is passed to.
class KeyRef {
public:
    KeyRef(const char* name) : m_name(name) {}
    KeyRef(const std::string& name) : m_name(name) {}
    KeyRef(std::string_view name) : m_name(name) {}
    KeyRef(const CachedKeyName& key) : m_cached(&key) {}

    // keyCodeOrDefault of the name.
    int32_t codeOrDefault() const { return m_cached ? m_cached->codeOrDefault() : keyCodeOrDefault(m_name); }

private:
    std::string_view m_name;
    const CachedKeyName* m_cached = nullptr;
};

// keyCodeIsKnown for a code beyond the table of small codes.
bool keyCodeIsKnownBeyondTable(int64_t code);

// True when a code names a key: a code of the installed dictionary, or a fixed code while
// keyCodeOrDefault gives it. Always true
// while no dictionary is installed (the general settings are read before the key file).
inline bool keyCodeIsKnown(int64_t code)
{
    // The table is filled only while a dictionary is installed.
    const std::vector<uint8_t>& known = KeyDictionary::shared().knownCodes;
    if (code >= 0 && static_cast<uint64_t>(code) < known.size())
        return known[static_cast<std::size_t>(code)] != 0;
    return keyCodeIsKnownBeyondTable(code);
}

// A set of key codes, one bit a code for the codes of a key file (small numbers), so that a
// reader asks it for every key it reads at the cost of a load and a shift. A code beyond
// the dense range (a table installed by hand) is kept aside.
class KeyCodeSet {
public:
    void clear();
    void insert(int64_t code);
    bool contains(int64_t code) const
    {
        if (code >= 0 && static_cast<uint64_t>(code) < m_bits.size() * 64)
            return (m_bits[static_cast<std::size_t>(code) >> 6] >> (code & 63) & 1) != 0;
        return containsAside(code);
    }

private:
    static constexpr int64_t kDenseCodes = int64_t(1) << 16;
    bool containsAside(int64_t code) const;

    std::vector<uint64_t> m_bits;
    std::vector<int64_t> m_aside;
};

// Reverse lookup; throws std::out_of_range for an unknown code.
const std::string& keyName(int32_t code);

// Reverse lookup that does not throw: null for an unknown code. The pointer stays valid
// until the next install.
const std::string* tryKeyName(int32_t code);

// The dictionary's key collection set (KeyDictionary::keyNameSet).
std::set<std::string>& keyNameSet();
