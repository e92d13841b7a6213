#include "model/ZqModel.h"

#include "attributes/KeyDictionary.h"
#include "attributes/MessagePackMap.h"
#include "attributes/ZqAttributeValue.h"
#include "attributes/ZqDataKeys.h"
#include "model/ZqModelController.h"
#include "model/loading/ZqModelLoader.h"
#include "cocos2d.h"

#include <ZqLog.h>

#include <algorithm>

using namespace cocos2d;

namespace {

// A saved dictionary form is kept only when it holds something.
bool holdsEntries(CCObject* object)
{
    if (!object)
        return false;
    if (auto* dictionary = dynamic_cast<CCDictionary*>(object))
        return dictionary->count() > 0;
    return true;
}

constinit CachedKeyName kChildrenKey("children");

// The nested map under code; false when the entry is absent (MessagePackMap::getMap by code).
bool nestedMap(const MessagePackMap& map, int32_t code, MessagePackMap& out)
{
    const msgpack::object* object = code == -1 ? nullptr : map.find(code);
    if (object)
        out = MessagePackMap::fromObject(*object);
    return object != nullptr;
}

} // namespace

ZqModel::ZqModel(const std::string& name)
    : m_id(ZqModelController::shared()->nextModelId())
{
    // Most classes have up to 16 attributes: one allocation instead of the list growing
    // five times as the class adds them.
    m_attributes.reserve(16);
    m_nameAttribute = new ZqAttributeString("Name", this);
    m_nameAttribute->setValue(name, true);
}

ZqModel::ZqModel(const ZqModel& source)
    : ZqMessagePackInterface(), m_id(ZqModelController::shared()->nextModelId())
{
    m_attributes.reserve(source.m_attributes.size());
    try {
        // Each clone appends itself to this model's list.
        for (const ZqBaseAttribute* attribute : source.m_attributes)
            attribute->clone(attribute->storedName(), this);
    } catch (...) {
        deleteAttributes();
        throw;
    }
    ZqBaseAttribute* nameAttribute = findAttribute("Name");
    if (nameAttribute && nameAttribute->typeId() == ZqAttributeString::staticTypeId())
        m_nameAttribute = static_cast<ZqAttributeString*>(nameAttribute);
}

ZqModel::~ZqModel()
{
    deleteAttributes();
}

void ZqModel::deleteAttributes()
{
    // The list is taken out and every owner cleared before the first delete: a dying
    // attribute would otherwise remove itself from the list being walked and notify this
    // half-destroyed model (and through it the controller).
    ZqAttributeList attributes = std::move(m_attributes);
    m_attributes.clear();
    m_classLayout = 0;
    m_nameAttribute = nullptr;
    for (ZqBaseAttribute* attribute : attributes)
        forgetOwner(*attribute);
    for (ZqBaseAttribute* attribute : attributes)
        delete attribute;
}

void ZqModel::collectKeys() const
{
    keyNameSet().insert("id");
    keyNameSet().insert("Class Name");
    if (!m_children.empty())
        keyNameSet().insert("children");
    for (const ZqBaseAttribute* attribute : m_attributes) {
        attribute->collectKeys();
        keyNameSet().emplace(attribute->name());
    }
}

void ZqModel::packAttributes(MessagePackMap& map) const
{
    map.setUInt("id", m_id);
    map.setString("Class Name", className());
    for (const ZqBaseAttribute* attribute : m_attributes) {
        MessagePackMap nested(map.zone());
        attribute->packAttributes(nested);
        if (!nested.empty())
            map.setMap(std::string(attribute->name()), nested);
    }
}

void ZqModel::unpackAttributes(const MessagePackMap& map)
{
    uint32_t id = 0xFFFFFFFFu; // a map without "id" gives -1
    map.getUInt(kIdKey, id);
    setId(id);
    // The one-pass reader hands the attributes their maps itself and leaves the id alone
    // here for most models: no attribute has anything to find.
    if (map.size() == (map.find(kIdKey) ? 1u : 0u))
        return;
    ZqModelKeyCodes& keyCodes = ZqModelController::shared()->keyCodes();
    const ZqModelKeyCodes::Class& codes = keyCodes.ofClass(*this);
    for (std::size_t i = 0; i < m_attributes.size(); ++i) {
        MessagePackMap nested;
        if (nestedMap(map, ZqModelKeyCodes::attributeCode(codes, *this, i), nested))
            m_attributes[i]->unpackAttributes(nested);
    }
}

void ZqModel::packConnections(MessagePackMap& map) const
{
    map.setUInt("id", m_id);
    for (const ZqBaseAttribute* attribute : m_attributes) {
        MessagePackMap nested(map.zone());
        attribute->packConnections(nested);
        if (!nested.empty())
            map.setMap(std::string(attribute->name()), nested);
    }
    if (!m_children.empty()) {
        std::vector<uint32_t> ids;
        ids.reserve(m_children.size());
        for (const std::shared_ptr<ZqModel>& child : m_children)
            ids.push_back(child->id());
        map.setUIntArray("children", ids);
    }
}

