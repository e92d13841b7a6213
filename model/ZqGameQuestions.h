#pragma once

#include <string>

// The questions models ask of the running game: the one seam between model/ and the layers
// above it. The application (app/) answers for saved progress and purchases, the screen
// navigation (screens/) for destinations. Each is installed once at start-up and by test
// fixtures (see app/ZqGameAnswers.h); before that, models get the answers of a fresh game
// with nothing bought and no destination, and their requests change nothing.

class ZqProgressQuestions {
public:
    virtual bool adsRemoved() const = 0;
    // Index of the selected character in the controller's list of characters.
    virtual int selectedCharacter() const = 0;
    // Unlocks the character at that index and saves the progress.
    virtual void unlockCharacter(int index) = 0;
    // The purchased flag of an item (a product or lock name).
    virtual void setPurchasedItemFlag(const std::string& item, bool purchased) = 0;

protected:
    ~ZqProgressQuestions() = default;
};

class ZqNavigationQuestions {
public:
    // The level-section id at which the next game starts; 0 when none.
    virtual int sceneDestination() const = 0;
    // The id of the level section after destination; 0 when none.
    virtual int nextDestination(int destination) const = 0;

protected:
    ~ZqNavigationQuestions() = default;
};

// The installed answers, or the fresh game's. Not owned; null uninstalls.
ZqProgressQuestions& zqProgress();
ZqNavigationQuestions& zqNavigation();
void zqInstallProgressQuestions(ZqProgressQuestions* answers);
void zqInstallNavigationQuestions(ZqNavigationQuestions* answers);
