#pragma once

// The runtime objects' tests' world: a headless GL view with a running scene, fresh models
// and gameplay parameters, a seeded generator, atlases of solid-colour frames, and no
// engine object left behind. No game field: tests/screens/field_test_support.h adds it.
#include "engine/gl/GLFixture.h"
#include "engine/textures/MediaFixtures.h"
#include "audio/AudioEngine.h"
#include "audio/SimpleAudioEngine.h"

#include "ZqLog.h"
#include "ZqRandom.h"
#include "app/ZqPInputController.h"
#include "app/ZqPSettingsController.h"
#include "app/ZqSound.h"
#include "model/ZqModelController.h"
#include "model/ZqModelGeneralSettings.h"
#include "model/scene/ZqModelAssets.h"
#include "model/scene/ZqModelFont.h"
#include "model/scene/ZqModelLabel.h"
#include "model/scene/ZqModelMedia.h"
#include "model/scene/ZqModelObject.h"
#include "model/scene/ZqModelScreen.h"
#include "model/scene/ZqModelShapes.h"
#include "objects/ZqObjectsLayerReset.h"
#include "objects/assets/ZqPObjectAsset.h"
#include "objects/ZqPGameFieldCamera.h"
#include "model/GameplayParameters.h"
#include "platform/CCFileUtils.h"
#include "sprite_nodes/CCSpriteFrameCache.h"
#include "textures/CCTextureCache.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace field_test {

// The view of tests that step a field with objects in it: the field removes what lies
// behind or beside the view (widened by the deletion thresholds), so a 64 x 48 view would
// take objects placed a few hundred points away. The sample's design size.
inline const cocos2d::CCSize kFieldViewSize(1136.0f, 640.0f);

class ObjectTest : public GLFixture {
protected:
    void SetUp() override
    {
        // Process-wide objects made before the baseline, so that they do not count as leaks.
        GameplayParameters::shared();
        ZqPSettingsController::purgeShared();
        cocos2d::CCUserDefault::purgeSharedUserDefault();
        cocos2d::CCPoolManager::sharedPoolManager()->finalize();
        GLFixture::SetUp();
        ZqModelController::shared()->reset();
        GameplayParameters::shared()->resetToDefaults(ZqModelGeneralSettings::shared());
        zqSrand(7);
        cocos2d::CCFileUtils::sharedFileUtils()->setResourceRoot(dir.file(""));
        scene = runScene();
        zqSetLogSink([this](const char* line) { logged.push_back(line); });
    }

    void TearDown() override
    {
        zqSetLogSink(nullptr);
        resetProcess();
        cocos2d::CCFileUtils::sharedFileUtils()->setResourceRoot("");
        GLFixture::TearDown();
    }

    // Every process-wide object of the layers the tests link, back to a fresh game.
    virtual void resetProcess() { zqResetObjectsLayer(); }

    // A fixed-text label model in a registered 8-point font whose glyphs are white boxes.
    std::shared_ptr<ZqModelObjectLabel> labelOf(const std::string& text)
    {
        if (!m_font) {
            m_font = ZqModelController::shared()->createModel<ZqModelFont>();
            std::filesystem::create_directories(dir.file("data/fonts"));
            EXPECT_TRUE(media::writePng(dir.file("data/fonts/page.png"), 8, 8,
                                        [](int, int) { return media::Rgba{255, 255, 255, 255}; }));
            media::writeText(dir.file("data/fonts/ZqModelFont_ID" + std::to_string(m_font->id()) + ".fnt"),
                             "info face=\"T\" size=8\ncommon lineHeight=8 base=6 scaleW=8 scaleH=8 pages=1\n"
                             "page id=0 file=\"page.png\"\nchars count=2\n"
                             "char id=65 x=0 y=0 width=4 height=6 xoffset=0 yoffset=0 xadvance=5 page=0\n"
                             "char id=66 x=0 y=0 width=4 height=6 xoffset=0 yoffset=0 xadvance=5 page=0\n");
        }
        auto label = ZqModelController::shared()->createModel<ZqModelObjectLabel>();
        label->m_font->setValue(std::to_string(m_font->id()));
        label->m_action->setValue("kCustomVector");
        label->m_text->setValue(text);
        return label;
    }

