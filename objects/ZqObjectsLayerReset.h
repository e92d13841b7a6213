#pragma once

// The runtime objects' process-wide object, the accelerometer object, released; then
// those below (zqResetAppLayer).
void zqResetObjectsLayer();
