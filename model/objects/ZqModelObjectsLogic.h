#pragma once

#include "attributes/ZqAttributeFundamental.h"
#include "attributes/ZqAttributePoint.h"
#include "attributes/ZqAttributeValue.h"
#include "model/ZqAttributeModel.h"
#include "model/ZqAttributeTable.h"
#include "model/ZqDataTokens.h"
#include "model/ZqStartMode.h"
#include "model/ZqChildList.h"
#include "model/ZqModelRegistry.h"
#include "model/scene/ZqModelAssets.h"
#include "model/scene/ZqModelObject.h"
#include "cocos2d.h"

#include <memory>
#include <string>

class MessagePackMap;
class ZqModelPolygon;
class ZqModelSpriteContainer;

// Grouping and game-logic objects: the group layer, the instance of another object, the
// transform zone and the three trigger zones (gatekeeper, teleport, screen jump).

#define ZQ_MODEL_OBJECT_GROUP_ATTRIBUTES(A, V)                                                     \
    V(ZqAttributeBool,       m_autoDepthSorting, "Auto Depth Sorting", false)                      \
    V(ZqAttributeStringList, m_sortDirection,    "Sort Direction",     "gAxisX")                   \
    V(ZqAttributeStringList, m_sortOrder,        "Sort Order",         "gSortAsc")

// A layer of the objects it holds as children. It keeps its children that are placed
// characters, in step with the child hooks.
class ZqBaseModelObjectGroup : public ZqModelObject {
public:
    explicit ZqBaseModelObjectGroup(const std::string& name);
    // Copies no children (see ZqModelObjectGroup::duplicate), so the count starts at 0.
    ZqBaseModelObjectGroup(const ZqBaseModelObjectGroup& source);

    void childAdded(const std::shared_ptr<ZqModel>& child) override;
    void childRemoved(const std::shared_ptr<ZqModel>& child) override;
    void childrenCleared() override;
    cocos2d::CCSize contentSize(float time) const override { return cocos2d::CCSize(60.0f, 60.0f); }

    bool isAutoDepthSorting() const { return m_autoDepthSorting->value(); }
    // "gAxisX" sorts along x; anything else along y.
    const std::string& sortDirection() const { return m_sortDirection->value(); }
    // "gSortAsc" ascending; anything else descending.
    const std::string& sortOrder() const { return m_sortOrder->value(); }
    // Children that are ZqModelObjectAssetCharacter models.
    int characterCount() const { return static_cast<int>(m_characters.size()); }

    ZQ_ATTRIBUTE_MEMBERS(ZQ_MODEL_OBJECT_GROUP_ATTRIBUTES)

private:
    ZqChildList<ZqModelObjectAssetCharacter, ZqChildMatch::kClass> m_characters;
};

class ZqModelObjectGroup : public ZqBaseModelObjectGroup {
public:
    using ZqBaseModelObjectGroup::ZqBaseModelObjectGroup;
    ZQ_MODEL_KIND(ZqModelObjectGroup, ZqModelObject)
    ZQ_MODEL_FACTORY(ZqModelObjectGroup)
    static std::shared_ptr<ZqModelObjectGroup> create(const ZqModelObjectGroup& source)
    {
        return zqCreateModel<ZqModelObjectGroup>(source);
    }
    // The group alone, deep or not: the level-section copy refills it with its own copies.
    std::shared_ptr<ZqModel> duplicate(bool deep, bool registerCopy) const override;
};

#define ZQ_MODEL_OBJECT_INSTANCE_ATTRIBUTES(A, V)                                                  \
    V(ZqAttributeObjectAsset, m_reference, "Reference", nullptr)

// Another placement of an existing object model: it answers the spawner questions and
// shows the picture of the object its "Reference" names. Without one (or when the
// reference was dropped) it answers false, 0 and empty.
class ZqBaseModelObjectInstance : public ZqModelObject {
public:
    explicit ZqBaseModelObjectInstance(const std::string& name);
    ZqBaseModelObjectInstance(const ZqBaseModelObjectInstance& source);

    std::shared_ptr<ZqModelSpriteContainer> spriteContainer() const override;
    bool hasSpawner() const override;
    float spawnRate() const override;

