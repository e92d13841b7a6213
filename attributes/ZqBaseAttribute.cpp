#include "attributes/ZqBaseAttribute.h"

#include "attributes/KeyDictionary.h"
#include "attributes/MessagePackMap.h"
#include "attributes/ZqAnimationCurve.h"
#include "attributes/ZqDataKeys.h"
#include "attributes/ZqEntryField.h"
#include "attributes/ZqNonEmptyText.h"
#include "cocos2d.h"

#include <algorithm>

using namespace cocos2d;

ZqBaseAttribute::ZqBaseAttribute(ZqAttributeName name, ZqAttributeOwner* owner, unsigned flag)
    : m_name(std::move(name)), m_flag(flag)
{
    if (owner) {
        m_owner = owner;
        owner->adoptNewAttribute(this);
    }
}

ZqBaseAttribute::ZqBaseAttribute(ZqAttributeName name, ZqAttributeOwner* owner, const ZqBaseAttribute& source)
    : ZqBaseAttribute(std::move(name), owner, source.m_flag)
{
    if (source.m_connectionType != kNone)
        setConnectionType(source.m_connectionType, true);
    if (m_connectionType == kTarget && source.m_link)
        connect(source.m_link, true);
}

ZqBaseAttribute::~ZqBaseAttribute()
{
    disconnectAll(false);
    if (m_owner)
        m_owner->removeAttribute(this);
}

void ZqBaseAttribute::collectKeys() const
{
    if (connectedSource()) {
        keyNameSet().insert("connectedModelId");
        keyNameSet().insert("attributeName");
    }
}

void ZqBaseAttribute::packConnections(MessagePackMap& map) const
{
    const ZqBaseAttribute* source = connectedSource();
    if (!source)
        return;
    map.setUInt("connectedModelId", source->m_owner ? source->m_owner->id() : 0);
    map.setString("attributeName", std::string(source->name()));
}

void ZqBaseAttribute::unpackConnections(const MessagePackMap& map)
{
    if (m_connectionType != kTarget)
        return;
    uint32_t modelId = 0;
    if (!map.getUInt(kConnectedModelIdKey, modelId) || modelId == 0)
        return;
    const ZqAttributeOwner* owner = resolveOwner(modelId);
    if (!owner)
        return;
    std::string_view attributeName; // in the map's data, which outlives the call
    if (!zqNonEmptyText(map, kAttributeNameKey, attributeName))
        return;
    if (ZqBaseAttribute* source = zqAttributeOwnerResolver()->linkSource(*owner, attributeName))
        connect(source, true);
}

void ZqBaseAttribute::readEntries(const MessagePackMap& map)
{
    for (const MessagePackEntry& entry : map.entries())
        readEntry(entry);
}

bool ZqBaseAttribute::readEntryFields(const MessagePackEntry& entry)
{
    ZqEntryFields fields;
    entryFields(fields);
    bool read = false;
    for (const ZqEntryField& field : fields) {
        if (field.code == entry.code) {
            zqReadEntryField(field, entry.value);
            read = true;
        }
    }
    return read;
}

const ZqAttributeOwner* ZqBaseAttribute::resolveOwner(unsigned id)
{
    const ZqAttributeOwnerResolver* resolver = zqAttributeOwnerResolver();
    return resolver ? resolver->ownerById(id) : nullptr;
}

ZqBaseAttribute* ZqBaseAttribute::findSource(const ZqAttributeOwner& owner, std::string_view attributeName)
{
    for (ZqBaseAttribute* attribute : owner.attributes()) {
        if (attribute->m_connectionType == kSource && attribute->name() == attributeName)
            return attribute;
    }
    return nullptr;
}

ZqBaseAttribute* ZqBaseAttribute::clone(ZqAttributeName newName, ZqAttributeOwner* newOwner) const
{
    return new ZqBaseAttribute(std::move(newName), newOwner, *this);
}

ZqBaseAttribute* ZqBaseAttribute::cloneForOwner(ZqAttributeOwner* newOwner) const
{
    return new ZqBaseAttribute(m_name, newOwner, m_flag);
}

ZqBaseAttribute* ZqBaseAttribute::cloneWithName(ZqAttributeName newName) const
{
    return new ZqBaseAttribute(std::move(newName), m_owner, m_flag);
}

void ZqBaseAttribute::loadConnectionFromDictionary(CCDictionary* dictionary)
{
    if (m_connectionType != kTarget || !dictionary)
        return;
    const unsigned modelId = dictionary->valueForKey("connectedModelId")->uintValue();
    if (modelId == 0)
        return;
    const ZqAttributeOwner* owner = resolveOwner(modelId);
    if (!owner)
        return;
    const CCString* attributeName = zqNonEmptyText(dictionary, "attributeName");
    if (!attributeName)
        return;
    if (ZqBaseAttribute* source = zqAttributeOwnerResolver()->linkSource(*owner, attributeName->getCString()))
        connect(source, true);
}

CCObject* ZqBaseAttribute::saveValueToDictionary() const
{
    return CCDictionary::create();
}

CCDictionary* ZqBaseAttribute::saveConnectionToDictionary() const
{
    CCDictionary* dictionary = CCDictionary::create();
    if (const ZqBaseAttribute* source = connectedSource()) {
        dictionary->setObject(CCString::createWithFormat("%u", source->m_owner ? source->m_owner->id() : 0),
                              "connectedModelId");
        dictionary->setObject(CCString::createWithFormat("%s", source->m_name.c_str()), "attributeName");
    }
    return dictionary;
}

