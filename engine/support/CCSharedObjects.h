#pragma once

namespace cocos2d {

// Every process-wide object of the engine back to a fresh start, but the director and the
// file utilities (the program's and the fixtures' own): the audio engines end, the store is
// flushed and dropped (its file stays), the sprite-frame and texture caches are emptied.
// Each is made again on its next use. Needs the GL context when textures are cached.
void ccPurgeSharedObjects();

} // namespace cocos2d
