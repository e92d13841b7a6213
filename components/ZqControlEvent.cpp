#include "components/ZqControlEvent.h"

#include "app/ZqObjectModelHolder.h"
#include "app/ZqPInputController.h"
#include "model/objects/ZqModelObjectButtons.h"
#include "model/objects/ZqModelObjectsControls.h"

ZqControlEvent ZqControlEvent::parse(const std::string& text)
{
    std::string pieces[3];
    int count = 0;
    std::size_t from = 0;
    while (count < 3) {
        const std::size_t dash = text.find('-', from);
        pieces[count++] = text.substr(from, dash == std::string::npos ? std::string::npos : dash - from);
        if (dash == std::string::npos)
            break;
        from = dash + 1;
    }
    ZqControlEvent event;
    event.kind = zqTokenCode<ZqControlKindTokens>(pieces[0]);
    // "kEventStart-..." is no start event: those two are whole texts.
    if (count > 1 && (event.kind == kControlOnStart || event.kind == kControlOnCollision))
        event.kind = kControlKindOther;
    event.name = pieces[1];
    event.last = count == 3 ? pieces[2] : count == 2 ? pieces[1] : std::string();
    return event;
}

void ZqControlEvent::bind(cocos2d::CCObject* target, cocos2d::SEL_CallFuncO activate,
                          cocos2d::SEL_CallFuncO deactivate) const
{
    ZqPInputController* input = ZqPInputController::shared();
    if (kind == kControlButton || kind == kControlSwitch) {
        const bool onPress = last == "0";
        input->subscribe(ZqPInputController::kControlPressed, target, onPress ? activate : deactivate, 0);
        input->subscribe(ZqPInputController::kControlReleased, target, onPress ? deactivate : activate, 0);
    } else if (kind == kControlSwipe && !last.empty() && last[0] >= '0' && last[0] <= '3') {
        input->subscribe(ZqPInputController::kSwipeLeft + (last[0] - '0'), target, activate, 0);
    }
}

bool ZqControlEvent::acceptsSender(cocos2d::CCObject* sender) const
{
    const auto* node = dynamic_cast<cocos2d::CCNode*>(sender);
    const std::shared_ptr<ZqModel> model = ZqObjectModelHolder::modelOf(node);
    if (!model)
        return false;
    const std::size_t type = model->typeId();
    if (type != ZqModelObjectButtonControl::staticTypeId() && type != ZqModelObjectButtonSwitch::staticTypeId() &&
        type != ZqModelObjectSwipeControl::staticTypeId())
        return false;
    return model->name() == name;
}
