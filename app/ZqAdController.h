#pragma once

#include "cocos2d.h"

#include <string>

// The advertising hooks. On this platform no network shows anything: an advertisement
// only writes its log line and a rewarded video grants its reward at once. A network is
// named by the token the editor stored ("Ad Banner", "Ad Interstitial", "Ad Network");
// every token names one except the empty text and "kNoAds". Main thread only.
class ZqAdController {
public:
    // Process-wide; created on first use. Tests may build their own.
    static ZqAdController* shared();

    ZqAdController() = default;
    ZqAdController(const ZqAdController&) = delete;
    ZqAdController& operator=(const ZqAdController&) = delete;

    // Makes the banner network current and shows its banner; a token naming no network
    // hides the banner and clears the current one.
    void showBanner(const std::string& network);
    void hideBanner();
    // Hides the current interstitial, makes the network current and shows its
    // interstitial; a token naming no network leaves none current.
    void showInterstitial(const std::string& network);
    void hideInterstitial();

    // Makes the rewarded-video network current; whether it has a video (every network
    // has one here, a token naming none has not).
    bool isRewardedVideoAvailable(const std::string& network);
    // The reward: with a callback, (target->*callback)(); without one, the pending
    // character is unlocked, selected and saved. The reward is consumed by the grant (a
    // later video needs a new callback or character), so a stale callback never receives
    // another screen's reward. A network naming none grants nothing.
    void showRewardedVideo(const std::string& network);

    // target is not retained: its owner calls clearRewardCallbackOf before it dies.
    void setRewardCallback(cocos2d::CCObject* target, cocos2d::SEL_CallFunc callback);
    void clearRewardCallbackOf(const cocos2d::CCObject* target);
    // The character index (in the model controller's character list) a video unlocks.
    void setRewardCharacter(int index) { m_rewardCharacter = index; }

    const std::string& currentBanner() const { return m_banner; }
    const std::string& currentInterstitial() const { return m_interstitial; }
    const std::string& currentRewardedVideo() const { return m_rewardedVideo; }
    bool isBannerShown() const { return m_bannerShown; }
    bool isInterstitialShown() const { return m_interstitialShown; }

    static bool namesNetwork(const std::string& token) { return !token.empty() && token != "kNoAds"; }

private:
    std::string m_banner;
    std::string m_interstitial;
    std::string m_rewardedVideo;
    bool m_bannerShown = false;
    bool m_interstitialShown = false;

    cocos2d::CCObject* m_rewardTarget = nullptr;
    cocos2d::SEL_CallFunc m_rewardCallback = nullptr;
    // -1: no character pending.
    int m_rewardCharacter = -1;
};
