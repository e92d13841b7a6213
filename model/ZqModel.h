#pragma once

#include "attributes/ZqBaseAttribute.h"

#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class ZqAttributeString;
class ZqModel;

// Told of a model's changes. Not owned by the model.
class ZqModelObserver {
public:
    virtual ~ZqModelObserver() = default;
    virtual void modelChanged(const std::shared_ptr<ZqModel>& model) {}
    virtual void attributeChanged(ZqBaseAttribute* attribute, int kind) {}
    virtual void childAdded(const std::shared_ptr<ZqModel>& model, const std::shared_ptr<ZqModel>& child) {}
    virtual void childRemoved(const std::shared_ptr<ZqModel>& model, const std::shared_ptr<ZqModel>& child) {}
    virtual void childrenCleared(const std::shared_ptr<ZqModel>& model) {}
};

// Base of every data model: an id, an ordered list of owned attributes (the first is
// "Name"), owned children, weak parents and observers. Models live in shared pointers;
// whoever wraps one calls setSelf right away (see zqCreateModel in ZqModelIdentity.h).
// Each concrete class gets its identity from ZQ_MODEL_IDENTITY (model/ZqModelIdentity.h).
class ZqModel : public ZqMessagePackInterface, public ZqAttributeOwner {
public:
    // Fresh id from the controller; creates the "Name" attribute holding name.
    explicit ZqModel(const std::string& name);
    // Fresh id; clones every attribute of the source in order; no children, parents,
    // observers or referencing attributes (see copyChildrenFrom).
    ZqModel(const ZqModel& source);
    ZqModel& operator=(const ZqModel&) = delete;
    ~ZqModel() override;

    // Attributes map: "id", "Class Name", each attribute's nested map under its name.
    void collectKeys() const override;
    void packAttributes(MessagePackMap& map) const override;
    void unpackAttributes(const MessagePackMap& map) override;
    // Connections map: "id", each attribute's link entry under its name, "children" ids.
    void packConnections(MessagePackMap& map) const override;
    void unpackConnections(const MessagePackMap& map) override;

    ZQ_STATIC_IDENTITY(ZqModel)
    virtual const char* className() const { return staticClassName(); }
    virtual std::size_t typeId() const { return staticTypeId(); }
    // True for the id of the object's class and of its model ancestors.
    virtual bool isKindOf(std::size_t typeId) const { return typeId == staticTypeId(); }
    // A copy of the object's class; deep copies the children too; registerCopy adds the
    // copy to the controller when this model is registered.
    virtual std::shared_ptr<ZqModel> duplicate(bool deep, bool registerCopy) const = 0;

    // Engine-dictionary forms; saved dictionaries are autoreleased.
    virtual void loadAttributesFromDictionary(cocos2d::CCDictionary* dictionary);
    virtual void loadConnectionsFromDictionary(cocos2d::CCDictionary* dictionary);
    virtual cocos2d::CCDictionary* saveAttributesToDictionary() const;
    virtual cocos2d::CCDictionary* saveConnectionsToDictionary() const;

    // Passes an attribute's change to the observers and the controller.
    void attributeChanged(ZqBaseAttribute* attribute, int kind) override;
    // Appends the source's children (duplicates of them when deep; flag is their registerCopy).
    virtual void copyChildrenFrom(const ZqModel& source, bool deep, bool flag, bool silent);
    virtual void childAdded(const std::shared_ptr<ZqModel>& child);
    virtual void childRemoved(const std::shared_ptr<ZqModel>& child);
    virtual void childrenCleared();

    void setSelf(const std::weak_ptr<ZqModel>& self) { m_self = self; }
    std::shared_ptr<ZqModel> sharedFromThis() const { return m_self.lock(); }

    unsigned id() const final { return m_id; }
    // Re-files the model under its new id in the controller.
    void setId(unsigned id);
    // "" when the "Name" attribute is missing (a copy whose "Name" has another class).
    std::string name() const;
    void setName(const std::string& name);
    ZqAttributeString* nameAttribute() const { return m_nameAttribute; }

    // Attributes: owned, in creation order. addAttribute takes the attribute from its
    // former owner; index -1 (or past the end) appends. removeAttribute does not delete.
    const ZqAttributeList& attributes() const final { return m_attributes; }
    void addAttribute(ZqBaseAttribute* attribute, int index = -1) final;
    void adoptNewAttribute(ZqBaseAttribute* attribute) final { m_attributes.push_back(attribute); }
    void removeAttribute(ZqBaseAttribute* attribute) final;
    void attributeRenamed(ZqBaseAttribute* attribute) final;
    ZqBaseAttribute* findAttribute(std::string_view name) const;
    int indexOfAttribute(const ZqBaseAttribute* attribute) const;

