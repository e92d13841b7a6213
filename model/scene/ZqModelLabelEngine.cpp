// The label model's engine side: the bitmap-font label node.
#include "model/scene/ZqModelLabel.h"

#include "model/ZqGameQuestions.h"
#include "model/ZqModelController.h"
#include "model/scene/ZqModelFont.h"
#include "model/scene/ZqModelLevelSection.h"
#include "label_nodes/CCLabelBMFont.h"

#include <ZqNumeric.h>

#include <optional>
#include <string>

using namespace cocos2d;

namespace {

// The text the model sets on the label; none leaves the font's "0" for the on-screen
// text control to fill.
std::optional<std::string> initialText(const ZqBaseModelObjectLabel& label)
{
    if (label.action() == kLabelCustomText)
        return label.text();
    if (label.action() == kLabelStartSceneName) {
        const int destination = zqNavigation().sceneDestination();
        if (destination != 0) {
            const std::shared_ptr<ZqModelLevelSection> section =
                ZqModelController::shared()->getModel<ZqModelLevelSection>(static_cast<unsigned>(destination));
            if (section)
                return section->name();
        }
    }
    return std::nullopt;
}

} // namespace

CCLabelBMFont* ZqBaseModelObjectLabel::createLabel() const
{
    const std::shared_ptr<ZqModelFont> font = ZqModelController::shared()->getModel<ZqModelFont>(
        static_cast<unsigned>(fontId()));
    if (!font)
        return nullptr;
    CCLabelBMFont* label = font->createLabel();
    if (!label)
        return nullptr;
    static const CCPoint kAnchors[] = {ccp(0.0f, 0.5f), ccp(0.5f, 0.5f), ccp(1.0f, 0.5f)};
    label->setAnchorPoint(kAnchors[alignmentIndex()]);
    label->setTracking(zqSaturatingInt(m_tracking->value()));
    if (const std::optional<std::string> text = initialText(*this))
        label->setString(text->c_str());
    return label;
}
