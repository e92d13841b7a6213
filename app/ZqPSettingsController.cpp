#include "app/ZqPSettingsController.h"

#include "app/ScoreRegistry.h"
#include "app/ZqPurchaseRegistry.h"
#include "app/ZqStoredText.h"
#include "model/ZqModelController.h"
#include "model/loading/ZqModelLoader.h"
#include "model/ZqModelGeneralSettings.h"
#include "model/scene/ZqModelAssets.h"

#include <ZqClock.h>
#include <ZqLog.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <optional>
#include <vector>

using cocos2d::CCUserDefault;
using zqstored::appendKey;
using zqstored::appendNumber;
using zqstored::EntryReader;

namespace {

ZqPSettingsController* sharedInstance = nullptr;

CCUserDefault* store()
{
    return CCUserDefault::sharedUserDefault();
}

std::string indexedKey(const char* format, int index)
{
    char key[64];
    std::snprintf(key, sizeof key, format, index);
    return key;
}

// Reads the stored list of storeKey with readEntry. A damaged list is dropped from the
// store (one line, the store kept aside) and replaced there by salvaged(), the text of the
// entries read before the damage, so that the store holds them whatever ends the run.
template <class Salvaged, class ReadEntry>
void readStoredList(const char* storeKey, Salvaged salvaged, ReadEntry readEntry)
{
    const std::string text = store()->getStringForKey(storeKey, "");
    const std::optional<int> kept = zqstored::readEntries(text, readEntry);
    if (kept && store()->dropDamaged(storeKey, "damaged after " + std::to_string(*kept) + " entries, which are kept"))
        store()->setStringForKey(storeKey, salvaged());
}

int64_t nowSeconds()
{
    return zqClockTicks() / 10000000;
}

template <class T>
bool readBlock(EntryReader& reader, ScoreBlock<T>& block)
{
    return reader.number(block.session) && reader.number(block.best) && reader.number(block.total);
}

template <class T>
void appendBlock(std::string& out, const ScoreBlock<T>& block)
{
    appendNumber(out, block.session);
    appendNumber(out, block.best);
    appendNumber(out, block.total);
}

// Only the three values of a block are stored; its snapshot stays as it is.
template <class T>
void copyValues(ScoreBlock<T>& to, const ScoreBlock<T>& from)
{
    to.session = from.session;
    to.best = from.best;
    to.total = from.total;
}

std::string scoresText()
{
    std::string out;
    ScoreRegistry::forEach([&out](const std::string& key, const ScoreRecord& record) {
        appendKey(out, key);
        appendBlock(out, record.distance);
        appendBlock(out, record.points);
        appendBlock(out, record.coins);
        out += ';';
    });
    return out;
}

void loadScores()
{
    readStoredList("ZqP_Scores", scoresText, [](EntryReader& reader) {
        std::string key;
        ScoreRecord stored;
        if (!reader.key(key) || !readBlock(reader, stored.distance) || !readBlock(reader, stored.points) ||
            !readBlock(reader, stored.coins))
            return false;
        ScoreRecord& record = ScoreRegistry::recordFor(key);
        copyValues(record.distance, stored.distance);
        copyValues(record.points, stored.points);
        copyValues(record.coins, stored.coins);
        return true;
    });
}

std::string lockStatesText(const ZqPurchaseRegistry::Flags& registered)
{
    // Sorted, so that the same flags always store the same text.
    std::vector<std::pair<std::string, bool>> flags(registered.begin(), registered.end());
    std::sort(flags.begin(), flags.end());
    std::string out;
    for (const auto& [name, flag] : flags) {
        appendKey(out, name);
        appendNumber(out, flag ? 1 : 0);
        out += ';';
    }
    return out;
}

void loadLockStates()
{
    ZqPurchaseRegistry::Flags stored;
    readStoredList("ZqP_LockStates", [&stored] { return lockStatesText(stored); }, [&stored](EntryReader& reader) {
        std::string name;
        int flag = 0;
        if (!reader.key(name) || !reader.number(flag) || (flag != 0 && flag != 1))
            return false;
        stored[name] = flag == 1;
        return true;
    });
    ZqPurchaseRegistry::restoreFlags(stored);
}

bool isStored(const std::string& key)
{
    // Any text may be stored: absent is what answers both defaults.
    return store()->getStringForKey(key.c_str(), "0") != "0" || store()->getStringForKey(key.c_str(), "1") != "1";
}

// The stored int of key, or fallback when it is absent. Text that is no int is dropped
// from the store (one line, the store kept aside) and gives fallback.
int storedInt(const char* key, int fallback)
{
    // Absent or of another kind, the text answers each default.
    const int value = store()->getIntegerForKey(key, 0);
    if (value == store()->getIntegerForKey(key, 1))
        return value;
    if (isStored(key))
        store()->dropDamaged(key, "not a whole number");
    return fallback;
}

// The stored flag of key, as storedInt reads an int.
bool storedFlag(const char* key, bool fallback)
{
    const bool value = store()->getBoolForKey(key, false);
    if (value == store()->getBoolForKey(key, true))
        return value;
    if (isStored(key))
        store()->dropDamaged(key, "not true or false");
    return fallback;
}

// A stored count, bounded to what the loading reads.
int storedCount(const char* key)
{
    return std::clamp(storedInt(key, 0), 0, ZqPSettingsController::kMaxStoredEntries);
}

// Walks the entries "<format>" 0 to count - 1 of a counted list with readEntry; an entry
// it finds damaged (false) is dropped from the store with one line. Absent
// entries (dropped in an earlier run, or lost with a damaged store) are skipped, with one
// line for the list: an entry's index may carry its meaning.
template <class ReadEntry>
void readCounted(const char* countKey, const char* format, ReadEntry readEntry)
{
    const int count = storedCount(countKey);
    int absent = 0;
    for (int i = 0; i < count; ++i) {
        const std::string key = indexedKey(format, i);
        if (!isStored(key))
            ++absent;
        else if (!readEntry(i, key))
            store()->dropDamaged(key.c_str(), "damaged");
    }
    if (absent > 0)
        debugLog("[ZqPSettingsController] \"%s\" holds %d of %d entries", countKey, count - absent, count);
}

bool gameIsLoaded()
{
    const ZqModelLoader* loader = ZqModelLoader::existing();
    return loader && !loader->loadingFailed() && loader->loadingState().phase >= ZqModelLoader::kLoadingDone;
}

// The model controller's list of character assets, read in place: the unlock state is
// asked for every character every frame.
const ZqModelController::ModelList* characterModels()
{
    ZqModelController* controller = ZqModelController::existing();
    if (!controller)
        return nullptr;
    auto list = controller->modelsByType().find(ZqModelAssetCharacter::staticTypeId());
    return list == controller->modelsByType().end() ? nullptr : &list->second;
}

int characterCount()
{
    const ZqModelController::ModelList* characters = characterModels();
    return characters ? static_cast<int>(characters->size()) : 0;
}

std::string screenPlayedKey(const std::string& screenKey)
{
    std::string key = "ScreenPlayed-" + screenKey;
    std::replace(key.begin(), key.end(), ' ', '_');
    return key;
}

} // namespace

