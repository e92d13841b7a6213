#pragma once

// A field played on the sample's view: level sections made in memory, and a stand-in
// character the test moves, which the camera follows like any registered character.
#include "field_pilot.h"
#include "field_test_support.h"

#include "model/scene/ZqModelLevelSection.h"
#include "screens/ZqPScreenNavigator.h"

namespace field_test {

class FieldPlayTest : public RuntimeTest {
protected:
    cocos2d::CCSize viewSize() const override { return kFieldViewSize; }

    void TearDown() override
    {
        ZqPScreenNavigator::shared()->setSceneDestination(0);
        RuntimeTest::TearDown();
    }

    // A section of the current scene model, width points wide, playable from start to end
    // (below 0: no end), holding objects.
    std::shared_ptr<ZqModelLevelSection> addSection(float width, float start = 0.0f, float end = -1.0f,
                                                   std::size_t objects = 0)
    {
        auto section = ZqModelController::shared()->createModel<ZqModelLevelSection>();
        section->m_width->setValue(width);
        section->m_startDistance->setValue(start);
        section->m_endDistance->setValue(end);
        for (std::size_t i = 0; i < objects; ++i)
            section->addChild(boxModel(cocos2d::CCPoint(10.0f * static_cast<float>(i), 100.0f)));
        sceneModel->addChild(section);
        return section;
    }

    // A pilot registered after the field's build (each build forgets the characters).
    Pilot* registerPilot(const cocos2d::CCPoint& position)
    {
        Pilot* pilot = Pilot::create();
        pilot->setPosition(position);
        ZqPInputController::shared()->addCharacter(pilot);
        return pilot;
    }

    // The ids of "add level section" lines, in order.
    std::vector<unsigned> addedSections() const
    {
        std::vector<unsigned> ids;
        const std::string prefix = "[ZqPScreenScene] add level section: ";
        for (const std::string& line : logged) {
            if (line.rfind(prefix, 0) == 0)
                ids.push_back(static_cast<unsigned>(std::stoul(line.substr(prefix.size()))));
        }
        return ids;
    }
};

} // namespace field_test
