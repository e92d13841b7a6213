#pragma once

#include "cocos2d.h"

#include <memory>

class ZqModel;

// Carries a model on an engine node as its user object (CCNode::setUserObject), so that
// whoever gets the node (an input notification, a component) can read the model it was
// built from. Holds the model by shared pointer.
class ZqObjectModelHolder : public cocos2d::CCObject {
public:
    // Autoreleased.
    static ZqObjectModelHolder* create(std::shared_ptr<ZqModel> model);

    explicit ZqObjectModelHolder(std::shared_ptr<ZqModel> model) : m_model(std::move(model)) {}

    const std::shared_ptr<ZqModel>& model() const { return m_model; }

    // The model that the node's user object holds; empty for a null node or one without a
    // holder.
    static std::shared_ptr<ZqModel> modelOf(const cocos2d::CCNode* node);
    // That model's id; 0 without one.
    static unsigned modelIdOf(const cocos2d::CCNode* node);

private:
    std::shared_ptr<ZqModel> m_model;
};
