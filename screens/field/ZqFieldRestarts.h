#pragma once

#include "app/ZqPSettingsController.h"

#include <optional>
#include <vector>

class ZqPObject;
class ZqPScreenScene;

// The field's restarts and checkpoints, with the start-mode bits of model/ZqStartMode.h:
// the restart waiting for the field's next update, the start bits, and the checkpoint kept
// with the saved progress under the field's scene key and the build from it.
class ZqFieldRestarts {
public:
    explicit ZqFieldRestarts(ZqPScreenScene& field) : m_field(field) {}

    // The field starts again with mode at its next update; before the first update it only
    // sets the mode the first build applies (mode 0: the build from a kept checkpoint, else
    // the start build).
    void request(int mode) { m_pending = mode; }
    // The restart waiting, which no longer waits.
    std::optional<int> takePending();
    // kStartPurchases: the per-game purchases go; kStartScores: the session scores and the
    // stored checkpoint go.
    void applyStartBits(int mode);
    // The session scores, as the scene's score component says (all three without one).
    void resetSessionScores();

    // The stored checkpoint of the field's scene key; null when none.
    const ZqPSettingsController::Checkpoint* checkpoint() const;
    // Stores the checkpoint with the saved progress, and saves: the index, the position
    // along the gameplay direction, the placement distance of the section of that creation
    // index that holds the position, the position, and the current score record's session
    // values (kept in their snapshots too).
    void saveCheckpoint(int index, const cocos2d::CCPoint& position);
    // Among the checkpoint power-ups under the camera and the checkpoint models waiting in
    // the creation queue (at their placed positions), the nearest ahead of the characters
    // along the gameplay direction becomes the checkpoint; nothing when there is none.
    void activateCheckpoint();
    // The build from the stored checkpoint (of the full form): the scene's own objects, the
    // checkpoint's section at its stored placement distance, and of the start section only
    // its characters, at the checkpoint's position, each taking the component states of
    // the one in replaced it replaces; the session scores come back from the checkpoint's
    // snapshot; every object and the overlay's objects are reset, and the view opens on
    // the checkpoint. False, nothing made, when there is none of the full form or its
    // section is not in the scene.
    bool buildFromCheckpoint(const std::vector<ZqPObject*>& replaced);

private:
    ZqPScreenScene& m_field;
    std::optional<int> m_pending;
};
