#pragma once

// The character field core on a 1136 x 640 view, with obstacle units, zones of any
// asset-object model and a frame that also carries out the field's queued teleports.

#include "screens/objects/character_support.h"

#include "model/objects/ZqModelObjectsUnits.h"
#include "objects/assets/ZqPObjectAssetUnit.h"

class MechanicsTest : public CharacterFieldTest {
protected:
    cocos2d::CCSize viewSize() const override { return cocos2d::CCSize(1136, 640); }

    // A 20 x 20 obstacle asset with a one-second idle animation (a unit without one has
    // no body).
    std::shared_ptr<ZqModelAssetObstacle> obstacle()
    {
        auto asset = ZqModelController::shared()->createModel<ZqModelAssetObstacle>();
        asset->updateCollisionShape(cocos2d::CCSize(20, 20), cocos2d::CCPoint());
        asset->m_idleAnimation->setValue(animation(1.0f, true));
        return asset;
    }

    // A colliding unit of asset at position: "kMovementPhysics" or "kMovementLinear" with
    // its "Linear Velocity".
    static std::shared_ptr<ZqModelObjectAssetUnit> unitModel(const std::shared_ptr<ZqModelAssetObstacle>& asset,
                                                             const cocos2d::CCPoint& position,
                                                             const std::string& movement = "kMovementPhysics",
                                                             const cocos2d::CCPoint& velocity = cocos2d::CCPoint())
    {
        auto unit = ZqModelController::shared()->createModel<ZqModelObjectAssetUnit>();
        unit->setAsset(asset);
        unit->setPosition(position);
        unit->setCollisionType("kCharacterCollision");
        unit->setMovementType(movement);
        unit->setLinearVelocity(velocity);
        return unit;
    }

    // The factory's object of model, of class T, placed on the field.
    template <class T> T* place(const std::shared_ptr<ZqModel>& model)
    {
        T* object = dynamic_cast<T*>(ZqPObjectAsset::createAssetObject(model));
        EXPECT_NE(object, nullptr);
        if (object)
            addToField(field(), object);
        return object;
    }

    // A field frame followed by the teleport transfer of the field's step.
    void play(int frames = 1)
    {
        for (int i = 0; i < frames; ++i) {
            frame();
            field()->teleports().transfer();
        }
    }
};
