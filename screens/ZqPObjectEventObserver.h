#pragma once

#include "cocos2d.h"

#include <memory>
#include <string>

class ZqModelObjectEventObserver;

// An invisible node on an interface screen that tests one condition of its model's
// "Event Type" every frame (the current game field is over, a score limit, a time-out, how
// often the screen was shown, whether the level just started is the last of its world)
// and, when it holds, asks the
// UI screen shown to switch to the screen its "Name" links to, through the screen's
// deferred switch. "kRequestReview" only asks the platform for a review. Updated by its
// screen's object list; main thread only.
class ZqPObjectEventObserver : public cocos2d::CCNode {
public:
    // Autoreleased; null model gives an observer that never fires.
    static ZqPObjectEventObserver* create(const std::shared_ptr<ZqModelObjectEventObserver>& model);

    // Keeps the model and starts the time-out at "Time" milliseconds.
    virtual void setModel(const std::shared_ptr<ZqModelObjectEventObserver>& model);
    // Tests the condition for the UI screen shown (none: nothing happens).
    void update(float dt) override;

    // What one update asks of the screen whose "Key" is screenKey: the switch, with its
    // transition, and the review request. Counts the time-out down and moves the
    // screen's played count for the once-only types, as update does.
    struct Outcome {
        bool fires = false;
        int transition = 1;
        bool requestsReview = false;
    };
    Outcome evaluate(float dt, const std::string& screenKey);

    // Start mode of the switch: the link start of "Function" (model/ZqStartMode.h).
    int startMode() const;
    // Pause mode of the switch: 0 pauses the running field ("Pause Current World"), 1 runs it.
    int pauseMode() const;

    const std::shared_ptr<ZqModelObjectEventObserver>& model() const { return m_model; }
    float timeLeft() const { return m_timeLeft; }

private:
    // Whether the navigator's destination is the last level section of its world.
    static bool destinationIsLastOfWorld();

    std::shared_ptr<ZqModelObjectEventObserver> m_model;
    bool m_firstUpdate = true;
    float m_timeLeft = 0.0f; // seconds
};
