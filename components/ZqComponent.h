#pragma once

#include "cocos2d.h"

#include <memory>

class ZqModelComponent;
class ZqPObject;

// One behaviour of a runtime object (movement, motor, jump, slide, rotation frames, health),
// made from a component model of the object's asset. The object owns its components: it
// deletes them in its destructor (they are never autoreleased), updates them every frame
// before its own work, enabled or not, and tells them about its state changes and resets.
class ZqComponent : public cocos2d::CCObject {
public:
    ZqComponent() = default;
    ~ZqComponent() override = default;

    // The component of the model's exact class, with its model set; null for the classes
    // that are data only (damage, wake-up, spawner and the like) and for a null model.
    static ZqComponent* createComponent(const std::shared_ptr<ZqModelComponent>& model);

    void update(float dt) override {}
    // Concrete components call these first, then read their attributes or bind to the owner.
    virtual void setModel(const std::shared_ptr<ZqModelComponent>& model) { m_model = model; }
    // Not retained: the owner outlives its components.
    virtual void setOwner(ZqPObject* owner) { m_owner = owner; }
    // After every change of the owner's state; the component reads it from the owner.
    virtual void ownerStateChanged() {}
    virtual void ownerReset() {}
    virtual void setEnabled(bool enabled) { m_enabled = enabled; }
    virtual bool isEnabled() const { return m_enabled; }
    // The flag copied from the component of an object this one replaces; the move
    // component keeps its velocity here.
    virtual void setEnabledForReplacement(bool enabled) { setEnabled(enabled); }
    // A contact hit of amount after delay seconds; only the health component takes it (the
    // owner hands hits to its healthComponent alone). Whether the hit counted.
    virtual bool takeDamage(int amount, float delay) { return false; }

    std::shared_ptr<ZqModelComponent> model() const { return m_model; }
    ZqPObject* owner() const { return m_owner; }

private:
    std::shared_ptr<ZqModelComponent> m_model;
    bool m_enabled = false;
    ZqPObject* m_owner = nullptr;
};
