#pragma once

#include "actions/CCAction.h"

namespace cocos2d {

// An action of no duration: its first step applies it and it is done.
class CCActionInstant : public CCFiniteTimeAction {
public:
    bool isDone() const override { return true; }
    void step(float dt) override { update(1.0f); }
};

// Calls selector on a target object. The selector's target is retained by the action
// until the action dies, so it stays alive until the call.
class CCCallFunc : public CCActionInstant {
public:
    // Autoreleased. A null target or selector makes an action that calls nothing.
    static CCCallFunc* create(CCObject* selectorTarget, SEL_CallFunc selector);

    ~CCCallFunc() override;
    void update(float t) override { execute(); }
    virtual void execute();

protected:
    void setSelectorTarget(CCObject* selectorTarget);

    CCObject* m_pSelectorTarget = nullptr;
    SEL_CallFunc m_pCallFunc = nullptr;
};

// Calls selector on a target object with the node running the action.
class CCCallFuncN : public CCCallFunc {
public:
    // Autoreleased.
    static CCCallFuncN* create(CCObject* selectorTarget, SEL_CallFuncN selector);

    void execute() override;

private:
    SEL_CallFuncN m_pCallFuncN = nullptr;
};

} // namespace cocos2d
