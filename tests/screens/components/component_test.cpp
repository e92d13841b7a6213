// The component factory and how an asset object binds the components of its asset.
#include "screens/field_test_support.h"

#include "components/ZqComponent.h"
#include "model/objects/ZqModelComponentsBehaviour.h"
#include "model/scene/ZqModelComponents.h"

using namespace field_test;

namespace {

class ComponentTest : public RuntimeTest {};

TEST_F(ComponentTest, AnAssetObjectOwnsAndStepsTheComponentsOfItsAsset)
{
    auto placed = boxModel(cocos2d::CCPoint());
    placed->asset()->addChild(ZqModelController::shared()->createModel<ZqModelComponentDamage>());
    ZqPObjectAsset* object = assetOf(placed);
    EXPECT_EQ(ZqComponent::createComponent(nullptr), nullptr);
    EXPECT_TRUE(object->components().empty()) << "a damage component is data only";
    EXPECT_EQ(object->healthComponent(), nullptr);

    // Components the object owns are updated every frame, enabled or not, and deleted
    // with it.
    struct Counting : ZqComponent {
        int* updates;
        explicit Counting(int* counter) : updates(counter) {}
        void update(float) override { ++*updates; }
    };
    int updates = 0;
    for (bool enabled : {true, false}) {
        auto* component = new Counting(&updates);
        component->setEnabled(enabled);
        component->setOwner(object);
        object->addComponent(component);
    }
    const long live = cocos2d::CCObject::liveObjectCount();
    object->update(kStep);
    EXPECT_EQ(updates, 2);
    object->retain();
    object->autorelease();
    cocos2d::CCPoolManager::sharedPoolManager()->pop();
    EXPECT_LT(cocos2d::CCObject::liveObjectCount(), live - 2) << "the object took its components along";
}

} // namespace
