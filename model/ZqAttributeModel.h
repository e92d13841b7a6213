#pragma once

#include "attributes/ZqBaseAttribute.h"

#include <ZqTypeId.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class ZqModel;
class ZqModelAnimation;
class ZqModelAsset;
class ZqModelObject;
class ZqModelObjectAsset;
class ZqModelPolygon;
class ZqModelSound;
class ZqModelSpriteContainer;

// Attributes that point at another model, owned by the model controller like every model.
// The reference is written only into the owner's connections map as {"value": id} and is
// turned back into a shared pointer through the controller when the connections are read.
// While an attribute refers to model M it is in M's referencing-attribute list exactly
// once; every assignment and the destructor keep that list in step.

// Moves attribute's reference from the model in slot to model: the old model forgets the
// attribute, the slot takes model, the new model lists the attribute. Nothing when both
// are the same model. True when the reference changed.
bool zqReassignReference(ZqBaseAttribute& attribute, std::shared_ptr<ZqModel>& slot,
                         std::shared_ptr<ZqModel> model);

// The serial form every reference shares: the referenced model's id under "value", an
// unsigned in the connections map and "%u" text in a dictionary. Nothing when model is null.
void zqCollectReferenceKey(const ZqModel* model);
void zqPackReference(MessagePackMap& map, const ZqModel* model);
void zqSaveReference(cocos2d::CCDictionary* dictionary, const ZqModel* model);
// The id in a dictionary's "value" text; false when the dictionary is null or the text
// absent or empty.
bool zqReadReferenceText(cocos2d::CCDictionary* dictionary, unsigned& id);

// The class name of each class a reference may name, so that the accepted type id is known
// where the class itself is only declared (tests tie each to the class's own id).
template <class T>
inline constexpr std::string_view kZqReferencedClassName = {};
template <> inline constexpr std::string_view kZqReferencedClassName<ZqModelObject> = "ZqModelObject";
template <> inline constexpr std::string_view kZqReferencedClassName<ZqModelSound> = "ZqModelSound";
template <> inline constexpr std::string_view kZqReferencedClassName<ZqModelAsset> = "ZqModelAsset";
template <> inline constexpr std::string_view kZqReferencedClassName<ZqModelObjectAsset> = "ZqModelObjectAsset";
template <> inline constexpr std::string_view kZqReferencedClassName<ZqModelAnimation> = "ZqModelAnimation";
template <> inline constexpr std::string_view kZqReferencedClassName<ZqModelPolygon> = "ZqModelPolygon";

// The untyped part of the family: the shared pointer, its bookkeeping and its serial forms.
// Answers the identity of ZqAttribute (only the concrete classes have their own).
class ZqAttributeModelReference : public ZqAttribute {
public:
    // Leaves the referenced model's list, then releases it.
    ~ZqAttributeModelReference() override;

    // "value" when a model is referenced.
    void collectKeys() const override;
    void packAttributes(MessagePackMap& map) const override {}
    void unpackAttributes(const MessagePackMap& map) override {}
    // The base link entry, then "value": the referenced id when a model is set.
    void packConnections(MessagePackMap& map) const override;
    // The base link entry, then the model of kind acceptedKind under "value"; an absent
    // entry, id 0, an unknown id or a model of another class clears the reference. Silent.
    // A "value" that is not a 32-bit unsigned integer throws msgpack::type_error.
    void unpackConnections(const MessagePackMap& map) override;
    void loadValueFromDictionary(cocos2d::CCDictionary* dictionary) override {}
    // Like unpackConnections, but an absent or empty "value" text keeps the reference.
    void loadConnectionFromDictionary(cocos2d::CCDictionary* dictionary) override;
    // The base dictionary plus "value": "%u" of the id when a model is set (autoreleased).
    cocos2d::CCDictionary* saveConnectionToDictionary() const override;

    const std::shared_ptr<ZqModel>& model() const { return m_value; }
    // Assignment with bookkeeping; unless silent, changed(0) when the model changed.
    void setModel(std::shared_ptr<ZqModel> model, bool silent = false);
    // Type id of the class a read reference must be a kind of.
    uint32_t acceptedKind() const { return m_acceptedKind; }

protected:
    ZqAttributeModelReference(ZqAttributeName name, ZqAttributeOwner* owner, uint32_t acceptedKind);
    // The base copy, then the same model as the source (joining its referrers).
    ZqAttributeModelReference(ZqAttributeName name, ZqAttributeOwner* owner, const ZqAttributeModelReference& source);

    // Re-points at a deep duplicate of the referenced model, registered when the original
    // is: copies of shapes and animations never share them.
    void duplicateReference();
    // The referenced model, for the references that own theirs (shapes and animations).
    ZqAttributeOwner* ownedModel() const;

private:
    // The registered model of that id when it is a kind of acceptedKind, else empty.
    std::shared_ptr<ZqModel> lookUp(unsigned id) const;

    std::shared_ptr<ZqModel> m_value;
    uint32_t m_acceptedKind;
};

// A reference to a model of class T (or of a subclass). T must be complete where value()
// and setValue are used.
template <class T>
class ZqBaseAttributeModel : public ZqAttributeModelReference {
    static_assert(!kZqReferencedClassName<T>.empty(), "name the referenced class in kZqReferencedClassName");

public:
    ZqBaseAttributeModel(ZqAttributeName name, ZqAttributeOwner* owner)
        : ZqAttributeModelReference(std::move(name), owner, zqTypeIdOf(kZqReferencedClassName<T>))
    {
    }
    ZqBaseAttributeModel(ZqAttributeName name, ZqAttributeOwner* owner, const ZqBaseAttributeModel& source)
        : ZqAttributeModelReference(std::move(name), owner, source)
    {
    }

