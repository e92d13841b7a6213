#include "objects/ZqPAnimationObject.h"

#include "ZqCachedCast.h"
#include "ZqLog.h"
#include "model/objects/ZqModelObjectsEffects.h"
#include "model/objects/ZqModelObjectsUnits.h"
#include "model/scene/ZqModelAssets.h"
#include "model/scene/ZqModelLabel.h"
#include "model/scene/ZqModelMedia.h"
#include "model/scene/ZqModelObject.h"
#include "model/scene/ZqModelScreen.h"
#include "objects/ZqGameField.h"
#include "objects/ZqPGameFieldCamera.h"
#include "objects/assets/ZqPObjectAsset.h"
#include "objects/assets/ZqPObjectAssetParticles.h"
#include "objects/ZqPObjectImage.h"
#include "objects/ZqPObjectText.h"

#include <algorithm>
#include <type_traits>

using namespace cocos2d;

namespace {

// Frame models of these exact classes become objects of the asset-object factory.
bool isFactoryFrame(const ZqModel& model)
{
    const std::size_t type = model.typeId();
    return type == ZqModelObjectAssetUnit::staticTypeId() || type == ZqModelObjectParticles::staticTypeId() ||
           type == ZqModelObjectLight::staticTypeId() || type == ZqModelObjectTrail::staticTypeId() ||
           type == ZqModelObjectFlag::staticTypeId() || type == ZqModelObjectAssetPowerup::staticTypeId();
}

} // namespace

template <class Node, class Action>
void ZqPAnimationObject::forEachFrame(Action action) const
{
    for (const auto& entry : m_nodes) {
        // Most animations hold images alone (a rotation mapper shows a frame of them each
        // frame): those need no cast.
        if constexpr (std::is_same_v<Node, ZqPObjectImage>) {
            if (m_imagesOnly) {
                action(static_cast<ZqPObjectImage*>(entry.second));
                continue;
            }
        }
        if (Node* node = zqCachedCast<Node>(entry.second))
            action(node);
    }
}

ZqPAnimationObject* ZqPAnimationObject::create(const std::shared_ptr<ZqModelAnimation>& model, ZqPObject* owner,
                                               bool setSpawnSources)
{
    ZqPAnimationObject* animation = new ZqPAnimationObject(model);
    animation->autorelease();
    animation->init();
    animation->build(setSpawnSources);
    return animation;
}

ZqPAnimationObject::ZqPAnimationObject(const std::shared_ptr<ZqModelAnimation>& model)
    : m_model(model)
{
}

ZqPAnimationObject::~ZqPAnimationObject()
{
    for (auto& entry : m_nodes)
        entry.second->release();
    m_nodes.clear();
}

CCNode* ZqPAnimationObject::makeFrameNode(const std::shared_ptr<ZqModel>& frame, bool setSpawnSources)
{
    if (isFactoryFrame(*frame)) {
        ZqPObject* object = ZqPObjectAsset::createAssetObject(frame);
        if (!object)
            return nullptr;
        const std::shared_ptr<ZqBaseModelObject> placed = modelKindCast<ZqModelObject>(frame);
        const bool spawner = placed && placed->hasSpawner();
        if (setSpawnSources)
            object->setSpawnSource(spawner);
        if (spawner && placed->zDepth() == 0)
            placed->setZDepth(-1);
        ZqGameField& field = zqCurrentField();
        object->setReferenceNode(field.camera());
        ZqPObjectAsset* asset = dynamic_cast<ZqPObjectAsset*>(object);
        if (field.camera() && asset)
            asset->createBody(field.world(), true);
        if (asset && (object->objectType() & ZqPObject::kTypePowerup))
            asset->setPlaced(true);
        return object;
    }
    if (const std::shared_ptr<ZqModelObjectImage> image = modelKindCast<ZqModelObjectImage>(frame)) {
        image->setStickToEdge(false);
        return ZqPObjectImage::create(image, m_model->speed(), m_model->isLoop());
    }
    if (const std::shared_ptr<ZqModelObjectLabel> label = modelCast<ZqModelObjectLabel>(frame)) {
        ZqPObjectText* text = ZqPObjectText::create(label);
        text->setTag(static_cast<int>(label->id()));
        text->setReferenceNode(zqCurrentField().camera());
        return text;
    }
    debugLog("Warning uknown object type");
    return nullptr;
}

