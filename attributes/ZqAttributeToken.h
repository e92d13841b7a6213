#pragma once

#include "attributes/ZqAttributeValue.h"

#include <cstddef>
#include <string>
#include <string_view>

// The code of token in Family's table; an empty token reads as Family::kOther silently, any
// other token the table does not hold is logged once (per family and token until
// zqForgetUnknownTokens; never for a family of free text) and reads as Family::kOther.
template <class Family> typename Family::Code zqTokenCode(std::string_view token);

// Logs the first time a family meets an unknown token; false when it has met it before.
bool zqNoteUnknownToken(std::string_view family, std::string_view token);
// A new game: each unknown token is logged again when met.
void zqForgetUnknownTokens();

// Reads the "value" entry into text as a text field is read; false for another code.
bool zqReadTextEntry(const MessagePackEntry& entry, std::string& text);

// A token chosen from a list in the editor, turned into its code once, when it is read or
// set: the game asks code() and never compares the text. The text stays as it came (packed,
// saved and written back unchanged). Family is a token family of the layer that owns the
// model:
//   using Code = an enum that ends in a count;
//   static constexpr const char* kName;                       // its type id, its log lines' tag
//   static constexpr std::string_view kTokens[kCount];         // by code
//   static constexpr Code kOther;                              // an empty or unknown token
//   static constexpr bool kFreeText = true;                    // optional: other texts are
//                                                              // data of their own, not logged
template <class Family> class ZqAttributeToken : public ZqAttributeStringList {
public:
    using Code = typename Family::Code;

    ZqAttributeToken(ZqAttributeName name, ZqAttributeOwner* owner) : ZqAttributeStringList(std::move(name), owner) { }
    ZqAttributeToken(ZqAttributeName name, ZqAttributeOwner* owner, const ZqAttributeToken& source)
        : ZqAttributeStringList(std::move(name), owner, source), m_code(source.m_code)
    {
    }

    // The class name stays the data's type of the attribute (ZqAttributeStringList); the
    // type id is the family's own, so that a copy re-binds only to its own family.
    static constexpr uint32_t staticTypeId()
    {
        constexpr uint32_t id = zqTypeIdOf(Family::kName);
        return id;
    }
    std::size_t typeId() const override { return staticTypeId(); }
    ZqAttributeToken* clone(ZqAttributeName newName, ZqAttributeOwner* newOwner) const override
    {
        return new ZqAttributeToken(std::move(newName), newOwner, *this);
    }
    ZqAttributeToken* cloneForOwner(ZqAttributeOwner* newOwner) const override
    {
        return new ZqAttributeToken(storedName(), newOwner, *this);
    }
    ZqAttributeToken* cloneWithName(ZqAttributeName newName) const override
    {
        return new ZqAttributeToken(std::move(newName), owner(), *this);
    }

    Code code() const { return m_code; }
    // Whether other holds the same token. Texts no table holds all read as the "other"
    // code: two of those are compared as texts, so that two different ones stay apart.
    bool sameToken(const ZqAttributeToken& other) const
    {
        return m_code == other.m_code && (m_code != Family::kOther || m_value == other.m_value);
    }

    // The text goes through the entry reader (no plain field), which reads its code with it.
    void entryFields(ZqEntryFields&) override { }
    bool readEntry(const MessagePackEntry& entry) override
    {
        if (!zqReadTextEntry(entry, m_value))
            return false;
        m_code = zqTokenCode<Family>(m_value);
        return true;
    }

protected:
    void textStored() override { m_code = zqTokenCode<Family>(m_value); }

private:
    Code m_code = Family::kOther;
};

template <class Family> typename Family::Code zqTokenCode(std::string_view token)
{
    for (std::size_t code = 0; code < std::size(Family::kTokens); ++code) {
        if (Family::kTokens[code] == token)
            return static_cast<typename Family::Code>(code);
    }
    if constexpr (!requires { requires Family::kFreeText; }) {
        if (!token.empty())
            zqNoteUnknownToken(Family::kName, token);
    }
    return Family::kOther;
}
