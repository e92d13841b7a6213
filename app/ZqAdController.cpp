#include "app/ZqAdController.h"

#include "app/ZqPSettingsController.h"

#include <ZqLog.h>

ZqAdController* ZqAdController::shared()
{
    // Lives to the end of the process; it holds nothing that needs tearing down.
    static ZqAdController* instance = new ZqAdController();
    return instance;
}

void ZqAdController::showBanner(const std::string& network)
{
    if (!namesNetwork(network)) {
        hideBanner();
        m_banner.clear();
        return;
    }
    m_banner = network;
    m_bannerShown = true;
    debugLog("[ZqAdController] show banner: %s", network.c_str());
}

void ZqAdController::hideBanner()
{
    m_bannerShown = false;
    debugLog("[ZqAdController] hide banner");
}

void ZqAdController::showInterstitial(const std::string& network)
{
    hideInterstitial();
    if (!namesNetwork(network)) {
        m_interstitial.clear();
        return;
    }
    m_interstitial = network;
    m_interstitialShown = true;
    debugLog("[ZqAdController] show interstitial: %s", network.c_str());
}

void ZqAdController::hideInterstitial()
{
    m_interstitialShown = false;
    debugLog("[ZqAdController] hide interstitial");
}

bool ZqAdController::isRewardedVideoAvailable(const std::string& network)
{
    if (!namesNetwork(network)) {
        m_rewardedVideo.clear();
        return false;
    }
    m_rewardedVideo = network;
    return true;
}

void ZqAdController::showRewardedVideo(const std::string& network)
{
    if (!isRewardedVideoAvailable(network)) {
        debugLog("[ZqAdController] no rewarded video: %s", network.c_str());
        return;
    }
    debugLog("[ZqAdController] rewarded video: %s", network.c_str());
    // Taken out before the grant: the callback may set up the next reward.
    cocos2d::CCObject* target = m_rewardTarget;
    cocos2d::SEL_CallFunc callback = m_rewardCallback;
    const int character = m_rewardCharacter;
    m_rewardTarget = nullptr;
    m_rewardCallback = nullptr;
    m_rewardCharacter = -1;
    if (target && callback) {
        (target->*callback)();
        return;
    }
    if (character < 0)
        return;
    ZqPSettingsController* settings = ZqPSettingsController::shared();
    settings->unlockCharacter(character);
    settings->setSelectedCharacter(character);
    settings->save();
}

void ZqAdController::setRewardCallback(cocos2d::CCObject* target, cocos2d::SEL_CallFunc callback)
{
    m_rewardTarget = target;
    m_rewardCallback = callback;
}

void ZqAdController::clearRewardCallbackOf(const cocos2d::CCObject* target)
{
    if (target && m_rewardTarget == target) {
        m_rewardTarget = nullptr;
        m_rewardCallback = nullptr;
    }
}
