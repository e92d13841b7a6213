#include "engine/director/DirectorFixture.h"
#include "particle_nodes/CCParticleSystem.h"

#include <ZqLog.h>
#include <ZqRandom.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace cocos2d;

namespace {

// Exposes where each live particle is drawn.
class ProbeSystem : public CCParticleSystemQuad {
public:
    std::vector<CCPoint> drawPositions() const
    {
        std::vector<CCPoint> out;
        for (const Particle& p : m_particles)
            out.push_back(drawPosition(p, currentReferencePoint()));
        return out;
    }
};

ProbeSystem* makeSystem(unsigned int total, float rate, float life)
{
    ProbeSystem* system = new ProbeSystem();
    EXPECT_TRUE(system->initWithTotalParticles(total));
    system->autorelease();
    system->setEmissionRate(rate);
    system->setLife(life);
    return system;
}

void step(CCParticleSystem* system, float seconds)
{
    for (int i = 0; i < static_cast<int>(seconds * 60.0f + 0.5f); ++i)
        system->update(1.0f / 60.0f);
}

// The fixture's director drains the autoreleased systems and checks nothing leaked.
class ParticleSystemTest : public DirectorFixture {
protected:
    void SetUp() override
    {
        DirectorFixture::SetUp();
        zqSrand(7);
    }
    void TearDown() override
    {
        zqSetLogSink({});
        DirectorFixture::TearDown();
    }
};

TEST_F(ParticleSystemTest, CountFollowsEmissionRateUpToTheTotal)
{
    ProbeSystem* slow = makeSystem(100, 10.0f, 5.0f);
    ProbeSystem* fast = makeSystem(100, 30.0f, 5.0f);
    ProbeSystem* capped = makeSystem(20, 60.0f, 5.0f);
    step(slow, 1.0f);
    step(fast, 1.0f);
    step(capped, 1.0f);
    EXPECT_NEAR(slow->getParticleCount(), 10u, 1u);
    EXPECT_NEAR(fast->getParticleCount(), 30u, 1u);
    EXPECT_EQ(capped->getParticleCount(), 20u);
    // Rate 0 keeps the system active but emits nothing.
    fast->setEmissionRate(0.0f);
    const unsigned int before = fast->getParticleCount();
    step(fast, 0.5f);
    EXPECT_EQ(fast->getParticleCount(), before);
    EXPECT_TRUE(fast->isActive());
}

TEST_F(ParticleSystemTest, StopLetsLiveParticlesFinishAndResetRestarts)
{
    ProbeSystem* system = makeSystem(100, 20.0f, 1.0f);
    step(system, 0.5f);
    const unsigned int alive = system->getParticleCount();
    EXPECT_GT(alive, 5u);
    system->stopSystem();
    EXPECT_FALSE(system->isActive());
    step(system, 0.25f);
    EXPECT_GT(system->getParticleCount(), 0u);
    EXPECT_LE(system->getParticleCount(), alive);
    step(system, 1.0f);
    EXPECT_EQ(system->getParticleCount(), 0u);
    system->resetSystem();
    EXPECT_TRUE(system->isActive());
    step(system, 0.5f);
    EXPECT_GT(system->getParticleCount(), 5u);
    system->resetSystem();
    EXPECT_EQ(system->getParticleCount(), 0u);
}

TEST_F(ParticleSystemTest, FiniteDurationStopsEmission)
{
    ProbeSystem* system = makeSystem(100, 20.0f, 10.0f);
    system->setDuration(0.5f);
    step(system, 1.0f);
    EXPECT_FALSE(system->isActive());
    EXPECT_NEAR(system->getParticleCount(), 10u, 1u);
}

TEST_F(ParticleSystemTest, MotionFollowsSpeedAngleAndGravity)
{
    ProbeSystem* system = makeSystem(1, 1000.0f, 10.0f);
    system->setSpeed(60.0f);
    system->setAngle(90.0f);
    system->setGravity(CCPoint(-120.0f, 0.0f));
    system->update(0.01f);
    step(system, 0.5f);
    const CCPoint p = system->drawPositions().at(0);
    // After t = 0.51 s: y = 60 t, x = -60 t^2 (explicit Euler runs a little ahead).
    EXPECT_NEAR(p.y, 30.6f, 0.01f);
    EXPECT_NEAR(p.x, -15.6f, 1.0f);
    EXPECT_LT(p.x, -15.6f);
}

TEST_F(ParticleSystemTest, PositionTypeDecidesWhetherParticlesFollowTheEmitter)
{
    for (tCCPositionType type : {kCCPositionTypeFree, kCCPositionTypeRelative, kCCPositionTypeGrouped}) {
        CCNode* parent = CCNode::create();
        ProbeSystem* system = makeSystem(1, 1000.0f, 10.0f);
        system->setPositionType(type);
        parent->addChild(system);
        system->update(0.01f);
        system->setPosition(CCPoint(10, 0));
        parent->setPosition(CCPoint(0, 5));
        const CCPoint p = system->drawPositions().at(0);
        // Node space: moving the emitter moves a particle that stays put by the opposite.
        const CCPoint expected = type == kCCPositionTypeFree       ? CCPoint(-10, -5)
                                 : type == kCCPositionTypeRelative ? CCPoint(-10, 0)
                                                                   : CCPoint(0, 0);
        EXPECT_EQ(p, expected) << type;
        parent->removeChild(system);
    }
}

TEST_F(ParticleSystemTest, InvalidTotalsFailWithALogLine)
{
    std::vector<std::string> lines;
    zqSetLogSink([&](const char* line) { lines.emplace_back(line); });
    CCParticleSystemQuad* system = CCParticleSystemQuad::create();
    EXPECT_EQ(system->getTotalParticles(), 150u);
    EXPECT_FALSE(system->initWithTotalParticles(0));
    EXPECT_FALSE(system->initWithTotalParticles(CCParticleSystem::kMaxParticles + 1));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NE(lines[0].find("[CCParticleSystem]"), std::string::npos);
    EXPECT_FALSE(system->isBlendAdditive());
    system->setBlendAdditive(true);
    EXPECT_TRUE(system->isBlendAdditive());
}

} // namespace
