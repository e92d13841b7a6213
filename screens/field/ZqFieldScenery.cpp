#include "screens/field/ZqFieldScenery.h"

#include "screens/field/ZqPScreenScene.h"

#include "model/ZqModelAccess.h"
#include "model/objects/ZqModelObjectsLogic.h"
#include "model/objects/ZqModelObjectsUnits.h"
#include "model/scene/ZqModelScreen.h"
#include "objects/assets/ZqPObjectAssetMirror.h"
#include "objects/ZqPObjectBackgroundLayer.h"
#include "objects/ZqDrawingFunctions.h"
#include "objects/ZqPObjectGroup.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

using namespace cocos2d;

namespace {

// The smallest scale a background layer is built with.
constexpr float kMinBackgroundScale = 0.1f;

// The shake moves the field layer up to this many points, its noise at this frequency.
constexpr float kShakeAmplitude = 70.0f;
constexpr double kShakeFrequency = 16.0;

} // namespace

void ZqFieldScenery::createBackgroundLayers()
{
    CCNode* camera = m_field.camera();
    for (const std::shared_ptr<ZqModelObjectBackground>& model :
         m_field.sceneModel()->childrenOfClass<ZqModelObjectBackground>()) {
        if (model->isHidden())
            continue;
        CCPoint scale = model->scale(0.0f, 0);
        if (scale.x <= 0.0f || scale.y <= 0.0f) {
            scale.x = scale.x <= 0.0f ? kMinBackgroundScale : scale.x;
            scale.y = scale.y <= 0.0f ? kMinBackgroundScale : scale.y;
            model->setScale(scale);
        }
        ZqPObjectBackgroundLayer* layer = ZqPObjectBackgroundLayer::create(model);
        camera->addChild(layer, model->zDepth());
        layer->setReferenceNode(camera);
        m_backgroundLayers.push_back(layer);
    }
}

void ZqFieldScenery::createGroupsFor(const ZqModel& section)
{
    CCNode* camera = m_field.camera();
    for (const std::shared_ptr<ZqModelObjectGroup>& model : section.childrenOfClass<ZqModelObjectGroup>()) {
        ZqPObjectGroup* group = ZqPObjectGroup::create(model);
        camera->addChild(group, model->zDepth());
        group->setReferenceNode(camera);
    }
}

void ZqFieldScenery::scrollBackgrounds(const CCPoint& delta)
{
    for (ZqPObjectBackgroundLayer* layer : m_backgroundLayers)
        layer->scrollBy(delta.x + delta.y, ZqPScreenScene::kFrameStep);
}

void ZqFieldScenery::registerIfMirror(ZqPObject* object)
{
    ZqPObjectAssetMirror* mirror = dynamic_cast<ZqPObjectAssetMirror*>(object);
    if (!mirror || std::find(m_mirrors.begin(), m_mirrors.end(), mirror) != m_mirrors.end())
        return;
    m_mirrors.push_back(mirror);
    mirror->setField(&m_field);
}

void ZqFieldScenery::unregisterMirror(ZqPObjectAssetMirror* mirror)
{
    const auto found = std::find(m_mirrors.begin(), m_mirrors.end(), mirror);
    if (found == m_mirrors.end())
        return;
    m_mirrors.erase(found);
    mirror->setField(nullptr);
}

void ZqFieldScenery::release()
{
    for (ZqPObjectAssetMirror* mirror : m_mirrors)
        mirror->setField(nullptr);
    m_mirrors.clear();
    for (ZqPObjectBackgroundLayer* layer : m_backgroundLayers) {
        layer->removeFromParentAndCleanup(true);
        layer->release();
    }
    m_backgroundLayers.clear();
}

void ZqFieldScenery::reflect()
{
    // A capture visits the whole scene, this field included: no pass inside it.
    if (m_capturingMirror || m_mirrors.empty() || !m_field.isVisible())
        return;
    CCNode* root = &m_field;
    while (root->getParent())
        root = root->getParent();
    m_capturingMirror = true;
    // What the reflection leaves out: the field's own UI layer and every other screen of its
    // container (the HUD is one), each put back as it was.
    std::vector<std::pair<CCNode*, bool>> overlays;
    if (m_field.uiLayer())
        overlays.emplace_back(m_field.uiLayer(), false);
    if (CCNode* container = m_field.getParent()) {
        for (CCObject* child : *container->getChildren()) {
            if (child != &m_field && dynamic_cast<ZqPScreen*>(child))
                overlays.emplace_back(static_cast<CCNode*>(child), false);
        }
    }
    // A mirror may go while the scene is visited: walk a retained copy.
    std::vector<ZqPObjectAssetMirror*> mirrors = m_mirrors;
    for (ZqPObjectAssetMirror* mirror : mirrors)
        mirror->retain();
    for (ZqPObjectAssetMirror* mirror : mirrors) {
        for (auto& [overlay, shown] : overlays) {
            shown = overlay->isVisible();
            overlay->setVisible(false);
        }
        if (mirror->renderReflection()) {
            root->visit();
            mirror->endReflectionCapture();
        }
        for (const auto& [overlay, shown] : overlays)
            overlay->setVisible(shown);
    }
    for (ZqPObjectAssetMirror* mirror : mirrors)
        mirror->release();
    m_capturingMirror = false;
}

void ZqFieldScenery::flash(float seconds)
{
    if (!(seconds > 0.0f))
        return;
    if (!m_flash) {
        m_flash = makeSolidColorSprite(CCDirector::sharedDirector()->getWinSize(), 255, 255, 255, 255);
        m_flash->setAnchorPoint(CCPointZero);
        m_field.addChild(m_flash, kFlashZOrder);
    }
    m_flash->setOpacity(255);
    m_flashTime = seconds;
    m_flashDuration = seconds;
}

void ZqFieldScenery::shake(float seconds)
{
    if (seconds > 0.0f)
        m_shakeTime = seconds;
}

void ZqFieldScenery::updateEffects(float dt)
{
    if (m_flash) {
        m_flashTime -= dt;
        if (m_flashTime <= 0.0f) {
            m_field.removeChild(m_flash);
            m_flash = nullptr;
        } else {
            m_flash->setOpacity(static_cast<GLubyte>(255.0f * std::clamp(m_flashTime / m_flashDuration, 0.0f, 1.0f)));
        }
    }
    if (m_shakeTime > 0.0f) {
        CCNode* layer = m_field.fieldLayer();
        const double t = m_shakeTime;
        const double strength = std::clamp(t, 0.0, 1.0) * kShakeAmplitude;
        layer->setPosition(static_cast<float>(gradientNoise1D((t + 200.0) * kShakeFrequency) * strength),
                           static_cast<float>(gradientNoise1D((t + 150.0) * kShakeFrequency) * strength));
        m_shakeTime -= dt;
        if (m_shakeTime <= 0.0f)
            layer->setPosition(CCPointZero);
    }
}
