#pragma once

#include <algorithm>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <type_traits>

// One kind of score in a record: the current game's value, the best value and the total
// over all games, and the session value kept at a checkpoint or after a purchase.
template <class T>
struct ScoreBlock {
    T session{};
    T best{};
    T total{};
    std::optional<T> snapshot;

    // A reward: session and total grow by amount, best follows session upwards. Integer
    // sums saturate instead of overflowing.
    void add(T amount)
    {
        session = plus(session, amount);
        total = plus(total, amount);
        best = std::max(best, session);
    }
    // Copies the session value into the snapshot.
    void keepSession() { snapshot = session; }

private:
    static T plus(T a, T b)
    {
        if constexpr (std::is_integral_v<T>) {
            const long long sum = static_cast<long long>(a) + b;
            return static_cast<T>(std::clamp<long long>(sum, std::numeric_limits<T>::min(), std::numeric_limits<T>::max()));
        } else {
            return a + b;
        }
    }
};

// The scores of one scene key: distance in metres along the game direction (20 points
// each), points and coins as counts.
struct ScoreRecord {
    ScoreBlock<float> distance;
    ScoreBlock<int> points;
    ScoreBlock<int> coins;

    // A power-up's rewards.
    void addReward(int coinReward, int pointReward)
    {
        coins.add(coinReward);
        points.add(pointReward);
    }
};

// The process-wide score records, by key: the global record under the empty key (coins
// are the in-game currency, its total coins the player's purse) and one record per scene
// key. Records live at fixed addresses until clear(). Saved with the progress by the
// settings controller ("ZqP_Scores"). Main thread only.
class ScoreRegistry {
public:
    // Get or insert.
    static ScoreRecord& recordFor(const std::string& key);
    static ScoreRecord& global() { return recordFor(std::string()); }
    // The record of the current scene key (get or insert).
    static ScoreRecord& current() { return recordFor(currentKey()); }
    // The game field names its scene key when it starts.
    static const std::string& currentKey();
    static void setCurrentKey(const std::string& key);

    // A game starting over, in the current record and the global one: the session value
    // of each block whose flag is set, and of every block when all is set, goes back to 0
    // and loses its snapshot. Best and total values are kept.
    static void reset(bool distance, bool points, bool coins, bool all);

    // Erase progress: no record is left (the index back to 8 buckets).
    static void clear();

    // A payment in coins from the player's purse (the global record), for unlocks and
    // purchases: only when the total coins, as a float, reach price. The total loses the
    // price truncated toward zero, the session coins are capped at the new total and
    // copied into their snapshot. False, nothing changed, when the coins do not reach.
    static bool payCoins(float price);

    // Every record, in the order of first use.
    static void forEach(const std::function<void(const std::string& key, const ScoreRecord& record)>& visit);
    static std::size_t size();
};
