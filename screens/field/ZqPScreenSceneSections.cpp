// The game field's level sections: the start build, sections appended ahead of the camera,
// the creation queue, and the removal of objects behind and beside the view.
#include "screens/field/ZqPScreenScene.h"

#include "ZqCachedCast.h"
#include "ZqLog.h"
#include "ZqRandom.h"
#include "model/GameplayParameters.h"
#include "model/scene/ZqModelLevelSection.h"
#include "model/scene/ZqModelObject.h"
#include "model/scene/ZqModelScreen.h"
#include "objects/assets/ZqPObjectAsset.h"
#include "objects/ZqPhysicsBody.h"
#include "objects/ZqPhysicsWorld.h"
#include "screens/ZqPScreenNavigator.h"

#include <algorithm>

using namespace cocos2d;

namespace {

// The extent of object in the camera's space: its fixtures' boxes when it has a body (a
// long platform reaches far beyond its position), else its bounding rectangle.
CCRect extentOf(const ZqPObject& object)
{
    const b2Body* body = object.getBody();
    const b2Fixture* fixture = body ? body->GetFixtureList() : nullptr;
    if (!fixture || !body->IsEnabled())
        return object.boundingRect();
    b2AABB box = fixture->GetAABB(0);
    for (; fixture; fixture = fixture->GetNext()) {
        for (int child = 0; child < fixture->GetShape()->GetChildCount(); ++child)
            box.Combine(fixture->GetAABB(child));
    }
    const float scale = 1.0f / zqphysics::kMetresPerPoint;
    return CCRect(box.lowerBound.x * scale, box.lowerBound.y * scale, (box.upperBound.x - box.lowerBound.x) * scale,
                  (box.upperBound.y - box.lowerBound.y) * scale);
}

// The smallest and largest projection of rect's corners on direction.
std::pair<float, float> projection(const CCRect& rect, const CCPoint& direction)
{
    const float a = rect.getMinX() * direction.x;
    const float b = rect.getMaxX() * direction.x;
    const float c = rect.getMinY() * direction.y;
    const float d = rect.getMaxY() * direction.y;
    return {std::min(a, b) + std::min(c, d), std::max(a, b) + std::max(c, d)};
}

} // namespace

void ZqPScreenScene::chooseStartSection()
{
    const std::shared_ptr<ZqModelScreenScene>& scene = m_sceneModel;
    m_destination = ZqPScreenNavigator::shared()->sceneDestination();
    m_placements.clear();
    std::shared_ptr<ZqModelLevelSection> start;
    for (const std::shared_ptr<ZqModelLevelSection>& section : scene->levelSections()) {
        section->cooldownCounter = 0;
        if (m_destination != 0 && section->id() == static_cast<unsigned>(m_destination))
            start = section;
    }
    // A destination of this scene plays that one section; otherwise sections follow on.
    m_endless = !start;
    if (!start)
        start = scene->initSection();
    if (!start && !scene->levelSections().empty())
        start = scene->levelSections().front();
    m_startSection = start;
}

void ZqPScreenScene::makeSceneObjects()
{
    for (const std::shared_ptr<ZqModelObject>& object : m_sceneModel->ZqBaseModelScreen::objectModels())
        makeObject(object, CCPoint(), 0, true);
}

void ZqPScreenScene::startBuild()
{
    makeSceneObjects();
    m_nextSectionDistance =
        m_startSection ? std::max(addLevelSection(m_startSection, 0.0f, m_destination), 0.0f) : 0.0f;
}

float ZqPScreenScene::addLevelSection(const std::shared_ptr<ZqModelLevelSection>& section, float distance,
                                      int creationIndex)
{
    debugLog("[ZqPScreenScene] add level section: %u", section->id());
    section->placementDistance = distance;
    m_placements.emplace_back(creationIndex, distance);
    if (m_placements.size() > kKeptPlacements)
        m_placements.pop_front();
    const CCPoint offset = GameplayParameters::shared()->gameplayDirection() * distance;
    const unsigned batch = ++m_lastBatch;
    for (const std::shared_ptr<ZqModelObject>& object : section->objects())
        m_queue.push_back({object, offset, creationIndex, batch});
    queueLinkers(*section, batch);
    createGroupsFor(*section);
    return section->width();
}

void ZqPScreenScene::appendSections()
{
    if (!m_endless)
        return;
    const float reach = m_cameraDistance + viewLength() + GameplayParameters::shared()->backDeletionThreshold();
    for (int added = 0; added < kSectionsPerFrame && m_nextSectionDistance < reach; ++added) {
        const std::shared_ptr<ZqModelLevelSection> section = chooseSection(m_nextSectionDistance);
        if (!section) {
            // Once a stall: a scene whose sections never fit again would log every frame.
            if (!m_sectionStalled)
                debugLog("[ZqPScreenScene] no level section fits at %.1f", m_nextSectionDistance);
            m_sectionStalled = true;
            return;
        }
        m_sectionStalled = false;
        m_nextSectionDistance += addLevelSection(section, m_nextSectionDistance, static_cast<int>(section->id()));
    }
}

