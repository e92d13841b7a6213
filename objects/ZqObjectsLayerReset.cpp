#include "objects/ZqObjectsLayerReset.h"

#include "app/ZqAppLayerReset.h"
#include "objects/ZqPObjectManipulator.h"

void zqResetObjectsLayer()
{
    ZqPObjectAccelerometer::purge();
    zqResetAppLayer();
}