    std::shared_ptr<T> value() const { return std::static_pointer_cast<T>(model()); }
    void setValue(const std::shared_ptr<T>& value, bool silent = false) { setModel(value, silent); }
};

// "Object A", "Object B" of a linker. Copies share the object.
class ZqAttributeObject : public ZqBaseAttributeModel<ZqModelObject> {
public:
    using ZqBaseAttributeModel::ZqBaseAttributeModel;
    ZQ_ATTRIBUTE_IDENTITY(ZqAttributeObject)
};

// A sound to play. Copies share the sound.
class ZqAttributeSound : public ZqBaseAttributeModel<ZqModelSound> {
public:
    using ZqBaseAttributeModel::ZqBaseAttributeModel;
    ZQ_ATTRIBUTE_IDENTITY(ZqAttributeSound)
};

// "Asset" of a placed object. Copies share the asset.
class ZqAttributeAsset : public ZqBaseAttributeModel<ZqModelAsset> {
public:
    using ZqBaseAttributeModel::ZqBaseAttributeModel;
    ZQ_ATTRIBUTE_IDENTITY(ZqAttributeAsset)
};

// "Reference" of an instance. Copies share the object asset.
class ZqAttributeObjectAsset : public ZqBaseAttributeModel<ZqModelObjectAsset> {
public:
    using ZqBaseAttributeModel::ZqBaseAttributeModel;
    ZQ_ATTRIBUTE_IDENTITY(ZqAttributeObjectAsset)
};

// An animation with a loop flag. Copies refer to a duplicate of the animation, keep the
// loop flag and have no source sprite.
class ZqBaseAttributeAnimation : public ZqBaseAttributeModel<ZqModelAnimation> {
public:
    ZqBaseAttributeAnimation(ZqAttributeName name, ZqAttributeOwner* owner);
    ZqBaseAttributeAnimation(ZqAttributeName name, ZqAttributeOwner* owner, const ZqBaseAttributeAnimation& source);
    // Releases the source sprite, then the reference.
    ~ZqBaseAttributeAnimation() override;

    // The base reading, then the loop flag from the animation's "Loop" when one is set.
    void unpackConnections(const MessagePackMap& map) override;
    void loadConnectionFromDictionary(cocos2d::CCDictionary* dictionary) override;

    // The sprite container given to the last setFromSprite (empty otherwise).
    virtual std::shared_ptr<ZqModelSpriteContainer> sourceSprite() const;
    // Makes the animation a one-frame animation showing container (may be empty): the
    // referenced animation loses its frames, or a new registered animation (this loop
    // flag, "Duration" 3 s) is referenced; a non-empty container becomes a registered
    // image frame and the duration its sprite count / 30 s. Notifies once at the end.
    void setFromSprite(const std::shared_ptr<ZqModelSpriteContainer>& container);

    bool isLoop() const { return m_loop; }
    void setLoop(bool loop) { m_loop = loop; }

    // The animation is this attribute's own: registered and unregistered with its owner.
    ZqAttributeOwner* heldOwner() const override { return ownedModel(); }
    bool ownsHeldOwner() const override { return true; }

private:
    std::shared_ptr<ZqModelSpriteContainer> m_sourceSprite;
    bool m_loop = true;
};

class ZqAttributeAnimation : public ZqBaseAttributeAnimation {
public:
    using ZqBaseAttributeAnimation::ZqBaseAttributeAnimation;
    ZQ_ATTRIBUTE_IDENTITY(ZqAttributeAnimation)
};

// A collision shape: a polygon or a circle. Copies refer to a duplicate of the polygon.
class ZqBaseAttributeShape : public ZqBaseAttributeModel<ZqModelPolygon> {
public:
    ZqBaseAttributeShape(ZqAttributeName name, ZqAttributeOwner* owner);
    ZqBaseAttributeShape(ZqAttributeName name, ZqAttributeOwner* owner, const ZqBaseAttributeShape& source);

    // The polygon is this attribute's own: registered and unregistered with its owner.
    ZqAttributeOwner* heldOwner() const override { return ownedModel(); }
    bool ownsHeldOwner() const override { return true; }
};

class ZqAttributeShape : public ZqBaseAttributeShape {
public:
    using ZqBaseAttributeShape::ZqBaseAttributeShape;
    ZQ_ATTRIBUTE_IDENTITY(ZqAttributeShape)
};

// The linkers ("ZqModelLinker" models) whose "Object A" or "Object B" refers to model;
// transitive also follows each linker to its two objects and collects their linkers.
// Each linker once, in no particular order.
std::vector<std::shared_ptr<ZqModel>> collectReferencingModels(const std::shared_ptr<ZqModel>& model, bool transitive);

// The port through which a particle model lists its emitter models: it holds no value,
// only the links of ZqBaseAttribute (the emitters' attributes linked to it).
class ZqAttributeParticlesEmitters : public ZqAttribute {
public:
    // The type id of the emitter model class, ZqModelObjectParticlesEmitter.
    static constexpr std::size_t kEmitterTypeId = zqTypeIdOf("ZqModelObjectParticlesEmitter");

    ZqAttributeParticlesEmitters(ZqAttributeName name, ZqAttributeOwner* owner);
    ZqAttributeParticlesEmitters(ZqAttributeName name, ZqAttributeOwner* owner, const ZqAttributeParticlesEmitters& source);
    ZQ_ATTRIBUTE_IDENTITY(ZqAttributeParticlesEmitters)

    // The owners of the linked attributes that are emitter models (exact class), in link
    // order, each once.
    std::vector<std::shared_ptr<ZqModel>> emitterModels() const;
};
