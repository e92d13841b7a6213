#pragma once

// Behaviour-component tests: owners with components, control senders, point attributes
// with one empty axis, and animations of solid frames.
#include "screens/field_test_support.h"

#include "app/ZqObjectModelHolder.h"
#include "components/ZqComponent.h"
#include "model/objects/ZqModelComponentsBehaviour.h"
#include "model/objects/ZqModelObjectButtons.h"
#include "model/objects/ZqModelObjectsControls.h"
#include "model/scene/ZqModelButtons.h"
#include "model/scene/ZqModelMedia.h"

#include <optional>

namespace component_test {

class ComponentFixture : public field_test::RuntimeTest {
protected:
    cocos2d::CCSize viewSize() const override { return field_test::kFieldViewSize; }

    template <class Model>
    std::shared_ptr<Model> componentModel()
    {
        return ZqModelController::shared()->createModel<Model>();
    }

    // An asset object of a 40 x 40 box at position carrying components.
    ZqPObjectAsset* ownerWith(const std::vector<std::shared_ptr<ZqModelComponent>>& components,
                              const cocos2d::CCPoint& position = cocos2d::CCPoint())
    {
        auto placed = boxModel(position);
        for (const auto& component : components)
            placed->asset()->addChild(component);
        return assetOf(placed);
    }

    // A field with the given gravity, its world built, holding owner as a dynamic body.
    ZqPObjectAsset* dynamicInField(ZqPObjectAsset* owner, const cocos2d::CCPoint& gravity)
    {
        if (!field) {
            owner->retain();
            field = makeField();
            sceneModel->m_gravity->setValue(gravity);
            frame();
            owner->autorelease();
        }
        addToField(field, owner);
        owner->getBody()->SetType(b2_dynamicBody);
        return owner;
    }

    void TearDown() override
    {
        for (cocos2d::CCNode* node : m_senders)
            node->release();
        m_senders.clear();
        field_test::RuntimeTest::TearDown();
    }

    // A node sent by a control of model class Model named name; kept until the test ends.
    template <class Model>
    cocos2d::CCNode* sender(const std::string& name)
    {
        auto model = ZqModelController::shared()->createModel<Model>();
        model->setName(name);
        cocos2d::CCNode* node = cocos2d::CCNode::create();
        node->setUserObject(ZqObjectModelHolder::create(model));
        node->retain();
        m_senders.push_back(node);
        return node;
    }

    // An animation of frames solid frames lasting seconds.
    std::shared_ptr<ZqModelAnimation> animationOf(float seconds, int frames = 2)
    {
        auto animation = ZqModelController::shared()->createModel<ZqModelAnimation>();
        std::vector<media::Rgba> colours(static_cast<std::size_t>(frames), media::Rgba{200, 40, 40, 255});
        animation->addChild(imageOf(containerOf(colours)));
        animation->setDuration(seconds);
        return animation;
    }

    // The y extent of the body's fixtures, in metres.
    static float fixtureHeight(b2Body* body)
    {
        b2AABB box;
        bool any = false;
        for (b2Fixture* fixture = body->GetFixtureList(); fixture; fixture = fixture->GetNext()) {
            b2AABB one;
            fixture->GetShape()->ComputeAABB(&one, body->GetTransform(), 0);
            box = any ? b2AABB{b2Min(box.lowerBound, one.lowerBound), b2Max(box.upperBound, one.upperBound)} : one;
            any = true;
        }
        return any ? box.upperBound.y - box.lowerBound.y : 0.0f;
    }

    static void press(cocos2d::CCNode* node) { ZqPInputController::shared()->actionBegin(ZqPInputController::kControlPressed, node); }
    static void release(cocos2d::CCNode* node) { ZqPInputController::shared()->actionEnd(ZqPInputController::kControlReleased, node); }

    ZqPScreenScene* field = nullptr;

private:
    std::vector<cocos2d::CCNode*> m_senders;
};

} // namespace component_test