ZqPSettingsController* ZqPSettingsController::shared()
{
    if (!sharedInstance) {
        sharedInstance = new ZqPSettingsController();
        sharedInstance->load();
    }
    return sharedInstance;
}

void ZqPSettingsController::purgeShared()
{
    ZqPSettingsController* instance = sharedInstance;
    sharedInstance = nullptr;
    CC_SAFE_RELEASE(instance);
}

ZqPSettingsController::ZqPSettingsController()
{
    // The scheduler is kept alive with the controller, so the destructor can unschedule
    // even after the director was purged.
    m_scheduler = cocos2d::CCDirector::sharedDirector()->getScheduler();
    m_scheduler->retain();
    m_scheduler->scheduleSelector(schedule_selector(ZqPSettingsController::updateRefills), this, 1.0f, false);
}

ZqPSettingsController::~ZqPSettingsController()
{
    m_scheduler->unscheduleAllForTarget(this);
    m_scheduler->release();
}

void ZqPSettingsController::load()
{
    CCUserDefault* values = store();
    // Progress of another data version is kept whole; the next save marks it as this one's.
    if (gameIsLoaded() && isStored("Kw_Version")) {
        const std::string& version = ZqModelGeneralSettings::shared()->version();
        const std::string stored = values->getStringForKey("Kw_Version");
        if (stored != version) {
            debugLog("[ZqPSettingsController] progress saved by data version \"%s\", kept for \"%s\"",
                     stored.c_str(), version.c_str());
        }
    }
    m_selectedCharacter = std::max(0, storedInt("ZqP_selectedCharacter", 0));
    m_adsRemoved = storedFlag("ZqP_removeAds", false);
    m_fullscreen = storedFlag("ZqP_fullscreen", false);
    m_muteEffects = storedFlag("ZqP_muteEffectsSound", false);
    m_muteBackground = storedFlag("ZqP_muteBackgroundSound", false);
    loadCharacters();
    loadInventory();
    loadRefills();

    loadCheckpoints();
    loadScores();
    loadLockStates();
}

