#include "app/ZqPInputEventHandler.h"

#include "attributes/ZqEditorKeys.h"
#include "app/ZqPInputController.h"
#include "app/ZqPSettingsController.h"
#include "app/ZqServices.h"
#include "model/ZqModelGeneralSettings.h"

#include "cocos2d.h"

#include <ZqLog.h>

#include <cmath>

namespace {

// A pad's buttons and hat directions as holders: one code per pad and button, so that two
// pads holding the same button are two holders.
int padCode(int pad, int number)
{
    return pad * 256 + number;
}

constexpr std::pair<unsigned, int> kHatActions[] = {
    {ZqInputEventSink::kHatUp, ZqPInputController::kUp},
    {ZqInputEventSink::kHatRight, ZqPInputController::kRight},
    {ZqInputEventSink::kHatDown, ZqPInputController::kDown},
    {ZqInputEventSink::kHatLeft, ZqPInputController::kLeft},
};

} // namespace

int ZqPInputEventHandler::boundAction(int editorKey)
{
    if (editorKey == 0)
        return 0;
    const auto settings = ZqModelGeneralSettings::shared();
    const std::pair<int, int> bindings[] = {
        {settings->moveUpKey(), ZqPInputController::kUp},
        {settings->moveDownKey(), ZqPInputController::kDown},
        {settings->moveRightKey(), ZqPInputController::kRight},
        {settings->moveLeftKey(), ZqPInputController::kLeft},
        {settings->jumpKey(), ZqPInputController::kJump},
        {settings->rotateLeftKey(), ZqPInputController::kRotateLeft},
        {settings->rotateRightKey(), ZqPInputController::kRotateRight},
        {settings->shootKey(), ZqPInputController::kShoot},
        {settings->motorCWKey(), ZqPInputController::kMotorClockwise},
        {settings->motorCCWKey(), ZqPInputController::kMotorCounterClockwise},
    };
    for (const auto& [key, action] : bindings) {
        if (key == editorKey)
            return action;
    }
    return 0;
}

int ZqPInputEventHandler::padButtonAction(int button)
{
    switch (button) {
    case 0:
        return ZqPInputController::kJump;
    case 1:
        return ZqPInputController::kShoot;
    case 12:
        return ZqPInputController::kUp;
    case 13:
        return ZqPInputController::kRight;
    case 14:
        return ZqPInputController::kDown;
    case 15:
        return ZqPInputController::kLeft;
    default:
        return 0;
    }
}

float ZqPInputEventHandler::withDeadZone(float value)
{
    const float magnitude = std::fabs(value);
    if (!(magnitude > kDeadZone))
        return 0.0f;
    return std::copysign(std::fmin((magnitude - kDeadZone) / (1.0f - kDeadZone), 1.0f), value);
}

void ZqPInputEventHandler::keyPressed(int editorKey)
{
    if (editorKey == 0 || m_keysDown.count(editorKey))
        return;
    if (editorKey == ZqEditorKey::kAlt)
        m_altDown = true;
    Route route = Route::kNothing;
    int action = 0;
    if (m_altDown && (editorKey == ZqEditorKey::kReturn || editorKey == ZqEditorKey::kEnter) &&
        boundAction(ZqEditorKey::kAlt) == 0) {
        toggleFullscreen();
        route = Route::kSwallowed;
    } else if (m_screen.buttonKey && m_screen.buttonKey(editorKey, true)) {
        route = Route::kButton;
    } else if ((action = boundAction(editorKey)) != 0) {
        begin(kKeyboardPad, Hold{action, ZqInputHolder::kKeyboard, editorKey});
        route = Route::kAction;
    } else if (editorKey == ZqEditorKey::kEscape) {
        backOrPause();
    }
    m_keysDown[editorKey] = KeyDown{route, action};
}

void ZqPInputEventHandler::keyReleased(int editorKey)
{
    if (editorKey == ZqEditorKey::kAlt)
        m_altDown = false;
    const auto down = m_keysDown.find(editorKey);
    if (down == m_keysDown.end())
        return;
    const KeyDown key = down->second;
    m_keysDown.erase(down);
    if (key.route == Route::kButton) {
        if (m_screen.buttonKey)
            m_screen.buttonKey(editorKey, false);
    } else if (key.route == Route::kAction) {
        end(Hold{key.action, ZqInputHolder::kKeyboard, editorKey});
    }
}

