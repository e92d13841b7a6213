#pragma once

#include "cocos2d.h"
#include "model/ZqDataTokens.h"
#include "screens/buttons/ZqPObjectButton.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class ZqBaseModelObjectButton;
class ZqModelAssetPowerup;
class ZqModelObject;
class ZqModelScreen;
class ZqPInputController;

// The base of every screen: a layer built from a screen model, with a UI layer for its
// on-screen controls and a list of UI objects it updates every frame. A scene container
// holds the screen as its first child.
class ZqPScreen : public cocos2d::CCLayer {
public:
    // The z order of the UI layer inside the screen.
    static constexpr int kUiLayerZOrder = 100;

    // The first child of the director's running scene when it is a screen; else null.
    static ZqPScreen* runningScreen();

    ~ZqPScreen() override;

    // The layer's set-up, the UI layer, and the per-frame update scheduled.
    bool init() override;
    // Every UI object's update with dt, over a copy of the list; a shown screen that an
    // object's switch replaced updates no more of them.
    void update(float dt) override;

    const std::shared_ptr<ZqModelScreen>& screenModel() const { return m_screenModel; }
    // The node that holds the on-screen controls; never null after init.
    cocos2d::CCNode* uiLayer() const { return m_uiLayer; }

    // Adds object to the objects updated every frame (retained until removed or the screen
    // goes); the caller places it in the scene graph. An object already listed is ignored.
    void addUiObject(cocos2d::CCNode* object);
    void removeUiObject(cocos2d::CCNode* object);
    cocos2d::CCArray* uiObjects() const { return m_uiObjects; }

    // The advertising of each showing (see showAds), then the layer's enter.
    void onEnter() override;

    // Builds the on-screen objects of the screen model of key into the UI layer: texts,
    // images, loading bars, event observers and swipe controls, every kind of button
    // through ZqPObjectButton::create, each in its own menu container (ZqPButtonMenu);
    // unlockers apply their unlocks and leave nothing. Another class is skipped with a log
    // line. The destructor takes the touch controls out of the touch dispatcher.
    // False when key is not this screen's model's key.
    virtual bool buildUiFromModel(const std::string& key, bool flag);

    // Every button of the UI layer's menu containers, in the order they were built.
    std::vector<ZqPObjectButton*> allButtons() const;
    // Those whose "Action" equals action; findButton gives the first or null.
    std::vector<ZqPObjectButton*> findButtons(ZqButtonAction action) const;
    ZqPObjectButton* findButton(ZqButtonAction action) const;
    // Gives every button of that "Action" the menu handler (target is not retained).
    void bindButton(ZqButtonAction action, cocos2d::CCObject* target, cocos2d::SEL_MenuHandler handler);
    // Gives every button of that "Action" the controller's press and release handlers;
    // binding again replaces them. Nothing without a controller.
    void bindInput(ZqButtonAction action, ZqPInputController* controller, ZqPObjectButton::InputHandler press,
                   ZqPObjectButton::InputHandler release);

    // The action state: kActionWaiting while a queued action waits for the screen's close
    // animation; the handlers drop presses meanwhile.
    static constexpr int kActionWaiting = 2;
    int actionState() const { return m_actionState; }
    // Runs action at once when the model's "Close Animation Frames" is below 1; else once,
    // after that many frames of 1/30 s. One action waits at a time: another is dropped.
    void queueAction(std::function<void()> action);

    // Replaces the running scene with container at the next frame: this screen's
    // scheduled work stops, and the ads hide unless the container's screen shows a banner.
    // Nothing for null.
    void presentContainer(cocos2d::CCScene* container);
    virtual bool shouldShowBanner() const;
    // Logs "[<key>] hide ads" and hides the banner and the interstitial.
    void hideAds();
    // The next showing counts no interstitial (after a rewarded video, for example).
    void skipInterstitialOnce() { m_skipInterstitialOnce = true; }
    // The kButtonRemoveAds ("kPurchaseRemoveAds") buttons hide, and the purchase buttons of that "Type".
    virtual void onAdsRemoved();
    // The UI objects start their animations over; texts show their model's text again.
    virtual void resetUiObjects();

    // What a plain button does when pressed (through queueAction); nothing here.
    virtual void openLink(const std::shared_ptr<ZqBaseModelObjectButton>& model);
    // A bought power-up: on a menu a coin power-up ("kPowerupCoin") pays its "Reward
    // Coins" and "Reward Points" into the global record.
    virtual void grantPowerup(const std::shared_ptr<ZqModelAssetPowerup>& powerup, bool flag);
    virtual void requestReview();
    // The screen's music (ZqScreenMusic): its "Music", "Loop Music" and "Muted".
    virtual void playMusic();

protected:
    explicit ZqPScreen(std::shared_ptr<ZqModelScreen> model);

    // Unless ads were bought away, logs "[<key>] banner: <banner> interstitial:
    // <interstitial>" and counts the showing: every "Ad Banner Freq."-th shows the banner
    // (else it hides), every "Ad Interstitials Freq."-th the interstitial. The counts live
    // in the model, so they outlive the screen.
    void showAds();

    // The default handler of every button: the pressed button's model to openLink,
    // through queueAction.
    void buttonPressed(cocos2d::CCObject* sender);
    // A purchase button's press, by its "Purchase Method": "kInAppPurchase" asks the
    // purchase bridge for the "Store Identifier", "kRewardedVideos" shows a rewarded video
    // of the "Ad Network", each completing the purchase; any other buys at once.
    void purchasePressed(cocos2d::CCObject* sender);
    // A power-up button's press: one power-up of the inventory (none taken with "Unlimited
    // Use"; nothing without one) goes to the running screen's grantPowerup, above the
    // character with "Layering" "kAboveCharacter"; then the button's refill timer starts.
    void usePowerup(cocos2d::CCObject* sender);

private:
    // The runtime object of one model of the screen, in the UI layer.
    void addUiObjectFor(const std::shared_ptr<ZqModelObject>& object);
    void runQueuedAction(float dt);
    // Restarts the UI objects' animations every "Idle Animation Frames" after the open
    // animation, when "Idle Animation Loop" is set.
    void loopIdleAnimation(float dt);

    std::function<void()> m_queuedAction;
    int m_actionState = 0;
    bool m_skipInterstitialOnce = false;

    std::shared_ptr<ZqModelScreen> m_screenModel;
    cocos2d::CCNode* m_uiLayer = nullptr;
    // Retained.
    cocos2d::CCArray* m_uiObjects;
    std::vector<cocos2d::CCObject*> m_updateSnapshot;
};
