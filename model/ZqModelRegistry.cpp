#include "model/ZqModelRegistry.h"

#include "model/ZqModelGeneralSettings.h"
#include "model/scene/ZqModelAssets.h"
#include "model/scene/ZqModelComponents.h"
#include "model/scene/ZqModelMedia.h"
#include "model/scene/ZqModelObject.h"
#include "model/scene/ZqModelShapes.h"

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
        zqModelClassRow<ZqModelPolygon>(),
        zqModelClassRow<ZqModelCircle>(),
        zqModelClassRow<ZqModelSpriteContainer>(),
        zqModelClassRow<ZqModelAnimation>(),
        zqModelClassRow<ZqModelAtlas>(),
        zqModelClassRow<ZqModelAsset>(),
        zqModelClassRow<ZqModelAssetCharacter>(),
        zqModelClassRow<ZqModelAssetPowerup>(),
        zqModelClassRow<ZqModelObject>(),
        zqModelClassRow<ZqModelObjectAsset>(),
        zqModelClassRow<ZqModelObjectAssetCharacter>(),
        zqModelClassRow<ZqModelObjectAssetPowerup>(),
        zqModelClassRow<ZqModelObjectImage>(),
        zqModelClassRow<ZqModelComponentHealth>(),
        zqModelClassRow<ZqModelComponentScore>(),
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