void ZqPSettingsController::loadCheckpoints()
{
    m_checkpoints.clear();
    readStoredList("PZq_Checkpoints", [this] { return checkpointsText(); }, [this](EntryReader& reader) {
        std::string key;
        Checkpoint checkpoint;
        if (!reader.key(key) || !reader.number(checkpoint.index) || !reader.number(checkpoint.distance))
            return false;
        // Entries of earlier versions end here.
        checkpoint.indexOnly = reader.atEntryEnd();
        if (!checkpoint.indexOnly) {
            if (!reader.number(checkpoint.sectionDistance) || !reader.number(checkpoint.position.x) ||
                !reader.number(checkpoint.position.y))
                return false;
            if (!reader.atEntryEnd()) {
                Checkpoint::Snapshot snapshot;
                if (!reader.number(snapshot.distance) || !reader.number(snapshot.points) ||
                    !reader.number(snapshot.coins))
                    return false;
                checkpoint.snapshot = snapshot;
            }
        }
        m_checkpoints[key] = checkpoint;
        return true;
    });
}

std::string ZqPSettingsController::checkpointsText() const
{
    std::string out;
    for (const auto& [key, checkpoint] : m_checkpoints) {
        appendKey(out, key);
        appendNumber(out, checkpoint.index);
        appendNumber(out, checkpoint.distance);
        if (checkpoint.indexOnly) {
            out += ';';
            continue;
        }
        appendNumber(out, checkpoint.sectionDistance);
        appendNumber(out, checkpoint.position.x);
        appendNumber(out, checkpoint.position.y);
        if (checkpoint.snapshot) {
            appendNumber(out, checkpoint.snapshot->distance);
            appendNumber(out, checkpoint.snapshot->points);
            appendNumber(out, checkpoint.snapshot->coins);
        }
        out += ';';
    }
    return out;
}

void ZqPSettingsController::loadCharacters()
{
    m_unlocked.clear();
    readCounted("ZqP_Characters_count", "ZqP_Character_%d", [this](int index, const std::string& key) {
        const bool whenTrue = store()->getBoolForKey(key.c_str(), true);
        if (whenTrue != store()->getBoolForKey(key.c_str(), false))
            return false;
        m_unlocked[index] = whenTrue;
        return true;
    });
}

