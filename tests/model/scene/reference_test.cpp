#include "media_shape_support.h"

#include "model/ZqAttributeModel.h"
#include "model/ZqAttributeSprite.h"
#include "model/ZqAttributeTable.h"
#include "model/scene/ZqModelMedia.h"
#include "model/scene/ZqModelShapes.h"
#include "cocos2d.h"

#include <algorithm>

using namespace cocos2d;
using scene_test::SceneTest;

namespace {

// The referenced classes' ids are known where the classes are only declared.
static_assert(zqTypeIdOf(kZqReferencedClassName<ZqModelSound>) == ZqModelSound::staticTypeId());
static_assert(zqTypeIdOf(kZqReferencedClassName<ZqModelAnimation>) == ZqModelAnimation::staticTypeId());
static_assert(zqTypeIdOf(kZqReferencedClassName<ZqModelPolygon>) == ZqModelPolygon::staticTypeId());

#define REFERENCE_HOLDER_ATTRIBUTES(A, V)                                  \
    V(ZqAttributeSound,     m_sound,     "Jump Sound",       nullptr)       \
    V(ZqAttributeAnimation, m_animation, "Idle Animation",   nullptr)       \
    V(ZqAttributeShape,     m_shape,     "Collision Shape",  nullptr)       \
    V(ZqAttributeSprite,    m_image,     "Image",            nullptr)

// A model holding one reference of each kind, standing in for assets and images.
class RefHolder : public ZqModel {
public:
    explicit RefHolder(const std::string& name) : ZqModel(name) { ZQ_ATTRIBUTE_CREATE(REFERENCE_HOLDER_ATTRIBUTES) }
    RefHolder(const RefHolder& source) : ZqModel(source) { ZQ_ATTRIBUTE_REBIND(REFERENCE_HOLDER_ATTRIBUTES) }
    ZQ_MODEL_IDENTITY(RefHolder, ZqModel)
    static std::shared_ptr<RefHolder> create() { return zqCreateModel<RefHolder>("holder"); }

    ZQ_ATTRIBUTE_MEMBERS(REFERENCE_HOLDER_ATTRIBUTES)
};

// Stand-ins for the linker, object and emitter classes, matched by class name.
class ZqModelObject : public ZqModel {
public:
    using ZqModel::ZqModel;
    ZQ_MODEL_IDENTITY(ZqModelObject, ZqModel)
};

class ZqModelLinker : public ZqModel {
public:
    explicit ZqModelLinker(const std::string& name) : ZqModel(name)
    {
        m_a = new ZqAttributeObject("Object A", this);
        m_b = new ZqAttributeObject("Object B", this);
    }
    ZqModelLinker(const ZqModelLinker& source) : ZqModel(source) {}
    ZQ_MODEL_IDENTITY(ZqModelLinker, ZqModel)

