#pragma once

#include <memory>
#include <string>

class ZqBaseAttribute;
class ZqBaseNode;
class ZqModelScreen;
class ZqNodeScene;
class ZqNodeUI;

// Moves the player between the screens of the flow graph. This part holds the lookups in
// the loaded models that navigation and the buttons use, and the level section at which
// the next game starts. Process-wide; main thread only.
class ZqPScreenNavigator {
public:
    // The instance, created on first call; never null.
    static ZqPScreenNavigator* shared();

    ZqPScreenNavigator(const ZqPScreenNavigator&) = delete;
    ZqPScreenNavigator& operator=(const ZqPScreenNavigator&) = delete;

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
    int nextDestination(int destination) const;
    // The level-section id at which the next game starts; 0 when none.
    int sceneDestination() const { return m_sceneDestination; }
    void setSceneDestination(int destination) { m_sceneDestination = destination; }

private:
    ZqPScreenNavigator() = default;

    int m_sceneDestination = 0;
};
