#pragma once

// The compact text form of the stored lists of saved progress (see
// app/ZqPSettingsController.h): entries "<n>:<key> <number> <number>...;" where n is the
// byte length of key, so a key may hold any character. Numbers are written in their
// shortest exact form, independent of the locale.
#include <charconv>
#include <cmath>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

namespace zqstored {

inline void appendKey(std::string& out, const std::string& key)
{
    out += std::to_string(key.size());
    out += ':';
    out += key;
}

template <class T>
void appendNumber(std::string& out, T value)
{
    char buffer[32];
    // Shortest form that reads back to the same value, whatever the locale.
    std::to_chars_result result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out += ' ';
    out.append(buffer, result.ptr);
}

// Reads one entry's fields; every read answers false at the first thing out of place.
// The text is not copied: it must outlive the reader.
class EntryReader {
public:
    explicit EntryReader(std::string_view text) : m_text(text) {}
    explicit EntryReader(std::string&&) = delete;

    bool atEnd() const { return m_pos >= m_text.size(); }
    // Whether the entry's ';' comes next.
    bool atEntryEnd() const { return m_pos < m_text.size() && m_text[m_pos] == ';'; }

    bool key(std::string& out)
    {
        std::size_t length = 0;
        if (!parse(length) || m_pos >= m_text.size() || m_text[m_pos] != ':')
            return false;
        ++m_pos;
        if (length > m_text.size() - m_pos)
            return false;
        out.assign(m_text.substr(m_pos, length));
        m_pos += length;
        return true;
    }

    // One number, after the single blank that separates it from what precedes it.
    template <class T>
    bool number(T& out)
    {
        if (m_pos > 0 && (m_pos >= m_text.size() || m_text[m_pos++] != ' '))
            return false;
        if (!parse(out))
            return false;
        if constexpr (std::is_floating_point_v<T>)
            return std::isfinite(out);
        return true;
    }

    bool endEntry()
    {
        if (m_pos >= m_text.size() || m_text[m_pos] != ';')
            return false;
        ++m_pos;
        return true;
    }

private:
    template <class T>
    bool parse(T& out)
    {
        const char* first = m_text.data() + m_pos;
        const char* last = m_text.data() + m_text.size();
        std::from_chars_result result = std::from_chars(first, last, out);
        if (result.ec != std::errc() || result.ptr == first)
            return false;
        m_pos += static_cast<std::size_t>(result.ptr - first);
        return true;
    }

    std::string_view m_text;
    std::size_t m_pos = 0;
};

// Reads the entries of text with readEntry (false: damaged) until the end or the first
// damaged entry; the entries before it are kept. Nothing when the whole text read, else
// the number of entries kept.
template <class ReadEntry>
std::optional<int> readEntries(const std::string& text, ReadEntry readEntry)
{
    EntryReader reader(text);
    int kept = 0;
    while (!reader.atEnd()) {
        if (!readEntry(reader) || !reader.endEntry())
            return kept;
        ++kept;
    }
    return std::nullopt;
}

} // namespace zqstored
