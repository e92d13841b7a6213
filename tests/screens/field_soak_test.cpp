// An endless field played for ten minutes of game time without drawing: sections keep
// coming and going, and the number of live engine objects stays flat. Long, so CTest runs
// it on its own under a time limit (tests/CMakeLists.txt) rather than with the others.
#include "field_play_support.h"

#include "model/objects/ZqModelObjectsUnits.h"
#include "model/scene/ZqModelAssets.h"

using namespace cocos2d;
using namespace field_test;

namespace {

class FieldSoakTest : public FieldPlayTest {
protected:
    // A platform unit at position on a box asset width x 20.
    static std::shared_ptr<ZqModelObjectAssetUnit> platform(const CCPoint& position, float width)
    {
        auto asset = ZqModelController::shared()->createModel<ZqModelAssetObstacle>();
        asset->updateCollisionShape(CCSize(width, 20), CCPoint());
        auto unit = ZqModelController::shared()->createModel<ZqModelObjectAssetUnit>();
        unit->setAsset(asset);
        unit->setPosition(position);
        unit->setCollisionType("kCharacterCollision");
        static_cast<ZqAttributeStringList*>(unit->findAttribute("Object Type"))->setValue("kPlatformObjectType");
        return unit;
    }
};

TEST_F(FieldSoakTest, DISABLED_ThirtySixThousandUpdatesLeaveTheLiveObjectCountFlat)
{
    ZqPScreenScene* field = makeField();
    for (int s = 0; s < 3; ++s) {
        auto section = addSection(400.0f + 100.0f * static_cast<float>(s));
        for (int i = 0; i < 4; ++i)
            section->addChild(platform(CCPoint(100.0f * static_cast<float>(i), 50.0f + 40.0f * static_cast<float>(s)), 90.0f));
    }
    frame();
    Pilot* pilot = registerPilot(CCPoint(568.0f, 300.0f));
    CCPoolManager* pool = CCPoolManager::sharedPoolManager();

    std::vector<long> samples;
    for (int update = 1; update <= 36000; ++update) {
        pilot->setPosition(pilot->getPosition() + CCPoint(8.0f, 0.0f));
        field->update(1.0f / 60.0f);
        pool->pop();
        if (update % 3600 == 0)
            samples.push_back(CCObject::liveObjectCount());
    }
    ASSERT_GT(field->cameraDistance(), 280000.0f) << "the camera ran the whole way";
    EXPECT_GT(addedSections().size(), 500u);
    EXPECT_GT(field->sections().nextDistance(), field->cameraDistance());
    EXPECT_LT(field->camera()->getChildrenCount(), 100u) << "what fell behind went";
    for (std::size_t i = 1; i < samples.size(); ++i)
        EXPECT_LE(samples[i], samples[0]) << "sample " << i;
    logged.clear();
}

} // namespace
