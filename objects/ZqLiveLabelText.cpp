#include "objects/ZqLiveLabelText.h"

#include "app/ScoreRegistry.h"
#include "app/ZqPSettingsController.h"
#include "model/ZqModelController.h"
#include "model/loading/ZqModelLoader.h"
#include "model/scene/ZqModelAssets.h"
#include "model/scene/ZqModelLabel.h"

#include <algorithm>
#include <cmath>

namespace {

template <class T>
T amountOf(const ScoreBlock<T>& block, ZqScoreAmount amount)
{
    if (amount == kScoreAmountBest)
        return block.best;
    if (amount == kScoreAmountTotal)
        return block.total;
    return block.session;
}

long long scoreValue(const ZqBaseModelObjectLabel& label)
{
    const ScoreRecord& record = label.world() == kScoreWorldGlobal ? ScoreRegistry::global() : ScoreRegistry::current();
    if (label.scoreType() == kScoreKindDistance) {
        // Distances are floats of any size: truncated, and kept within 64 bits.
        const double distance = std::trunc(static_cast<double>(amountOf(record.distance, label.amount())));
        if (std::isnan(distance))
            return 0;
        return static_cast<long long>(std::clamp(distance, -9.0e18, 9.0e18));
    }
    if (label.scoreType() == kScoreKindPoints)
        return amountOf(record.points, label.amount());
    return amountOf(record.coins, label.amount());
}

} // namespace

std::string zqPaddedNumber(long long value, int digits)
{
    std::string text = std::to_string(value < 0 ? -static_cast<unsigned long long>(value) : value);
    // No game shows more digits than this; a huge modifier must not allocate gigabytes.
    const std::size_t width = static_cast<std::size_t>(std::clamp(digits, 0, 64));
    if (text.size() < width)
        text.insert(0, width - text.size(), '0');
    return value < 0 ? "-" + text : text;
}

std::optional<std::string> zqLiveLabelText(const ZqBaseModelObjectLabel& label)
{
    const ZqLabelAction action = label.action();
    if (action == kLabelScore)
        return zqPaddedNumber(scoreValue(label), label.scoreModifier());
    if (action == kLabelLoadingCounter)
        return std::to_string(ZqModelLoader::shared()->loadingProgress());
    if (action == kLabelUnlockedCharacters || action == kLabelAllCharacters) {
        const int all = static_cast<int>(ZqModelController::shared()->modelsOfClass<ZqModelAssetCharacter>().size());
        if (action == kLabelAllCharacters)
            return std::to_string(all);
        int unlocked = 0;
        for (int i = 0; i < all; ++i)
            unlocked += ZqPSettingsController::shared()->isCharacterUnlocked(i) ? 1 : 0;
        return std::to_string(unlocked);
    }
    return std::nullopt;
}
