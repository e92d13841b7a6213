#pragma once

// A generated game played on the sample's view: a scene whose start section holds units of
// one 40 x 40 block asset, made with the game builder, whose idle frame is transparent so
// that only what the test draws shows.
#include "field_play_support.h"

#include "model/objects/ZqModelObjectsUnits.h"
#include "model/scene/ZqModelMedia.h"
#include "tools/ZqGameBuilder.h"

#include "sprite_nodes/CCSpriteFrameCache.h"

namespace field_test {

class UnitGameTest : public FieldPlayTest {
protected:
    // Ids far above those the controller hands out.
    static constexpr unsigned kAtlas = 90001, kSprite = 90002, kFrames = 90003, kIdle = 90004, kIdleFrame = 90005;
    static constexpr unsigned kShape = 90006, kBlock = 90007, kScene = 90008, kStart = 90009;

    void SetUp() override
    {
        FieldPlayTest::SetUp();
        game.atlas(kAtlas, "Atlas", 64, 2);
        game.sprite(kSprite, "Clear", kAtlas, 40, 40, {0, 0, 0, 0});
        game.container(kFrames, "Clear", 1.0f, {kSprite});
        game.animation(kIdle, kIdleFrame, "Idle", kFrames, true);
        auto block = game.make<ZqModelAssetObstacle>(kBlock, "Block");
        block->m_collisionShape->setValue(game.boxShape(kShape, "Box", 40, 40), true);
        block->m_idleAnimation->setValue(game.at<ZqModelAnimation>(kIdle), true);
        sceneModel = game.make<ZqModelScreenScene>(kScene, "Game");
        start = game.section(kStart, "Start", *sceneModel, 1136, 0, true);
    }

    void TearDown() override
    {
        if (field)
            scene->removeChild(field);
        FieldPlayTest::TearDown();
    }

    // A unit of section at position: a block that stays, or a wheel that turns freely.
    std::shared_ptr<ZqModelObjectAssetUnit> place(ZqModelLevelSection& section, unsigned id, cocos2d::CCPoint position,
                                                  bool wheel = false)
    {
        auto unit = game.unit(id, wheel ? "Wheel" : "Block", kBlock, "kPlatformObjectType", position);
        if (wheel)
            unit->m_movementType->setValue("kMovementPhysics", true);
        section.addChild(unit, true);
        return unit;
    }

    // Writes the media, registers the game and runs the field's first frame.
    void play()
    {
        game.writeMedia(dir.file("data"));
        cocos2d::CCSpriteFrameCache::sharedSpriteFrameCache()->addSpriteFramesWithFile(
            dir.file("data/atlases/atlas_ID" + std::to_string(kAtlas) + ".plist").c_str());
        for (const std::shared_ptr<ZqModel>& model : game.models())
            ZqModelController::shared()->addModel(model);
        field = ZqPScreenScene::create(sceneModel);
        scene->addChild(field);
        frame();
    }

    void frames(int count)
    {
        for (int i = 0; i < count; ++i)
            frame();
    }

    // The body of the object the field made from the model of that id; null when none.
    b2Body* bodyOf(unsigned id) const
    {
        for (cocos2d::CCObject* child : *field->camera()->getChildren()) {
            auto* object = dynamic_cast<ZqPObject*>(child);
            if (object && object->model() == game.at<ZqModel>(id))
                return object->getBody();
        }
        return nullptr;
    }

    ZqGameBuilder game;
    std::shared_ptr<ZqModelLevelSection> start;
    ZqPScreenScene* field = nullptr;
};

} // namespace field_test