    // The placed object, read like "Asset" of an object asset.
    std::shared_ptr<ZqModelObjectAsset> reference() const;
    void setReference(const std::shared_ptr<ZqModelObjectAsset>& object) { m_reference->setValue(object); }

    ZQ_ATTRIBUTE_MEMBERS(ZQ_MODEL_OBJECT_INSTANCE_ATTRIBUTES)
};

class ZqModelObjectInstance : public ZqBaseModelObjectInstance {
public:
    using ZqBaseModelObjectInstance::ZqBaseModelObjectInstance;
    ZQ_MODEL_IDENTITY(ZqModelObjectInstance, ZqModelObject)
    ZQ_MODEL_FACTORY(ZqModelObjectInstance)
};

// Base of the objects that keep a collision outline of their own instead of their asset's
// (lights, flags, mirrors and the trigger zones). The outline is a polygon made here, not
// registered, starting as a 60 x 60 box around the object's centre: the size the editor
// shows such an object at. It is stored like a polygon's outline, as "points" and
// "oneWayCollisionVector" in the object's own attributes map; a copy gets its own polygon.
class ZqBaseModelObjectOwnShape : public ZqModelObjectAsset {
public:
    static constexpr float kDefaultSide = 60.0f;

    explicit ZqBaseModelObjectOwnShape(const std::string& name);
    ZqBaseModelObjectOwnShape(const ZqBaseModelObjectOwnShape& source);

    void collectKeys() const override;
    void packAttributes(MessagePackMap& map) const override;
    // The object's entries, then the outline when the map has one; a value of the wrong
    // shape throws msgpack::type_error. At most ZqModelPolygon::kMaxVertices points are kept.
    void unpackAttributes(const MessagePackMap& map) override;

    // The own outline; never empty.
    std::shared_ptr<ZqModelPolygon> collisionShape() const override { return m_ownShape; }
    cocos2d::CCSize contentSize(float time) const override;

private:
    std::shared_ptr<ZqModelPolygon> m_ownShape;
};

// Empty-able modifiers start empty: an axis left empty keeps the object's own value.
// "Affected asset" holds an asset id as text.
#define ZQ_MODEL_OBJECT_LOGIC_ATTRIBUTES(A, V)                                                     \
    V(ZqAttributePoint,      m_positionModifier,        "Position Modifier",         cocos2d::CCPoint()) \
    V(ZqAttributeFloat,      m_rotationModifier,        "Rotation Modifier",         0.0f)              \
    V(ZqAttributePoint,      m_scaleModifier,           "Scale Modifier",            cocos2d::CCPoint()) \
    V(ZqAttributeBool,       m_worldSpace,              "World Space",               false)             \
    V(ZqAttributePoint,      m_linearVelocityModifier,  "Linear Velocity Modifier",  cocos2d::CCPoint()) \
    V(ZqAttributeFloat,      m_angularVelocityModifier, "Angular Velocity Modifier", 0.0f)              \
    V(ZqAttributeStringList, m_affectedAsset,           "Affected asset",            "")                \
    V(ZqAttributeOperation,  m_affectOperation,         "Affect operation",          "")

// A transform zone: changes the placement and motion of the objects it affects.
class ZqBaseModelObjectLogic : public ZqModelObjectAsset {
public:
    explicit ZqBaseModelObjectLogic(const std::string& name);
    ZqBaseModelObjectLogic(const ZqBaseModelObjectLogic& source);

    cocos2d::CCSize contentSize(float time) const override { return cocos2d::CCSize(60.0f, 60.0f); }

    // Read per axis (isXEmpty / isYEmpty) or, for floats, through isEmpty.
    const ZqAttributePoint& positionModifier() const { return *m_positionModifier; }
    const ZqAttributeFloat& rotationModifier() const { return *m_rotationModifier; }
    const ZqAttributePoint& scaleModifier() const { return *m_scaleModifier; }
    const ZqAttributePoint& linearVelocityModifier() const { return *m_linearVelocityModifier; }
    const ZqAttributeFloat& angularVelocityModifier() const { return *m_angularVelocityModifier; }
    bool isWorldSpace() const { return m_worldSpace->value(); }
    // The asset id of "Affected asset"; 0 when the text is not a number.
    int affectedAsset() const;
    // "kAdd", "kMultiply" or "kReplace".
    ZqOperation affectOperation() const { return m_affectOperation->code(); }

