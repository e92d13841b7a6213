// Particles objects: one system per emitter with a texture, stepped by the object alone,
// silent while hidden, counter-scaled inside scaled parents, drawn under the camera.
#include "objects/object_test_support.h"

#include "model/objects/ZqModelObjectsEffects.h"
#include "objects/ZqPAnimationObject.h"
#include "objects/assets/ZqPObjectAssetParticles.h"

using namespace cocos2d;
using namespace field_test;

namespace {

class ParticlesObjectTest : public ObjectTest {
protected:
    // A particles model with one emitter of rate emissions a second living a second, and
    // one emitter without a texture.
    std::shared_ptr<ZqModelObjectParticles> particlesModel(float rate = 60.0f)
    {
        auto model = ZqModelController::shared()->createModel<ZqModelObjectParticles>();
        emitter = ZqModelController::shared()->createModel<ZqModelObjectParticlesEmitter>();
        auto texture = containerOf({{255, 255, 255, 255}});
        // An emitter's texture is its sprite's own image.
        std::filesystem::create_directories(dir.file("data/effects"));
        EXPECT_TRUE(media::writePng(
            dir.file("data/effects/ZqModelSprite_ID" + std::to_string(texture->sprites()[0]->id()) + ".png"), 8, 8,
            [](int, int) { return media::Rgba{255, 255, 255, 255}; }));
        emitter->m_texture->setValue(texture);
        emitter->m_color->setColorAt(0.0f, ccc4f(1, 1, 1, 1));
        emitter->m_color->setColorAt(1.0f, ccc4f(1, 1, 1, 1));
        emitter->m_totalParticles->setValue(100.0f);
        emitter->m_emissionRate->setValue(rate);
        emitter->m_life->setValue(1.0f);
        emitter->m_startSize->setValue(8.0f);
        emitter->m_endSize->setValue(8.0f);
        model->addEmitter(*emitter);
        bare = ZqModelController::shared()->createModel<ZqModelObjectParticlesEmitter>();
        model->addEmitter(*bare);
        return model;
    }

    ZqPObjectAssetParticles* particlesIn(CCNode* parent, const std::shared_ptr<ZqModelObjectParticles>& model)
    {
        ZqPObject* object = ZqPObjectAsset::createAssetObject(model);
        auto* particles = dynamic_cast<ZqPObjectAssetParticles*>(object);
        EXPECT_NE(particles, nullptr);
        parent->addChild(particles);
        return particles;
    }

