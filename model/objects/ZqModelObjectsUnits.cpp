#include "model/objects/ZqModelObjectsUnits.h"

#include "model/objects/ZqModelComponentsBehaviour.h"
#include "model/scene/ZqModelMedia.h"

ZqBaseModelAssetObstacle::ZqBaseModelAssetObstacle(const std::string& name)
    : ZqModelAsset(name)
{
    ZQ_ATTRIBUTE_CREATE(ZQ_MODEL_ASSET_OBSTACLE_ATTRIBUTES)
}

ZqBaseModelAssetObstacle::ZqBaseModelAssetObstacle(const ZqBaseModelAssetObstacle& source)
    : ZqModelAsset(source)
{
    ZQ_ATTRIBUTE_REBIND(ZQ_MODEL_ASSET_OBSTACLE_ATTRIBUTES)
}

std::shared_ptr<ZqModelSpriteContainer> ZqBaseModelAssetObstacle::spriteContainer() const
{
    return m_idleAnimation ? m_idleAnimation->sourceSprite() : nullptr;
}

void ZqBaseModelAssetObstacle::setIdleAnimation(const std::shared_ptr<ZqModelAnimation>& animation)
{
    m_idleAnimation->setValue(animation);
}

std::shared_ptr<ZqModelAnimation> ZqBaseModelAssetObstacle::idleAnimation() const { return m_idleAnimation->value(); }
std::shared_ptr<ZqModelAnimation> ZqBaseModelAssetObstacle::defeatedAnimation() const { return m_defeatedAnimation->value(); }
std::shared_ptr<ZqModelSound> ZqBaseModelAssetObstacle::idleSound() const { return m_idleSound->value(); }
std::shared_ptr<ZqModelSound> ZqBaseModelAssetObstacle::deathSound() const { return m_deathSound->value(); }
std::shared_ptr<ZqModelSound> ZqBaseModelAssetObstacle::wakeUpSound() const { return m_wakeUpSound->value(); }

ZqBaseModelObjectAssetUnit::ZqBaseModelObjectAssetUnit(const std::string& name)
    : ZqModelObjectAsset(name)
{
    ZQ_ATTRIBUTE_CREATE(ZQ_MODEL_OBJECT_ASSET_UNIT_ATTRIBUTES)
}

ZqBaseModelObjectAssetUnit::ZqBaseModelObjectAssetUnit(const ZqBaseModelObjectAssetUnit& source)
    : ZqModelObjectAsset(source)
{
    ZQ_ATTRIBUTE_REBIND(ZQ_MODEL_OBJECT_ASSET_UNIT_ATTRIBUTES)
}

std::shared_ptr<ZqModelComponentSpawner> ZqBaseModelObjectAssetUnit::spawner() const
{
    return firstChildOfClass<ZqModelComponentSpawner>();
}

std::shared_ptr<ZqModelComponentWakeup> ZqBaseModelObjectAssetUnit::wakeup() const
{
    return firstChildOfClass<ZqModelComponentWakeup>();
}

bool ZqBaseModelObjectAssetUnit::hasSpawner() const
{
    return spawner() != nullptr;
}

float ZqBaseModelObjectAssetUnit::spawnRate() const
{
    const std::shared_ptr<ZqModelComponentSpawner> component = spawner();
    return component ? component->spawnInterval() : 1.0f;
}

std::shared_ptr<ZqModelAssetObstacle> ZqBaseModelObjectAssetUnit::assetObstacle() const
{
    return modelCast<ZqModelAssetObstacle>(asset());
}

std::shared_ptr<ZqModelSound> ZqBaseModelObjectAssetUnit::idleSound() const
{
    const std::shared_ptr<ZqModelAssetObstacle> obstacle = assetObstacle();
    return obstacle ? obstacle->idleSound() : nullptr;
}

ZqSpawnAction ZqBaseModelObjectAssetUnit::spawnAction() const
{
    const std::shared_ptr<ZqModelComponentSpawner> component = spawner();
    return component ? component->spawnAction() : kSpawnActionOther;
}

ZqWakeUpType ZqBaseModelObjectAssetUnit::wakeUpType() const
{
    const std::shared_ptr<ZqModelComponentWakeup> component = wakeup();
    return component ? component->wakeUp() : kNoWakeup;
}

ZqSleepType ZqBaseModelObjectAssetUnit::sleepType() const
{
    const std::shared_ptr<ZqModelComponentWakeup> component = wakeup();
    return component ? component->sleep() : kNoSleep;
}

float ZqBaseModelObjectAssetUnit::wakeupDistance() const
{
    const std::shared_ptr<ZqModelComponentWakeup> component = wakeup();
    return component ? component->wakeupDistance() : 0.0f;
}

float ZqBaseModelObjectAssetUnit::sleepDistance() const
{
    const std::shared_ptr<ZqModelComponentWakeup> component = wakeup();
    return component ? component->sleepDistance() : 0.0f;
}

void ZqBaseModelObjectAssetUnit::setSpawnerEnabled(bool enabled)
{
    if (enabled) {
        if (!hasSpawner())
            addChild(ZqModelComponentSpawner::create());
        return;
    }
    for (const std::shared_ptr<ZqModelComponentSpawner>& component : childrenOfClass<ZqModelComponentSpawner>())
        removeChild(component);
}

void ZqBaseModelObjectAssetUnit::setSpawnAction(const std::string& action)
{
    if (const std::shared_ptr<ZqModelComponentSpawner> component = spawner())
        component->setSpawnAction(action);
}

void ZqBaseModelObjectAssetUnit::setSpawnRate(float seconds)
{
    if (const std::shared_ptr<ZqModelComponentSpawner> component = spawner())
        component->setSpawnRate(seconds);
}

ZqModelObjectBackground::ZqModelObjectBackground(const std::string& name)
    : ZqModelObject(name)
{
    ZQ_ATTRIBUTE_CREATE(ZQ_MODEL_OBJECT_BACKGROUND_ATTRIBUTES)
}

ZqModelObjectBackground::ZqModelObjectBackground(const ZqModelObjectBackground& source)
    : ZqModelObject(source)
{
    ZQ_ATTRIBUTE_REBIND(ZQ_MODEL_OBJECT_BACKGROUND_ATTRIBUTES)
}

std::shared_ptr<ZqModelSpriteContainer> ZqModelObjectBackground::spriteContainer() const
{
    return m_image->value();
}
