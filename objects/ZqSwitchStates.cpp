#include "objects/ZqSwitchStates.h"

#include <algorithm>

std::vector<std::pair<const ZqModel*, bool>>& ZqSwitchStates::table()
{
    static std::vector<std::pair<const ZqModel*, bool>> states;
    return states;
}

bool ZqSwitchStates::find(const ZqModel* model, bool* found)
{
    auto& states = table();
    const auto entry = std::find_if(states.begin(), states.end(), [&](const auto& item) { return item.first == model; });
    if (found)
        *found = entry != states.end();
    return entry != states.end() && entry->second;
}

void ZqSwitchStates::store(const ZqModel* model, bool on)
{
    auto& states = table();
    const auto entry = std::find_if(states.begin(), states.end(), [&](const auto& item) { return item.first == model; });
    if (entry != states.end())
        entry->second = on;
    else
        states.emplace_back(model, on);
}

void ZqSwitchStates::flipAll()
{
    for (auto& entry : table())
        entry.second = !entry.second;
}

void ZqSwitchStates::clear() { table().clear(); }

std::size_t ZqSwitchStates::size() { return table().size(); }
