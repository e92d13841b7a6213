#pragma once

#include "cocos2d.h"

#include <cstdint>
#include <functional>
#include <string>

// The platform services that games name. On this platform most answer fixed values:
// no game services, no alerts, no review requests; links are logged, not opened (no
// browser hand-off). Main thread only.
class ZqServices {
public:
    // Window messages the program handles: the fullscreen switch (parameter 1 fullscreen,
    // 0 windowed) and the close.
    static constexpr int kMessageFullscreen = 1024;
    static constexpr int kMessageClose = 16;
    using Poster = std::function<void(int message, intptr_t parameter)>;

    static ZqServices* shared();

    // The program installs how messages reach its window. Without one, a close ends the
    // director's loop after the frame and a fullscreen switch is only logged.
    void setPoster(Poster poster) { m_poster = std::move(poster); }

    // Logs "Exit" and "Doing exit...", then posts the close.
    void exitGame();
    bool isAvailable() const { return false; }
    // Log "[ZqServices] would open <address>" and "[ZqServices] would open social page
    // <address> <page id>": what a device would hand to its browser or social application.
    void openUrl(const std::string& address);
    void openFacebookPage(const std::string& address, const std::string& pageId);
    void requestReview() {}
    void screenOnEnter(const std::string& name);
    void screenOnExit(const std::string& name);
    void setFullscreen(bool fullscreen);
    // Shows nothing but logs "[ZqServices] alert: <text>"; the callback runs at once with true.
    void showAlert(const std::string& text, const std::function<void(bool)>& callback);

private:
    void post(int message, intptr_t parameter);

    Poster m_poster;
};

// The custom-button hook.
class ZqAdCustom {
public:
    static ZqAdCustom* shared();
    // Logs "Custom Button Activated: <name>".
    void logCustomButton(const std::string& name);
};

// In-app purchases: on this platform every request completes at once. The callback is
// one-shot: it is forgotten once called, and when its target goes (clearCallbackOf).
class PurchaseBridge {
public:
    using Callback = void (cocos2d::CCObject::*)(const std::string& productId);

    static PurchaseBridge* shared();

    // target is not retained: its owner calls clearCallbackOf before it dies.
    void setCallback(cocos2d::CCObject* target, Callback callback);
    void clearCallbackOf(const cocos2d::CCObject* target);
    // Calls the callback on its target with productId when both are set, after
    // forgetting them.
    void request(const std::string& productId);

private:
    cocos2d::CCObject* m_target = nullptr;
    Callback m_callback = nullptr;
};
