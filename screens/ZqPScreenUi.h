#pragma once

#include "model/ZqStartMode.h"
#include "screens/ZqPScreen.h"

#include <memory>
#include <string>

class ZqBaseModelObjectButton;
class ZqPObjectButton;
class ZqPObjectCharacterSelector;
class ZqPScreenScene;

// The screen of every menu and of the overlay over a game field: built from the screen
// model of the navigator's current key, it binds its buttons to their actions by their
// "Action" keys, reports when it shows, keeps the window-mode buttons in step with the
// saved fullscreen flag, and on the start screen shows the loading UI and drives the
// game's loading from its draws. Main thread only.
class ZqPScreenUi : public ZqPScreen {
public:
    // The screen of the navigator's current key, initialised and autoreleased; null
    // when its UI cannot be built.
    static ZqPScreenUi* create();
    // A new scene holding that screen under tag 0, with the loading UI as asked; null
    // when the screen cannot be made.
    static cocos2d::CCScene* createScene(bool loadingUi);

    bool init() override;
    void update(float dt) override;
    void onEnter() override;
    void onExit() override;
    // While the loading UI shows, counts the draw; from the tenth on each draw runs one
    // loading step (ZqPAppDelegate::loadGame).
    void draw() override;

    // Turns the loading UI on or off; turning it on adds the cover splash
    // ("Default.png", when there is one) and the loading text. Nothing when unchanged.
    void setLoadingUi(bool on);
    bool isLoadingUi() const { return m_loadingUi; }
    int loadingDrawCount() const { return m_loadingDrawCount; }

    // Enables or disables every button and the input controller together.
    void setButtonsEnabled(bool enabled);
    bool buttonsEnabled() const { return m_buttonsEnabled; }

    // The window modes: the flag saved, the two buttons swapped where present, and the
    // services asked to switch the window.
    void goFullscreen();
    void goWindowed();

    // The name this screen reports when it shows: the "Name" of the last interface node
    // whose screen is this screen's model; "Unknown" when none. Start nodes are no interface
    // nodes here (their own class), so the start screen reports "Unknown".
    std::string reportedName() const;

    // Escape on the desktop: the back action.
    void keyBackClicked() override;
    void requestReview() override;

    // The start mode a link asks for with function (model/ZqStartMode.h).
    static int startModeFor(ZqStartFunction function);
    // A plain button's link: the screen its "Name" leads to, with the start mode of its
    // "Action"; a lock
    // button passes the navigator's destination.
    void openLink(const std::shared_ptr<ZqBaseModelObjectButton>& model) override;
    // The linked-screen switch through the deferred-action runner; dropped while an
    // action waits. name is copied.
    void queueLinkedScreenSwitch(const std::string& name, int destination, int startMode, int pauseMode,
                                 int transition);
    // The switch itself. Over a field, a name that pushes a screen rebuilds the overlay
    // (pause mode 2 leaves the pause as it is, 0 pauses, else resumes); otherwise to the
    // screen name leads to, with a fresh container presented and destination stored as
    // the next game's start. Nothing when nothing resolves.
    void switchToLinkedScreen(const std::string& name, int destination, int startMode, int pauseMode,
                              int transition);

    // Unlocks a random locked character the player's coins pay for, or tells that the
    // coins do not reach. With a character selector on the screen, the selector turns to
    // it and unlocks it by its own method.
    void unlockRandomCharacter(cocos2d::CCObject* sender);
    // The first character selector directly in the UI layer; null when none.
    ZqPObjectCharacterSelector* findCharacterSelector() const;
    // The "kUnlockCharacter" button shows only while some locked character is affordable.
    void refreshUnlockCharacterButton();

private:
    using ZqPScreen::ZqPScreen;

    void bindCommands();
    void registerInputActionButtons();
    void bindWindowModeButtons();
    void setWindowMode(bool fullscreen);

    // Button handlers; each drops a press while an action waits.
    void backPressed(cocos2d::CCObject* sender);
    void backToPressed(cocos2d::CCObject* sender);
    // Over a field: its pause with the sender.
    void pausePressed(cocos2d::CCObject* sender);
    // Over a field: ads hidden unless the field shows the banner, session scores reset,
    // a full restart.
    void restartPressed(cocos2d::CCObject* sender);
    // Over a field: the switch states emptied, ads hidden unless the field shows the
    // banner, the field's UI objects reset, the field restored at its checkpoint (no
    // longer over), one screen back and the overlay rebuilt.
    void restartCheckpointPressed(cocos2d::CCObject* sender);
    // The field this screen is the overlay of; null otherwise.
    ZqPScreenScene* fieldUnder() const;
    void resetPressed(cocos2d::CCObject* sender);
    void reviewPressed(cocos2d::CCObject* sender);
    void sharePressed(cocos2d::CCObject* sender);
    void exitPressed(cocos2d::CCObject* sender);
    void customPressed(cocos2d::CCObject* sender);
    void fullscreenPressed(cocos2d::CCObject* sender);
    void windowedPressed(cocos2d::CCObject* sender);
    void audioPressed(cocos2d::CCObject* sender);
    // The erase-progress answer.
    void resetConfirmed(bool confirmed);

    void backAction();

    bool m_loadingUi = false;
    int m_loadingDrawCount = 0;
    // Buttons of this screen's UI layer, which keeps them alive.
    ZqPObjectButton* m_gameServicesButton = nullptr;
    ZqPObjectButton* m_windowedButton = nullptr;
    ZqPObjectButton* m_fullscreenButton = nullptr;
    bool m_buttonsEnabled = true;
};