std::shared_ptr<ZqModelLevelSection> ZqPScreenScene::chooseSection(float distance)
{
    // A width of 0 or less would never move the next distance on: never a candidate.
    std::vector<std::shared_ptr<ZqModelLevelSection>> candidates;
    bool solo = false;
    for (const std::shared_ptr<ZqModelLevelSection>& section : m_sceneModel->levelSections()) {
        if (section->isInitSection() || section->isMuted() || !(section->width() > 0.0f))
            continue;
        if (section->cooldownCounter >= 1) {
            --section->cooldownCounter;
            continue;
        }
        if (distance < section->startDistance() || (section->endDistance() >= 0.0f && distance > section->endDistance()))
            continue;
        solo = solo || section->isSolo();
        candidates.push_back(section);
    }
    if (solo)
        std::erase_if(candidates, [](const auto& section) { return !section->isSolo(); });
    if (candidates.empty())
        return nullptr;
    const std::shared_ptr<ZqModelLevelSection> chosen =
        candidates[static_cast<std::size_t>(zqRand()) % candidates.size()];
    chosen->cooldownCounter = chosen->playCooldown();
    return chosen;
}

ZqPObject* ZqPScreenScene::makeObject(const std::shared_ptr<ZqModelObject>& model, const CCPoint& offset,
                                      int creationIndex, bool lazy)
{
    ZqPObject* object = ZqPObjectAsset::createAssetObject(model);
    if (!object)
        return nullptr;
    ZqPObjectAsset* asset = dynamic_cast<ZqPObjectAsset*>(object);
    if (asset)
        asset->setCreationIndex(creationIndex);
    // Only the characters of the section the game starts in play; the factory registered
    // the others with the input controller, which state 5 undoes.
    if ((object->objectType() & ZqPObject::kTypeCharacter) && creationIndex != m_destination) {
        object->setState(ZqPObject::kStateRemoved);
        return nullptr;
    }
    object->setPosition(object->getPosition() + offset);
    object->setReferenceNode(m_camera);
    object->setSpawnSource(model->hasSpawner());
    object->setMovementActive(true);
    m_camera->addChild(object, model->zDepth());
    registerIfMirror(object);
    if (asset)
        asset->createBody(m_world.get(), lazy);
    return object;
}

void ZqPScreenScene::createQueued()
{
    for (std::size_t made = 0; made < kQueuedPerFrame && !m_queue.empty(); ++made) {
        const QueuedObject queued = std::move(m_queue.front());
        m_queue.pop_front();
        linkQueued(queued, makeObject(queued.model, queued.offset, queued.creationIndex, false));
    }
    dropStaleLinkers();
}

void ZqPScreenScene::removeOutOfView()
{
    // The view widened as the objects' own visibility test has it, in the camera's space.
    const CCRect area = ZqPObject::widenedVisibleArea(*m_camera);
    const CCPoint direction = GameplayParameters::shared()->gameplayDirection();
    const float areaEnd = projection(area, direction).second;

    for (CCObject* child : *m_camera->getChildren()) {
        child->retain();
        m_objectSnapshot.push_back(static_cast<CCNode*>(child));
    }
    for (CCNode* node : m_objectSnapshot) {
        ZqPObject* object = zqCachedCast<ZqPObject>(node);
        // Background layers scroll with the camera and stay as long as the field.
        if (!object || object->state() == ZqPObject::kStateRemoved ||
            (object->objectType() & ZqPObject::kTypeBackground)) {
            node->release();
            continue;
        }
        const CCRect extent = extentOf(*object);
        // Objects ahead of the view stay: the camera is coming to them.
        if (!area.intersectsRect(extent) && projection(extent, direction).first <= areaEnd) {
            const bool character = object->objectType() & ZqPObject::kTypeCharacter;
            if (!character || object->state() == ZqPObject::kStateDestroyed) {
                // A dying character whose defeated animation never ends it still leaves.
                if (character)
                    object->setState(ZqPObject::kStateRemoved);
                // One kept elsewhere must not go on using the camera as its reference node.
                object->setReferenceNode(nullptr);
                m_camera->removeChild(object);
            } else if (ZqPObjectAsset* asset = dynamic_cast<ZqPObjectAsset*>(object)) {
                // It dies as it would anywhere, so that the fall costs a life.
                asset->requestDestroy();
            }
        }
        node->release();
    }
    m_objectSnapshot.clear();
}
