#pragma once

#include "cocos2d.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>

class ZqModel;

// The saved progress of the player: character unlocks and selection, the remove-ads,
// fullscreen and mute flags, the power-up inventory and its refill timers, checkpoints,
// and, through their own registries, the score records and the purchase flags. Kept in
// memory; save() writes it to the engine's key-value store and flushes the store.
//
// Stored form, one store key each (a key whose value is missing or damaged gives that
// value's default and leaves every other value as stored):
//   "Kw_Version"                  the general settings' "Kw Version" text of the game
//                                 that saved; another text keeps every value (logged)
//   "ZqP_Scores"                  entries "<n>:<key> ds db dt ps pb pt cs cb ct;" for each
//                                 score record: n the byte length of key, then session, best
//                                 and total of distance (float), points and coins (int)
//   "ZqP_LockStates"              entries "<n>:<name> <0|1>;" of the purchase flags
//   "PZq_Checkpoints"             entries "<n>:<scene key> <index> <distance> <section
//                                 distance> <x> <y> <snapshot distance> <points> <coins>;"
//                                 (without a snapshot its three numbers are left out; an
//                                 entry of the first two numbers alone reads, and is
//                                 written back, in that form)
//   "ZqP_RefillPowerup_count"     int; "ZqP_RefillPowerup_%d" (0 to count - 1):
//                                 "<power-up id> <start> <interval> <maximum>", seconds
//   "ZqP_Inventory_count"         int; "ZqP_Inventory_%d": "<power-up id> <count>"
//   "ZqP_Characters_count"        int; "ZqP_Character_%d": bool, unlocked, by index
//   "ZqP_selectedCharacter"       int
//   "ZqP_removeAds", "ZqP_fullscreen", "ZqP_muteEffectsSound", "ZqP_muteBackgroundSound"
//   "ScreenPlayed-<screen key>"   int, blanks in the key written as '_'
// A stored value that does not read as its kind is dropped from the store with one line,
// the store file kept aside as it was (see CCUserDefault::dropDamaged). In a damaged text
// list the entries before the damage are kept (and stored again at once) and the rest is
// dropped; a counted list drops a damaged entry and skips absent ones.
//
// Process-wide: shared() makes it on first use and loads the stored progress; it runs its
// refill timer every 1.0 s on the director's scheduler. Main thread only.
class ZqPSettingsController : public cocos2d::CCObject {
public:
    // A level position to restart from, per scene key.
    struct Checkpoint {
        struct Snapshot {
            float distance = 0.0f; // the current record's session values when it was taken
            int points = 0;
            int coins = 0;
        };
        int index = 0;                // creation index of the checkpoint object
        float distance = 0.0f;        // points along the game direction
        float sectionDistance = 0.0f; // placement distance of its level section, points
        cocos2d::CCPoint position;    // points, in the game field
        std::optional<Snapshot> snapshot;
        // Read from an entry of the first form: index and distance alone, so the field
        // starts from its start section. Such an entry is written back in that form.
        bool indexOnly = false;
    };

    // The instance; never null.
    static ZqPSettingsController* shared();
    // Drops the instance (unsaved changes are lost); the next shared() makes and loads a
    // fresh one.
    static void purgeShared();

    ~ZqPSettingsController() override;

    // Reads everything from the store, replacing what is in memory; the purchase flags
    // are restored and their refresh list run.
    void load();
    // Writes everything to the store and flushes it. Refused, with a log line, until the
    // model controller has finished loading the game data. False when refused or when
    // the store file could not be written.
    virtual bool save();
    // What to tell the player once at start when no save of this run can reach the store:
    // "Progress will not be saved: " and why (the store's folder cannot be made, ...).
    // Empty when saves can be written.
    std::string unsavedWarning() const;
    // Default unlocks, selected character 0, no refill timers, empty inventory; with
    // deleteFile the store file (and every value the store holds) is deleted.
    void reset(bool deleteFile);

