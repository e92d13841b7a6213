#include "attributes/KeyDictionary.h"

#include <algorithm>
#include <climits>
#include <stdexcept>
#include <string>

namespace {

constexpr std::size_t kInitialBuckets = 8;

} // namespace

KeyDictionary::KeyDictionary()
    : nameToCode(kInitialBuckets)
    , codeToName(kInitialBuckets)
{
    nameToCode.max_load_factor(1.0f);
    codeToName.max_load_factor(1.0f);
}

void installKeyDictionary(const KeyCodeTable& table)
{
    KeyDictionary& dictionary = KeyDictionary::shared();
    if (&table != &dictionary.nameToCode)
        dictionary.nameToCode = table;
    dictionary.codeToName = KeyNameTable(kInitialBuckets);
    dictionary.codeToName.max_load_factor(1.0f);
    for (const auto& [name, code] : dictionary.nameToCode)
        dictionary.codeToName[code] = name;
    dictionary.knownCodes.clear();
    for (const auto& [code, name] : dictionary.codeToName) {
        // Codes far beyond the number of names are left to the hash lookup.
        if (code >= 0 && static_cast<std::size_t>(code) < 4 * dictionary.codeToName.size() + 64) {
            if (dictionary.knownCodes.size() <= static_cast<std::size_t>(code))
                dictionary.knownCodes.resize(static_cast<std::size_t>(code) + 1);
            dictionary.knownCodes[static_cast<std::size_t>(code)] = 1;
        }
    }
    // The fixed codes let the general settings, read before the key file is installed, find
    // their keys.
    for (const FixedKeyCode& fallback : kFixedKeyCodes) {
        if (keyCodeOrDefault(fallback.name) == fallback.code) {
            if (dictionary.knownCodes.size() <= static_cast<std::size_t>(fallback.code))
                dictionary.knownCodes.resize(static_cast<std::size_t>(fallback.code) + 1);
            dictionary.knownCodes[static_cast<std::size_t>(fallback.code)] = 1;
        }
    }
    // Wraps after 2^32 installs only; 0 is kept for "never looked up".
    uint32_t next = dictionary.generation.load(std::memory_order_relaxed) + 1;
    if (next == 0)
        next = 1;
    dictionary.generation.store(next, std::memory_order_relaxed);
}

KeyCodeTable fixedKeyCodeTable()
{
    KeyCodeTable table;
    for (const FixedKeyCode& fixed : kFixedKeyCodes)
        table.emplace(fixed.name, fixed.code);
    return table;
}

int32_t keyCode(std::string_view name)
{
    const KeyCodeTable& table = KeyDictionary::shared().nameToCode;
    auto found = table.find(name);
    if (found == table.end())
        throw std::runtime_error("A key is not present");
    return found->second;
}

int32_t keyCodeOrDefault(std::string_view name)
{
    const KeyDictionary& dictionary = KeyDictionary::shared();
    auto found = dictionary.nameToCode.find(name);
    if (found != dictionary.nameToCode.end())
        return found->second;
    const int32_t fixed = fixedKeyCode(name);
    return fixed >= 0 && !dictionary.codeToName.count(fixed) ? fixed : -1;
}

int32_t CachedKeyName::lookUp() const
{
    const uint64_t generation = KeyDictionary::generation.load(std::memory_order_relaxed);
    const int32_t code = keyCodeOrDefault(m_name);
    m_cached.store(generation << 32 | static_cast<uint32_t>(code), std::memory_order_relaxed);
    return code;
}

bool keyCodeIsKnownBeyondTable(int64_t code)
{
    const KeyDictionary& dictionary = KeyDictionary::shared();
    if (dictionary.codeToName.empty())
        return true;
    if (code >= 0 && static_cast<uint64_t>(code) < dictionary.knownCodes.size())
        return dictionary.knownCodes[static_cast<std::size_t>(code)] != 0;
    if (code < INT32_MIN || code > INT32_MAX)
        return false;
    return dictionary.codeToName.count(static_cast<int32_t>(code)) != 0;
}

void KeyCodeSet::clear()
{
    m_bits.clear();
    m_aside.clear();
}

void KeyCodeSet::insert(int64_t code)
{
    if (code >= 0 && code < kDenseCodes) {
        const std::size_t word = static_cast<std::size_t>(code) >> 6;
        if (m_bits.size() <= word)
            m_bits.resize(word + 1, 0);
        m_bits[word] |= uint64_t(1) << (code & 63);
    } else if (!containsAside(code)) {
        m_aside.push_back(code);
    }
}

bool KeyCodeSet::containsAside(int64_t code) const
{
    return std::find(m_aside.begin(), m_aside.end(), code) != m_aside.end();
}

const std::string& keyName(int32_t code)
{
    return KeyDictionary::shared().codeToName.at(code);
}

const std::string* tryKeyName(int32_t code)
{
    const KeyNameTable& table = KeyDictionary::shared().codeToName;
    auto found = table.find(code);
    return found == table.end() ? nullptr : &found->second;
}

std::set<std::string>& keyNameSet()
{
    return KeyDictionary::shared().keyNameSet;
}
