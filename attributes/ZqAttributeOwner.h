#pragma once

#include "attributes/ZqAttributeBlock.h"

#include <string>
#include <string_view>
#include <vector>

class ZqBaseAttribute;

// An owner's attributes in order; a model's list starts in the model's block.
using ZqAttributeList = std::vector<ZqBaseAttribute*, zqblock::RoomAllocator<ZqBaseAttribute*>>;

// What an attribute asks of the object that owns it: its id (written into link entries),
// its attribute list (searched for link sources), and whom to tell of a change. The model
// base implements it; attributes know nothing else of their owner.
class ZqAttributeOwner {
public:
    virtual unsigned id() const = 0;
    // Owned attributes in creation order.
    virtual const ZqAttributeList& attributes() const = 0;
    // Takes the attribute from its former owner; index -1 (or past the end) appends.
    virtual void addAttribute(ZqBaseAttribute* attribute, int index = -1) = 0;
    // An attribute being made for this owner, which it already names: in no list yet, so
    // it joins at the end without addAttribute's checks.
    virtual void adoptNewAttribute(ZqBaseAttribute* attribute) { addAttribute(attribute, -1); }
    // Leaves the list; does not delete.
    virtual void removeAttribute(ZqBaseAttribute* attribute) = 0;
    // An owned attribute is about to take another name (told even when the change is silent).
    virtual void attributeRenamed(ZqBaseAttribute* attribute) {}
    // kind: ZqBaseAttribute::ChangeKind.
    virtual void attributeChanged(ZqBaseAttribute* attribute, int kind) = 0;

protected:
    ~ZqAttributeOwner() = default;
    // For an owner deleting its attributes: they must not call back into it while they go.
    static void forgetOwner(ZqBaseAttribute& attribute);
};

// Finds the owner of an id when a link entry is read. The game installs its model
// controller; with none installed, links to other owners are not resolved.
class ZqAttributeOwnerResolver {
public:
    virtual ZqAttributeOwner* ownerById(unsigned id) const = 0;
    // The first source attribute named so on the owner, else null. This walks the owner's
    // list; a resolver that knows its owners' layouts may find it faster.
    virtual ZqBaseAttribute* linkSource(const ZqAttributeOwner& owner, std::string_view attributeName) const;

protected:
    ~ZqAttributeOwnerResolver() = default;
};

// The installed resolver, or null. Not owned.
const ZqAttributeOwnerResolver* zqAttributeOwnerResolver();
void zqSetAttributeOwnerResolver(const ZqAttributeOwnerResolver* resolver);
