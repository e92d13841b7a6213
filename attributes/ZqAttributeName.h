#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

// An attribute's name. Text with static storage (a string literal, such as the keys of the
// attribute tables) is held as a view and never copied; any other text is copied into a
// heap block the name owns. The kind follows from the type the name is made from, never
// from a guess about a pointer: a literal gives a view (consteval rejects anything that is
// not a constant with static storage), std::string and std::string_view give a copy.
// A plain `const char*` converts to neither: say which one it is.
// Copying a view copies the pointer; copying an owned name copies its text.
// The text is always NUL-terminated, so c_str() can go to printf-style calls.
class ZqAttributeName {
public:
    template <std::size_t N>
    consteval ZqAttributeName(const char (&text)[N])
        : m_text(text), m_length(static_cast<std::uint32_t>(std::char_traits<char>::length(text)))
    {
    }
    ZqAttributeName(std::string_view text) { assign(text); }
    ZqAttributeName(const std::string& text) { assign(text); }

    ZqAttributeName(const ZqAttributeName& other);
    // Inline: a name passes by value through every constructor of an attribute's class chain.
    ZqAttributeName(ZqAttributeName&& other) noexcept
        : m_text(std::exchange(other.m_text, "")), m_length(std::exchange(other.m_length, 0)),
          m_owned(std::exchange(other.m_owned, false))
    {
    }
    ZqAttributeName& operator=(ZqAttributeName other) noexcept;
    ~ZqAttributeName()
    {
        if (m_owned)
            delete[] m_text;
    }

    std::string_view view() const { return {m_text, m_length}; }
    operator std::string_view() const { return view(); }
    const char* c_str() const { return m_text; }

private:
    // Copies text into a new block: a length past 32 bits throws std::length_error.
    void assign(std::string_view text);

    const char* m_text = "";
    std::uint32_t m_length = 0;
    bool m_owned = false;
};
