#pragma once

// The runtime objects' process-wide object, the accelerometer object, and then those of
// the layers below (fresh_app.h), back to a fresh game.
#include "support/fresh_app.h"
#include "objects/ZqPObjectManipulator.h"

inline void freshObjects()
{
    ZqPObjectAccelerometer::purge();
    freshApp();
}
