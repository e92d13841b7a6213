#pragma once

#include "cocos2d.h"

#include <memory>
#include <vector>

class ZqModelScreen;

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
    // Every UI object's update with dt, over a copy of the list.
    void update(float dt) override;

    const std::shared_ptr<ZqModelScreen>& screenModel() const { return m_screenModel; }
    // The node that holds the on-screen controls; never null after init.
    cocos2d::CCNode* uiLayer() const { return m_uiLayer; }

    // Adds object to the objects updated every frame (retained until removed or the screen
    // goes); the caller places it in the scene graph. An object already listed is ignored.
    void addUiObject(cocos2d::CCNode* object);
    void removeUiObject(cocos2d::CCNode* object);
    cocos2d::CCArray* uiObjects() const { return m_uiObjects; }

protected:
    explicit ZqPScreen(std::shared_ptr<ZqModelScreen> model);

private:
    std::shared_ptr<ZqModelScreen> m_screenModel;
    cocos2d::CCNode* m_uiLayer = nullptr;
    // Retained.
    cocos2d::CCArray* m_uiObjects;
    std::vector<cocos2d::CCObject*> m_updateSnapshot;
};
