#include "screens/ZqPScreenNavigator.h"

#include "model/ZqModelController.h"
#include "model/scene/ZqModelLevelSection.h"
#include "model/scene/ZqModelScreen.h"
#include "model/scene/ZqNode.h"
#include "model/GameplayParameters.h"
#include "screens/field/ZqPScreenScene.h"
#include "screens/ZqPScreenUi.h"

#include <ZqLog.h>

#include <algorithm>

using namespace cocos2d;

namespace {

template <class T>
std::shared_ptr<T> nodeWithScreenKey(const std::vector<std::shared_ptr<T>>& nodes, const std::string& key)
{
    for (const std::shared_ptr<T>& node : nodes) {
        std::shared_ptr<ZqModelScreen> screen = node->screen();
        if (screen && screen->key() == key)
            return node;
    }
    return nullptr;
}

// The screen scenes that hold the section as a child.
std::vector<std::shared_ptr<ZqModel>> scenesOf(const ZqModel& section)
{
    std::vector<std::shared_ptr<ZqModel>> scenes = section.parents();
    std::erase_if(scenes, [](const std::shared_ptr<ZqModel>& parent) { return !modelKindCast<ZqModelScreenScene>(parent); });
    return scenes;
}

} // namespace

ZqPScreenNavigator* ZqPScreenNavigator::shared()
{
    static ZqPScreenNavigator navigator;
    return &navigator;
}

ZqPScreenNavigator::ZqPScreenNavigator()
{
    reset();
}

void ZqPScreenNavigator::reset()
{
    m_history.assign(1, kStartScreenKey);
    m_sceneDestination = 0;
    m_fieldEntry = std::string::npos;
    if (m_container)
        m_container->release();
    m_container = nullptr;
}

void ZqPScreenNavigator::dropContainer()
{
    if (m_container)
        m_container->autorelease();
    m_container = nullptr;
}

CCScene* ZqPScreenNavigator::sceneContainer()
{
    if (m_container)
        return m_container;
    const std::string& key = currentKey();
    if (key.empty())
        return nullptr;
    CCScene* container = nullptr;
    if (m_fieldEntry != std::string::npos) {
        std::shared_ptr<ZqNodeScene> world = sceneNodeForKey(m_history[m_fieldEntry]);
        if (ZqPScreenScene* field =
                world ? ZqPScreenScene::create(modelCast<ZqModelScreenScene>(world->screen())) : nullptr) {
            container = CCScene::create();
            field->setTag(0);
            container->addChild(field);
            if (m_history.size() > m_fieldEntry + 1) {
                if (ZqPScreenUi* overlay = ZqPScreenUi::create())
                    container->addChild(overlay, kOverlayZOrder, kOverlayTag);
            }
        }
    } else {
        container = ZqPScreenUi::createScene(key == kStartScreenKey);
    }
    GameplayParameters::shared()->resetSaveCounter();
    if (container) {
        container->retain();
        m_container = container;
    }
    return m_container;
}

ZqPScreenUi* ZqPScreenNavigator::currentUiScreen() const
{
    CCScene* scene = m_container ? m_container : CCDirector::sharedDirector()->getRunningScene();
    if (!scene)
        return nullptr;
    if (auto* menu = dynamic_cast<ZqPScreenUi*>(scene->getChildByTag(0)))
        return menu;
    if (dynamic_cast<ZqPScreenScene*>(scene->getChildByTag(0)))
        return dynamic_cast<ZqPScreenUi*>(scene->getChildByTag(kOverlayTag));
    return nullptr;
}

ZqPScreenScene* ZqPScreenNavigator::currentGameScene() const
{
    if (m_container)
        return dynamic_cast<ZqPScreenScene*>(m_container->getChildByTag(0));
    return dynamic_cast<ZqPScreenScene*>(ZqPScreen::runningScreen());
}

bool ZqPScreenNavigator::pushScreen(const std::string& name, bool lookup)
{
    if (!currentGameScene())
        return false;
    std::shared_ptr<ZqModelScreen> screen = linkedScreen(portForKey(currentKey(), name));
    if (!screen && m_fieldEntry != std::string::npos)
        screen = linkedScreen(portForKey(m_history[m_fieldEntry], name));
    std::string key = screen ? screen->key() : std::string();
    if (!screen && lookup)
        key = name;
    // A world is no screen to show over a field, and a screen the field was entered from
    // is left for: the caller switches to them instead.
    if (key.empty() || !uiNodeForKey(key) || sceneNodeForKey(key))
        return false;
    const auto entered = m_history.begin() + static_cast<std::ptrdiff_t>(std::min(m_fieldEntry, m_history.size()));
    if (std::find(m_history.begin(), entered, key) != entered)
        return false;
    m_history.push_back(key);
    return true;
}