    ZQ_ATTRIBUTE_MEMBERS(ZQ_MODEL_OBJECT_LOGIC_ATTRIBUTES)
};

class ZqModelObjectLogic : public ZqBaseModelObjectLogic {
public:
    using ZqBaseModelObjectLogic::ZqBaseModelObjectLogic;
    ZQ_MODEL_IDENTITY(ZqModelObjectLogic, ZqModelObjectAsset)
    ZQ_MODEL_FACTORY(ZqModelObjectLogic)
};

#define ZQ_MODEL_OBJECT_GATEKEEPER_ATTRIBUTES(A, V)                                                \
    V(ZqAttributeFloat, m_passedAmount, "Passed Amount", 0.0f)

// A gate that lets a number of objects pass.
class ZqModelObjectGatekeeper : public ZqBaseModelObjectOwnShape {
public:
    explicit ZqModelObjectGatekeeper(const std::string& name);
    ZqModelObjectGatekeeper(const ZqModelObjectGatekeeper& source);
    ZQ_MODEL_IDENTITY(ZqModelObjectGatekeeper, ZqModelObjectAsset)
    ZQ_MODEL_FACTORY(ZqModelObjectGatekeeper)

    float passedAmount() const { return m_passedAmount->value(); }

    ZQ_ATTRIBUTE_MEMBERS(ZQ_MODEL_OBJECT_GATEKEEPER_ATTRIBUTES)
};

#define ZQ_MODEL_OBJECT_TELEPORT_ATTRIBUTES(A, V)                                                  \
    V(ZqAttributeFloat, m_groupId,           "Group ID",            0.0f)                          \
    V(ZqAttributeBool,  m_deleteInputObject, "Delete Input Object", false)                         \
    V(ZqAttributeBool,  m_singleUse,         "Single Use",          false)                         \
    V(ZqAttributeBool,  m_exitOnly,          "Exit Only",           false)                         \
    V(ZqAttributeFloat, m_searchRadius,      "Search Radius",       0.0f)

// A portal: objects entering it leave through another portal of the same group.
class ZqModelObjectTeleport : public ZqBaseModelObjectOwnShape {
public:
    explicit ZqModelObjectTeleport(const std::string& name);
    ZqModelObjectTeleport(const ZqModelObjectTeleport& source);
    ZQ_MODEL_IDENTITY(ZqModelObjectTeleport, ZqModelObjectAsset)
    ZQ_MODEL_FACTORY(ZqModelObjectTeleport)

    float groupId() const { return m_groupId->value(); }
    bool deleteInputObject() const { return m_deleteInputObject->value(); }
    bool isSingleUse() const { return m_singleUse->value(); }
    bool isExitOnly() const { return m_exitOnly->value(); }
    // Points.
    float searchRadius() const { return m_searchRadius->value(); }

    ZQ_ATTRIBUTE_MEMBERS(ZQ_MODEL_OBJECT_TELEPORT_ATTRIBUTES)
};

#define ZQ_MODEL_OBJECT_SCREEN_JUMP_ATTRIBUTES(A, V)                                               \
    V(ZqAttributeStartFunction, m_function,       "Function",            "")                       \
    V(ZqAttributeBool,       m_pauseCurrentWorld, "Pause Current World", false)

// A zone that opens another screen when a character touches it.
class ZqModelObjectScreenJump : public ZqBaseModelObjectOwnShape {
public:
    explicit ZqModelObjectScreenJump(const std::string& name);
    ZqModelObjectScreenJump(const ZqModelObjectScreenJump& source);
    ZQ_MODEL_IDENTITY(ZqModelObjectScreenJump, ZqModelObjectAsset)
    ZQ_MODEL_FACTORY(ZqModelObjectScreenJump)

    // The start "Function" asks of the next game.
    ZqStartFunction function() const { return m_function->code(); }
    bool pauseCurrentWorld() const { return m_pauseCurrentWorld->value(); }

    ZQ_ATTRIBUTE_MEMBERS(ZQ_MODEL_OBJECT_SCREEN_JUMP_ATTRIBUTES)
};
