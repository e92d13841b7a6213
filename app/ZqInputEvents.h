#pragma once

// Device input as the program's device glue delivers it, in device-neutral terms: keys in
// the editor's numbering (attributes/ZqEditorKeys.h), pads by an identity the glue gives each one.
// All pads and the keyboard are one player.
class ZqInputEventSink {
public:
    // Directions of a pad's hat (point of view), combined for diagonals.
    enum HatDirection : unsigned { kHatCentred = 0, kHatUp = 1, kHatRight = 2, kHatDown = 4, kHatLeft = 8 };

    virtual ~ZqInputEventSink() = default;

    // A key went down or up. Repeats are filtered out by the glue.
    virtual void keyPressed(int editorKey) = 0;
    virtual void keyReleased(int editorKey) = 0;
    // Button, axis and hat numbers are below kPadNumbers, as the devices report them.
    static constexpr int kPadNumbers = 256;
    // Button numbers as the pad reports them (0 jump, 1 shoot, 12 to 15 the D-pad).
    virtual void padButton(int pad, int button, bool pressed) = 0;
    // The axis' position from -1 to 1, as devices report it: x to the right, y down.
    virtual void padAxis(int pad, int axis, float value) = 0;
    // The hat's new directions (HatDirection bits).
    virtual void padHat(int pad, int hat, unsigned directions) = 0;
    // The pad went away: what it held is let go.
    virtual void padRemoved(int pad) = 0;
    // Every held action is let go (the devices are being made again).
    virtual void releaseAll() = 0;
};