bool ZqPScreenNavigator::showFirstScreenAfterLoading(std::string& why)
{
    const std::string key = firstScreenAfterLoading();
    if (key.empty()) {
        const std::vector<std::shared_ptr<ZqNodeUIStart>> starts =
            ZqModelController::shared()->modelsOfClass<ZqNodeUIStart>();
        why = starts.empty() ? "it has no start node"
                             : "its start node \"" + zqPrintable(starts.front()->name()) + "\" (model " +
                                   std::to_string(starts.front()->id()) + ") leads to no other screen";
        why += ", and no other menu screen is there";
        debugLog("[ZqPScreenNavigator] no screen follows the start screen: %s", why.c_str());
        return false;
    }
    moveTo(key);
    CCScene* container = sceneContainer();
    if (!container) {
        why = "the screen \"" + zqPrintable(key) + "\" that follows it cannot be built";
        return false;
    }
    if (ZqPScreen* running = ZqPScreen::runningScreen())
        running->presentContainer(container);
    else
        CCDirector::sharedDirector()->replaceScene(container);
    return true;
}

const std::string& ZqPScreenNavigator::currentKey() const
{
    static const std::string none;
    return m_history.empty() ? none : m_history.back();
}

std::string ZqPScreenNavigator::resolveScreenKey(const std::string& name, bool lookup) const
{
    // The flow graph stores each link as a port named after the button or observer that
    // follows it, so a name is first a port; a key is the fallback.
    if (!currentKey().empty()) {
        if (std::shared_ptr<ZqModelScreen> screen = linkedScreen(portForKey(currentKey(), name)))
            return screen->key();
    }
    if (lookup && (sceneNodeForKey(name) || uiNodeForKey(name)))
        return name;
    return std::string();
}

std::string ZqPScreenNavigator::overlayKeyOf(const std::string& worldKey) const
{
    std::shared_ptr<ZqNodeScene> world = sceneNodeForKey(worldKey);
    std::shared_ptr<ZqBaseNode> node = world ? linkedNode(world->findAttribute("UI")) : nullptr;
    std::shared_ptr<ZqModelScreen> screen = node ? node->screen() : nullptr;
    if (!screen || !uiNodeForKey(screen->key()) || sceneNodeForKey(screen->key()))
        return std::string();
    return screen->key();
}

bool ZqPScreenNavigator::isScreenPushed() const
{
    return m_fieldEntry != std::string::npos && m_history.size() > fieldFloor() + 1;
}

std::string ZqPScreenNavigator::screenBeforeField() const
{
    if (m_fieldEntry == std::string::npos || m_fieldEntry == 0 || m_history[m_fieldEntry - 1] == kStartScreenKey)
        return std::string();
    return m_history[m_fieldEntry - 1];
}

std::size_t ZqPScreenNavigator::fieldFloor() const
{
    return m_fieldEntry + (overlayKeyOf(m_history[m_fieldEntry]).empty() ? 0 : 1);
}

void ZqPScreenNavigator::moveTo(const std::string& key)
{
    dropContainer();
    auto found = std::find(m_history.begin(), m_history.end(), key);
    if (found != m_history.end()) {
        m_history.erase(found + 1, m_history.end());
    } else {
        // A world not in the history takes the place of the one left and of what was shown
        // over it: kept before the new field, a screen of theirs (a game over both worlds
        // share) would count as one the new field was entered from, and could never be
        // shown over it.
        if (sceneNodeForKey(key)) {
            m_history.erase(std::find_if(m_history.begin(), m_history.end(),
                                         [this](const std::string& entry) { return sceneNodeForKey(entry) != nullptr; }),
                            m_history.end());
        }
        m_history.push_back(key);
    }
    enterWorldAtTop();
}

void ZqPScreenNavigator::enterWorldAtTop()
{
    m_fieldEntry = std::string::npos;
    if (!sceneNodeForKey(currentKey()))
        return;
    m_fieldEntry = m_history.size() - 1;
    const std::string overlay = overlayKeyOf(currentKey());
    if (!overlay.empty())
        m_history.push_back(overlay);
}