void ZqPInputEventHandler::padButton(int pad, int button, bool pressed)
{
    const int action = padButtonAction(button);
    if (action == 0)
        return;
    const Hold hold{action, ZqInputHolder::kPadButton, padCode(pad, button)};
    if (pressed)
        begin(pad, hold);
    else
        end(hold);
}

void ZqPInputEventHandler::padHat(int pad, int hat, unsigned directions)
{
    unsigned& previous = m_hats[{pad, hat}];
    const unsigned changed = previous ^ directions;
    previous = directions;
    for (const auto& [direction, action] : kHatActions) {
        if (!(changed & direction))
            continue;
        const Hold hold{action, ZqInputHolder::kPadHat, padCode(pad, hat * 16 + static_cast<int>(direction))};
        if (directions & direction)
            begin(pad, hold);
        else
            end(hold);
    }
}

void ZqPInputEventHandler::padAxis(int pad, int axis, float value)
{
    if (axis != 0 && axis != 1)
        return;
    const float scaled = withDeadZone(value);
    m_axisPad = pad;
    if (axis == 0)
        steer(scaled, m_axisY);
    else
        steer(m_axisX, -scaled);
}

void ZqPInputEventHandler::padRemoved(int pad)
{
    for (auto hold = m_holds.begin(); hold != m_holds.end();) {
        if (hold->second == pad) {
            ZqPInputController::shared()->holdEnd(hold->first.action, {hold->first.device, hold->first.code});
            hold = m_holds.erase(hold);
        } else {
            ++hold;
        }
    }
    for (auto hat = m_hats.begin(); hat != m_hats.end();)
        hat = hat->first.first == pad ? m_hats.erase(hat) : std::next(hat);
    if (m_axisPad == pad)
        steer(0.0f, 0.0f);
}

void ZqPInputEventHandler::releaseAll()
{
    ZqPInputController::shared()->releaseAll();
    m_holds.clear();
    m_hats.clear();
    // A key still down starts nothing more: its release is ignored, and a release that
    // never comes (the focus went with the key down) does not block its next press. A
    // button's key keeps its road, so that its release still reaches the button.
    for (auto key = m_keysDown.begin(); key != m_keysDown.end();)
        key = key->second.route == Route::kButton ? std::next(key) : m_keysDown.erase(key);
    m_altDown = false;
    steer(0.0f, 0.0f);
}

void ZqPInputEventHandler::begin(int pad, const Hold& hold)
{
    m_holds[hold] = pad;
    ZqPInputController::shared()->holdBegin(hold.action, {hold.device, hold.code});
}

void ZqPInputEventHandler::end(const Hold& hold)
{
    if (m_holds.erase(hold) == 0)
        return;
    ZqPInputController::shared()->holdEnd(hold.action, {hold.device, hold.code});
}

void ZqPInputEventHandler::steer(float x, float y)
{
    if (x == m_axisX && y == m_axisY)
        return;
    m_axisX = x;
    m_axisY = y;
    ZqPInputController::shared()->setCharacterAxes(x, y);
}

void ZqPInputEventHandler::toggleFullscreen()
{
    if (m_screen.toggleFullscreen && m_screen.toggleFullscreen())
        return;
    // No screen to do it: the flag stored and the switch posted, progress saved first by
    // the switch itself.
    ZqPSettingsController* settings = ZqPSettingsController::shared();
    const bool fullscreen = !settings->isFullscreen();
    settings->setFullscreen(fullscreen);
    ZqServices::shared()->setFullscreen(fullscreen);
}

void ZqPInputEventHandler::backOrPause()
{
    if (m_screen.pauseButton && m_screen.pauseButton())
        return;
    cocos2d::CCDirector::sharedDirector()->getKeypadDispatcher()->dispatchKeypadMSG(cocos2d::kTypeBackClicked);
}
