#pragma once

#include <functional>
#include <string>
#include <unordered_map>

// The availability flag of a one-time purchase or a lock, by the "Name" of its model:
// true means still for sale (for a lock button: still locked). A missing key is inserted
// with true first. The flag stays at its address until ZqPurchaseRegistry::reset; holders
// that outlive a reset must be in the refresh list. Main thread only.
bool& purchasedItemFlag(const std::string& key);

// The process-wide purchase registry: the flags above and the refresh list of the
// buttons that hold a flag (purchase and lock buttons). Saved with the progress by the
// settings controller ("ZqP_LockStates").
class ZqPurchaseRegistry {
public:
    using Flags = std::unordered_map<std::string, bool>;

    static const Flags& flags();
    // Sets each stored pair (other keys keep their flag and address), then runs the
    // refresh list: the settings controller's loading of the saved flags.
    static void restoreFlags(const Flags& stored);

    // Appends an entry; owner only identifies it for removeRefreshesOf (not owned, never
    // dereferenced). Entries run in the order they were added.
    static void addRefresh(const void* owner, std::function<void()> refresh);
    // Removes every entry of owner; harmless when it has none. Safe inside a refresh.
    static void removeRefreshesOf(const void* owner);
    static std::size_t refreshCount();

    // Erase progress: empties the flags (every one-time purchase is for sale again), then
    // runs the refresh list so that every holder re-reads its flag.
    static void reset();
    // A game starting over: the flag of every purchase-button model of the model
    // controller whose "One Time Purchase" is exactly "kPerGamePurchase" becomes true.
    static void resetPerGamePurchases();

private:
    static void runRefreshes();
};
