#include "model/scene/ZqModelComponents.h"

#include "model/scene/ZqModelMedia.h"

#include <ZqNumeric.h>

ZqModelComponentHealth::ZqModelComponentHealth(const std::string& name)
    : ZqModelComponent(name)
{
    ZQ_ATTRIBUTE_CREATE(ZQ_COMPONENT_HEALTH_ATTRIBUTES)
}

ZqModelComponentHealth::ZqModelComponentHealth(const ZqModelComponentHealth& source)
    : ZqModelComponent(source)
    , currentLives(source.currentLives)
{
    ZQ_ATTRIBUTE_REBIND(ZQ_COMPONENT_HEALTH_ATTRIBUTES)
}

std::shared_ptr<ZqModelAnimation> ZqModelComponentHealth::takingDamageAnimation() const
{
    return m_takingDamageAnimation->value();
}

std::shared_ptr<ZqModelSound> ZqModelComponentHealth::takingDamageSound() const
{
    return m_takingDamageSound->value();
}

int ZqModelComponentHealth::health() const
{
    return zqSaturatingInt(m_health->value());
}

int ZqModelComponentHealth::lives() const
{
    return zqSaturatingInt(m_lives->value());
}

ZqModelComponentScore::ZqModelComponentScore(const std::string& name)
    : ZqModelComponent(name)
{
    ZQ_ATTRIBUTE_CREATE(ZQ_COMPONENT_SCORE_ATTRIBUTES)
}

ZqModelComponentScore::ZqModelComponentScore(const ZqModelComponentScore& source)
    : ZqModelComponent(source)
{
    ZQ_ATTRIBUTE_REBIND(ZQ_COMPONENT_SCORE_ATTRIBUTES)
}
