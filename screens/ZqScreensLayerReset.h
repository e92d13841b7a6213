#pragma once

// Every process-wide object a run of the game makes, back to a fresh game: the screen
// music stopped and forgotten, the navigator's screens and history dropped, then those of
// the layers below (zqResetObjectsLayer). The program calls it at its end (zqEndPlayer);
// the tests between games. The director and the resource root are the callers' own.
void zqResetScreensLayer();