void ZqPSettingsController::loadInventory()
{
    m_inventory.clear();
    readCounted("ZqP_Inventory_count", "ZqP_Inventory_%d", [this](int, const std::string& key) {
        const std::string text = store()->getStringForKey(key.c_str(), "");
        EntryReader reader(text);
        unsigned id = 0;
        int held = 0;
        if (!reader.number(id) || !reader.number(held) || !reader.atEnd() || held < 0)
            return false;
        m_inventory[id] = held;
        return true;
    });
}

void ZqPSettingsController::loadRefills()
{
    m_refills.clear();
    const int64_t now = nowSeconds();
    readCounted("ZqP_RefillPowerup_count", "ZqP_RefillPowerup_%d", [this, now](int, const std::string& key) {
        const std::string text = store()->getStringForKey(key.c_str(), "");
        EntryReader reader(text);
        unsigned id = 0;
        RefillTimer timer;
        if (!reader.number(id) || !reader.number(timer.start) || !reader.number(timer.interval) ||
            !reader.number(timer.maximum) || !reader.atEnd() || timer.start < 0 || timer.interval <= 0)
            return false;
        // A start in the future (a clock set back) would hold the refill back for as long.
        timer.start = std::min(timer.start, now);
        m_refills[id] = timer;
        return true;
    });
}

bool ZqPSettingsController::save()
{
    if (!gameIsLoaded()) {
        debugLog("[ZqPSettingsController] save refused: the game data is not loaded");
        return false;
    }
    debugLog("[ZqPSettingsController] - save");
    CCUserDefault* values = store();
    values->setStringForKey("Kw_Version", ZqModelGeneralSettings::shared()->version());
    values->setStringForKey("ZqP_Scores", scoresText());
    values->setStringForKey("ZqP_LockStates", lockStatesText(ZqPurchaseRegistry::flags()));
    values->setStringForKey("PZq_Checkpoints", checkpointsText());
    saveCounted();
    values->setIntegerForKey("ZqP_selectedCharacter", m_selectedCharacter);
    values->setBoolForKey("ZqP_removeAds", m_adsRemoved);
    values->setBoolForKey("ZqP_fullscreen", m_fullscreen);
    values->setBoolForKey("ZqP_muteEffectsSound", m_muteEffects);
    values->setBoolForKey("ZqP_muteBackgroundSound", m_muteBackground);
    return values->flush();
}

void ZqPSettingsController::saveCounted()
{
    CCUserDefault* values = store();
    int index = 0;
    for (const auto& [id, timer] : m_refills) {
        std::string text = std::to_string(id);
        appendNumber(text, timer.start);
        appendNumber(text, timer.interval);
        appendNumber(text, timer.maximum);
        values->setStringForKey(indexedKey("ZqP_RefillPowerup_%d", index++).c_str(), text);
    }
    values->setIntegerForKey("ZqP_RefillPowerup_count", index);

    index = 0;
    for (const auto& [id, held] : m_inventory) {
        std::string text = std::to_string(id);
        appendNumber(text, held);
        values->setStringForKey(indexedKey("ZqP_Inventory_%d", index++).c_str(), text);
    }
    values->setIntegerForKey("ZqP_Inventory_count", index);

    // Every character of the game, and any index unlocked beyond the list.
    int characters = characterCount();
    if (!m_unlocked.empty())
        characters = std::max(characters, m_unlocked.rbegin()->first + 1);
    for (int i = 0; i < characters; ++i)
        values->setBoolForKey(indexedKey("ZqP_Character_%d", i).c_str(), isCharacterUnlocked(i));
    values->setIntegerForKey("ZqP_Characters_count", characters);
}

std::string ZqPSettingsController::unsavedWarning() const
{
    const std::string& reason = store()->unsaveableReason();
    return reason.empty() ? reason : "Progress will not be saved: " + reason;
}

void ZqPSettingsController::reset(bool deleteFile)
{
    m_unlocked.clear();
    m_selectedCharacter = 0;
    m_refills.clear();
    m_inventory.clear();
    if (deleteFile && !store()->deleteStore())
        debugLog("[ZqPSettingsController] reset: the stored progress could not be deleted");
}