    // The leading attributes that are still the class's own as its constructor made them,
    // for which the loader's per-class key codes hold: set by the loader on the models it
    // creates (markClassLayout), cut where an attribute is inserted, removed or renamed;
    // 0 on other models. Attributes appended later (a node's ports) are not counted.
    std::size_t classLayoutSize() const { return m_classLayout; }
    // True when every attribute is still the class's own: the class's key codes find any.
    bool attributesAreClassLayout() const { return m_classLayout == m_attributes.size(); }
    void markClassLayout() { m_classLayout = m_attributes.size(); }

    // Attributes of other models that refer to this one (not owned).
    const std::vector<ZqBaseAttribute*>& referencingAttributes() const { return m_referencingAttributes; }
    void addReferencingAttribute(ZqBaseAttribute* attribute);
    void removeReferencingAttribute(ZqBaseAttribute* attribute);

    // Children are owned and unique; parents are weak and kept in step. A child that is
    // the general settings, already present, or this model or one of its ancestors is refused.
    const std::vector<std::shared_ptr<ZqModel>>& children() const { return m_children; }
    void insertChild(const std::shared_ptr<ZqModel>& child, int index, bool silent = false);
    void addChild(const std::shared_ptr<ZqModel>& child, bool silent = false);
    void removeChild(const std::shared_ptr<ZqModel>& child, bool silent = false);
    void removeAllChildren(bool silent = false);
    // The loader's bulk form of addChild (silent) for children read from a connections
    // file; the caller has checked that none of them is this model or an ancestor of it.
    // Ends with childrenLinked. The children are moved from.
    void addLoadedChildren(std::span<std::shared_ptr<ZqModel>> children);
    // Runs once the children a connections map lists are in.
    virtual void childrenLinked() {}
    void addParent(const std::shared_ptr<ZqModel>& parent);
    void removeParent(const std::shared_ptr<ZqModel>& parent, bool silent = false);
    std::shared_ptr<ZqModel> parent() const;
    std::vector<std::shared_ptr<ZqModel>> parents() const;
    bool hasParent(const ZqModel* model) const;
    bool hasChild(const ZqModel* model) const;
    // Position of the child, or the child count when absent.
    int indexOfChild(const ZqModel* model) const;
    // Direct children of exactly class T, or of class T and its subclasses, in child order
    // (model/ZqModelAccess.h).
    template <class T>
    std::vector<std::shared_ptr<T>> childrenOfClass() const;
    template <class T>
    std::vector<std::shared_ptr<T>> childrenOfKind() const;
    // The first such child, else empty.
    template <class T>
    std::shared_ptr<T> firstChildOfClass() const;
    template <class T>
    std::shared_ptr<T> firstChildOfKind() const;

    // Not owned; the caller removes an observer before it goes.
    void addObserver(ZqModelObserver* observer);
    void removeObserver(ZqModelObserver* observer);
    void notifyChanged();

    // Adds this model to the controller when the source's id is registered there.
    void registerLike(const ZqModel& source);

    // The model owning the attribute; null when it has no owner or one that is no model.
    static ZqModel* ownerOf(const ZqBaseAttribute* attribute);

private:
    // Hands each attribute that the connections map names its link map.
    void unpackAttributeLinks(const MessagePackMap& map);
    void deleteAttributes();
    void removeChildPointer(const ZqModel* child, bool silent);
    void removeParentPointer(const ZqModel* parent, bool silent);
    void purgeExpiredParents();
    // True when model is this one or one of its ancestors.
    bool isSelfOrAncestor(const ZqModel* model) const;

    std::weak_ptr<ZqModel> m_self;
    ZqAttributeString* m_nameAttribute = nullptr;
    unsigned m_id = 0;
    std::size_t m_classLayout = 0;
    ZqAttributeList m_attributes;
    std::vector<std::weak_ptr<ZqModel>> m_parents;
    std::vector<ZqBaseAttribute*> m_referencingAttributes;
    std::vector<std::shared_ptr<ZqModel>> m_children;
    std::vector<ZqModelObserver*> m_observers;
};

// The typed access templates declared above.
#include "model/ZqModelAccess.h"