    // An image model showing container, at position.
    static std::shared_ptr<ZqModelObjectImage> imageOf(const std::shared_ptr<ZqModelSpriteContainer>& container,
                                                      const cocos2d::CCPoint& position = cocos2d::CCPoint())
    {
        auto image = zqCreateModel<ZqModelObjectImage>("image");
        image->setImage(container);
        image->setStickToEdge(false);
        image->setPosition(position);
        return image;
    }

    // A container of frames 8 x 8 points, frame i filled with colours[i], loaded into the
    // sprite-frame cache as one atlas.
    std::shared_ptr<ZqModelSpriteContainer> containerOf(const std::vector<media::Rgba>& colours)
    {
        auto container = zqCreateModel<ZqModelSpriteContainer>("frames");
        const int index = m_atlases++;
        std::string frames;
        for (std::size_t i = 0; i < colours.size(); ++i) {
            auto sprite = zqCreateModel<ZqModelSprite>("sprite");
            sprite->setId(static_cast<unsigned>(1000 * (index + 1) + i));
            for (const char* key : {"Size", "SourceSize"})
                static_cast<ZqAttributeSize*>(sprite->findAttribute(key))->setValue(cocos2d::CCSize(8, 8));
            container->addChild(sprite);
            frames += "<key>" + zqSpriteFrameName(sprite->id()) + "</key><dict><key>frame</key><string>{{" +
                      std::to_string(i * 8) + ",0},{8,8}}</string></dict>";
        }
        const std::string name = "atlas" + std::to_string(index);
        EXPECT_TRUE(media::writePng(dir.file(name + ".png"), static_cast<int>(colours.size()) * 8, 8,
                                    [&](int x, int) { return colours[static_cast<std::size_t>(x / 8)]; }));
        media::writeText(dir.file(name + ".plist"),
                         "<plist version=\"1.0\"><dict><key>frames</key><dict>" + frames +
                             "</dict><key>metadata</key><dict><key>format</key><integer>2</integer>"
                             "<key>textureFileName</key><string>" + name + ".png</string></dict></dict></plist>");
        cocos2d::CCSpriteFrameCache::sharedSpriteFrameCache()->addSpriteFramesWithFile(dir.file(name + ".plist").c_str());
        return container;
    }

public:
    // A placed asset with a width x height box as its shape (registered models).
    static std::shared_ptr<ZqModelObjectAsset> boxModel(const cocos2d::CCPoint& position,
                                                        const cocos2d::CCSize& size = cocos2d::CCSize(40, 40))
    {
        auto asset = ZqModelController::shared()->createModel<ZqModelAsset>();
        asset->updateCollisionShape(size, cocos2d::CCPoint());
        auto placed = ZqModelController::shared()->createModel<ZqModelObjectAsset>();
        placed->setAsset(asset);
        placed->setPosition(position);
        return placed;
    }

    // x and y of point, each either a value or empty.
    static void setAxes(ZqAttributePoint* point, std::optional<float> x, std::optional<float> y)
    {
        cocos2d::CCDictionary* values = cocos2d::CCDictionary::create();
        values->setObject(cocos2d::CCString::createWithFormat("{%g,%g}", x.value_or(0.0f), y.value_or(0.0f)), "value");
        values->setObject(cocos2d::CCString::create(x ? "false" : "true"), "isXEmpty");
        values->setObject(cocos2d::CCString::create(y ? "false" : "true"), "isYEmpty");
        point->loadValueFromDictionary(values);
    }

    // An autoreleased asset object of model.
    static ZqPObjectAsset* assetOf(const std::shared_ptr<ZqModel>& model)
    {
        auto* object = new ZqPObjectAsset(model);
        object->autorelease();
        return object;
    }

protected:
    static constexpr float kStep = 1.0f / 60.0f;

    // How often line was logged since the set-up.
    long loggedCount(const std::string& line) const { return std::count(logged.begin(), logged.end(), line); }

    cocos2d::CCScene* scene = nullptr;
    media::TempDir dir;
    std::vector<std::string> logged;

private:
    int m_atlases = 0;
    std::shared_ptr<ZqModelFont> m_font;
};

} // namespace field_test
