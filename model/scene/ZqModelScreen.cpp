#include "model/scene/ZqModelScreen.h"

#include "model/ZqGameQuestions.h"
#include "model/ZqModelController.h"
#include "model/objects/ZqModelComponentsBehaviour.h"
#include "model/objects/ZqModelObjectsLogic.h"
#include "model/scene/ZqModelAssets.h"
#include "model/scene/ZqModelLevelSection.h"
#include "model/scene/ZqModelMedia.h"
#include "model/scene/ZqModelObject.h"

#include <ZqLog.h>
#include <ZqNumeric.h>

#include <algorithm>

ZqBaseModelScreen::ZqBaseModelScreen(const std::string& name)
    : ZqModelCompound(name)
{
    ZQ_ATTRIBUTE_CREATE(ZQ_MODEL_SCREEN_ATTRIBUTES)
}

ZqBaseModelScreen::ZqBaseModelScreen(const ZqBaseModelScreen& source)
    : ZqModelCompound(source)
    , bannerCounter(source.bannerCounter)
    , interstitialCounter(source.interstitialCounter)
{
    ZQ_ATTRIBUTE_REBIND(ZQ_MODEL_SCREEN_ATTRIBUTES)
}

void ZqBaseModelScreen::childAdded(const std::shared_ptr<ZqModel>& child)
{
    ZqModelCompound::childAdded(child);
    m_objectModels.add(child);
}

void ZqBaseModelScreen::childRemoved(const std::shared_ptr<ZqModel>& child)
{
    ZqModelCompound::childRemoved(child);
    m_objectModels.remove(child.get());
}

void ZqBaseModelScreen::childrenCleared()
{
    ZqModelCompound::childrenCleared();
    m_objectModels.clear();
}

bool ZqBaseModelScreen::containsModel(const std::shared_ptr<ZqModel>& model) const
{
    return hasChild(model.get());
}

std::vector<std::shared_ptr<ZqModelObject>> ZqBaseModelScreen::objectModels() const
{
    return m_objectModels.list();
}

int ZqBaseModelScreen::adBannerFrequency() const
{
    return zqSaturatingInt(m_adBannerFrequency->value());
}

int ZqBaseModelScreen::adInterstitialsFrequency() const
{
    return zqSaturatingInt(m_adInterstitialsFrequency->value());
}

std::shared_ptr<ZqModelSound> ZqBaseModelScreen::music() const
{
    return m_music->value();
}

void ZqBaseModelScreen::setMusic(const std::shared_ptr<ZqModelSound>& sound)
{
    m_music->setValue(sound);
}

bool ZqBaseModelScreen::shouldShowBanner() const
{
    if (zqProgress().adsRemoved())
        return false;
    // Widened: a counter at INT_MAX must not overflow.
    if (static_cast<long long>(adBannerFrequency()) > static_cast<long long>(bannerCounter) + 1)
        return false;
    if (adBanner() == "kNoAds")
        return false;
    debugLog("[ZqBaseModelScreen] banner will show for: %s", key().c_str());
    return true;
}

std::shared_ptr<ZqModelScreen> ZqBaseModelScreen::findScreenContaining(const std::shared_ptr<ZqModel>& model)
{
    for (const std::shared_ptr<ZqModelScreen>& screen : ZqModelController::shared()->modelsOfClass<ZqModelScreen>()) {
        if (screen->hasChild(model.get()))
            return screen;
    }
    return nullptr;
}

std::shared_ptr<ZqModelScreen> ZqModelScreen::findOrCreateWithKey(const std::string& key)
{
    ZqModelController* controller = ZqModelController::shared();
    for (const std::shared_ptr<ZqModelScreen>& screen : controller->modelsOfClass<ZqModelScreen>()) {
        if (screen->key() == key)
            return screen;
    }
    std::shared_ptr<ZqModelScreen> screen = create();
    screen->m_key->setValue(key, true);
    controller->addModel(screen, -1);
    return screen;
}

ZqBaseModelScreenScene::ZqBaseModelScreenScene(const std::string& name)
    : ZqModelScreen(name)
{
    ZQ_ATTRIBUTE_CREATE(ZQ_MODEL_SCREEN_SCENE_ATTRIBUTES)
}

ZqBaseModelScreenScene::ZqBaseModelScreenScene(const ZqBaseModelScreenScene& source)
    : ZqModelScreen(source)
{
    ZQ_ATTRIBUTE_REBIND(ZQ_MODEL_SCREEN_SCENE_ATTRIBUTES)
}

void ZqBaseModelScreenScene::unpackConnections(const MessagePackMap& map)
{
    ZqModelScreen::unpackConnections(map);
    linkFirstComponents();
}

void ZqBaseModelScreenScene::childrenLinked()
{
    linkFirstComponents();
}

void ZqBaseModelScreenScene::loadConnectionsFromDictionary(cocos2d::CCDictionary* dictionary)
{
    ZqModelScreen::loadConnectionsFromDictionary(dictionary);
    linkFirstComponents();
}

void ZqBaseModelScreenScene::copyChildrenFrom(const ZqModel& source, bool deep, bool flag, bool silent)
{
    ZqModelScreen::copyChildrenFrom(source, deep, flag, silent);
    if (deep)
        shareInitCharacters();
    // The hooks leave the last added component in force; a loaded scene uses the first.
    linkFirstComponents();
}