void ZqPAnimationObject::build(bool setSpawnSources)
{
    if (!m_model)
        return;
    for (const std::shared_ptr<ZqModel>& frame : m_model->frames()) {
        if (!frame)
            continue;
        if (CCNode* node = makeFrameNode(frame, setSpawnSources)) {
            node->retain();
            m_nodes.emplace_back(frame, node);
            m_hasParticles = m_hasParticles || dynamic_cast<ZqPObjectAssetParticles*>(node);
            m_imagesOnly = m_imagesOnly && dynamic_cast<ZqPObjectImage*>(node);
        }
    }
    for (const auto& [frame, node] : m_nodes) {
        const std::shared_ptr<ZqBaseModelObject> object = modelKindCast<ZqModelObject>(frame);
        const int zDepth = object ? object->zDepth() : 0;
        CCNode* parent = this;
        if (const std::shared_ptr<ZqModel> parentModel = firstParentObjectModel(frame)) {
            // A frame whose parent frame got no node goes into the animation itself.
            auto found = std::find_if(m_nodes.begin(), m_nodes.end(),
                                      [&](const auto& entry) { return entry.first == parentModel; });
            if (found != m_nodes.end())
                parent = found->second;
        }
        parent->addChild(node, zDepth);
        if (object && !modelCast<ZqModelObjectLabel>(frame)) {
            const CCSize& parentSize = parent->getContentSize();
            node->setPosition(object->position(0.0f, 0) + CCPoint(parentSize.width * 0.5f, parentSize.height * 0.5f));
            node->setRotation(object->rotation(0.0f, 0));
            const CCPoint scale = object->scale(0.0f, 0);
            node->setScaleX(scale.x);
            node->setScaleY(scale.y);
        }
    }
    updateBoundingRect();
}

void ZqPAnimationObject::update(float dt)
{
    if (!m_model)
        return;
    const float speed = m_model->speed();
    if (isVisible())
        m_elapsed += speed * dt;
    if (m_elapsed > m_model->duration()) {
        m_elapsed = 0.0f;
        if (m_finished)
            m_finished();
        if (!m_model->isLoop()) {
            pauseImageActions();
            forEachFrame<ZqPObjectAssetParticles>([](ZqPObjectAssetParticles* particles) { particles->stopSystems(); });
        }
    }
    if (!isVisible())
        return;
    // Particles keep real time: their rates are in seconds of the field. Most animations
    // have none, and their frames are spared the cast.
    for (const auto& entry : m_nodes)
        entry.second->update(m_hasParticles && dynamic_cast<ZqPObjectAssetParticles*>(entry.second) ? dt : speed * dt);
}

int ZqPAnimationObject::getZOrder() const
{
    return getParent() ? getParent()->getZOrder() : CCNode::getZOrder();
}

void ZqPAnimationObject::setVisible(bool visible)
{
    // Owners set it every frame. Images take their visibility from here alone, so while it
    // stays they keep it; other frame nodes set their own and are told again.
    const bool unchanged = visible == isVisible();
    CCNode::setVisible(visible);
    if (unchanged && m_imagesOnly)
        return;
    for (const auto& entry : m_nodes)
        entry.second->setVisible(visible);
}

void ZqPAnimationObject::setParent(CCNode* parent)
{
    CCNode::setParent(parent);
    if (!parent)
        return;
    setTag(parent->getTag());
    for (const auto& entry : m_nodes)
        entry.second->setTag(parent->getTag());
}

