#pragma once

#include "attributes/ZqAttributeFundamental.h"
#include "model/ZqAttributeModel.h"
#include "model/ZqAttributeTable.h"
#include "model/ZqModelRegistry.h"

#include <memory>
#include <string>

class ZqModelSpriteContainer;

// Base of every behaviour-component model. A component is attached to an object, asset or
// screen by becoming its child; the runtime builds a behaviour from it. Not registered:
// only its subclasses occur in game data.
class ZqModelComponent : public ZqModel {
public:
    using ZqModel::ZqModel;
    ZQ_MODEL_IDENTITY(ZqModelComponent, ZqModel)

    // The sprite container of a component that shows an animation; empty here.
    virtual std::shared_ptr<ZqModelSpriteContainer> spriteContainer() const { return nullptr; }
};

#define ZQ_COMPONENT_HEALTH_ATTRIBUTES(A, V)                                                       \
    V(ZqAttributeAnimation, m_takingDamageAnimation, "Taking Damage Anim.",  nullptr)              \
    V(ZqAttributeSound,     m_takingDamageSound,     "Taking Damage Sound",  nullptr)              \
    V(ZqAttributeFloat,     m_deathDelay,            "Death Delay",          0.0f)                 \
    V(ZqAttributeFloat,     m_health,                "Health",               1.0f)                 \
    V(ZqAttributeFloat,     m_lives,                 "Lives",                1.0f)

// Damage feedback, health and lives of a character.
class ZqModelComponentHealth : public ZqModelComponent {
public:
    explicit ZqModelComponentHealth(const std::string& name);
    // Re-binds the attributes; a copy's animation is a duplicate of the source's (the
    // reference attribute's copy rule), its sound the same model. The current-lives
    // counter is copied too.
    ZqModelComponentHealth(const ZqModelComponentHealth& source);
    ZQ_MODEL_IDENTITY(ZqModelComponentHealth, ZqModelComponent)
    ZQ_MODEL_FACTORY(ZqModelComponentHealth)

    std::shared_ptr<ZqModelAnimation> takingDamageAnimation() const;
    std::shared_ptr<ZqModelSound> takingDamageSound() const;
    // Seconds between defeat and removal.
    float deathDelay() const { return m_deathDelay->value(); }
    // "Health" and "Lives" truncated toward zero (saturating).
    int health() const;
    int lives() const;

    // The lives left in the running game; game logic sets it from lives(). Never packed.
    int currentLives = 1;

    ZQ_ATTRIBUTE_MEMBERS(ZQ_COMPONENT_HEALTH_ATTRIBUTES)
};

#define ZQ_COMPONENT_SCORE_ATTRIBUTES(A, V)                                                        \
    V(ZqAttributeBool, m_resetCoins,    "Reset Coins",    false)                                   \
    V(ZqAttributeBool, m_resetPoints,   "Reset Points",   false)                                   \
    V(ZqAttributeBool, m_resetDistance, "Reset Distance", false)

// Which score figures a game resets when it starts over.
class ZqModelComponentScore : public ZqModelComponent {
public:
    explicit ZqModelComponentScore(const std::string& name);
    ZqModelComponentScore(const ZqModelComponentScore& source);
    ZQ_MODEL_IDENTITY(ZqModelComponentScore, ZqModelComponent)
    ZQ_MODEL_FACTORY(ZqModelComponentScore)

    bool resetCoins() const { return m_resetCoins->value(); }
    bool resetPoints() const { return m_resetPoints->value(); }
    bool resetDistance() const { return m_resetDistance->value(); }

    ZQ_ATTRIBUTE_MEMBERS(ZQ_COMPONENT_SCORE_ATTRIBUTES)
};