void ZqBaseModelScreenScene::childAdded(const std::shared_ptr<ZqModel>& child)
{
    ZqModelScreen::childAdded(child);
    if (m_levelSections.add(child))
        return;
    if (std::shared_ptr<ZqModelComponentForcedMovement> forced = modelCast<ZqModelComponentForcedMovement>(child))
        m_forcedMovement = std::move(forced);
    else if (std::shared_ptr<ZqModelComponentDeletionThreshold> threshold = modelCast<ZqModelComponentDeletionThreshold>(child))
        m_deletionThreshold = std::move(threshold);
}

void ZqBaseModelScreenScene::childRemoved(const std::shared_ptr<ZqModel>& child)
{
    ZqModelScreen::childRemoved(child);
    if (m_levelSections.remove(child.get()))
        return;
    if (child.get() == m_forcedMovement.get())
        m_forcedMovement.reset();
    else if (child.get() == m_deletionThreshold.get())
        m_deletionThreshold.reset();
}

void ZqBaseModelScreenScene::childrenCleared()
{
    ZqModelScreen::childrenCleared();
    m_levelSections.clear();
    m_forcedMovement.reset();
    m_deletionThreshold.reset();
}

bool ZqBaseModelScreenScene::containsModel(const std::shared_ptr<ZqModel>& model) const
{
    if (ZqModelScreen::containsModel(model))
        return true;
    return std::any_of(m_levelSections.begin(), m_levelSections.end(),
                       [&](const std::shared_ptr<ZqModelLevelSection>& section) { return section->hasChild(model.get()); });
}

std::vector<std::shared_ptr<ZqModelObject>> ZqBaseModelScreenScene::objectModels() const
{
    std::vector<std::shared_ptr<ZqModelObject>> objects = ZqModelScreen::objectModels();
    for (const std::shared_ptr<ZqModelLevelSection>& section : m_levelSections)
        objects.insert(objects.end(), section->objects().begin(), section->objects().end());
    return objects;
}

float ZqBaseModelScreenScene::gameSpeedMin() const
{
    return m_forcedMovement ? m_forcedMovement->forceMin() : m_gameSpeedMin->value();
}

float ZqBaseModelScreenScene::gameSpeedMax() const
{
    return m_forcedMovement ? m_forcedMovement->forceMax() : m_gameSpeedMax->value();
}

float ZqBaseModelScreenScene::speedIncrease() const
{
    return m_forcedMovement ? m_forcedMovement->forceIncrease() : m_speedIncrease->value();
}

float ZqBaseModelScreenScene::backDeletionThreshold() const
{
    return m_deletionThreshold ? m_deletionThreshold->backDeletionThreshold() : m_backDeletionThreshold->value();
}

float ZqBaseModelScreenScene::sidesDeletionThreshold() const
{
    return m_deletionThreshold ? m_deletionThreshold->sidesDeletionThreshold() : m_sidesDeletionThreshold->value();
}

int ZqBaseModelScreenScene::objectFrameState(unsigned index) const
{
    const ZqAttributeFrameEdgeState* states[] = {m_objectFrameState1, m_objectFrameState2, m_objectFrameState3,
                                                 m_objectFrameState4};
    return index < 4 ? static_cast<int>(states[index]->value()) : 0;
}

std::shared_ptr<ZqModelLevelSection> ZqBaseModelScreenScene::initSection() const
{
    for (const std::shared_ptr<ZqModelLevelSection>& section : m_levelSections) {
        if (section->isInitSection())
            return section;
    }
    return nullptr;
}

void ZqBaseModelScreenScene::linkFirstComponents()
{
    m_forcedMovement = firstChildOfClass<ZqModelComponentForcedMovement>();
    m_deletionThreshold = firstChildOfClass<ZqModelComponentDeletionThreshold>();
}

void ZqBaseModelScreenScene::shareInitCharacters()
{
    // Without an init section there is nothing to share: the groups keep their own copies.
    const std::shared_ptr<ZqModelLevelSection> init = initSection();
    if (!init)
        return;
    const std::vector<std::shared_ptr<ZqModelObjectAssetCharacter>> initCharacters =
        init->childrenOfClass<ZqModelObjectAssetCharacter>();
    for (const std::shared_ptr<ZqModelLevelSection>& section : m_levelSections) {
        if (section == init)
            continue;
        for (const std::shared_ptr<ZqModelObjectGroup>& group : section->childrenOfClass<ZqModelObjectGroup>()) {
            // A snapshot: the loop replaces entries of the list it walks.
            for (const std::shared_ptr<ZqModelObjectAssetCharacter>& character :
                 group->childrenOfClass<ZqModelObjectAssetCharacter>()) {
                auto shared = std::find_if(initCharacters.begin(), initCharacters.end(),
                                           [&](const std::shared_ptr<ZqModelObjectAssetCharacter>& candidate) {
                                               return candidate->zDepth() == character->zDepth();
                                           });
                if (shared == initCharacters.end())
                    continue;
                group->insertChild(*shared, group->indexOfChild(character.get()), true);
                group->removeChild(character, true);
            }
        }
    }
}

std::shared_ptr<ZqModelScreenScene> ZqModelScreenScene::modelForKey(const std::string& key)
{
    ZqModelController* controller = ZqModelController::shared();
    for (const std::shared_ptr<ZqModelScreenScene>& scene : controller->modelsOfClass<ZqModelScreenScene>()) {
        if (scene->key() == key)
            return scene;
    }
    std::shared_ptr<ZqModelScreenScene> scene = create();
    scene->m_key->setValue(key, true);
    controller->addModel(scene, -1);
    return scene;
}