std::vector<ZqAnimationCurve*> ZqBaseAttribute::curvesForState(int state) const
{
    return {};
}

void ZqBaseAttribute::setCurvesForState(std::vector<std::unique_ptr<ZqAnimationCurve>> curves, int state)
{
}

void ZqBaseAttribute::changed(int kind)
{
    if (m_owner)
        m_owner->attributeChanged(this, kind);
}

void ZqBaseAttribute::setName(ZqAttributeName name, bool silent)
{
    if (name.view() != m_name.view()) {
        if (m_owner)
            m_owner->attributeRenamed(this);
        m_name = std::move(name);
    }
    if (!silent)
        changed(kValueChanged);
}

void ZqBaseAttribute::setOwner(ZqAttributeOwner* owner)
{
    if (owner == m_owner)
        return;
    ZqAttributeOwner* former = m_owner;
    m_owner = nullptr;
    if (former)
        former->removeAttribute(this);
    m_owner = owner;
    if (owner)
        owner->addAttribute(this, -1);
}

void ZqBaseAttribute::setConnectionType(ConnectionType kind, bool silent)
{
    if (kind == m_connectionType)
        return;
    disconnectAll(silent);
    m_connectionType = kind;
}

void ZqBaseAttribute::connect(ZqBaseAttribute* other, bool silent)
{
    if (!other || m_connectionType == kNone || other->m_connectionType == kNone
        || m_connectionType == other->m_connectionType)
        return;
    ZqBaseAttribute* source = m_connectionType == kSource ? this : other;
    ZqBaseAttribute* target = m_connectionType == kSource ? other : this;
    if (target->m_link == source)
        return;
    // A target that leaves its former source: only that source is told.
    if (ZqBaseAttribute* former = target->m_link) {
        former->unlinkTarget(target);
        if (!silent)
            former->changed(kLinksChanged);
    }
    target->m_link = source;
    if (ZqBaseAttribute* first = source->m_link) {
        ZqBaseAttribute* last = first->m_previous;
        last->m_next = target;
        target->m_previous = last;
        first->m_previous = target;
    } else {
        source->m_link = target;
        target->m_previous = target;
    }
    // The other side first, as each side telling the other would.
    if (!silent) {
        other->changed(kLinksChanged);
        changed(kLinksChanged);
    }
}

void ZqBaseAttribute::unlinkTarget(ZqBaseAttribute* target)
{
    ZqBaseAttribute* first = m_link;
    if (target == first) {
        m_link = target->m_next;
        if (m_link)
            m_link->m_previous = target->m_previous;
    } else {
        target->m_previous->m_next = target->m_next;
        (target->m_next ? target->m_next : first)->m_previous = target->m_previous;
    }
    target->m_link = nullptr;
    target->m_next = nullptr;
    target->m_previous = nullptr;
}

void ZqBaseAttribute::disconnect(ZqBaseAttribute* other, bool silent)
{
    if (m_connectionType != kSource || !other || other->m_connectionType != kTarget || other->m_link != this)
        return;
    unlinkTarget(other);
    if (!silent) {
        other->changed(kLinksChanged);
        changed(kLinksChanged);
    }
}

void ZqBaseAttribute::disconnectAll(bool silent)
{
    if (!m_link)
        return;
    if (m_connectionType == kTarget) {
        ZqBaseAttribute* source = m_link;
        source->unlinkTarget(this);
        if (!silent) {
            source->changed(kLinksChanged);
            changed(kLinksChanged);
        }
        return;
    }
    // Each former target is told in linking order, then this source once.
    while (ZqBaseAttribute* target = m_link) {
        unlinkTarget(target);
        if (!silent)
            target->changed(kLinksChanged);
    }
    if (!silent)
        changed(kLinksChanged);
}

bool ZqBaseAttribute::contains(const ZqBaseAttribute* other) const
{
    if (!other)
        return false;
    if (m_connectionType == kTarget)
        return other == m_link;
    return m_connectionType == kSource && other->m_connectionType == kTarget && other->m_link == this;
}

std::vector<ZqBaseAttribute*> ZqBaseAttribute::links() const
{
    if (m_connectionType == kTarget)
        return m_link ? std::vector<ZqBaseAttribute*>{m_link} : std::vector<ZqBaseAttribute*>{};
    std::vector<ZqBaseAttribute*> targets;
    for (ZqBaseAttribute* target = m_link; target; target = target->m_next)
        targets.push_back(target);
    return targets;
}

ZqBaseAttribute* ZqBaseAttribute::connectedSource() const
{
    return m_connectionType == kTarget ? m_link : nullptr;
}

void ZqAttributeOwner::forgetOwner(ZqBaseAttribute& attribute)
{
    attribute.m_owner = nullptr;
}

namespace {

const ZqAttributeOwnerResolver* s_ownerResolver = nullptr;

} // namespace

ZqBaseAttribute* ZqAttributeOwnerResolver::linkSource(const ZqAttributeOwner& owner, std::string_view attributeName) const
{
    return ZqBaseAttribute::findSource(owner, attributeName);
}

const ZqAttributeOwnerResolver* zqAttributeOwnerResolver()
{
    return s_ownerResolver;
}

void zqSetAttributeOwnerResolver(const ZqAttributeOwnerResolver* resolver)
{
    s_ownerResolver = resolver;
}
