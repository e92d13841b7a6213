#include "app/ZqPurchaseRegistry.h"

#include "model/ZqModelController.h"
#include "model/scene/ZqModelButtons.h"

#include <algorithm>
#include <vector>

namespace {

struct RefreshEntry {
    const void* owner;
    std::function<void()> refresh;
};

struct Registry {
    ZqPurchaseRegistry::Flags flags{8};
    std::vector<RefreshEntry> refreshes;
    // Nesting of runRefreshes: while it runs, removed entries are only cleared, so the
    // walk by index stays valid; they are erased when the outermost walk ends.
    int running = 0;
};

Registry& registry()
{
    static Registry instance;
    return instance;
}

} // namespace

bool& purchasedItemFlag(const std::string& key)
{
    return registry().flags.try_emplace(key, true).first->second;
}

const ZqPurchaseRegistry::Flags& ZqPurchaseRegistry::flags()
{
    return registry().flags;
}

void ZqPurchaseRegistry::restoreFlags(const Flags& stored)
{
    // Assigned in place rather than replaced, so that references held by buttons that
    // are not in the refresh list stay valid.
    for (const auto& [key, flag] : stored)
        purchasedItemFlag(key) = flag;
    runRefreshes();
}

void ZqPurchaseRegistry::addRefresh(const void* owner, std::function<void()> refresh)
{
    if (refresh)
        registry().refreshes.push_back({owner, std::move(refresh)});
}

void ZqPurchaseRegistry::removeRefreshesOf(const void* owner)
{
    Registry& r = registry();
    if (r.running > 0) {
        for (RefreshEntry& entry : r.refreshes) {
            if (entry.owner == owner) {
                entry.owner = nullptr;
                entry.refresh = nullptr;
            }
        }
        return;
    }
    std::erase_if(r.refreshes, [owner](const RefreshEntry& entry) { return entry.owner == owner; });
}

std::size_t ZqPurchaseRegistry::refreshCount()
{
    const std::vector<RefreshEntry>& list = registry().refreshes;
    return static_cast<std::size_t>(
        std::count_if(list.begin(), list.end(), [](const RefreshEntry& entry) { return entry.refresh != nullptr; }));
}

void ZqPurchaseRegistry::reset()
{
    // A new map rather than clear(): the index goes back to 8 buckets.
    registry().flags = Flags(8);
    runRefreshes();
}

void ZqPurchaseRegistry::resetPerGamePurchases()
{
    ZqModelController* controller = ZqModelController::existing();
    if (!controller)
        return;
    for (const auto& model : controller->modelsOfClass<ZqModelObjectButtonPurchase>()) {
        if (model->oneTimePurchase() == kSellOncePerGame)
            purchasedItemFlag(model->name()) = true;
    }
}

void ZqPurchaseRegistry::runRefreshes()
{
    Registry& r = registry();
    ++r.running;
    // By index: a refresh may add entries (they run too) or remove some (skipped).
    for (std::size_t i = 0; i < r.refreshes.size(); ++i) {
        if (r.refreshes[i].refresh) {
            // A copy: the entry's own function may be cleared while it runs.
            std::function<void()> refresh = r.refreshes[i].refresh;
            refresh();
        }
    }
    if (--r.running == 0)
        std::erase_if(r.refreshes, [](const RefreshEntry& entry) { return !entry.refresh; });
}
