#include "screens/field/ZqFieldSections.h"

#include "screens/field/ZqPScreenScene.h"

#include "ZqCachedCast.h"
#include "ZqLog.h"
#include "ZqRandom.h"
#include "model/GameplayParameters.h"
#include "model/scene/ZqModelAssets.h"
#include "model/scene/ZqModelLevelSection.h"
#include "model/scene/ZqModelObject.h"
#include "model/scene/ZqModelScreen.h"
#include "objects/assets/ZqPObjectAsset.h"
#include "objects/ZqPhysicsBody.h"
#include "objects/ZqPhysicsWorld.h"
#include "screens/ZqPScreenNavigator.h"

#include <algorithm>
#include <optional>

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

bool isCharacterModel(const std::shared_ptr<ZqModelObject>& model)
{
    return modelCast<ZqModelObjectAssetCharacter>(model) != nullptr;
}

} // namespace

void ZqFieldSections::chooseStart()
{
    const std::shared_ptr<ZqModelScreenScene>& scene = m_field.sceneModel();
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

void ZqFieldSections::makeSceneObjects()
{
    for (const std::shared_ptr<ZqModelObject>& object : m_field.sceneModel()->ZqBaseModelScreen::objectModels())
        makeObject(object, CCPoint(), 0, true);
}

void ZqFieldSections::startBuild()
{
    makeSceneObjects();
    m_nextDistance = m_startSection ? std::max(add(m_startSection, 0.0f, m_destination), 0.0f) : 0.0f;
}

float ZqFieldSections::add(const std::shared_ptr<ZqModelLevelSection>& section, float distance, int creationIndex)
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
    m_field.linkers().queue(*section, batch);
    m_field.scenery().createGroupsFor(*section);
    return section->width();
}

void ZqFieldSections::append(float reach)
{
    if (!m_endless)
        return;
    for (int added = 0; added < kSectionsPerFrame && m_nextDistance < reach; ++added) {
        const std::shared_ptr<ZqModelLevelSection> section = chooseSection(m_nextDistance);
        if (!section) {
            // Once a stall: a scene whose sections never fit again would log every frame.
            if (!m_stalled)
                debugLog("[ZqPScreenScene] no level section fits at %.1f", m_nextDistance);
            m_stalled = true;
            return;
        }
        m_stalled = false;
        m_nextDistance += add(section, m_nextDistance, static_cast<int>(section->id()));
    }
}

std::shared_ptr<ZqModelLevelSection> ZqFieldSections::chooseSection(float distance)
{
    // A width of 0 or less would never move the next distance on: never a candidate.
    std::vector<std::shared_ptr<ZqModelLevelSection>> candidates;
    bool solo = false;
    for (const std::shared_ptr<ZqModelLevelSection>& section : m_field.sceneModel()->levelSections()) {
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

ZqPObject* ZqFieldSections::makeObject(const std::shared_ptr<ZqModelObject>& model, const CCPoint& offset,
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
    object->setReferenceNode(m_field.camera());
    object->setSpawnSource(model->hasSpawner());
    object->setMovementActive(true);
    m_field.camera()->addChild(object, model->zDepth());
    m_field.scenery().registerIfMirror(object);
    if (asset)
        asset->createBody(m_field.world(), lazy);
    return object;
}

void ZqFieldSections::createQueued()
{
    ZqFieldLinkers& linkers = m_field.linkers();
    for (std::size_t made = 0; made < kQueuedPerFrame && !m_queue.empty(); ++made) {
        const Queued queued = std::move(m_queue.front());
        m_queue.pop_front();
        linkers.linkQueued(queued.batch, queued.model,
                           makeObject(queued.model, queued.offset, queued.creationIndex, false));
    }
    // The queue runs in order: once a batch has left it (or the queue was emptied), the
    // objects its linkers still wait for are not coming.
    linkers.dropBefore(m_queue.empty() ? m_lastBatch + 1 : m_queue.front().batch);
}

void ZqFieldSections::clear()
{
    m_queue.clear();
    m_nextDistance = 0.0f;
    m_stalled = false;
}

void ZqFieldSections::buildAt(const std::shared_ptr<ZqModelLevelSection>& section, float sectionDistance,
                              const CCPoint& position, const std::vector<ZqPObject*>& replaced)
{
    makeSceneObjects();
    // The start section's characters play on from the checkpoint; its other objects would
    // lie behind the camera.
    auto replacedNext = replaced.begin();
    for (const std::shared_ptr<ZqModelObject>& model : m_startSection->objects()) {
        if (!isCharacterModel(model))
            continue;
        ZqPObject* character = makeObject(model, position - model->position(0.0f, 0), m_destination, false);
        if (character && replacedNext != replaced.end())
            character->reapplyComponentStates(**replacedNext++);
    }
    const std::size_t queuedBefore = m_queue.size();
    const int index = section == m_startSection ? m_destination : static_cast<int>(section->id());
    const float width = add(section, sectionDistance, index);
    m_nextDistance = sectionDistance + std::max(width, 0.0f);
    // Level mode: the checkpoint's section is the start section, whose characters are made.
    if (section == m_startSection) {
        m_queue.erase(std::remove_if(m_queue.begin() + static_cast<std::ptrdiff_t>(queuedBefore), m_queue.end(),
                                     [](const Queued& queued) { return isCharacterModel(queued.model); }),
                      m_queue.end());
    }
}

std::shared_ptr<ZqModelLevelSection> ZqFieldSections::sectionOfIndex(int index) const
{
    if (index == m_destination)
        return m_startSection;
    for (const std::shared_ptr<ZqModelLevelSection>& section : m_field.sceneModel()->levelSections()) {
        if (index > 0 && section->id() == static_cast<unsigned>(index))
            return section;
    }
    return nullptr;
}

float ZqFieldSections::placementOf(int index, float distance) const
{
    // The section model keeps only its latest placement, which may lie ahead of this one.
    std::optional<float> before, after;
    for (const auto& [placedIndex, placed] : m_placements) {
        if (placedIndex != index)
            continue;
        if (placed <= distance)
            before = std::max(before.value_or(placed), placed);
        else
            after = std::min(after.value_or(placed), placed);
    }
    return before ? *before : after.value_or(0.0f);
}

void ZqFieldSections::removeOutOfView()
{
    CCNode* camera = m_field.camera();
    // The view widened as the objects' own visibility test has it, in the camera's space.
    const CCRect area = ZqPObject::widenedVisibleArea(*camera);
    const CCPoint direction = GameplayParameters::shared()->gameplayDirection();
    const float areaEnd = projection(area, direction).second;

    for (CCObject* child : *camera->getChildren()) {
        child->retain();
        m_snapshot.push_back(static_cast<CCNode*>(child));
    }
    for (CCNode* node : m_snapshot) {
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
                camera->removeChild(object);
            } else if (ZqPObjectAsset* asset = dynamic_cast<ZqPObjectAsset*>(object)) {
                // It dies as it would anywhere, so that the fall costs a life.
                asset->requestDestroy();
            }
        }
        node->release();
    }
    m_snapshot.clear();
}
