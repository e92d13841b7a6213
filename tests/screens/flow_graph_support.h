#pragma once

#include "attributes/ZqBaseAttribute.h"
#include "model/ZqModelController.h"
#include "model/scene/ZqModelScreen.h"
#include "model/scene/ZqNode.h"

#include <memory>
#include <string>

// Builds a flow graph in the shared model controller: nodes holding screens with the
// given keys, linked by target ports named like the buttons that follow them.
class FlowGraph {
public:
    FlowGraph() { ZqModelController::shared()->reset(); }
    ~FlowGraph() { ZqModelController::shared()->reset(); }

    template <class Node, class Screen = ZqModelScreen>
    std::shared_ptr<Node> node(const std::string& key)
    {
        std::shared_ptr<Node> node = Node::create();
        std::shared_ptr<Screen> screen = Screen::create();
        screen->m_key->setValue(key, true);
        node->addChild(screen, true);
        ZqModelController::shared()->addModel(node);
        ZqModelController::shared()->addModel(screen);
        return node;
    }
    std::shared_ptr<ZqNodeUIStart> start() { return node<ZqNodeUIStart>("ZqPScreenStart"); }
    std::shared_ptr<ZqNodeUI> menu(const std::string& key) { return node<ZqNodeUI>(key); }
    std::shared_ptr<ZqNodeScene> world(const std::string& key) { return node<ZqNodeScene, ZqModelScreenScene>(key); }

    // A target port of from named portName, linked to the "Load" port of to.
    static void link(ZqBaseNode& from, const std::string& portName, const ZqBaseNode& to)
    {
        ZqBaseAttribute* port = from.findAttribute(portName);
        if (!port) {
            port = new ZqAttribute(portName, &from);
            port->setConnectionType(ZqBaseAttribute::kTarget, true);
        }
        port->connect(to.loadPort(), true);
    }
};
