#include "app/ZqServices.h"

#include <ZqLog.h>

ZqServices* ZqServices::shared()
{
    static ZqServices instance;
    return &instance;
}

void ZqServices::post(int message, intptr_t parameter)
{
    if (m_poster) {
        m_poster(message, parameter);
        return;
    }
    if (message == kMessageClose)
        cocos2d::CCDirector::sharedDirector()->end();
    else
        debugLog("[ZqServices] no window for message %d (%ld)", message, static_cast<long>(parameter));
}

void ZqServices::exitGame()
{
    debugLog("Exit");
    debugLog("Doing exit...");
    post(kMessageClose, 0);
}

void ZqServices::screenOnEnter(const std::string& name)
{
    debugLog("[ZqServices] Screen On Enter: %s", name.c_str());
}

void ZqServices::screenOnExit(const std::string& name)
{
    debugLog("[ZqServices] Screen On Exit: %s", name.c_str());
}

void ZqServices::setFullscreen(bool fullscreen)
{
    post(kMessageFullscreen, fullscreen ? 1 : 0);
}

void ZqServices::openUrl(const std::string& address)
{
    debugLog("[ZqServices] would open %s", address.c_str());
}

void ZqServices::openFacebookPage(const std::string& address, const std::string& pageId)
{
    debugLog("[ZqServices] would open social page %s %s", address.c_str(), pageId.c_str());
}

void ZqServices::showAlert(const std::string& text, const std::function<void(bool)>& callback)
{
    // No dialog on this platform: the text goes to the log, the answer is yes.
    debugLog("[ZqServices] alert: %s", text.c_str());
    if (callback)
        callback(true);
}

ZqAdCustom* ZqAdCustom::shared()
{
    static ZqAdCustom instance;
    return &instance;
}

void ZqAdCustom::logCustomButton(const std::string& name)
{
    debugLog("Custom Button Activated: %s", name.c_str());
}

PurchaseBridge* PurchaseBridge::shared()
{
    static PurchaseBridge instance;
    return &instance;
}

void PurchaseBridge::setCallback(cocos2d::CCObject* target, Callback callback)
{
    m_target = target;
    m_callback = callback;
}

void PurchaseBridge::clearCallbackOf(const cocos2d::CCObject* target)
{
    if (target && m_target == target) {
        m_target = nullptr;
        m_callback = nullptr;
    }
}

void PurchaseBridge::request(const std::string& productId)
{
    cocos2d::CCObject* target = m_target;
    Callback callback = m_callback;
    // Forgotten first: the purchase may set a new callback, or its target may go.
    m_target = nullptr;
    m_callback = nullptr;
    if (target && callback)
        (target->*callback)(productId);
}