void ZqModel::unpackConnections(const MessagePackMap& map)
{
    // Most models link no attribute: a map of only the id and the children skips the walk.
    const std::size_t fixedEntries = (map.find(kIdKey) ? 1u : 0u) + (map.find(kChildrenKey) ? 1u : 0u);
    if (map.size() != fixedEntries)
        unpackAttributeLinks(map);
    const msgpack::object* children = map.find(kChildrenKey);
    if (!children) {
        childrenLinked();
        return;
    }
    if (children->type != msgpack::type::ARRAY)
        throw msgpack::type_error();
    ZqModelLoader::shared()->linkChildren(*this, children->via.array);
}

void ZqModel::unpackAttributeLinks(const MessagePackMap& map)
{
    ZqModelKeyCodes& keyCodes = ZqModelController::shared()->keyCodes();
    const ZqModelKeyCodes::Class& codes = keyCodes.ofClass(*this);
    // The attributes the entries name, found through the class's codes so that the others
    // are not touched; taken in list order, the order in which links are made.
    struct Named {
        int32_t index;
        const msgpack::object* value;
    };
    constexpr std::size_t kMost = 16;
    Named named[kMost];
    std::size_t count = 0;
    bool byCode = attributesAreClassLayout();
    for (const auto& [code, value] : map.entries()) {
        for (int32_t i = byCode ? codes.find(code) : -1; i >= 0; i = codes.next[static_cast<std::size_t>(i)]) {
            if (static_cast<std::size_t>(i) >= m_attributes.size() || count == kMost) {
                byCode = false;
                break;
            }
            named[count++] = {i, &value};
        }
    }
    if (byCode) {
        std::sort(named, named + count, [](const Named& a, const Named& b) { return a.index < b.index; });
        for (std::size_t k = 0; k < count; ++k)
            m_attributes[static_cast<std::size_t>(named[k].index)]->unpackConnections(
                MessagePackMap::fromObject(*named[k].value));
        return;
    }
    for (std::size_t i = 0; i < m_attributes.size(); ++i) {
        MessagePackMap nested;
        if (nestedMap(map, ZqModelKeyCodes::attributeCode(codes, *this, i), nested))
            m_attributes[i]->unpackConnections(nested);
    }
}

void ZqModel::loadAttributesFromDictionary(CCDictionary* dictionary)
{
    setId(dictionary->valueForKey("id")->uintValue());
    for (ZqBaseAttribute* attribute : m_attributes) {
        if (auto* value = dynamic_cast<CCDictionary*>(dictionary->objectForKey(std::string(attribute->name()))))
            attribute->loadValueFromDictionary(value);
    }
}

void ZqModel::loadConnectionsFromDictionary(CCDictionary* dictionary)
{
    for (ZqBaseAttribute* attribute : m_attributes) {
        if (auto* connection = dynamic_cast<CCDictionary*>(dictionary->objectForKey(std::string(attribute->name()))))
            attribute->loadConnectionFromDictionary(connection);
    }
    auto* children = dynamic_cast<CCArray*>(dictionary->objectForKey("children"));
    if (!children)
        return;
    ZqModelController* controller = ZqModelController::shared();
    for (CCObject* element : *children) {
        auto* text = dynamic_cast<CCString*>(element);
        if (!text)
            continue;
        if (std::shared_ptr<ZqModel> child = controller->modelById(text->uintValue()))
            addChild(child, true);
    }
}

CCDictionary* ZqModel::saveAttributesToDictionary() const
{
    CCDictionary* dictionary = CCDictionary::create();
    dictionary->setObject(CCString::createWithFormat("%u", m_id), "id");
    dictionary->setObject(CCString::create(className()), "className");
    for (const ZqBaseAttribute* attribute : m_attributes) {
        CCObject* value = attribute->saveValueToDictionary();
        if (holdsEntries(value))
            dictionary->setObject(value, std::string(attribute->name()));
    }
    return dictionary;
}

CCDictionary* ZqModel::saveConnectionsToDictionary() const
{
    CCDictionary* dictionary = CCDictionary::create();
    dictionary->setObject(CCString::createWithFormat("%u", m_id), "id");
    for (const ZqBaseAttribute* attribute : m_attributes) {
        CCDictionary* connection = attribute->saveConnectionToDictionary();
        if (holdsEntries(connection))
            dictionary->setObject(connection, std::string(attribute->name()));
    }
    if (!m_children.empty()) {
        CCArray* ids = CCArray::create();
        for (const std::shared_ptr<ZqModel>& child : m_children)
            ids->addObject(CCString::createWithFormat("%u", child->id()));
        dictionary->setObject(ids, "children");
    }
    return dictionary;
}

void ZqModel::attributeChanged(ZqBaseAttribute* attribute, int kind)
{
    const std::vector<ZqModelObserver*> observers = m_observers;
    for (ZqModelObserver* observer : observers)
        observer->attributeChanged(attribute, kind);
    if (ZqModelController* controller = ZqModelController::existing())
        controller->notifyAttributeChanged(attribute, kind);
}