void ZqPAnimationObject::restart()
{
    m_elapsed = 0.0f;
    forEachFrame<ZqPObjectImage>([](ZqPObjectImage* image) { image->restart(); });
    forEachFrame<ZqPObjectAssetParticles>([](ZqPObjectAssetParticles* particles) { particles->resetSystems(); });
}

void ZqPAnimationObject::stop()
{
    m_elapsed = 0.0f;
    forEachFrame<ZqPObjectImage>([](ZqPObjectImage* image) { image->stopAnimation(); });
    forEachFrame<ZqPObjectAssetParticles>([](ZqPObjectAssetParticles* particles) { particles->stopSystems(); });
}

void ZqPAnimationObject::pauseImageActions()
{
    forEachFrame<ZqPObjectImage>([](ZqPObjectImage* image) { image->pauseAnimation(); });
}

void ZqPAnimationObject::resumeImageActions()
{
    forEachFrame<ZqPObjectImage>([](ZqPObjectImage* image) { image->resumeAnimation(); });
}

void ZqPAnimationObject::showFrame(int index)
{
    forEachFrame<ZqPObjectImage>([index](ZqPObjectImage* image) { image->setAnimationFrame(index); });
}

int ZqPAnimationObject::durationInFrames() const
{
    return m_model ? static_cast<int>(m_model->duration() * 30.0) : 0;
}

int ZqPAnimationObject::frameCount() const
{
    return m_model ? static_cast<int>(m_model->frameCount()) : 0;
}

CCNode* ZqPAnimationObject::childNodeAt(int index) const
{
    if (!m_model || index < 0)
        return nullptr;
    const std::shared_ptr<ZqModel> frame = m_model->frame(static_cast<unsigned>(index));
    auto found = std::find_if(m_nodes.begin(), m_nodes.end(), [&](const auto& entry) { return entry.first == frame; });
    return found == m_nodes.end() || !frame ? nullptr : found->second;
}

void ZqPAnimationObject::updateBoundingRect()
{
    // United from the first child's box: a zero start would count the origin in.
    bool first = true;
    CCRect bounds;
    const CCPoint& centre = getPosition();
    for (CCObject* object : *getChildren()) {
        const CCNode* child = static_cast<const CCNode*>(object);
        const float width = child->getContentSize().width * child->getScaleX();
        const float height = child->getContentSize().height * child->getScaleY();
        const CCRect box(centre.x - width * 0.5f, centre.y - height * 0.5f, width, height);
        bounds = first ? box : bounds.united(box);
        first = false;
    }
    m_boundingRect = bounds;
}

void ZqPAnimationObject::setOpacityFactor(float factor)
{
    m_opacityFactor = factor;
    for (const auto& entry : m_nodes) {
        if (ZqPObjectImage* image = dynamic_cast<ZqPObjectImage*>(entry.second))
            image->setOpacityFactor(factor);
        else if (ZqPObject* object = dynamic_cast<ZqPObject*>(entry.second))
            object->setColorFactor(factor);
    }
}

void ZqPAnimationObject::setChildrenReferenceNode(CCNode* node)
{
    for (const auto& entry : m_nodes) {
        if (ZqPObject* object = dynamic_cast<ZqPObject*>(entry.second))
            object->setReferenceNode(node);
    }
}

int ZqPAnimationObject::zOrderInCamera() const
{
    const CCNode* below = this;
    for (const CCNode* node = getParent(); node; node = node->getParent()) {
        if (dynamic_cast<const ZqPGameFieldCamera*>(node))
            return below->getZOrder();
        if (!dynamic_cast<const ZqPObject*>(node) && !dynamic_cast<const ZqPAnimationObject*>(node))
            return 0;
        below = node;
    }
    return 0;
}

std::shared_ptr<ZqModel> ZqPAnimationObject::firstParentObjectModel(const std::shared_ptr<ZqModel>& model)
{
    if (!model)
        return nullptr;
    for (const std::shared_ptr<ZqModel>& parent : model->parents()) {
        if (modelKindCast<ZqModelObject>(parent))
            return parent;
    }
    return nullptr;
}
