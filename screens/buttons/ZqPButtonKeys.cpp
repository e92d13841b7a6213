#include "screens/buttons/ZqPButtonKeys.h"

#include "screens/buttons/ZqPObjectButton.h"
#include "screens/ZqPScreenNavigator.h"
#include "screens/ZqPScreenUi.h"

#include <algorithm>

namespace {

struct Binding {
    ZqPObjectButton* button;
    int key;
    bool pressed; // took the key's last press
};

std::vector<Binding>& bindings()
{
    static std::vector<Binding> list;
    return list;
}

// Whether the button sits on that screen (through its menu container and UI layer).
bool isOn(const ZqPObjectButton* button, const cocos2d::CCNode* screen)
{
    for (const cocos2d::CCNode* node = button->getParent(); node; node = node->getParent()) {
        if (node == screen)
            return true;
    }
    return false;
}

// The buttons retained for a walk whose calls may free them or change the bindings.
std::vector<ZqPObjectButton*> retainedButtons(const std::vector<ZqPObjectButton*>& buttons)
{
    for (ZqPObjectButton* button : buttons)
        button->retain();
    return buttons;
}

bool stillBound(ZqPObjectButton* button, int key)
{
    const std::vector<Binding>& list = bindings();
    return std::any_of(list.begin(), list.end(), [&](const Binding& b) { return b.button == button && b.key == key; });
}

} // namespace

void ZqPButtonKeys::bind(ZqPObjectButton* button, int key)
{
    unbind(button);
    bindings().push_back({button, key, false});
}

void ZqPButtonKeys::unbind(ZqPObjectButton* button)
{
    std::erase_if(bindings(), [button](const Binding& binding) { return binding.button == button; });
}

std::vector<ZqPObjectButton*> ZqPButtonKeys::buttonsFor(int key)
{
    std::vector<ZqPObjectButton*> buttons;
    for (const Binding& binding : bindings()) {
        if (binding.key == key)
            buttons.push_back(binding.button);
    }
    return buttons;
}

bool ZqPButtonKeys::keyDown(int key)
{
    const cocos2d::CCNode* screen = ZqPScreenNavigator::shared()->currentUiScreen();
    if (!screen || key == 0)
        return false;
    std::vector<ZqPObjectButton*> taking;
    for (Binding& binding : bindings()) {
        if (binding.key != key)
            continue;
        binding.pressed = binding.button->isEnabled() && isOn(binding.button, screen);
        if (binding.pressed)
            taking.push_back(binding.button);
    }
    for (ZqPObjectButton* button : retainedButtons(taking)) {
        if (stillBound(button, key))
            button->selected();
        button->release();
    }
    return !taking.empty();
}

bool ZqPButtonKeys::keyUp(int key)
{
    std::vector<ZqPObjectButton*> releasing;
    for (Binding& binding : bindings()) {
        if (binding.key == key && binding.pressed)
            releasing.push_back(binding.button);
        if (binding.key == key)
            binding.pressed = false;
    }
    for (ZqPObjectButton* button : retainedButtons(releasing)) {
        // A button freed since (its screen replaced) left the registry and gets nothing.
        // One whose screen is no longer shown lets go of what it holds but acts no more.
        if (stillBound(button, key)) {
            button->unselected();
            const cocos2d::CCNode* screen = ZqPScreenNavigator::shared()->currentUiScreen();
            if (screen && isOn(button, screen))
                button->activate();
        }
        button->release();
    }
    return !releasing.empty();
}
