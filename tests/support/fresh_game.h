#pragma once

// Every process-wide object a run of the game makes, back to a fresh game: the screen
// music and the navigator (freshScreens), then those of the layers below (fresh_objects.h).
#include "support/fresh_objects.h"
#include "screens/ZqPScreenNavigator.h"
#include "screens/ZqScreenMusic.h"

inline void freshScreens()
{
    ZqScreenMusic::shared().reset();
    ZqPScreenNavigator::shared()->reset();
}

inline void freshGame()
{
    freshScreens();
    freshObjects();
}
