// The game field's scenery: background layers, group objects and the mirror pass.
#include "screens/field/ZqPScreenScene.h"

#include "model/ZqModelAccess.h"
#include "model/objects/ZqModelObjectsLogic.h"
#include "model/objects/ZqModelObjectsUnits.h"
#include "model/scene/ZqModelScreen.h"
#include "objects/assets/ZqPObjectAssetMirror.h"
#include "objects/ZqPObjectBackgroundLayer.h"
#include "objects/ZqPObjectGroup.h"

#include <algorithm>
#include <utility>
#include <vector>

using namespace cocos2d;

namespace {

// The smallest scale a background layer is built with.
constexpr float kMinBackgroundScale = 0.1f;

} // namespace

void ZqPScreenScene::createBackgroundLayers()
{
    for (const std::shared_ptr<ZqModelObjectBackground>& model : m_sceneModel->childrenOfClass<ZqModelObjectBackground>()) {
        if (model->isHidden())
            continue;
        CCPoint scale = model->scale(0.0f, 0);
        if (scale.x <= 0.0f || scale.y <= 0.0f) {
            scale.x = scale.x <= 0.0f ? kMinBackgroundScale : scale.x;
            scale.y = scale.y <= 0.0f ? kMinBackgroundScale : scale.y;
            model->setScale(scale);
        }
        ZqPObjectBackgroundLayer* layer = ZqPObjectBackgroundLayer::create(model);
        m_camera->addChild(layer, model->zDepth());
        layer->setReferenceNode(m_camera);
        m_backgroundLayers.push_back(layer);
    }
}

void ZqPScreenScene::createGroupsFor(const ZqModel& section)
{
    for (const std::shared_ptr<ZqModelObjectGroup>& model : section.childrenOfClass<ZqModelObjectGroup>()) {
        ZqPObjectGroup* group = ZqPObjectGroup::create(model);
        m_camera->addChild(group, model->zDepth());
        group->setReferenceNode(m_camera);
    }
}

void ZqPScreenScene::scrollBackgrounds(const CCPoint& delta)
{
    for (ZqPObjectBackgroundLayer* layer : m_backgroundLayers)
        layer->scrollBy(delta.x + delta.y, kFrameStep);
}

void ZqPScreenScene::registerIfMirror(ZqPObject* object)
{
    ZqPObjectAssetMirror* mirror = dynamic_cast<ZqPObjectAssetMirror*>(object);
    if (!mirror || std::find(m_mirrors.begin(), m_mirrors.end(), mirror) != m_mirrors.end())
        return;
    m_mirrors.push_back(mirror);
    mirror->setField(this);
}

void ZqPScreenScene::unregisterMirror(ZqPObjectAssetMirror* mirror)
{
    const auto found = std::find(m_mirrors.begin(), m_mirrors.end(), mirror);
    if (found == m_mirrors.end())
        return;
    m_mirrors.erase(found);
    mirror->setField(nullptr);
}

void ZqPScreenScene::releaseScenery()
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

void ZqPScreenScene::visit()
{
    ZqPScreen::visit();
    // A capture visits the whole scene, this field included: no pass inside it.
    if (m_capturingMirror || m_mirrors.empty() || !isVisible())
        return;
    CCNode* root = this;
    while (root->getParent())
        root = root->getParent();
    m_capturingMirror = true;
    // What the reflection leaves out: the field's own UI layer and every other screen of its
    // container (the HUD is one), each put back as it was.
    std::vector<std::pair<CCNode*, bool>> overlays;
    if (uiLayer())
        overlays.emplace_back(uiLayer(), false);
    if (CCNode* container = getParent()) {
        for (CCObject* child : *container->getChildren()) {
            if (child != this && dynamic_cast<ZqPScreen*>(child))
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
