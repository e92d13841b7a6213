#pragma once

#include <cstddef>
#include <string_view>

// The UTF-8 sequence at text[pos] (pos < text.size()): its code point in code and its
// length in bytes, or 0 where the bytes there form no well-formed sequence: a stray
// continuation byte, a lead byte without its continuations, an overlong form, a
// surrogate, or a code point above U+10FFFF. code is left as it was then.
std::size_t zqUtf8Next(std::string_view text, std::size_t pos, char32_t& code);

// Whether the whole of text is well-formed UTF-8.
bool zqUtf8Valid(std::string_view text);
