#pragma once

#include "attributes/ZqAttributeName.h"
#include "attributes/ZqAttributeOwner.h"

#include <ZqTypeId.h>

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class MessagePackMap;
struct MessagePackEntry;
class ZqAnimationCurve;
class ZqEntryFields;
namespace cocos2d {
class CCObject;
class CCDictionary;
}

// Serial form shared by models, attributes and curves. For an attribute the map is the
// nested map its owner keeps under the attribute's name.
class ZqMessagePackInterface {
public:
    virtual ~ZqMessagePackInterface() = default;
    // Adds the names of the keys this object writes to the key dictionary's name set.
    virtual void collectKeys() const = 0;
    virtual void packAttributes(MessagePackMap& map) const = 0;
    virtual void unpackAttributes(const MessagePackMap& map) = 0;
    virtual void packConnections(MessagePackMap& map) const = 0;
    virtual void unpackConnections(const MessagePackMap& map) = 0;
};

// A named attribute owned by one model, with links to attributes of other models:
// a source (kind 1) feeds any number of targets, a target (kind 2) has at most one source.
// Links are symmetric plain pointers; an attribute unlinks both sides when it goes.
// A source's targets form a list threaded through the targets themselves, so that linking
// allocates nothing and a target leaves its source at once.
// The owner model deletes its attributes; removing one from its owner does not delete it.
class ZqBaseAttribute : public ZqMessagePackInterface {
public:
    enum ConnectionType { kNone = 0, kSource = 1, kTarget = 2 };
    // Kinds given to changed(): a value or name change, a link change.
    enum ChangeKind { kValueChanged = 0, kLinksChanged = 1 };

    // Appends itself to the owner's attribute list when an owner is given.
    // flag: stored and carried into every copy; nothing here reads it.
    ZqBaseAttribute(ZqAttributeName name, ZqAttributeOwner* owner, unsigned flag = 0);
    // Copy under a new name and owner: same flag and kind; a copied target is linked
    // (silently) to the source's source, a copied source has no links.
    ZqBaseAttribute(ZqAttributeName name, ZqAttributeOwner* owner, const ZqBaseAttribute& source);
    ZqBaseAttribute(const ZqBaseAttribute&) = delete;
    ZqBaseAttribute& operator=(const ZqBaseAttribute&) = delete;
    // Unlinks both sides (notifying the owners of the attributes that lose a link),
    // then leaves the owner's list.
    ~ZqBaseAttribute() override;

    // Attributes made while a model is being made share its block (attributes/ZqAttributeBlock.h).
    static void* operator new(std::size_t size);
    static void operator delete(void* pointer);

    void collectKeys() const override;
    void packAttributes(MessagePackMap& map) const override {}
    void unpackAttributes(const MessagePackMap& map) override {}
    // Reads one entry of the attribute's nested map as the loader parses it, for the classes
    // that read their entries one by one: false when the class does not read that code here,
    // and the loader then hands the entry to unpackAttributes. Such a class reads its map
    // through this alone (its unpackAttributes is final), so both roads read the same.
    // Throws msgpack::type_error as unpackAttributes does.
    virtual bool readEntry(const MessagePackEntry& entry) { return false; }
    // The entries the attribute holds in plain fields (attributes/ZqEntryField.h), which its
    // readEntry reads and the loader writes straight from the data's bytes. None here.
    virtual void entryFields(ZqEntryFields& fields) {}
    // Link entry of a target: {"connectedModelId": source owner's id, "attributeName": source name}.
    void packConnections(MessagePackMap& map) const override;
    // Links a target to the first source of that name on the model of that id (silently).
    void unpackConnections(const MessagePackMap& map) override;

    ZQ_STATIC_IDENTITY(ZqBaseAttribute)
    virtual const char* className() const { return staticClassName(); }
    virtual std::size_t typeId() const { return staticTypeId(); }
    // New attributes owned by the caller's model (or by nobody when owner is null).
    virtual ZqBaseAttribute* clone(ZqAttributeName newName, ZqAttributeOwner* newOwner) const;
    virtual ZqBaseAttribute* cloneForOwner(ZqAttributeOwner* newOwner) const;
    virtual ZqBaseAttribute* cloneWithName(ZqAttributeName newName) const;

    // Engine-dictionary form. Saved objects are autoreleased.
    virtual void loadValueFromDictionary(cocos2d::CCDictionary* dictionary) {}
    virtual void loadConnectionFromDictionary(cocos2d::CCDictionary* dictionary);
    virtual cocos2d::CCObject* saveValueToDictionary() const;
    virtual cocos2d::CCDictionary* saveConnectionToDictionary() const;

