#pragma once

#include "attributes/ZqAttributePoint.h"
#include "model/ZqModelRegistry.h"

#include <memory>
#include <msgpack/object_fwd.hpp>
#include <string>

class ZqModelScreen;

// A node of the screen flow graph: it holds its screen as a child and has ports,
// value-less attributes linked across nodes, and a place on the editor's canvas ("Position").
// "Load" is the source port that other nodes' target ports link to; the editor adds one
// target port per outgoing link, which the connections file brings back. The node files
// its attribute count as "attributesCount" so that a reader knows ports were added.
class ZqBaseNode : public ZqModel {
public:
    // "Position" at (0, 0) and the source port "Load".
    explicit ZqBaseNode(const std::string& name);
    // Clones every attribute, ports and their links to sources included; loadPort() is the
    // clone of the source's.
    ZqBaseNode(const ZqBaseNode& source);

    void collectKeys() const override;
    void packConnections(MessagePackMap& map) const override;
    // When "attributesCount" differs from the attribute count, every entry naming no
    // attribute (other than "id", "attributesCount", "children") whose map holds a
    // non-zero "connectedModelId" becomes a new target port linked to that source. More
    // attributes than the count are logged (a port's name damaged). A key code the key
    // dictionary does not know throws std::out_of_range, and an entry that is not a map
    // msgpack::type_error: malformed data, which the loader reports.
    void unpackConnections(const MessagePackMap& map) override;
    void loadConnectionsFromDictionary(cocos2d::CCDictionary* dictionary) override;
    cocos2d::CCDictionary* saveConnectionsToDictionary() const override;
    // Whether an entry of a connections map stores a port without a link, which reading
    // makes no port of: a map that is empty or whose "connectedModelId" is 0 or absent.
    static bool isUnlinkedPort(const msgpack::object& entry);

    // The port a game field's pause follows when its button's own name leads nowhere: the
    // one port name that no model needs to bear.
    static constexpr const char* kPausePortName = "Pause";

    // Whether a port needs no link: true for every port that is not a target.
    virtual bool isTargetExempt(const ZqBaseAttribute* attribute) const;

    // The first child that is a screen (a scene too); empty when none. Both names are in
    // use: screenModel by the model layer, screen by navigation.
    std::shared_ptr<ZqModelScreen> screenModel() const;
    std::shared_ptr<ZqModelScreen> screen() const { return screenModel(); }

    const cocos2d::CCPoint& position() const { return m_position->value(); }
    // The first "Load" port (on a start node the one renamed "---").
    ZqBaseAttribute* loadPort() const { return m_load; }

private:
    // A new target port named name, linked by its connection map.
    void addTargetPort(const std::string& name);

    ZqAttributePoint* m_position = nullptr;
    ZqBaseAttribute* m_load = nullptr;
};

class ZqNode : public ZqBaseNode {
public:
    using ZqBaseNode::ZqBaseNode;
    ZQ_MODEL_IDENTITY(ZqNode, ZqModel)
};

// A game world: its screen is a screen scene, and its "UI" target port links to the
// interface node shown over the game field. An empty name becomes "New World <n>".
class ZqNodeScene : public ZqNode {
public:
    explicit ZqNodeScene(const std::string& name);
    ZqNodeScene(const ZqNodeScene& source) = default;
    ZQ_MODEL_IDENTITY(ZqNodeScene, ZqNode)
    ZQ_MODEL_FACTORY(ZqNodeScene)

    // "UI" needs no link either.
    bool isTargetExempt(const ZqBaseAttribute* attribute) const override;
};

// A menu or interface screen. An empty name becomes "New UI <n>".
class ZqNodeUI : public ZqNode {
public:
    explicit ZqNodeUI(const std::string& name);
    ZqNodeUI(const ZqNodeUI& source) = default;
    ZQ_MODEL_IDENTITY(ZqNodeUI, ZqNode)
    ZQ_MODEL_FACTORY(ZqNodeUI)
};

// The first screen of the game: its incoming "Load" becomes the unconnected "---", and a
// new target port "Load" leads to the next screen.
class ZqNodeUIStart : public ZqNodeUI {
public:
    explicit ZqNodeUIStart(const std::string& name);
    ZqNodeUIStart(const ZqNodeUIStart& source) = default;
    ZQ_MODEL_IDENTITY(ZqNodeUIStart, ZqNodeUI)
    ZQ_MODEL_FACTORY(ZqNodeUIStart)
};
