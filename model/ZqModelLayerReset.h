#pragma once

// The models' process-wide objects back to a fresh game, then the engine's
// (cocos2d::ccPurgeSharedObjects): the gameplay values at their defaults (holding no model
// of a game), and the model controller reset. Each layer above has its own reset that
// ends with this one; the program's end and the tests call the top one they link.
void zqResetModelLayer();