    // Characters, by index in the model controller's list of character assets.
    // Unlocked unless stored otherwise: the first character and every character without
    // an unlock method ("kInGameCurrency", "kInAppPurchase", "kRewardedVideos",
    // "kWebLink"). Indices below 0 or from kMaxStoredEntries on are never unlocked.
    bool isCharacterUnlocked(int index) const;
    void unlockCharacter(int index);
    // May be out of the character list's range (progress of another version of the game).
    int selectedCharacter() const { return m_selectedCharacter; }
    void setSelectedCharacter(int index) { m_selectedCharacter = index; }

    bool adsRemoved() const { return m_adsRemoved; }
    void setAdsRemoved(bool removed) { m_adsRemoved = removed; }
    bool isFullscreen() const { return m_fullscreen; }
    void setFullscreen(bool fullscreen) { m_fullscreen = fullscreen; }
    bool isEffectsSoundMuted() const { return m_muteEffects; }
    void setEffectsSoundMuted(bool muted) { m_muteEffects = muted; }
    bool isBackgroundSoundMuted() const { return m_muteBackground; }
    void setBackgroundSoundMuted(bool muted) { m_muteBackground = muted; }
    // Set at launch when the first scene took more than 0.4 s to show; not stored.
    bool isSlowDevice() const { return m_slowDevice; }
    void setSlowDevice(bool slow) { m_slowDevice = slow; }

    // Power-ups held, by the power-up model's id; 0 for an empty model.
    int inventoryCount(const std::shared_ptr<ZqModel>& powerup) const;
    void setInventoryCount(const std::shared_ptr<ZqModel>& powerup, int count);

    // Starts the refill timer of a power-up id (one more power-up every timeoutMinutes,
    // while the inventory is below maximum), unless one runs for the id, the inventory
    // already reaches maximum, or timeoutMinutes is 0 or less.
    void startRefill(unsigned powerupId, int timeoutMinutes, int maximum);
    bool isRefillRunning(unsigned powerupId) const { return m_refills.count(powerupId) != 0; }
    // Whole seconds to the next refill, within [0, interval]; 0 when no timer runs.
    int refillRemainingSeconds(unsigned powerupId) const;
    // The timer's tick: every refill that fell due since its start (the game may have been
    // closed meanwhile) is added, up to the maximum, where the timer ends. A timer whose
    // start lies ahead of the clock (set back meanwhile) starts again from now.
    void updateRefills(float dt);

    // Null when the scene key has none.
    const Checkpoint* checkpoint(const std::string& sceneKey) const;
    void setCheckpoint(const std::string& sceneKey, const Checkpoint& checkpoint);
    void clearCheckpoints() { m_checkpoints.clear(); }
    // Nothing when the scene key has none.
    void clearCheckpoint(const std::string& sceneKey) { m_checkpoints.erase(sceneKey); }

    // How often a screen was shown, read from and written to the store directly; the
    // increment flushes the store.
    int screenPlayedCount(const std::string& screenKey) const;
    void incrementScreenPlayed(const std::string& screenKey);

    // Bound on the entries read from a stored count, so a damaged count cannot make the
    // loading walk billions of keys.
    static constexpr int kMaxStoredEntries = 10000;

private:
    struct RefillTimer {
        int64_t start = 0;    // seconds since the Unix epoch
        int64_t interval = 0; // seconds, above 0
        int maximum = 0;
    };

    ZqPSettingsController();

    void loadCharacters();
    void loadInventory();
    void loadRefills();
    void saveCounted();
    void loadCheckpoints();
    std::string checkpointsText() const;

    cocos2d::CCScheduler* m_scheduler = nullptr; // retained

    std::map<int, bool> m_unlocked; // explicit states; other indices take the default
    int m_selectedCharacter = 0;
    bool m_adsRemoved = false;
    bool m_fullscreen = false;
    bool m_muteEffects = false;
    bool m_muteBackground = false;
    bool m_slowDevice = false;
    std::map<unsigned, int> m_inventory;
    std::map<unsigned, RefillTimer> m_refills;
    std::map<std::string, Checkpoint> m_checkpoints;
};
