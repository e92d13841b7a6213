#pragma once

#include <SDL2/SDL_keycode.h>

// SDL key codes to the editor's key numbering (attributes/ZqEditorKeys.h): letters and digits
// by their upper-case ASCII code, space and the punctuation keys by their ASCII code, the
// named keys by the editor's codes; both Shifts, both Controls and both Alts alike. Any
// other key is 0 (ignored).
// Letters follow the layout's printed letter: key codes, not scan codes, are mapped.
int zqEditorKeyFromSdl(SDL_Keycode key);
