#include "screens/ZqScreensLayerReset.h"

#include "objects/ZqObjectsLayerReset.h"
#include "screens/ZqPScreenNavigator.h"
#include "screens/ZqScreenMusic.h"

void zqResetScreensLayer()
{
    ZqScreenMusic::shared().reset();
    ZqPScreenNavigator::shared()->reset();
    zqResetObjectsLayer();
}
