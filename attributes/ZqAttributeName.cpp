#include "attributes/ZqAttributeName.h"

#include <cstring>
#include <limits>
#include <stdexcept>
#include <utility>

ZqAttributeName::ZqAttributeName(const ZqAttributeName& other)
{
    if (other.m_owned)
        assign(other.view());
    else {
        m_text = other.m_text;
        m_length = other.m_length;
    }
}

ZqAttributeName& ZqAttributeName::operator=(ZqAttributeName other) noexcept
{
    std::swap(m_text, other.m_text);
    std::swap(m_length, other.m_length);
    std::swap(m_owned, other.m_owned);
    return *this;
}

void ZqAttributeName::assign(std::string_view text)
{
    if (text.size() > std::numeric_limits<std::uint32_t>::max())
        throw std::length_error("attribute name too long");
    // An empty name needs no block: the static empty text serves.
    if (text.empty())
        return;
    char* copy = new char[text.size() + 1];
    std::memcpy(copy, text.data(), text.size());
    copy[text.size()] = '\0';
    m_text = copy;
    m_length = static_cast<std::uint32_t>(text.size());
    m_owned = true;
}