    std::shared_ptr<ZqModelObjectParticlesEmitter> emitter;
    std::shared_ptr<ZqModelObjectParticlesEmitter> bare;
};

TEST_F(ParticlesObjectTest, StepsOnceAFrameUnderTheCameraAndFallsSilentWhenHidden)
{
    CCNode* camera = CCNode::create();
    scene->addChild(camera, 3);
    ZqPObjectAssetParticles* particles = particlesIn(camera, particlesModel());
    particles->setPosition(20, 20);
    particles->setReferenceNode(camera);
    ASSERT_EQ(particles->systems().size(), 1u);
    CCParticleSystemQuad* system = particles->systems()[0];
    EXPECT_EQ(system->getParent(), camera);

    // The director's frames do not step the system; the object's update does, once.
    frame();
    EXPECT_EQ(system->getParticleCount(), 0u);
    particles->update(0.5f);
    EXPECT_NEAR(system->getParticleCount(), 30u, 1u);
    EXPECT_EQ(system->getPosition(), CCPoint(20, 20));
    // Under the camera the systems draw one below an object at z 0.
    EXPECT_EQ(system->getZOrder(), -1);

    // Out of the visible area the object hides: live particles go on, none are born.
    const unsigned int alive = system->getParticleCount();
    particles->setPosition(2000, 20);
    particles->update(0.1f);
    EXPECT_FALSE(particles->isVisible());
    EXPECT_FLOAT_EQ(system->getEmissionRate(), 0.0f);
    EXPECT_LE(system->getParticleCount(), alive);
    particles->setPosition(20, 20);
    particles->update(0.0f);
    EXPECT_FLOAT_EQ(system->getEmissionRate(), 60.0f);

    particles->stopSystems();
    particles->update(1.1f);
    EXPECT_EQ(system->getParticleCount(), 0u);
    particles->resetSystems();
    particles->update(0.5f);
    EXPECT_GT(system->getParticleCount(), 0u);
}

TEST_F(ParticlesObjectTest, ParticlesShowAndStopAfterStopSystems)
{
    CCNode* camera = CCNode::create();
    scene->addChild(camera);
    ZqPObjectAssetParticles* particles = particlesIn(camera, particlesModel(200.0f));
    particles->setPosition(32, 24);
    particles->setReferenceNode(camera);
    particles->update(0.2f);
    frame();
    EXPECT_PIXEL(*this, 32, 24, 255, 255, 255);
    particles->stopSystems();
    particles->update(1.1f);
    frame();
    EXPECT_PIXEL(*this, 32, 24, 0, 0, 0);
}

TEST_F(ParticlesObjectTest, CounterScaleAgainstTheParent)
{
    CCNode* parent = CCNode::create();
    scene->addChild(parent);
    ZqPObjectAssetParticles* particles = particlesIn(parent, particlesModel());
    EXPECT_EQ(particles->systems()[0]->getParent(), particles);
    const struct {
        float parentX, parentY, x, y;
    } cases[] = {{0.5f, 0.5f, 1.5f, 1.5f}, {2.0f, 4.0f, 0.5f, 0.5f}, {-0.5f, 0.5f, -1.5f, 1.5f}};
    for (const auto& c : cases) {
        parent->setScaleX(c.parentX);
        parent->setScaleY(c.parentY);
        particles->update(kStep);
        EXPECT_FLOAT_EQ(particles->getScaleX(), c.x) << c.parentX;
        EXPECT_FLOAT_EQ(particles->getScaleY(), c.y) << c.parentY;
    }
}

TEST_F(ParticlesObjectTest, NoEmittersMeansNoSystemsAndColourFactorScalesTheGradients)
{
    auto empty = zqCreateModel<ZqModelObjectParticles>("particles");
    ZqPObjectAssetParticles* none = particlesIn(scene, empty);
    EXPECT_TRUE(none->systems().empty());
    none->setVisible(false);
    none->update(kStep);

    auto model = particlesModel();
    ZqPObjectAssetParticles* particles = particlesIn(scene, model);
    const ccColor4F start = emitter->colorAt(0.0f);
    particles->setColorFactor(0.5f);
    EXPECT_FLOAT_EQ(particles->systems()[0]->getStartColor().a, start.a * 0.5f);
}

TEST_F(ParticlesObjectTest, AnimationFramesStopAndRestartTheirSystems)
{
    auto animationModel = ZqModelController::shared()->createModel<ZqModelAnimation>();
    animationModel->setDuration(0.1f);
    animationModel->setLoop(false);
    animationModel->addChild(particlesModel());
    ZqPAnimationObject* animation = ZqPAnimationObject::create(animationModel);
    scene->addChild(animation);
    auto* particles = dynamic_cast<ZqPObjectAssetParticles*>(animation->childNodeAt(0));
    ASSERT_NE(particles, nullptr);
    CCParticleSystemQuad* system = particles->systems().at(0);
    EXPECT_TRUE(system->isActive());

    // The end of a run without loop stops the systems; a restart starts them again.
    for (int i = 0; i < 8; ++i)
        animation->update(kStep);
    EXPECT_FALSE(system->isActive());
    animation->restart();
    EXPECT_TRUE(system->isActive());
    animation->stop();
    EXPECT_FALSE(system->isActive());
}

} // namespace
