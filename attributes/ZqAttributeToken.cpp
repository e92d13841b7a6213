#include "attributes/ZqAttributeToken.h"

#include "attributes/MessagePackMap.h"
#include "attributes/ZqDataKeys.h"
#include "attributes/ZqEntryField.h"

#include <ZqLog.h>

#include <set>
#include <utility>

namespace {

std::set<std::pair<std::string, std::string>, std::less<>>& unknownTokens()
{
    static std::set<std::pair<std::string, std::string>, std::less<>> tokens;
    return tokens;
}

} // namespace

bool zqNoteUnknownToken(std::string_view family, std::string_view token)
{
    if (!unknownTokens().emplace(std::string(family), std::string(token)).second)
        return false;
    debugLog("[%.*s] unknown token \"%.*s\": the game takes it as the default, and its text is kept as the value "
             "(saved and written back as it came)",
             static_cast<int>(family.size()), family.data(), static_cast<int>(token.size()), token.data());
    return true;
}

void zqForgetUnknownTokens()
{
    unknownTokens().clear();
}

bool zqReadTextEntry(const MessagePackEntry& entry, std::string& text)
{
    const ZqEntryField field{kValueKey.codeOrDefault(), ZqEntryField::kText, &text};
    if (entry.code != field.code)
        return false;
    zqReadEntryField(field, entry.value);
    return true;
}
