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

// The registration table: one row a model class, in the order of kZqModelClassNames.
// A class joins with one row, zqModelClassRow<ZqModelX>(); the registry tests list the
// names of that list that have no row yet.
const std::vector<ZqModelClass>& registrationTable()
{
    static const std::vector<ZqModelClass> table = {
        {ZqModelGeneralSettings::staticClassName(), [] { return std::shared_ptr<ZqModel>(ZqModelGeneralSettings::create()); }, nullptr},
        zqModelClassRow<ZqModelSprite>(),
        zqModelClassRow<ZqModelSound>(),
        zqModelClassRow<ZqModelFont>(),
        zqModelClassRow<ZqModelPolygon>(),
        zqModelClassRow<ZqModelCircle>(),
        zqModelClassRow<ZqModelSpriteContainer>(),
        zqModelClassRow<ZqModelAnimation>(),
        zqModelClassRow<ZqModelAtlas>(),
        zqModelClassRow<ZqModelAsset>(),
        zqModelClassRow<ZqModelAssetCharacter>(),
        zqModelClassRow<ZqModelAssetPowerup>(),
        zqModelClassRow<ZqModelLinker>(),
        zqModelClassRow<ZqModelObject>(),
        zqModelClassRow<ZqModelObjectAsset>(),
        zqModelClassRow<ZqModelObjectAssetCharacter>(),
        zqModelClassRow<ZqModelObjectAssetPowerup>(),
        zqModelClassRow<ZqModelObjectButton>(),
        zqModelClassRow<ZqModelObjectButtonPowerup>(),
        zqModelClassRow<ZqModelObjectButtonPurchase>(),
        zqModelClassRow<ZqModelObjectImage>(),
        zqModelClassRow<ZqModelObjectUnlocker>(),
        zqModelClassRow<ZqModelObjectLabel>(),
        zqModelClassRow<ZqModelLevelSection>(),
        zqModelClassRow<ZqModelScreen>(),
        zqModelClassRow<ZqModelScreenScene>(),
        zqModelClassRow<ZqNodeScene>(),
        zqModelClassRow<ZqNodeUI>(),
        zqModelClassRow<ZqNodeUIStart>(),
        zqModelClassRow<ZqModelComponentHealth>(),
        zqModelClassRow<ZqModelComponentScore>(),
        zqModelClassRow<ZqModelComponentCharacterGameplaySettings>(),
        zqModelClassRow<ZqModelComponentCharacterIcon>(),
        zqModelClassRow<ZqModelComponentDamage>(),
        zqModelClassRow<ZqModelComponentDeletionThreshold>(),
        zqModelClassRow<ZqModelComponentForcedMovement>(),
        zqModelClassRow<ZqModelComponentIsoJump>(),
        zqModelClassRow<ZqModelComponentMotor>(),
        zqModelClassRow<ZqModelComponentMove>(),
        zqModelClassRow<ZqModelComponentRotationMapper>(),
        zqModelClassRow<ZqModelComponentSlide>(),
        zqModelClassRow<ZqModelComponentSpawner>(),
        zqModelClassRow<ZqModelComponentWakeup>(),
        zqModelClassRow<ZqModelObjectButtonCharacterUnlock>(),
        zqModelClassRow<ZqModelObjectButtonControl>(),
        zqModelClassRow<ZqModelObjectButtonFacebook>(),
        zqModelClassRow<ZqModelObjectButtonSoundControl>(),
        zqModelClassRow<ZqModelObjectButtonSwitch>(),
        zqModelClassRow<ZqModelObjectButtonUrl>(),
        zqModelClassRow<ZqModelObjectLockButton>(),
        zqModelClassRow<ZqModelAssetObstacle>(),
        zqModelClassRow<ZqModelObjectAccelerometer>(),
        zqModelClassRow<ZqModelObjectAssetUnit>(),
        zqModelClassRow<ZqModelObjectBackground>(),
        zqModelClassRow<ZqModelObjectCharacterSelector>(),
        zqModelClassRow<ZqModelObjectEventObserver>(),
        zqModelClassRow<ZqModelObjectFlag>(),
        zqModelClassRow<ZqModelObjectGatekeeper>(),
        zqModelClassRow<ZqModelObjectGroup>(),
        zqModelClassRow<ZqModelObjectInstance>(),
        zqModelClassRow<ZqModelObjectLight>(),
        zqModelClassRow<ZqModelObjectLoadingBar>(),
        zqModelClassRow<ZqModelObjectLogic>(),
        zqModelClassRow<ZqModelObjectManipulator>(),
        zqModelClassRow<ZqModelObjectMirror>(),
        zqModelClassRow<ZqModelObjectParticles>(),
        zqModelClassRow<ZqModelObjectParticlesEmitter>(),
        zqModelClassRow<ZqModelObjectPath>(),
        zqModelClassRow<ZqModelObjectScreenJump>(),
        zqModelClassRow<ZqModelObjectSwipeControl>(),
        zqModelClassRow<ZqModelObjectTeleport>(),
        zqModelClassRow<ZqModelObjectTrail>(),
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
