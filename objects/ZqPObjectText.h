#pragma once

#include "objects/ZqPObject.h"

#include <memory>
#include <string>

namespace cocos2d {
class CCLabelBMFont;
}
class ZqModelObjectLabel;

// A text on a screen or inside an animation object: the label model's bitmap-font label,
// placed by the model (the edge-anchored position when "Stick To Edge" is set).
class ZqPObjectText : public ZqPObject {
public:
    // Autoreleased; null for a null model. Without a usable font the object shows nothing.
    static ZqPObjectText* create(const std::shared_ptr<ZqModelObjectLabel>& model);

    // Shows the model's text again, as a new label from the model.
    void resetOnRestart() override;
    // The object's update, then the live value of the label's "Action" (scores, the
    // loading progress, character counts; see zqLiveLabelText), set only when it changed.
    void update(float dt) override;

    // The label child; null when the font could not be made.
    cocos2d::CCLabelBMFont* label() const { return m_label; }
    const std::shared_ptr<ZqModelObjectLabel>& labelModel() const { return m_labelModel; }

private:
    explicit ZqPObjectText(const std::shared_ptr<ZqModelObjectLabel>& model);
    void showLabel();
    void refreshText();

    std::shared_ptr<ZqModelObjectLabel> m_labelModel;
    // A child; not retained beyond that.
    cocos2d::CCLabelBMFont* m_label = nullptr;
    // The live value the label shows.
    std::string m_liveText;
};
