#include "app/ScoreRegistry.h"

#include <ZqNumeric.h>

#include <algorithm>
#include <climits>
#include <list>
#include <unordered_map>
#include <utility>

namespace {

struct Registry {
    // The list keeps the order of first use and the records' addresses; the map indexes it.
    std::list<std::pair<std::string, ScoreRecord>> records;
    std::unordered_map<std::string, ScoreRecord*> index{8};
    std::string currentKey;
};

Registry& registry()
{
    static Registry instance;
    return instance;
}

template <class T>
void restartSession(ScoreBlock<T>& block)
{
    block.session = T{};
    block.snapshot.reset();
}

void restartSessions(ScoreRecord& record, bool distance, bool points, bool coins)
{
    if (distance)
        restartSession(record.distance);
    if (points)
        restartSession(record.points);
    if (coins)
        restartSession(record.coins);
}

} // namespace

ScoreRecord& ScoreRegistry::recordFor(const std::string& key)
{
    Registry& r = registry();
    auto found = r.index.find(key);
    if (found != r.index.end())
        return *found->second;
    r.records.emplace_back(key, ScoreRecord());
    ScoreRecord* record = &r.records.back().second;
    r.index.emplace(key, record);
    return *record;
}

const std::string& ScoreRegistry::currentKey()
{
    return registry().currentKey;
}

void ScoreRegistry::setCurrentKey(const std::string& key)
{
    registry().currentKey = key;
}

void ScoreRegistry::reset(bool distance, bool points, bool coins, bool all)
{
    distance = distance || all;
    points = points || all;
    coins = coins || all;
    restartSessions(current(), distance, points, coins);
    // With an empty current key the two are one record: restarting it twice is harmless.
    restartSessions(global(), distance, points, coins);
}

void ScoreRegistry::clear()
{
    Registry& r = registry();
    r.index = std::unordered_map<std::string, ScoreRecord*>(8);
    r.records.clear();
}

bool ScoreRegistry::payCoins(float price)
{
    ScoreBlock<int>& coins = global().coins;
    if (!(static_cast<float>(coins.total) >= price))
        return false;
    // In 64 bits: a negative price adds coins, and a huge one must not wrap.
    const long long total = static_cast<long long>(coins.total) - zqSaturatingInt(price);
    coins.total = static_cast<int>(std::clamp<long long>(total, INT_MIN, INT_MAX));
    coins.session = std::min(coins.session, coins.total);
    coins.keepSession();
    return true;
}

void ScoreRegistry::forEach(const std::function<void(const std::string& key, const ScoreRecord& record)>& visit)
{
    for (const auto& [key, record] : registry().records)
        visit(key, record);
}

std::size_t ScoreRegistry::size()
{
    return registry().records.size();
}
