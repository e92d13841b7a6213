#include "model/scene/ZqNode.h"

#include "attributes/KeyDictionary.h"
#include "attributes/MessagePackMap.h"
#include "attributes/ZqDataKeys.h"
#include "attributes/ZqNonEmptyText.h"
#include "model/ZqModelController.h"
#include "model/scene/ZqModelScreen.h"
#include "cocos2d.h"

#include <ZqLog.h>

using namespace cocos2d;

namespace {

// "<prefix><n>" for the smallest n >= 1 that no registered model of exactly class T bears.
template <class T>
std::string defaultNodeName(const std::string& name, const char* prefix)
{
    if (!name.empty())
        return name;
    const std::vector<std::shared_ptr<T>> nodes = ZqModelController::shared()->modelsOfClass<T>();
    for (unsigned n = 1;; ++n) {
        const std::string candidate = prefix + std::to_string(n);
        bool taken = false;
        for (const std::shared_ptr<T>& node : nodes)
            taken = taken || node->name() == candidate;
        if (!taken)
            return candidate;
    }
}

// A value-less port with the given connection kind, owned by the model.
ZqBaseAttribute* addPort(ZqModel* owner, const std::string& name, ZqBaseAttribute::ConnectionType kind)
{
    auto* port = new ZqAttribute(name, owner);
    port->setConnectionType(kind, true);
    return port;
}

} // namespace

ZqBaseNode::ZqBaseNode(const std::string& name)
    : ZqModel(name)
    , m_position(new ZqAttributePoint("Position", this))
    , m_load(addPort(this, "Load", ZqBaseAttribute::kSource))
{
}

ZqBaseNode::ZqBaseNode(const ZqBaseNode& source)
    : ZqModel(source)
    , m_position(zqRebindAttribute<ZqAttributePoint>(*this, "Position"))
{
    // The clone of the source's own port, found by position: on a start node the port
    // named "Load" is the later target port, not the renamed "---".
    const int index = source.indexOfAttribute(source.m_load);
    m_load = index >= 0 ? attributes()[static_cast<std::size_t>(index)] : nullptr;
}

void ZqBaseNode::collectKeys() const
{
    ZqModel::collectKeys();
    keyNameSet().insert("attributesCount");
}

void ZqBaseNode::packConnections(MessagePackMap& map) const
{
    ZqModel::packConnections(map);
    map.setUInt("attributesCount", static_cast<uint32_t>(attributes().size()));
}

void ZqBaseNode::unpackConnections(const MessagePackMap& map)
{
    uint32_t stored = 0;
    const bool counted = map.getUInt("attributesCount", stored);
    if (stored != attributes().size()) {
        for (const auto& [code, object] : map.entries()) {
            const std::string& name = keyName(code);
            if (findAttribute(name) || name == "id" || name == "attributesCount" || name == "children")
                continue;
            const MessagePackMap link = MessagePackMap::fromObject(object);
            if (isUnlinkedPort(object))
                continue;
            // A source id that is no 32-bit unsigned throws.
            uint32_t sourceId = 0;
            link.getUInt(kConnectedModelIdKey, sourceId);
            addPort(this, name, ZqBaseAttribute::kTarget)->unpackConnections(link);
        }
        // The count was written with the ports, and a port without a link (an entry with no
        // source, or none) is not made again: fewer is a valid node. More is a port the
        // data names under another name, its key damaged.
        if (counted && stored < attributes().size())
            debugLog("[ZqModelController] model %u (%s) has %zu attributes with its ports, its links count %u - the "
                     "count or a port's name is damaged",
                     id(), className(), attributes().size(), stored);
    }
    ZqModel::unpackConnections(map);
}

bool ZqBaseNode::isUnlinkedPort(const msgpack::object& entry)
{
    if (entry.type != msgpack::type::MAP)
        return false;
    const int32_t code = kConnectedModelIdKey.codeOrDefault();
    // The first entry of a code is the one read.
    for (uint32_t i = 0; i < entry.via.map.size; ++i) {
        const msgpack::object_kv& element = entry.via.map.ptr[i];
        if (element.key.type == msgpack::type::POSITIVE_INTEGER && code >= 0 &&
            element.key.via.u64 == static_cast<uint64_t>(code))
            return element.val.type == msgpack::type::POSITIVE_INTEGER && element.val.via.u64 == 0;
    }
    return true;
}

void ZqBaseNode::loadConnectionsFromDictionary(CCDictionary* dictionary)
{
    const unsigned stored = dictionary->valueForKey("attributesCount")->uintValue();
    if (stored != attributes().size()) {
        for (CCObject* element : *dictionary->allKeys()) {
            auto* key = dynamic_cast<CCString*>(element);
            if (!key)
                break;
            const std::string name = key->getCString();
            auto* link = dynamic_cast<CCDictionary*>(dictionary->objectForKey(name));
            if (findAttribute(name) || !zqNonEmptyText(link, "connectedModelId"))
                continue;
            addPort(this, name, ZqBaseAttribute::kTarget)->loadConnectionFromDictionary(link);
        }
    }
    ZqModel::loadConnectionsFromDictionary(dictionary);
}

CCDictionary* ZqBaseNode::saveConnectionsToDictionary() const
{
    CCDictionary* dictionary = ZqModel::saveConnectionsToDictionary();
    dictionary->setObject(CCString::createWithFormat("%u", static_cast<unsigned>(attributes().size())),
                          "attributesCount");
    return dictionary;
}

bool ZqBaseNode::isTargetExempt(const ZqBaseAttribute* attribute) const
{
    return attribute->connectionType() != ZqBaseAttribute::kTarget;
}

std::shared_ptr<ZqModelScreen> ZqBaseNode::screenModel() const
{
    return firstChildOfKind<ZqModelScreen>();
}

ZqNodeScene::ZqNodeScene(const std::string& name)
    : ZqNode(defaultNodeName<ZqNodeScene>(name, "New World "))
{
    addPort(this, "UI", ZqBaseAttribute::kTarget);
}

bool ZqNodeScene::isTargetExempt(const ZqBaseAttribute* attribute) const
{
    return attribute->name() == "UI" || ZqNode::isTargetExempt(attribute);
}

ZqNodeUI::ZqNodeUI(const std::string& name)
    : ZqNode(defaultNodeName<ZqNodeUI>(name, "New UI "))
{
}

ZqNodeUIStart::ZqNodeUIStart(const std::string& name)
    : ZqNodeUI(name)
{
    ZqBaseAttribute* incoming = loadPort();
    incoming->setConnectionType(ZqBaseAttribute::kNone, true);
    incoming->setName("---", true);
    addPort(this, "Load", ZqBaseAttribute::kTarget);
}
