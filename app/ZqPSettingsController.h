#pragma once

// The saved progress of the player. Process-wide: shared() makes it on first use.
// Main thread only.
class ZqPSettingsController {
public:
    // The instance; never null.
    static ZqPSettingsController* shared();

    ZqPSettingsController(const ZqPSettingsController&) = delete;
    ZqPSettingsController& operator=(const ZqPSettingsController&) = delete;

    // Index of the selected character in the controller's list of character assets;
    // may be out of that list's range (saved progress of another version of the game).
    int selectedCharacter() const { return m_selectedCharacter; }

private:
    ZqPSettingsController() = default;

    int m_selectedCharacter = 0;
};