    ZqAttributeObject* m_a = nullptr;
    ZqAttributeObject* m_b = nullptr;
};

class ZqModelObjectParticlesEmitter : public ZqModel {
public:
    ZqModelObjectParticlesEmitter() : ZqModel("") {}
    ZqModelObjectParticlesEmitter(const ZqModelObjectParticlesEmitter& source) : ZqModel(source) {}
    ZQ_MODEL_IDENTITY(ZqModelObjectParticlesEmitter, ZqModel)
};

int countOf(const ZqModel& model, const ZqBaseAttribute* attribute)
{
    return static_cast<int>(std::count(model.referencingAttributes().begin(), model.referencingAttributes().end(), attribute));
}

class ReferenceTest : public SceneTest {
protected:
    void SetUp() override
    {
        SceneTest::SetUp();
        static const ZqModelClass rows[] = {zqModelClassRow<RefHolder>()};
        controller().addModelClasses(rows);
    }
};

TEST_F(ReferenceTest, AssignmentKeepsReferrerListsInStepAndNotifiesOnChangeOnly)
{
    struct Counter : ZqModelObserver {
        void attributeChanged(ZqBaseAttribute*, int) override { ++changes; }
        int changes = 0;
    } counter;
    std::shared_ptr<RefHolder> holder = RefHolder::create();
    holder->addObserver(&counter);
    std::shared_ptr<ZqModelSound> first = ZqModelSound::create(), second = ZqModelSound::create();
    holder->m_sound->setValue(first);
    holder->m_sound->setValue(first);
    EXPECT_EQ(counter.changes, 1);
    EXPECT_EQ(countOf(*first, holder->m_sound), 1);
    holder->m_sound->setValue(second);
    EXPECT_EQ(countOf(*first, holder->m_sound), 0);
    EXPECT_EQ(countOf(*second, holder->m_sound), 1);
    EXPECT_EQ(counter.changes, 2);
    holder->removeObserver(&counter);

    // The attribute leaves the list when its owner goes, and keeps the model alive till then.
    std::weak_ptr<ZqModelSound> weak = second;
    second.reset();
    EXPECT_FALSE(weak.expired());
    holder.reset();
    EXPECT_TRUE(weak.expired());
    EXPECT_TRUE(first->referencingAttributes().empty());
}

TEST_F(ReferenceTest, ConnectionsReadOnlyModelsOfTheAcceptedKind)
{
    std::shared_ptr<RefHolder> holder = controller().createModel<RefHolder>();
    std::shared_ptr<ZqModelSound> sound = controller().createModel<ZqModelSound>();
    std::shared_ptr<ZqModelCircle> circle = controller().createModel<ZqModelCircle>();
    std::shared_ptr<ZqModelSpriteContainer> container = controller().createModel<ZqModelSpriteContainer>();
    scene_test::installKeysFor({holder});
    msgpack::zone zone;

    auto readValue = [&](ZqBaseAttribute* attribute, unsigned id) {
        MessagePackMap map(&zone);
        map.setUInt("value", id);
        attribute->unpackConnections(map);
    };
    readValue(holder->m_shape, circle->id()); // a circle is a kind of polygon
    EXPECT_EQ(holder->m_shape->value(), circle);
    readValue(holder->m_sound, circle->id()); // not a sound: cleared
    EXPECT_EQ(holder->m_sound->model(), nullptr);
    readValue(holder->m_sound, sound->id());
    EXPECT_EQ(holder->m_sound->value(), sound);
    holder->m_sound->unpackConnections(MessagePackMap(&zone)); // no "value": cleared
    EXPECT_EQ(holder->m_sound->model(), nullptr);
    EXPECT_TRUE(sound->referencingAttributes().empty());

    // The sprite reference keeps what it had when the id is not a container.
    holder->m_image->setExcludedFromAtlas(true);
    readValue(holder->m_image, container->id());
    EXPECT_EQ(holder->m_image->value(), container);
    EXPECT_TRUE(container->isExcludedFromAtlas());
    readValue(holder->m_image, sound->id());
    EXPECT_EQ(holder->m_image->value(), container);
    holder->m_image->setExcludedFromAtlas(false);
    EXPECT_FALSE(container->isExcludedFromAtlas());

    // Dictionary forms: an empty "value" keeps a model reference, an unknown id clears both.
    CCDictionary* dictionary = CCDictionary::create();
    readValue(holder->m_sound, sound->id());
    holder->m_sound->loadConnectionFromDictionary(dictionary);
    EXPECT_EQ(holder->m_sound->value(), sound);
    EXPECT_STREQ(holder->m_sound->saveConnectionToDictionary()->valueForKey("value")->getCString(),
                 std::to_string(sound->id()).c_str());
    dictionary->setObject(CCString::create(std::to_string(sound->id())), "value");
    holder->m_image->loadConnectionFromDictionary(dictionary);
    EXPECT_EQ(holder->m_image->value(), nullptr);
    EXPECT_TRUE(container->referencingAttributes().empty());
}

TEST_F(ReferenceTest, CopiesShareSoundsAndDuplicateShapesAndAnimations)
{
    std::shared_ptr<RefHolder> holder = controller().createModel<RefHolder>();
    std::shared_ptr<ZqModelSound> sound = controller().createModel<ZqModelSound>();
    std::shared_ptr<ZqModelPolygon> polygon = controller().createModel<ZqModelPolygon>();
    polygon->addDefaultShape(CCSize(), CCPoint(), true);
    std::shared_ptr<ZqModelAnimation> animation = ZqModelAnimation::create(); // not registered
    std::shared_ptr<ZqModelSpriteContainer> container = ZqModelSpriteContainer::create();
    holder->m_sound->setValue(sound);
    holder->m_shape->setValue(polygon);
    holder->m_animation->setValue(animation);
    holder->m_animation->setLoop(false);
    holder->m_image->setValue(container);

    std::shared_ptr<RefHolder> copy = std::static_pointer_cast<RefHolder>(holder->duplicate(false, false));
    EXPECT_EQ(copy->m_sound->value(), sound);
    EXPECT_EQ(countOf(*sound, copy->m_sound), 1);
    EXPECT_EQ(copy->m_image->value(), container);
    EXPECT_EQ(container->referencingAttributes().size(), 2u);

    std::shared_ptr<ZqModelPolygon> copiedPolygon = copy->m_shape->value();
    ASSERT_TRUE(copiedPolygon);
    EXPECT_NE(copiedPolygon, polygon);
    EXPECT_NE(copiedPolygon->id(), polygon->id());
    EXPECT_EQ(copiedPolygon->points(), polygon->points());
    EXPECT_EQ(controller().modelById(copiedPolygon->id()), copiedPolygon); // registered like its source
    EXPECT_EQ(countOf(*polygon, copy->m_shape), 0);
    EXPECT_EQ(countOf(*copiedPolygon, copy->m_shape), 1);

    std::shared_ptr<ZqModelAnimation> copiedAnimation = copy->m_animation->value();
    ASSERT_TRUE(copiedAnimation);
    EXPECT_NE(copiedAnimation, animation);
    EXPECT_EQ(controller().modelById(copiedAnimation->id()), nullptr);
    EXPECT_FALSE(copy->m_animation->isLoop());
    EXPECT_EQ(copy->m_animation->sourceSprite(), nullptr);

    // A clone under another name is of the concrete class too.
    std::unique_ptr<ZqBaseAttribute> clone(holder->m_sound->clone("Other", nullptr));
    EXPECT_STREQ(clone->className(), "ZqAttributeSound");
    EXPECT_EQ(countOf(*sound, clone.get()), 1);
    clone.reset();
    EXPECT_EQ(countOf(*sound, holder->m_sound), 1);
    EXPECT_EQ(sound->referencingAttributes().size(), 2u);
}

TEST_F(ReferenceTest, RegisteringAModelRegistersItsShapesAnimationsAndPictures)
{
    std::shared_ptr<RefHolder> holder = RefHolder::create();
    std::shared_ptr<ZqModelPolygon> polygon = ZqModelPolygon::create();
    std::shared_ptr<ZqModelAnimation> animation = ZqModelAnimation::create();
    std::shared_ptr<ZqModelSpriteContainer> container = ZqModelSpriteContainer::create();
    holder->m_shape->setValue(polygon);
    holder->m_animation->setValue(animation);
    holder->m_image->setValue(container);
    controller().addModel(holder);
    EXPECT_EQ(controller().modelById(polygon->id()), polygon);
    EXPECT_EQ(controller().modelById(animation->id()), animation);
    EXPECT_EQ(controller().modelById(container->id()), container);
    controller().removeModel(holder);
    EXPECT_EQ(controller().modelById(polygon->id()), nullptr);
    EXPECT_EQ(controller().modelById(animation->id()), nullptr);
    EXPECT_EQ(controller().modelById(container->id()), container); // shared pictures stay
}

TEST_F(ReferenceTest, AGameOfMediaAndReferencesLoadsWithTheSameValuesAndLinks)
{
    std::shared_ptr<ZqModelSpriteContainer> container = controller().createModel<ZqModelSpriteContainer>();
    std::shared_ptr<ZqModelAtlas> atlas = controller().createModel<ZqModelAtlas>();
    for (int i = 0; i < 3; ++i) {
        std::shared_ptr<ZqModelSprite> sprite = controller().createModel<ZqModelSprite>();
        static_cast<ZqAttributeSize*>(sprite->findAttribute("Size"))->setValue(CCSize(10.0f + i, 20));
        static_cast<ZqAttributeRect*>(sprite->findAttribute("Source Rect"))->setValue(CCRect(1, 2, 3, 4.5f));
        container->addChild(sprite);
        atlas->addChild(sprite);
    }
    static_cast<ZqAttributeFloat*>(container->findAttribute("Animation Speed"))->setValue(2.5f);
    static_cast<ZqAttributeFloat*>(atlas->findAttribute("padding"))->setValue(8.0f);
    std::shared_ptr<ZqModelAnimation> animation = controller().createModel<ZqModelAnimation>();
    animation->setLoop(false);
    animation->setDuration(1.5f);
    std::shared_ptr<ZqModelSound> sound = controller().createModel<ZqModelSound>();
    std::shared_ptr<ZqModelCircle> circle = controller().createModel<ZqModelCircle>();
    circle->addDefaultShape(CCSize(20, 30), CCPoint(), true);
    std::shared_ptr<RefHolder> holder = controller().createModel<RefHolder>();
    holder->m_sound->setValue(sound);
    holder->m_animation->setValue(animation);
    holder->m_shape->setValue(circle);
    holder->m_image->setValue(container);

    std::vector<std::shared_ptr<ZqModel>> models;
    for (const auto& [type, list] : controller().modelsByType())
        models.insert(models.end(), list.begin(), list.end());
    scene_test::installKeysFor(models);
    const scene_test::ModelFiles files = scene_test::packModels(models);
    const unsigned holderId = holder->id(), containerId = container->id(), atlasId = atlas->id();
    const unsigned soundId = sound->id(), animationId = animation->id(), circleId = circle->id();
    models.clear();
    holder.reset(), container.reset(), atlas.reset(), sound.reset(), animation.reset(), circle.reset();
    scene_test::reloadModels(files);

    std::shared_ptr<RefHolder> readHolder = controller().getModel<RefHolder>(holderId);
    ASSERT_TRUE(readHolder);
    EXPECT_EQ(readHolder->m_sound->value(), controller().getModel<ZqModelSound>(soundId));
    EXPECT_EQ(readHolder->m_shape->value(), controller().getModel<ZqModelCircle>(circleId));
    EXPECT_EQ(readHolder->m_image->value(), controller().getModel<ZqModelSpriteContainer>(containerId));
    std::shared_ptr<ZqModelAnimation> readAnimation = readHolder->m_animation->value();
    ASSERT_EQ(readAnimation, controller().getModel<ZqModelAnimation>(animationId));
    EXPECT_FALSE(readAnimation->isLoop());
    EXPECT_FALSE(readHolder->m_animation->isLoop()); // the loop flag follows the animation
    EXPECT_FLOAT_EQ(readAnimation->duration(), 1.5f);
    EXPECT_EQ(countOf(*readAnimation, readHolder->m_animation), 1);

    std::shared_ptr<ZqModelSpriteContainer> readContainer = controller().getModel<ZqModelSpriteContainer>(containerId);
    ASSERT_EQ(readContainer->sprites().size(), 3u);
    EXPECT_FLOAT_EQ(readContainer->animationSpeed(), 2.5f);
    EXPECT_EQ(readContainer->sprites()[2]->size(), CCSize(12, 20));
    EXPECT_EQ(static_cast<ZqAttributeRect*>(readContainer->sprites()[0]->findAttribute("Source Rect"))->value(),
              CCRect(1, 2, 3, 4.5f));
    std::shared_ptr<ZqModelAtlas> readAtlas = controller().getModel<ZqModelAtlas>(atlasId);
    ASSERT_EQ(readAtlas->sprites().size(), 3u);
    EXPECT_EQ(readAtlas->sprites()[1], readContainer->sprites()[1]);
    EXPECT_FLOAT_EQ(readAtlas->padding(), 8.0f);
    EXPECT_FLOAT_EQ(controller().getModel<ZqModelCircle>(circleId)->radius(), 10.0f);
}

TEST_F(ReferenceTest, LinkersAreFoundDirectlyAndThroughChains)
{
    auto a = zqCreateModel<ZqModelObject>("A"), b = zqCreateModel<ZqModelObject>("B"), c = zqCreateModel<ZqModelObject>("C");
    auto l1 = zqCreateModel<ZqModelLinker>("L1"), l2 = zqCreateModel<ZqModelLinker>("L2"), self = zqCreateModel<ZqModelLinker>("S");
    l1->m_a->setModel(a);
    l1->m_b->setModel(b);
    l2->m_a->setModel(b);
    l2->m_b->setModel(c);
    self->m_a->setModel(c);
    self->m_b->setModel(c);
    using Models = std::vector<std::shared_ptr<ZqModel>>;
    EXPECT_EQ(collectReferencingModels(a, false), Models{l1});
    Models all = collectReferencingModels(a, true);
    std::sort(all.begin(), all.end(), [](const auto& x, const auto& y) { return x->id() < y->id(); });
    EXPECT_EQ(all, (Models{l1, l2, self}));
    EXPECT_EQ(collectReferencingModels(c, false).size(), 2u);
    EXPECT_TRUE(collectReferencingModels(nullptr, true).empty());
}

TEST_F(ReferenceTest, EmitterPortFindsLinkedEmitterModelsByTypeId)
{
    auto particles = zqCreateModel<ZqModelObject>("Particles");
    auto* port = new ZqAttributeParticlesEmitters("Emitters", particles.get());
    port->setConnectionType(ZqBaseAttribute::kSource, true);
    EXPECT_TRUE(port->emitterModels().empty());

    // Each linked model gives the port a target attribute of its own.
    auto link = [port](const std::shared_ptr<ZqModel>& linked, const char* name) {
        auto* input = new ZqAttribute(std::string_view(name), linked.get());
        input->setConnectionType(ZqBaseAttribute::kTarget, true);
        input->connect(port, true);
    };
    auto first = zqCreateModel<ZqModelObjectParticlesEmitter>();
    auto stranger = zqCreateModel<ZqModelObject>("stranger");
    auto second = zqCreateModel<ZqModelObjectParticlesEmitter>();
    link(first, "Emitter");
    link(stranger, "Emitter");
    link(second, "Emitter");
    link(first, "Again"); // the same emitter twice is listed once
    EXPECT_EQ(port->emitterModels(), (std::vector<std::shared_ptr<ZqModel>>{first, second}));

    msgpack::zone zone;
    MessagePackMap map(&zone);
    port->packAttributes(map); // no value of its own
    EXPECT_TRUE(map.empty());
    ZqBaseAttribute* copy = port->cloneForOwner(stranger.get());
    EXPECT_EQ(copy->typeId(), ZqAttributeParticlesEmitters::staticTypeId());
}

} // namespace