void ZqModel::copyChildrenFrom(const ZqModel& source, bool deep, bool flag, bool silent)
{
    const std::vector<std::shared_ptr<ZqModel>> children = source.m_children;
    if (!deep) {
        for (const std::shared_ptr<ZqModel>& child : children)
            addChild(child, silent);
        return;
    }
    // The sources whose children are being deep-copied, outermost first. Adding children
    // refuses cycles, but a model wrapped without its self pointer leaves its children
    // without a parent link, which that check needs; a child met again on this chain is
    // its own ancestor, and copying it would never end.
    static std::vector<const ZqModel*> copying;
    struct Entry {
        explicit Entry(const ZqModel* model) { copying.push_back(model); }
        ~Entry() { copying.pop_back(); }
    } entry(&source);
    for (const std::shared_ptr<ZqModel>& child : children) {
        if (std::find(copying.begin(), copying.end(), child.get()) != copying.end()) {
            debugLog("[ZqModel] model %u is its own ancestor - not copied", child->id());
            continue;
        }
        addChild(child->duplicate(true, flag), silent);
    }
}

void ZqModel::childAdded(const std::shared_ptr<ZqModel>& child)
{
    if (m_observers.empty())
        return;
    const std::vector<ZqModelObserver*> observers = m_observers;
    const std::shared_ptr<ZqModel> self = sharedFromThis();
    for (ZqModelObserver* observer : observers)
        observer->childAdded(self, child);
}

void ZqModel::childRemoved(const std::shared_ptr<ZqModel>& child)
{
    if (m_observers.empty())
        return;
    const std::vector<ZqModelObserver*> observers = m_observers;
    const std::shared_ptr<ZqModel> self = sharedFromThis();
    for (ZqModelObserver* observer : observers)
        observer->childRemoved(self, child);
}

void ZqModel::childrenCleared()
{
    if (m_observers.empty())
        return;
    const std::vector<ZqModelObserver*> observers = m_observers;
    const std::shared_ptr<ZqModel> self = sharedFromThis();
    for (ZqModelObserver* observer : observers)
        observer->childrenCleared(self);
}

void ZqModel::setId(unsigned id)
{
    if (id == m_id)
        return;
    const unsigned oldId = m_id;
    m_id = id;
    if (ZqModelController* controller = ZqModelController::existing())
        controller->changeModelId(this, oldId);
}

std::string ZqModel::name() const
{
    return m_nameAttribute ? m_nameAttribute->value() : std::string();
}

void ZqModel::setName(const std::string& name)
{
    if (m_nameAttribute)
        m_nameAttribute->setValue(name, false);
}

void ZqModel::addAttribute(ZqBaseAttribute* attribute, int index)
{
    if (indexOfAttribute(attribute) >= 0)
        return;
    if (index >= 0 && static_cast<std::size_t>(index) < m_attributes.size()) {
        m_attributes.insert(m_attributes.begin() + index, attribute);
        m_classLayout = std::min(m_classLayout, static_cast<std::size_t>(index));
    } else
        m_attributes.push_back(attribute);
    attribute->setOwner(this);
}

void ZqModel::removeAttribute(ZqBaseAttribute* attribute)
{
    auto it = std::find(m_attributes.begin(), m_attributes.end(), attribute);
    if (it == m_attributes.end())
        return;
    m_classLayout = std::min(m_classLayout, static_cast<std::size_t>(it - m_attributes.begin()));
    m_attributes.erase(it);
}

void ZqModel::attributeRenamed(ZqBaseAttribute* attribute)
{
    const int index = indexOfAttribute(attribute);
    if (index >= 0)
        m_classLayout = std::min(m_classLayout, static_cast<std::size_t>(index));
}

ZqBaseAttribute* ZqModel::findAttribute(std::string_view name) const
{
    for (ZqBaseAttribute* attribute : m_attributes) {
        if (attribute->name() == name)
            return attribute;
    }
    return nullptr;
}

int ZqModel::indexOfAttribute(const ZqBaseAttribute* attribute) const
{
    auto it = std::find(m_attributes.begin(), m_attributes.end(), attribute);
    return it == m_attributes.end() ? -1 : static_cast<int>(it - m_attributes.begin());
}

void ZqModel::addReferencingAttribute(ZqBaseAttribute* attribute)
{
    if (std::find(m_referencingAttributes.begin(), m_referencingAttributes.end(), attribute)
        == m_referencingAttributes.end())
        m_referencingAttributes.push_back(attribute);
}

void ZqModel::removeReferencingAttribute(ZqBaseAttribute* attribute)
{
    auto it = std::find(m_referencingAttributes.begin(), m_referencingAttributes.end(), attribute);
    if (it != m_referencingAttributes.end())
        m_referencingAttributes.erase(it);
}

ZqModel* ZqModel::ownerOf(const ZqBaseAttribute* attribute)
{
    return attribute ? dynamic_cast<ZqModel*>(attribute->owner()) : nullptr;
}
