#include "model/ZqModelRegistry.h"

#include "model/ZqModelGeneralSettings.h"
#include "model/scene/ZqModelAssets.h"
#include "model/objects/ZqModelComponentsBehaviour.h"
#include "model/objects/ZqModelObjectButtons.h"
#include "model/objects/ZqModelObjectsControls.h"
#include "model/objects/ZqModelObjectsEffects.h"
#include "model/objects/ZqModelObjectsLogic.h"
#include "model/objects/ZqModelObjectsUnits.h"
#include "model/scene/ZqModelButtons.h"
#include "model/scene/ZqModelComponents.h"
#include "model/scene/ZqModelFont.h"
#include "model/scene/ZqModelLabel.h"
#include "model/scene/ZqModelLevelSection.h"
#include "model/scene/ZqModelMedia.h"
#include "model/scene/ZqModelObject.h"
#include "model/scene/ZqModelScreen.h"
#include "model/scene/ZqModelShapes.h"
#include "model/scene/ZqModelUnlocker.h"
#include "model/scene/ZqNode.h"

#include <ZqLog.h>

namespace {

// The registration table: one row a model class of the game data (72), in the order the
// directory's files are loaded, with the name a new model of the class gets (empty for none).
// A class joins with one row, zqModelClassRow<ZqModelX>("Default Name").
const std::vector<ZqModelClass>& registrationTable()
{
    static const std::vector<ZqModelClass> table = {
        {ZqModelGeneralSettings::staticClassName(), [] { return std::shared_ptr<ZqModel>(ZqModelGeneralSettings::create()); }, nullptr},
        zqModelClassRow<ZqModelSprite>(),
        zqModelClassRow<ZqModelSound>(),
        zqModelClassRow<ZqModelFont>("Default Font"),
        zqModelClassRow<ZqModelPolygon>(),
        zqModelClassRow<ZqModelCircle>(),
        zqModelClassRow<ZqModelSpriteContainer>(),
        zqModelClassRow<ZqModelAnimation>(),
        zqModelClassRow<ZqModelAtlas>(),
        zqModelClassRow<ZqModelAsset>(),
        zqModelClassRow<ZqModelAssetCharacter>(),
        zqModelClassRow<ZqModelAssetPowerup>("Powerup"),
        zqModelClassRow<ZqModelLinker>(),
        zqModelClassRow<ZqModelObject>("Untitled"),
        zqModelClassRow<ZqModelObjectAsset>(),
        zqModelClassRow<ZqModelObjectAssetCharacter>(),
        zqModelClassRow<ZqModelObjectAssetPowerup>(),
        zqModelClassRow<ZqModelObjectButton>("Navigation Button"),
        zqModelClassRow<ZqModelObjectButtonPowerup>("Action Button"),
        zqModelClassRow<ZqModelObjectButtonPurchase>("Purchase Button"),
        zqModelClassRow<ZqModelObjectImage>("Image"),
        zqModelClassRow<ZqModelObjectUnlocker>("Unlock"),
        zqModelClassRow<ZqModelObjectLabel>("Untitled"),
        zqModelClassRow<ZqModelLevelSection>(),
        zqModelClassRow<ZqModelScreen>(),
        zqModelClassRow<ZqModelScreenScene>(),
        zqModelClassRow<ZqNodeScene>(),
        zqModelClassRow<ZqNodeUI>(),
        zqModelClassRow<ZqNodeUIStart>(),
        zqModelClassRow<ZqModelComponentHealth>("Health"),
        zqModelClassRow<ZqModelComponentScore>("Score"),
        zqModelClassRow<ZqModelComponentCharacterGameplaySettings>("Character Gameplay Settings"),
        zqModelClassRow<ZqModelComponentCharacterIcon>("Character Icon"),
        zqModelClassRow<ZqModelComponentDamage>("Damage"),
        zqModelClassRow<ZqModelComponentDeletionThreshold>("Object Deletion Threshold"),
        zqModelClassRow<ZqModelComponentForcedMovement>("Forced Movement"),
        zqModelClassRow<ZqModelComponentIsoJump>("Ghost Jump"),
        zqModelClassRow<ZqModelComponentMotor>("Motor"),
        zqModelClassRow<ZqModelComponentMove>("Advanced Move"),
        zqModelClassRow<ZqModelComponentRotationMapper>("Rotation Mapper"),
        zqModelClassRow<ZqModelComponentSlide>("Slide"),
        zqModelClassRow<ZqModelComponentSpawner>("Spawner"),
        zqModelClassRow<ZqModelComponentWakeup>("Wake Up"),
        zqModelClassRow<ZqModelObjectButtonCharacterUnlock>("Single Unlock"),
        zqModelClassRow<ZqModelObjectButtonControl>(),
        zqModelClassRow<ZqModelObjectButtonFacebook>("Facebook Button"),
        zqModelClassRow<ZqModelObjectButtonSoundControl>("Audio Button"),
        zqModelClassRow<ZqModelObjectButtonSwitch>("Switch Button"),
        zqModelClassRow<ZqModelObjectButtonUrl>("Url Button"),
        zqModelClassRow<ZqModelObjectLockButton>("Lock Button"),
        zqModelClassRow<ZqModelAssetObstacle>("Obstacle"),
        zqModelClassRow<ZqModelObjectAccelerometer>(),
        zqModelClassRow<ZqModelObjectAssetUnit>(),
        zqModelClassRow<ZqModelObjectBackground>("Untitled"),
        zqModelClassRow<ZqModelObjectCharacterSelector>(),
        zqModelClassRow<ZqModelObjectEventObserver>("Event Observer"),
        zqModelClassRow<ZqModelObjectFlag>("Flag"),
        zqModelClassRow<ZqModelObjectGatekeeper>("Gatekeeper"),
        zqModelClassRow<ZqModelObjectGroup>("My Group Layer"),
        zqModelClassRow<ZqModelObjectInstance>(),
        zqModelClassRow<ZqModelObjectLight>("Light"),
        zqModelClassRow<ZqModelObjectLoadingBar>("Loading Bar"),
        zqModelClassRow<ZqModelObjectLogic>("Transform"),
        zqModelClassRow<ZqModelObjectManipulator>(),
        zqModelClassRow<ZqModelObjectMirror>("Mirror"),
        zqModelClassRow<ZqModelObjectParticles>("Particle"),
        zqModelClassRow<ZqModelObjectParticlesEmitter>(),
        zqModelClassRow<ZqModelObjectPath>("Path"),
        zqModelClassRow<ZqModelObjectScreenJump>("Menu Jump"),
        zqModelClassRow<ZqModelObjectSwipeControl>(),
        zqModelClassRow<ZqModelObjectTeleport>("Portal"),
        zqModelClassRow<ZqModelObjectTrail>("Trail"),
    };
    return table;
}

} // namespace

std::span<const ZqModelClass> zqModelClassTable()
{
    return registrationTable();
}

void ZqModelRegistry::add(std::span<const ZqModelClass> rows)
{
    for (const ZqModelClass& row : rows) {
        if (m_rows.emplace(row.className, row).second)
            m_names.emplace_back(row.className);
    }
}

const ZqModelClass* ZqModelRegistry::find(const std::string& className) const
{
    auto row = m_rows.find(className);
    return row == m_rows.end() ? nullptr : &row->second;
}

std::shared_ptr<ZqModel> ZqModelRegistry::create(const std::string& className) const
{
    const ZqModelClass* row = find(className);
    if (!row) {
        debugLog("[ZqModelRegistry] unknown class name \"%s\" - no model", className.c_str());
        return nullptr;
    }
    return row->create();
}

std::string_view zqModelDefaultName(std::string_view className)
{
    for (const ZqModelClass& row : registrationTable()) {
        if (row.className == className)
            return row.defaultName;
    }
    return {};
}
