#include "model/ZqModelLayerReset.h"

#include "model/GameplayParameters.h"
#include "model/ZqModelController.h"
#include "model/ZqModelGeneralSettings.h"

#include "support/CCSharedObjects.h"

void zqResetModelLayer()
{
    GameplayParameters::shared()->resetToDefaults(ZqModelGeneralSettings::createDetached());
    ZqModelController::shared()->reset();
    cocos2d::ccPurgeSharedObjects();
}
