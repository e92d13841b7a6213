#pragma once

#include "app/ZqObjectStates.h"
#include "objects/ZqPhysicsBody.h"
#include "cocos2d.h"

#include <box2d/box2d.h>

#include <memory>
#include <vector>

class ZqComponent;
class ZqModel;

// The node of every placed game object: an object model joined to the scene graph, with a
// state that others may request, an object-type bit set, owned behaviour components, a
// reference node (the game-field camera) whose space is the field, a visibility test
// against the visible area, and removal of children that reached kStateRemoved.
//
// The engine never schedules these nodes: the game field calls update(1/60) on the objects
// it holds and each object updates its own children.
class ZqPObject : public cocos2d::CCNode {
public:
    // Object states: kStateNormal to kStateCount.
    using enum zqobject::State;
    // No state requested.
    static constexpr int kNoRequest = -1;

    // Object-type bits; an object's type is a set of them. kTypeCount counts the bits and
    // is no bit itself.
    enum Type : int {
        kTypeCharacter = 1,
        kTypeUnit = 2,
        kTypePowerup = 4,
        kTypeBackground = 8,
        kTypeSpawnedCopy = 16,
        kTypeEffect = 32,
        kTypeText = 64,
        kTypeLogic = 128,
        kTypeTeleport = 256,
        kTypeCarried = 512,
        kTypeGroup = 1024,
        kTypeMirror = 2048,
        kTypeCount = 12
    };
    static_assert(kTypeMirror == 1 << (kTypeCount - 1));

    explicit ZqPObject(std::shared_ptr<ZqModel> model);
    // Deletes the components, then releases the model.
    ~ZqPObject() override;

    // The requested state, the components, the children (those reaching kStateRemoved are
    // then removed), and the visibility from isInVisibleArea, in that order.
    void update(float dt) override;

    // ownerReset on every component.
    virtual void reset();
    // Called when the field restores a checkpoint or a screen resets its objects.
    virtual void resetOnRestart() {}
    // Stores the state, then ownerStateChanged on every component.
    virtual void setState(int state);
    // A 100 x 100 square centred on the position (plus the parent's position when the
    // parent is not the reference node).
    virtual cocos2d::CCRect boundingRect() const;
    virtual void wakeUp() { m_woken = true; }
    // The box of the first fixture's first proxy in metres; zeros without one.
    virtual b2AABB fixtureBounds() const;
    virtual void setSpawnSource(bool spawnSource) { m_spawnSource = spawnSource; }
    // Not retained.
    virtual void setReferenceNode(cocos2d::CCNode* node) { m_referenceNode = node; }
    virtual void setObjectType(int type) { m_objectType = type; }
    virtual void setColorFactor(float factor) { m_colorFactor = factor; }
    // The last visible child with a positive tag, or no reference node, answers true;
    // otherwise whether boundingRect meets the window widened by the deletion thresholds.
    virtual bool isInVisibleArea() const;
    // The window in reference's space widened by the back deletion threshold along x and
    // the sides threshold along y: where field objects may be.
    static cocos2d::CCRect widenedVisibleArea(const cocos2d::CCNode& reference);
    virtual bool castsShadow() const { return false; }
    virtual void setMovementActive(bool active) { m_movementActive = active; }

    std::shared_ptr<ZqModel> getModel() const { return m_model; }
    const std::shared_ptr<ZqModel>& model() const { return m_model; }
    b2Body* getBody() const { return m_body.get(); }
    int state() const { return m_state; }
    int objectType() const { return m_objectType; }
    bool isSpawnSource() const { return m_spawnSource; }
    bool isWoken() const { return m_woken; }
    cocos2d::CCNode* referenceNode() const { return m_referenceNode; }
    float colorFactor() const { return m_colorFactor; }
    bool isMovementActive() const { return m_movementActive; }
    int requestedState() const { return m_requestedState; }

    // A copy of the component list, in order.
    std::vector<ZqComponent*> components() const { return m_components; }
    // The first component made from a health component model; null when none.
    ZqComponent* healthComponent() const;
    // Applied at the start of the next update; kNoRequest cancels.
    void requestState(int state) { m_requestedState = state; }
    // The i-th component takes the enabled flag of source's i-th, over the common length.
    void reapplyComponentStates(const ZqPObject& source);
    // The z order inside the game-field camera of the outermost object this one sits in.
    int fieldZOrder() const;

    // Appends a component made for this object; the object owns it from now on.
    void addComponent(ZqComponent* component);

protected:
    ZqPhysicsBody m_body;

private:
    // Updates every child over a retained snapshot and removes those that reached kStateRemoved.
    void updateChildren(float dt);

    std::shared_ptr<ZqModel> m_model;
    int m_state = kStateNormal;
    int m_objectType = 0;
    bool m_spawnSource = false;
    bool m_woken = false;
    bool m_movementActive = true;
    cocos2d::CCNode* m_referenceNode = nullptr;
    float m_colorFactor = 1.0f;
    std::vector<ZqComponent*> m_components;
    int m_requestedState = kNoRequest;
    // Reused every frame, so that the walk allocates nothing once they have grown.
    std::vector<cocos2d::CCNode*> m_childSnapshot;
    std::vector<ZqPObject*> m_removed;
};
