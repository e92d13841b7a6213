#pragma once

// Seeded random input for the in-process player, as a restless player gives it: the keys
// the general settings bind, Escape and Return, each held a few frames; pad buttons, the
// hat and the left stick; clicks and short holds on the current screen's buttons and
// anywhere else in the window. The exit button is never clicked nor its key pressed:
// that would end the program. Each frame also sets the clock 1/60 s on, so that what
// reads the wall clock (invulnerability, refills, swipes) runs on game time. The same
// seed on the same game gives the same events, frame by frame, on every platform (the
// generator is std::mt19937 and its draws are reduced by hand, not by a distribution).
#include "screens/program/headless_player.h"
#include "screens/buttons/ZqPButtonKeys.h"
#include "screens/buttons/ZqPObjectButton.h"
#include "screens/field/ZqPScreenScene.h"
#include "model/scene/ZqModelButtons.h"

#include <ZqClock.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

class RandomInput {
public:
    // Where the clock starts: any fixed instant (2020 in 100 ns ticks since 1970).
    static constexpr int64_t kClockStart = int64_t{15'778'368'000'000'000};

    RandomInput(HeadlessPlayer& player, uint32_t seed) : m_player(player), m_random(seed) { }
    ~RandomInput() { zqSetClockTicks(std::nullopt); }
    RandomInput(const RandomInput&) = delete;
    RandomInput& operator=(const RandomInput&) = delete;

    // The clock at this frame, what is due to go up or to start, then one player step.
    void step() { advance(true); }
    // The same with nothing new started: the clock and the step, the holds ending when due
    // (for scripted input between random stretches).
    void idle(int frames = 1)
    {
        for (int i = 0; i < frames; ++i)
            advance(false);
    }

    // Lets go of every key, pad button, stick and touch still held, without stepping
    // (before the player stops, or starts again).
    void releaseAll()
    {
        for (Hold& hold : m_holds)
            hold.framesLeft = 0;
        endDueHolds();
    }

    // Every button below node, depth first.
    static std::vector<ZqPObjectButton*> buttonsBelow(cocos2d::CCNode* node)
    {
        std::vector<ZqPObjectButton*> found;
        collectButtons(node, found);
        return found;
    }
    // A node's box in window pixels from the top left, widened by a pixel for rounding.
    static cocos2d::CCRect windowBox(const cocos2d::CCNode& node)
    {
        const cocos2d::CCRect box = node.boundingBox();
        const cocos2d::CCNode* parent = node.getParent();
        const cocos2d::CCPoint low = parent ? parent->convertToWorldSpace(box.origin) : box.origin;
        const cocos2d::CCPoint high = parent
            ? parent->convertToWorldSpace(box.origin + cocos2d::CCPoint(box.size.width, box.size.height))
            : box.origin + cocos2d::CCPoint(box.size.width, box.size.height);
        cocos2d::CCEGLViewProtocol* view = cocos2d::CCDirector::sharedDirector()->getOpenGLView();
        const cocos2d::CCRect viewport = view->getViewPortRect();
        const float height = cocos2d::CCDirector::sharedDirector()->getWinSize().height;
        const float left = std::min(low.x, high.x) * view->getScaleX() + viewport.origin.x;
        const float right = std::max(low.x, high.x) * view->getScaleX() + viewport.origin.x;
        const float top = (height - std::max(low.y, high.y)) * view->getScaleY() + viewport.origin.y;
        const float bottom = (height - std::min(low.y, high.y)) * view->getScaleY() + viewport.origin.y;
        return cocos2d::CCRect(left - 1.0f, top - 1.0f, right - left + 2.0f, bottom - top + 2.0f);
    }

    // Counts of what was sent: key presses, pad presses and moves, clicks.
    long keys = 0;
    long padEvents = 0;
    long clicks = 0;

private:
    enum class Kind { kKey, kPadButton, kHat, kAxis, kTouch };
    struct Hold {
        Kind kind;
        int code;
        int x, y; // window pixels of a touch
        int framesLeft;
    };

    void advance(bool act)
    {
        zqSetClockTicks(kClockStart + m_frames * int64_t{10'000'000} / 60);
        ++m_frames;
        endDueHolds();
        if (act && draw(8) == 0)
            startOne();
        m_player.step();
    }

    // 0 .. n - 1.
    int draw(int n) { return static_cast<int>(m_random() % static_cast<uint32_t>(n)); }

    // In a running game mostly the game's keys and the pad, seldom a click or Escape (each
    // may pause it); on a menu or a pause screen mostly clicks, and Return and Escape.
    void startOne()
    {
        ZqPScreenScene* field = ZqPScreenNavigator::shared()->currentGameScene();
        const bool playing
            = field && !field->isPaused() && ZqPScreenNavigator::shared()->currentUiScreen() == field->overlay();
        const int what = draw(100);
        if (playing) {
            if (what < 55)
                pressKey(gameKey());
            else if (what < 96)
                padInput();
            else if (what < 99)
                click();
            else
                pressKey(draw(2) ? ZqEditorKey::kEscape : ZqEditorKey::kReturn);
        } else {
            if (what < 60)
                click();
            else if (what < 80)
                pressKey(draw(2) ? ZqEditorKey::kEscape : ZqEditorKey::kReturn);
            else if (what < 90)
                pressKey(gameKey());
            else
                padInput();
        }
    }

    // Jumps the most, then shots, then moves.
    int gameKey()
    {
        const ZqModelGeneralSettings& settings = *ZqModelGeneralSettings::shared();
        const int keys[]
            = {settings.jumpKey(),   settings.jumpKey(),      settings.jumpKey(),     settings.shootKey(),
               settings.shootKey(),  settings.moveRightKey(), settings.moveLeftKey(), settings.moveRightKey(),
               settings.moveUpKey(), settings.moveDownKey()};
        return keys[draw(static_cast<int>(std::size(keys)))];
    }

    void pressKey(int key)
    {
        if (key == 0 || isHeld(Kind::kKey, key) || isExitKey(key))
            return;
        m_player.keyDown(key);
        m_holds.push_back({Kind::kKey, key, 0, 0, 1 + draw(40)});
        ++keys;
    }

    void padInput()
    {
        ZqInputEventSink& input = m_player.input();
        const int what = draw(4);
        ++padEvents;
        if (what < 2) {
            // Jump, shoot or a D-pad button.
            const int buttons[] = {0, 1, 0, 1, 12, 13, 14, 15};
            const int button = buttons[draw(8)];
            if (isHeld(Kind::kPadButton, button))
                return;
            input.padButton(0, button, true);
            m_holds.push_back({Kind::kPadButton, button, 0, 0, 1 + draw(40)});
        } else if (what == 2) {
            if (isHeld(Kind::kHat, 0))
                return;
            const unsigned directions[]
                = {ZqInputEventSink::kHatUp, ZqInputEventSink::kHatRight, ZqInputEventSink::kHatDown,
                   ZqInputEventSink::kHatLeft, ZqInputEventSink::kHatUp | ZqInputEventSink::kHatRight};
            input.padHat(0, 0, directions[draw(5)]);
            m_holds.push_back({Kind::kHat, 0, 0, 0, 1 + draw(40)});
        } else {
            const int axis = draw(2);
            if (isHeld(Kind::kAxis, axis))
                return;
            input.padAxis(0, axis, static_cast<float>(draw(201) - 100) / 100.0f);
            m_holds.push_back({Kind::kAxis, axis, 0, 0, 1 + draw(60)});
        }
    }

    // Half on a button of the running scene, else anywhere outside its exit buttons.
    // The scene that takes the press is the running one at the next step's events, which
    // is the running one now: scenes are replaced inside a step.
    void click()
    {
        if (isHeld(Kind::kTouch, 0))
            return;
        // Every exit button, shown or not; the shown others.
        std::vector<cocos2d::CCRect> exits;
        std::vector<cocos2d::CCRect> targets;
        for (ZqPObjectButton* button : buttonsBelow(cocos2d::CCDirector::sharedDirector()->getRunningScene())) {
            if (isExit(*button))
                exits.push_back(windowBox(*button));
            else if (button->isVisible())
                targets.push_back(windowBox(*button));
        }
        const cocos2d::CCSize window = cocos2d::CCDirector::sharedDirector()->getOpenGLView()->getFrameSize();
        int x = draw(std::max(1, static_cast<int>(window.width)));
        int y = draw(std::max(1, static_cast<int>(window.height)));
        if (!targets.empty() && draw(2) == 0) {
            const cocos2d::CCRect& box = targets[static_cast<std::size_t>(draw(static_cast<int>(targets.size())))];
            x = static_cast<int>(box.getMidX());
            y = static_cast<int>(box.getMidY());
        }
        for (const cocos2d::CCRect& exit : exits) {
            if (exit.containsPoint(cocos2d::CCPoint(static_cast<float>(x), static_cast<float>(y))))
                return;
        }
        m_player.touch(SDL_MOUSEBUTTONDOWN, x, y);
        m_holds.push_back({Kind::kTouch, 0, x, y, 1 + draw(20)});
        ++clicks;
    }

    static void collectButtons(cocos2d::CCNode* node, std::vector<ZqPObjectButton*>& found)
    {
        if (!node)
            return;
        if (auto* button = dynamic_cast<ZqPObjectButton*>(node))
            found.push_back(button);
        if (!node->getChildren())
            return;
        for (cocos2d::CCObject* child : *node->getChildren())
            collectButtons(static_cast<cocos2d::CCNode*>(child), found);
    }

    static bool isExit(const ZqPObjectButton& button)
    {
        return button.model() && button.model()->actionCode() == kButtonExit;
    }

    // Whether an exit button anywhere is bound to key.
    static bool isExitKey(int key)
    {
        const std::vector<ZqPObjectButton*> bound = ZqPButtonKeys::buttonsFor(key);
        return std::any_of(bound.begin(), bound.end(), [](ZqPObjectButton* button) { return isExit(*button); });
    }

    bool isHeld(Kind kind, int code) const
    {
        return std::any_of(m_holds.begin(), m_holds.end(),
                           [&](const Hold& hold) { return hold.kind == kind && hold.code == code; });
    }

    void endDueHolds()
    {
        ZqInputEventSink* input = m_player.running() ? &m_player.input() : nullptr;
        for (Hold& hold : m_holds) {
            if (--hold.framesLeft > 0 || !input)
                continue;
            switch (hold.kind) {
            case Kind::kKey:
                m_player.keyUp(hold.code);
                break;
            case Kind::kPadButton:
                input->padButton(0, hold.code, false);
                break;
            case Kind::kHat:
                input->padHat(0, 0, ZqInputEventSink::kHatCentred);
                break;
            case Kind::kAxis:
                input->padAxis(0, hold.code, 0.0f);
                break;
            case Kind::kTouch:
                m_player.touch(SDL_MOUSEBUTTONUP, hold.x, hold.y);
                break;
            }
        }
        std::erase_if(m_holds, [](const Hold& hold) { return hold.framesLeft <= 0; });
    }

    HeadlessPlayer& m_player;
    std::mt19937 m_random;
    std::vector<Hold> m_holds;
    int64_t m_frames = 0;
};