bool ZqPSettingsController::isCharacterUnlocked(int index) const
{
    if (index < 0 || index >= kMaxStoredEntries)
        return false;
    auto stored = m_unlocked.find(index);
    if (stored != m_unlocked.end())
        return stored->second;
    if (index == 0)
        return true;
    if (index >= characterCount())
        return false;
    const auto character = modelCast<ZqModelAssetCharacter>((*characterModels())[static_cast<std::size_t>(index)]);
    // A character with no way of paying for it is free.
    return character && character->purchaseMethod() == kPurchaseMethodOther;
}

void ZqPSettingsController::unlockCharacter(int index)
{
    if (index < 0 || index >= kMaxStoredEntries) {
        debugLog("[ZqPSettingsController] no character %d to unlock", index);
        return;
    }
    m_unlocked[index] = true;
}

int ZqPSettingsController::inventoryCount(const std::shared_ptr<ZqModel>& powerup) const
{
    if (!powerup)
        return 0;
    auto held = m_inventory.find(powerup->id());
    return held == m_inventory.end() ? 0 : held->second;
}

void ZqPSettingsController::setInventoryCount(const std::shared_ptr<ZqModel>& powerup, int count)
{
    if (powerup)
        m_inventory[powerup->id()] = std::max(0, count);
}

void ZqPSettingsController::startRefill(unsigned powerupId, int timeoutMinutes, int maximum)
{
    // A timeout of 0 would refill without end; the buttons pass a truncated float.
    if (timeoutMinutes <= 0 || m_refills.count(powerupId) != 0)
        return;
    auto held = m_inventory.find(powerupId);
    if ((held == m_inventory.end() ? 0 : held->second) >= maximum)
        return;
    m_refills[powerupId] = RefillTimer{nowSeconds(), int64_t(timeoutMinutes) * 60, maximum};
}

int ZqPSettingsController::refillRemainingSeconds(unsigned powerupId) const
{
    auto timer = m_refills.find(powerupId);
    if (timer == m_refills.end())
        return 0;
    const int64_t left = timer->second.start - nowSeconds() + timer->second.interval;
    // A clock set back during the run would otherwise show more than one interval.
    return static_cast<int>(std::clamp<int64_t>(left, 0, std::min<int64_t>(timer->second.interval, INT_MAX)));
}

void ZqPSettingsController::updateRefills(float)
{
    const int64_t now = nowSeconds();
    for (auto timer = m_refills.begin(); timer != m_refills.end();) {
        RefillTimer& refill = timer->second;
        if (refill.start > now)
            refill.start = now;
        int& held = m_inventory[timer->first];
        const int64_t due = (now - refill.start) / refill.interval;
        const int64_t added = std::clamp<int64_t>(refill.maximum - int64_t(held), 0, due);
        held += static_cast<int>(added);
        // The next refill counts from when this one fell due, not from the tick.
        refill.start += added * refill.interval;
        if (held >= refill.maximum)
            timer = m_refills.erase(timer);
        else
            ++timer;
    }
}

const ZqPSettingsController::Checkpoint* ZqPSettingsController::checkpoint(const std::string& sceneKey) const
{
    auto found = m_checkpoints.find(sceneKey);
    return found == m_checkpoints.end() ? nullptr : &found->second;
}

void ZqPSettingsController::setCheckpoint(const std::string& sceneKey, const Checkpoint& checkpoint)
{
    m_checkpoints[sceneKey] = checkpoint;
}

int ZqPSettingsController::screenPlayedCount(const std::string& screenKey) const
{
    return std::max(0, storedInt(screenPlayedKey(screenKey).c_str(), 0));
}

void ZqPSettingsController::incrementScreenPlayed(const std::string& screenKey)
{
    const int count = screenPlayedCount(screenKey);
    store()->setIntegerForKey(screenPlayedKey(screenKey).c_str(), count == INT_MAX ? count : count + 1);
    store()->flush();
}
