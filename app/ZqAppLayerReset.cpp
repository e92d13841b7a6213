#include "app/ZqAppLayerReset.h"

#include "app/ScoreRegistry.h"
#include "app/ZqPInputController.h"
#include "app/ZqPSettingsController.h"
#include "app/ZqPurchaseRegistry.h"
#include "app/ZqServices.h"
#include "app/ZqSound.h"
#include "model/ZqModelLayerReset.h"

#include <string>

void zqResetAppLayer()
{
    ZqSoundRegistry::shared().clear();
    ZqPInputController::purgeShared();
    ZqPSettingsController::purgeShared();
    ScoreRegistry::clear();
    ScoreRegistry::setCurrentKey(std::string());
    ZqPurchaseRegistry::reset();
    ZqServices::shared()->setPoster(nullptr);
    zqResetModelLayer();
}
