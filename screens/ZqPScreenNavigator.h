#pragma once

#include "model/ZqGameQuestions.h"

#include <memory>
#include <string>
#include <vector>

class ZqBaseAttribute;
class ZqBaseNode;
class ZqModelScreen;
class ZqNodeScene;
class ZqNodeUI;
class ZqPScreenScene;
class ZqPScreenUi;
namespace cocos2d {
class CCScene;
}

// Moves the player between the screens of the flow graph: the history of screen keys
// from the start screen, the lookups in the loaded models that navigation and the
// buttons use, and the level section at which the next game starts, which it also
// answers to the models. Process-wide; main thread only.
class ZqPScreenNavigator : public ZqNavigationQuestions {
public:
    // The key of the start screen, which shows the loading UI.
    static constexpr const char* kStartScreenKey = "ZqPScreenStart";
    // The overlay over a field in its container.
    static constexpr int kOverlayTag = 1;
    static constexpr int kOverlayZOrder = 10000;

    // The instance, created on first call; never null.
    static ZqPScreenNavigator* shared();

    ZqPScreenNavigator(const ZqPScreenNavigator&) = delete;
    ZqPScreenNavigator& operator=(const ZqPScreenNavigator&) = delete;

    // The screen keys shown so far, the start screen first and the current one last.
    const std::vector<std::string>& history() const { return m_history; }
    // The key of the current screen; empty when the history is empty.
    const std::string& currentKey() const;

    // The key of the screen a name leads to from the current screen: the name as a port
    // of the current screen's flow-graph node, followed through its link to the linked
    // node's screen; with lookup set, else the name as the key of a node's screen. Empty
    // when neither resolves.
    std::string resolveScreenKey(const std::string& name, bool lookup) const;

    // One entry back. False at the first entry, and when the entry before is the start
    // screen: going back there would load the game again. Over a field with an overlay it
    // pops a pushed screen and keeps the container; false at the overlay's own key.
    bool back();
    // Makes the resolved key current: the history is cut back to it when it holds it
    // already, else the key is appended; a world's key is followed by its overlay's key
    // (the interface node its "UI" port links to), when it has one. False when the name
    // does not resolve.
    bool switchToScreen(const std::string& name, bool lookup, int transition);
    // Moves the history to a back button's targets (ZqBaseModelObjectButton::backToWorld,
    // backToScreen). With no world target and a screen target that names an interface
    // screen: cut back to it or appended, 1 (the new container is to be presented).
    // With the running field's world as world target: the pushed screens go (back to the
    // screen target when it is one of them), the field stays, 2 (its overlay is to be
    // rebuilt). With another world's key as world target: switched to that world, 1.
    // Otherwise 0, nothing changed.
    int backTo(const std::string& worldTarget, const std::string& screenTarget, int flag);

    // The move past the start screen once the game is loaded: the screen the start node's
    // "Load" port links to, else the first other interface node's screen. Its key
    // follows the start screen in the history. Empty when the game has no such screen.
    std::string firstScreenAfterLoading() const;

    // The current screen's container, a CCScene holding the screen under tag 0, built
    // when missing: a menu through ZqPScreenUi::createScene (the loading UI exactly on the
    // start screen), a world with its game field under tag 0 and its overlay, the screen
    // of the current key, under tag kOverlayTag at z kOverlayZOrder. Every build resets the gameplay
    // parameters' save counter. Kept until the history moves; null when the current key
    // names no screen that can be built.
    cocos2d::CCScene* sceneContainer();
    // The interface screen shown: the container's menu screen or the overlay over its
    // field (without a container, the running scene's); null otherwise.
    ZqPScreenUi* currentUiScreen() const;
    // The game field of the container (without a container, of the running scene); null
    // otherwise.
    ZqPScreenScene* currentGameScene() const;
    // Whether a screen is pushed over the field's overlay.
    bool isScreenPushed() const;
    // The key of the screen the current field's world was entered from (the history entry
    // before the world's); empty without a field, or when it is the start screen.
    std::string screenBeforeField() const;
    // Shows a screen over the running game field: its key appended. The name is a port of
    // the current key's node, then of the world node, then (with lookup) a key; it must
    // lead to an interface screen that is not in the history before the field. False
    // without a field (over menus every link
    // switches) and when the name does not resolve so.
    bool pushScreen(const std::string& name, bool lookup);
    // The move past the start screen once the game is loaded (the application's
    // game-ready hook): the screen of firstScreenAfterLoading becomes current and its
    // container is presented. False when no screen follows or none can be built, with
    // why in words a player can pass on (the start node that leads nowhere, by name and id).
    bool showFirstScreenAfterLoading(std::string& why);

    // The navigator as the process starts: the start screen alone in the history, no
    // container, no destination. Tests call it between games.
    void reset();

    // The first registered world node whose screen's key is key (exact bytes); empty when none.
    std::shared_ptr<ZqNodeScene> sceneNodeForKey(const std::string& key) const;
    // The same among the interface nodes, start nodes included; empty when none.
    std::shared_ptr<ZqNodeUI> uiNodeForKey(const std::string& key) const;
    // The port of that name of the node whose screen has key (world nodes first); null
    // when there is no such node or port.
    ZqBaseAttribute* portForKey(const std::string& key, const std::string& portName) const;
    // The node that owns the source port a target port is linked to; empty for a null or
    // unlinked port, or a source owned by no node.
    static std::shared_ptr<ZqBaseNode> linkedNode(const ZqBaseAttribute* targetPort);
    // That node's screen; empty when either is missing.
    static std::shared_ptr<ZqModelScreen> linkedScreen(const ZqBaseAttribute* targetPort);

    // The id of the next level section, in the controller's order, of the screen scene
    // that holds the section of id destination; 0 when there is none or destination is 0
    // or names no section.
    int nextDestination(int destination) const override;
    // The level-section id at which the next game starts; 0 when none.
    int sceneDestination() const override { return m_sceneDestination; }
    void setSceneDestination(int destination) { m_sceneDestination = destination; }

private:
    ZqPScreenNavigator();

    // The overlay's key of the world of key: the screen of the interface node its "UI"
    // port links to; empty when none.
    std::string overlayKeyOf(const std::string& worldKey) const;
    // The lowest history index a back over the field reaches: the overlay's entry, else
    // the world's.
    std::size_t fieldFloor() const;

    // When the current key is a world's: it becomes the field's entry and its overlay's
    // key follows it; otherwise no field is current.
    void enterWorldAtTop();
    // Cuts the history back to key when it holds it, else appends it; the container goes.
    void moveTo(const std::string& key);
    // The container goes at the end of the frame: the screen asking for the move may be
    // inside it.
    void dropContainer();

    std::vector<std::string> m_history;
    // Retained.
    cocos2d::CCScene* m_container = nullptr;
    int m_sceneDestination = 0;
    // The history index of the world whose field the container shows or is to show;
    // npos when the current screen is no field.
    std::size_t m_fieldEntry = std::string::npos;
};
