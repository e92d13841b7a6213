#pragma once

// The runtime tests' world on a game field: the objects' tests' world
// (tests/objects/object_test_support.h) with the screens' answers installed, a field made
// on request, and the screens' process-wide objects fresh again after each test.
#include "objects/object_test_support.h"

#include "screens/field/ZqPScreenScene.h"
#include "screens/ZqScreenWiring.h"
#include "screens/ZqScreensLayerReset.h"

namespace field_test {

class RuntimeTest : public ObjectTest {
protected:
    void SetUp() override
    {
        ObjectTest::SetUp();
        zqInstallScreenAnswers();
    }

    void resetProcess() override { zqResetScreensLayer(); }

    // A game field of a fresh scene model, running as the scene's screen; its world is
    // built by its first update.
    ZqPScreenScene* makeField(float timeWarp = 1.0f)
    {
        sceneModel = ZqModelController::shared()->createModel<ZqModelScreenScene>();
        sceneModel->m_timeWarp->setValue(timeWarp);
        ZqPScreenScene* field = ZqPScreenScene::create(sceneModel);
        scene->addChild(field);
        return field;
    }

public:
    // object placed in the field's camera with its body made there (the world must exist).
    static ZqPObjectAsset* addToField(ZqPScreenScene* field, ZqPObjectAsset* object, bool lazy = false)
    {
        field->camera()->addChild(object);
        object->setReferenceNode(field->camera());
        object->createBody(field->world(), lazy);
        return object;
    }

protected:
    std::shared_ptr<ZqModelScreenScene> sceneModel;
};

} // namespace field_test
