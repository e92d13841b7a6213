#include "model/objects/ZqModelComponentsBehaviour.h"

#include "model/scene/ZqModelMedia.h"
#include "model/scene/ZqModelShapes.h"

#include <ZqNumeric.h>

#include <sstream>

using namespace cocos2d;

int zqAffectedAssetId(const std::string& text)
{
    std::istringstream stream(text);
    int id = 0;
    if (!(stream >> id))
        return 0;
    return id;
}

// The plain and copy constructors of a component whose attributes are all in its table.
#define ZQ_COMPONENT_CONSTRUCTORS(ClassName, Base, TABLE)                                          \
    ClassName::ClassName(const std::string& name)                                                  \
        : Base(name)                                                                               \
    {                                                                                              \
        ZQ_ATTRIBUTE_CREATE(TABLE)                                                                 \
    }                                                                                              \
    ClassName::ClassName(const ClassName& source)                                                  \
        : Base(source)                                                                             \
    {                                                                                              \
        ZQ_ATTRIBUTE_REBIND(TABLE)                                                                 \
    }

ZQ_COMPONENT_CONSTRUCTORS(ZqModelComponentForcedMovement, ZqModelComponent,
                          ZQ_COMPONENT_FORCED_MOVEMENT_ATTRIBUTES)
ZQ_COMPONENT_CONSTRUCTORS(ZqModelComponentDeletionThreshold, ZqModelComponent,
                          ZQ_COMPONENT_DELETION_THRESHOLD_ATTRIBUTES)
ZQ_COMPONENT_CONSTRUCTORS(ZqModelComponentSpawner, ZqModelComponent, ZQ_COMPONENT_SPAWNER_ATTRIBUTES)
ZQ_COMPONENT_CONSTRUCTORS(ZqModelComponentWakeup, ZqModelComponent, ZQ_COMPONENT_WAKEUP_ATTRIBUTES)
ZQ_COMPONENT_CONSTRUCTORS(ZqModelComponentDamage, ZqModelComponent, ZQ_COMPONENT_DAMAGE_ATTRIBUTES)
ZQ_COMPONENT_CONSTRUCTORS(ZqBaseModelComponentCharacterGameplaySettings, ZqModelComponent,
                          ZQ_COMPONENT_GAMEPLAY_SETTINGS_ATTRIBUTES)
ZQ_COMPONENT_CONSTRUCTORS(ZqModelComponentCharacterIcon, ZqModelComponent,
                          ZQ_COMPONENT_CHARACTER_ICON_ATTRIBUTES)
ZQ_COMPONENT_CONSTRUCTORS(ZqBaseModelComponentIsoJump, ZqModelComponent, ZQ_COMPONENT_ISO_JUMP_ATTRIBUTES)
ZQ_COMPONENT_CONSTRUCTORS(ZqBaseModelComponentMotor, ZqModelComponent, ZQ_COMPONENT_MOTOR_ATTRIBUTES)
ZQ_COMPONENT_CONSTRUCTORS(ZqModelComponentRotationMapper, ZqModelComponent,
                          ZQ_COMPONENT_ROTATION_MAPPER_ATTRIBUTES)
ZQ_COMPONENT_CONSTRUCTORS(ZqModelComponentSlide, ZqModelComponent, ZQ_COMPONENT_SLIDE_ATTRIBUTES)

int ZqModelComponentDamage::damage() const
{
    return zqSaturatingInt(m_damage->value());
}

std::shared_ptr<ZqModelAnimation> ZqModelComponentCharacterIcon::regularIcon() const
{
    return m_regularIcon->value();
}

std::shared_ptr<ZqModelAnimation> ZqModelComponentCharacterIcon::lockedIcon() const
{
    return m_lockedIcon->value();
}

std::shared_ptr<ZqModelAnimation> ZqModelComponentCharacterIcon::selectedIcon() const
{
    return m_selectedIcon->value();
}

ZqBaseModelComponentMove::ZqBaseModelComponentMove(const std::string& name)
    : ZqModelComponent(name)
{
    ZQ_ATTRIBUTE_CREATE(ZQ_COMPONENT_MOVE_ATTRIBUTES)
    m_linearVelocity->setEmptyAllowed(true, true);
    m_linearVelocity->setEmpty(true, true);
    m_angularVelocity->setAllowEmpty(true);
    m_angularVelocity->setEmpty(true);
}

ZqBaseModelComponentMove::ZqBaseModelComponentMove(const ZqBaseModelComponentMove& source)
    : ZqModelComponent(source)
{
    ZQ_ATTRIBUTE_REBIND(ZQ_COMPONENT_MOVE_ATTRIBUTES)
}

std::shared_ptr<ZqModelPolygon> ZqBaseModelComponentIsoJump::collisionShape() const { return m_collisionShape->value(); }
std::shared_ptr<ZqModelAnimation> ZqBaseModelComponentIsoJump::animation() const { return m_animation->value(); }
std::shared_ptr<ZqModelAnimation> ZqBaseModelComponentIsoJump::ground() const { return m_ground->value(); }
std::shared_ptr<ZqModelSound> ZqBaseModelComponentIsoJump::jumpSound() const { return m_jumpSound->value(); }
std::shared_ptr<ZqModelSound> ZqBaseModelComponentIsoJump::doubleJumpSound() const { return m_doubleJumpSound->value(); }
std::shared_ptr<ZqModelPolygon> ZqBaseModelComponentMove::collisionShape() const { return m_collisionShape->value(); }
std::shared_ptr<ZqModelAnimation> ZqBaseModelComponentMove::animation() const { return m_animation->value(); }
std::shared_ptr<ZqModelSound> ZqBaseModelComponentMove::sound() const { return m_sound->value(); }
std::shared_ptr<ZqModelAnimation> ZqModelComponentRotationMapper::animation() const { return m_animation->value(); }
std::shared_ptr<ZqModelPolygon> ZqModelComponentSlide::collisionShape() const { return m_collisionShape->value(); }
std::shared_ptr<ZqModelAnimation> ZqModelComponentSlide::animation() const { return m_animation->value(); }
std::shared_ptr<ZqModelSound> ZqModelComponentSlide::sound() const { return m_sound->value(); }