bool ZqPScreenNavigator::back()
{
    if (m_fieldEntry != std::string::npos && fieldFloor() > m_fieldEntry) {
        // Over a field with an overlay: pushed screens go, the field stays.
        if (m_history.size() <= fieldFloor() + 1)
            return false;
        m_history.pop_back();
        return true;
    }
    if (m_history.size() < 2 || m_history[m_history.size() - 2] == kStartScreenKey)
        return false;
    m_history.pop_back();
    dropContainer();
    enterWorldAtTop();
    return true;
}

bool ZqPScreenNavigator::switchToScreen(const std::string& name, bool lookup, int /*transition*/)
{
    const std::string key = resolveScreenKey(name, lookup);
    if (key.empty())
        return false;
    moveTo(key);
    return true;
}

int ZqPScreenNavigator::backTo(const std::string& worldTarget, const std::string& screenTarget, int /*flag*/)
{
    if (!worldTarget.empty() && m_fieldEntry != std::string::npos && m_history[m_fieldEntry] == worldTarget) {
        std::size_t keep = fieldFloor() + 1;
        for (std::size_t i = keep; i < m_history.size(); ++i) {
            if (m_history[i] == screenTarget)
                keep = i + 1;
        }
        m_history.resize(keep);
        return 2;
    }
    if (!worldTarget.empty()) {
        if (!sceneNodeForKey(worldTarget))
            return 0;
        moveTo(worldTarget);
        return 1;
    }
    if (screenTarget.empty() || !uiNodeForKey(screenTarget))
        return 0;
    moveTo(screenTarget);
    return 1;
}

std::string ZqPScreenNavigator::firstScreenAfterLoading() const
{
    ZqModelController* controller = ZqModelController::shared();
    for (const std::shared_ptr<ZqNodeUIStart>& start : controller->modelsOfClass<ZqNodeUIStart>()) {
        std::shared_ptr<ZqModelScreen> screen = linkedScreen(start->findAttribute("Load"));
        if (screen && screen->key() != kStartScreenKey)
            return screen->key();
    }
    for (const std::shared_ptr<ZqNodeUI>& node : controller->modelsOfKind<ZqNodeUI>()) {
        std::shared_ptr<ZqModelScreen> screen = node->screen();
        if (node->typeId() != ZqNodeUIStart::staticTypeId() && screen && screen->key() != kStartScreenKey)
            return screen->key();
    }
    return std::string();
}

std::shared_ptr<ZqNodeScene> ZqPScreenNavigator::sceneNodeForKey(const std::string& key) const
{
    return nodeWithScreenKey(ZqModelController::shared()->modelsOfClass<ZqNodeScene>(), key);
}

std::shared_ptr<ZqNodeUI> ZqPScreenNavigator::uiNodeForKey(const std::string& key) const
{
    return nodeWithScreenKey(ZqModelController::shared()->modelsOfKind<ZqNodeUI>(), key);
}

ZqBaseAttribute* ZqPScreenNavigator::portForKey(const std::string& key, const std::string& portName) const
{
    std::shared_ptr<ZqBaseNode> node = sceneNodeForKey(key);
    if (!node)
        node = uiNodeForKey(key);
    return node ? node->findAttribute(portName) : nullptr;
}

std::shared_ptr<ZqBaseNode> ZqPScreenNavigator::linkedNode(const ZqBaseAttribute* targetPort)
{
    const ZqBaseAttribute* source = targetPort ? targetPort->connectedSource() : nullptr;
    ZqModel* owner = ZqModel::ownerOf(source);
    if (!owner)
        return nullptr;
    return modelKindCast<ZqNode>(owner->sharedFromThis());
}

std::shared_ptr<ZqModelScreen> ZqPScreenNavigator::linkedScreen(const ZqBaseAttribute* targetPort)
{
    std::shared_ptr<ZqBaseNode> node = linkedNode(targetPort);
    return node ? node->screen() : nullptr;
}

int ZqPScreenNavigator::nextDestination(int destination) const
{
    if (destination <= 0)
        return 0;
    const std::vector<std::shared_ptr<ZqModelLevelSection>> sections =
        ZqModelController::shared()->modelsOfClass<ZqModelLevelSection>();
    auto current = std::find_if(sections.begin(), sections.end(), [&](const std::shared_ptr<ZqModelLevelSection>& section) {
        return section->id() == static_cast<unsigned>(destination);
    });
    if (current == sections.end())
        return 0;
    const std::vector<std::shared_ptr<ZqModel>> scenes = scenesOf(**current);
    for (auto next = current + 1; next != sections.end(); ++next) {
        for (const std::shared_ptr<ZqModel>& scene : scenes) {
            if ((*next)->hasParent(scene.get()))
                return static_cast<int>((*next)->id());
        }
    }
    return 0;
}

