// The own looping sound of an asset object: loud at the screen's centre, silent and
// stopped beyond half the window width plus 300 points.
#include "screens/field_test_support.h"

#include "model/objects/ZqModelObjectsUnits.h"
#include "tools/ZqMediaWriter.h"

using namespace cocos2d;
using namespace field_test;

namespace {

class OwnSoundTest : public RuntimeTest {};

TEST_F(OwnSoundTest, VolumeFallsWithTheDistanceFromTheScreensCentre)
{
    auto& controller = *ZqModelController::shared();
    auto sound = controller.createModel<ZqModelSound>();
    std::filesystem::create_directories(dir.file("data/sounds"));
    ASSERT_TRUE(zqmedia::writeMp3(dir.file("data/sounds/ZqModelSound_ID" + std::to_string(sound->id()) + ".mp3"), 3.0));
    auto asset = controller.createModel<ZqModelAssetObstacle>();
    asset->m_idleSound->setValue(sound);
    asset->updateCollisionShape(CCSize(40, 40), CCPoint());
    auto unit = controller.createModel<ZqModelObjectAssetUnit>();
    unit->setAsset(asset);

    ZqPScreenScene* field = makeField();
    frame();
    ZqPObjectAsset* object = addToField(field, assetOf(unit));
    ZqSound* own = object->ownSound();
    ASSERT_NE(own, nullptr);
    EXPECT_EQ(own->ownerTag(), ZqSound::kTagField);
    const float range = kWidth * 0.5f + 300.0f;
    const CCPoint centre(kWidth * 0.5f, kHeight * 0.5f);

    object->setPosition(centre);
    object->updateSoundVolume(kStep);
    ASSERT_EQ(own->state(), ZqSound::kPlaying);
    EXPECT_FLOAT_EQ(own->getVolume(), 1.0f);

    object->setPosition(centre + CCPoint(range * 0.5f, 40.0f));
    object->updateSoundVolume(kStep);
    EXPECT_NEAR(own->getVolume(), 0.5f, 1e-3f);

    object->setPosition(centre - CCPoint(range + 1.0f, 0.0f));
    object->updateSoundVolume(kStep);
    EXPECT_EQ(own->state(), ZqSound::kStopped);

    // A dying object stops its sound and does not start it again.
    object->setPosition(centre);
    object->updateSoundVolume(kStep);
    ASSERT_EQ(own->state(), ZqSound::kPlaying);
    object->setState(ZqPObject::kStateDestroyed);
    EXPECT_EQ(own->state(), ZqSound::kStopped);
    object->updateSoundVolume(kStep);
    EXPECT_EQ(own->state(), ZqSound::kStopped);
}

} // namespace