    // Animation curves per state. The returned curves stay owned by the attribute.
    // setCurvesForState takes ownership of the given curves; an attribute without
    // curves (or given too few) frees them and changes nothing.
    virtual std::vector<ZqAnimationCurve*> curvesForState(int state) const;
    virtual void setCurvesForState(std::vector<std::unique_ptr<ZqAnimationCurve>> curves, int state);

    // The owner this attribute refers to and keeps (a referenced model), else null. It joins
    // the game's registry of owners with this attribute's owner, and leaves it with that
    // owner too when ownsHeldOwner() (an owned copy rather than a shared one).
    virtual ZqAttributeOwner* heldOwner() const { return nullptr; }
    virtual bool ownsHeldOwner() const { return false; }

    // Tells the owner (if any) through ZqAttributeOwner::attributeChanged.
    virtual void changed(int kind);

    // NUL-terminated: name().data() may go to printf-style calls.
    std::string_view name() const { return m_name.view(); }
    // The name as held: a copy of it stays a view when this one is a view.
    const ZqAttributeName& storedName() const { return m_name; }
    ZqAttributeOwner* owner() const { return m_owner; }
    unsigned flag() const { return m_flag; }
    ConnectionType connectionType() const { return m_connectionType; }

    void setName(ZqAttributeName name, bool silent = false);
    // Moves the attribute from its owner's list to the new owner's list; no notification.
    void setOwner(ZqAttributeOwner* owner);
    // A different kind drops every link first.
    void setConnectionType(ConnectionType kind, bool silent = false);

    // Links a source and a target (in either direction); a target leaves its old source.
    void connect(ZqBaseAttribute* other, bool silent = false);
    // Called on the source; does nothing on a target.
    void disconnect(ZqBaseAttribute* other, bool silent = false);
    void disconnectAll(bool silent = false);
    bool contains(const ZqBaseAttribute* other) const;
    std::vector<ZqBaseAttribute*> links() const;
    // The source of a target, else null.
    ZqBaseAttribute* connectedSource() const;

    // The first source attribute of that name on the owner, else null.
    static ZqBaseAttribute* findSource(const ZqAttributeOwner& owner, std::string_view attributeName);

protected:
    // unpackAttributes of the classes that read entry by entry: readEntry for each entry.
    void readEntries(const MessagePackMap& map);
    // readEntry of the plain fields: each field under the entry's code reads it in turn (a
    // damaged key file may give two keys one code). False when none is under that code.
    bool readEntryFields(const MessagePackEntry& entry);

private:
    friend class ZqAttributeOwner; // clears m_owner of attributes their owner is deleting

    // The owner of that id through the installed resolver, else null.
    static const ZqAttributeOwner* resolveOwner(unsigned id);
    ZqAttributeName m_name;
    ZqAttributeOwner* m_owner = nullptr;
    unsigned m_flag = 0;
    ConnectionType m_connectionType = kNone;
    // Unlinks a target of this source from the list; no notification.
    void unlinkTarget(ZqBaseAttribute* target);

    // A target's source, or a source's first target; what it is follows the connection
    // type, which changes only once every link is dropped.
    ZqBaseAttribute* m_link = nullptr;
    // A target's neighbours among its source's targets, in linking order; the list is
    // circular (the first target's previous is the last).
    ZqBaseAttribute* m_next = nullptr;
    ZqBaseAttribute* m_previous = nullptr;
};

// The identity of a concrete attribute class in one line, inside its public section:
// class name, type id (FNV-1a of the name) and the three clones, each of which makes an
// object of this very class through its copy constructor (name, owner, const Class&).
#define ZQ_ATTRIBUTE_IDENTITY(ClassName)                                                   \
    ZQ_STATIC_IDENTITY(ClassName)                                                           \
    const char* className() const override { return staticClassName(); }                    \
    std::size_t typeId() const override { return staticTypeId(); }                          \
    ClassName* clone(ZqAttributeName newName, ZqAttributeOwner* newOwner) const override    \
    {                                                                                       \
        return new ClassName(std::move(newName), newOwner, *this);                          \
    }                                                                                       \
    ClassName* cloneForOwner(ZqAttributeOwner* newOwner) const override                              \
    {                                                                                       \
        return new ClassName(storedName(), newOwner, *this);                                \
    }                                                                                       \
    ClassName* cloneWithName(ZqAttributeName newName) const override                        \
    {                                                                                       \
        return new ClassName(std::move(newName), owner(), *this);                           \
    }

// The value-less attribute: a port linked to other ports, and the base of typed attributes.
class ZqAttribute : public ZqBaseAttribute {
public:
    using ZqBaseAttribute::ZqBaseAttribute;
    ZQ_ATTRIBUTE_IDENTITY(ZqAttribute)
};
