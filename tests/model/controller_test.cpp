// The model controller: ids, registration by id and type, removal, id changes,
// change notifications and reset.
#include "ModelTestSupport.h"

#include "model/loading/ZqModelLoader.h"
#include "cocos2d.h"

namespace {

using Model = std::shared_ptr<TableModel>;
Model make(const std::string& name = "model") { return zqCreateModel<TableModel>(name); }

TEST_F(ModelTest, IdsAreConsecutiveAndNeverOneAlreadyRegistered)
{
    Model first = make();
    Model second = make();
    EXPECT_EQ(first->id(), 1u);
    EXPECT_EQ(second->id(), 2u);

    Model loaded = make();
    loaded->setId(5); // as a model file would
    controller().addModel(loaded);
    Model third = make(), fourth = make(), fifth = make();
    EXPECT_EQ(third->id(), 4u);
    EXPECT_EQ(fourth->id(), 6u);
    EXPECT_EQ(fifth->id(), 7u);
}

TEST_F(ModelTest, RegistrationByIdAndType)
{
    Model a = make(), b = make();
    auto child = zqCreateModel<TableChild>("child");
    controller().addModel(a);
    controller().addModel(b, 0);
    controller().addModel(child);
    EXPECT_EQ(controller().modelById(a->id()), a);
    EXPECT_EQ(controller().modelsOfType(TableModel::staticTypeId()), (ZqModelController::ModelList{b, a}));
    EXPECT_EQ(controller().modelsOfType(TableChild::staticTypeId()), ZqModelController::ModelList{child});
    EXPECT_TRUE(controller().modelsOfType(ZqModel::staticTypeId()).empty());
    EXPECT_FALSE(controller().modelById(999));

    // An id already present: nothing changes.
    Model clash = make();
    clash->setId(a->id());
    controller().addModel(clash);
    EXPECT_EQ(controller().modelById(a->id()), a);
    EXPECT_EQ(controller().modelsOfType(TableModel::staticTypeId()).size(), 2u);
}

TEST_F(ModelTest, RemovalKeepsAFreshModelThatReusedTheId)
{
    Model old = make();
    controller().addModel(old);
    controller().removeModel(old);
    Model fresh = make();
    fresh->setId(old->id());
    controller().addModel(fresh);

    Model stale = old;
    controller().addModel(stale); // refused: the id is taken
    controller().removeModel(stale);
    EXPECT_EQ(controller().modelById(fresh->id()), fresh);
    EXPECT_EQ(controller().modelsOfType(TableModel::staticTypeId()), ZqModelController::ModelList{fresh});
}

TEST_F(ModelTest, SubtreesRegisterAndLeaveTogether)
{
    Model screen = make("screen"), other = make("other"), own = make("own"), shared = make("shared");
    Model grandchild = make("grandchild");
    screen->addChild(own);
    screen->addChild(shared);
    own->addChild(grandchild);
    other->addChild(shared);
    controller().addModel(screen);
    for (const Model& model : {own, shared, grandchild})
        EXPECT_EQ(controller().modelById(model->id()), model);

    controller().addModel(other);
    controller().removeModel(screen);
    EXPECT_FALSE(controller().modelById(screen->id()));
    EXPECT_FALSE(controller().modelById(own->id()));
    EXPECT_FALSE(controller().modelById(grandchild->id()));
    EXPECT_EQ(controller().modelById(shared->id()), shared); // its other parent is registered
}

TEST_F(ModelTest, ChangingAnIdRefilesOnlyThatModel)
{
    Model a = make(), b = make();
    controller().addModel(a);
    const unsigned oldId = a->id();
    a->setId(40);
    EXPECT_FALSE(controller().modelById(oldId));
    EXPECT_EQ(controller().modelById(40), a);

    b->setId(41); // not registered: nothing filed
    controller().changeModelId(b.get(), 40);
    EXPECT_EQ(controller().modelById(40), a);
    EXPECT_FALSE(controller().modelById(41));
}

// A model moved onto an id another registered model holds takes it; the other leaves the
// controller as a removed model does, with what only it held.
TEST_F(ModelTest, AModelMovedOntoAHeldIdDisplacesTheHolderEverywhere)
{
    Model mover = make("mover"), holder = make("holder"), own = make("own"), shared = make("shared");
    holder->addChild(own);
    holder->addChild(shared);
    mover->addChild(shared);
    for (const Model& model : {mover, holder})
        controller().addModel(model);
    const unsigned held = holder->id();
    mover->setId(held);
    EXPECT_EQ(controller().modelById(held), mover);
    EXPECT_EQ(controller().modelsOfType(TableModel::staticTypeId()), (ZqModelController::ModelList{mover, shared}));
    EXPECT_FALSE(controller().modelById(own->id())) << "only the displaced model held it";
    EXPECT_EQ(controller().modelById(shared->id()), shared) << "the moved model holds it too";
}

// The end of a load raises the counter to the highest id registered then, not to one
// that was registered once and has gone or moved.
TEST_F(ModelTest, TheEndOfALoadRaisesTheCounterToTheHighestRegisteredId)
{
    Model low = make(), high = make(), moved = make();
    low->setId(30);
    high->setId(90);
    moved->setId(70);
    for (const Model& model : {low, high, moved})
        controller().addModel(model);
    controller().removeModel(high);
    moved->setId(20);
    controller().setIdCounter(0);
    ZqModelLoader::shared()->nextPhase();
    ZqModelLoader::shared()->nextPhase();
    EXPECT_EQ(controller().idCounter(), 30u);

    Model higher = make();
    higher->setId(120);
    controller().addModel(higher);
    controller().setIdCounter(0);
    controller().reset();
    controller().addModel(low);
    ZqModelLoader::shared()->nextPhase();
    ZqModelLoader::shared()->nextPhase();
    EXPECT_EQ(controller().idCounter(), 30u) << "a reset forgets the ids it dropped";
}

TEST_F(ModelTest, ResetDropsModelsThatReferenceEachOther)
{
    cocos2d::CCObject* pending = (new cocos2d::CCObject())->autorelease();
    const long liveBefore = cocos2d::CCObject::liveObjectCount();
    ASSERT_NE(pending, nullptr);
    Model a = make("a"), b = make("b");
    a->addChild(b);
    auto* source = new ZqAttribute("Port", b.get());
    source->setConnectionType(ZqBaseAttribute::kSource);
    auto* target = new ZqAttribute("Port", a.get());
    target->setConnectionType(ZqBaseAttribute::kTarget);
    target->connect(source);
    controller().addModel(a);
    std::weak_ptr<TableModel> watchA = a, watchB = b;
    a.reset();
    b.reset();

    controller().reset();
    EXPECT_TRUE(watchA.expired());
    EXPECT_TRUE(watchB.expired());
    EXPECT_FALSE(controller().isChanged());
    EXPECT_EQ(ZqModelLoader::shared()->loadingProgress(), 0);
    EXPECT_EQ(ZqModelLoader::shared()->errorText(), "");
    EXPECT_EQ(cocos2d::CCObject::liveObjectCount(), liveBefore - 1); // the pool was drained
    EXPECT_EQ(make()->id(), 1u);
}

// Counts the controller's own notifications.
class CountingController : public ZqModelController {
public:
    int attributeChanges = 0;
    int modelChanges = 0;

protected:
    void attributeChanged(const ZqBaseAttribute* attribute, int kind) override
    {
        ++attributeChanges;
        ZqModelController::attributeChanged(attribute, kind);
    }
    void modelChanged(const ZqModel* model) override
    {
        ++modelChanges;
        ZqModelController::modelChanged(model);
    }
};

TEST_F(ModelTest, AFreshControllerHearsOnlyRegisteredModels)
{
    delete ZqModelController::shared();
    {
        CountingController counting;
        ASSERT_EQ(ZqModelController::existing(), &counting);
        Model loose = make(), registered = make();
        EXPECT_EQ(registered->id(), 2u);
        counting.addModel(registered);
        EXPECT_TRUE(counting.isChanged());

        loose->m_lives->setValue(3);
        registered->m_lives->setValue(3);
        registered->m_lives->setValue(4, true);
        counting.notifyAttributeChanged(registered->m_lives, 2); // kind 2 is not passed on
        EXPECT_EQ(counting.attributeChanges, 1);

        loose->addChild(make());
        registered->addChild(make(), true);
        registered->addChild(make());
        EXPECT_EQ(counting.modelChanges, 1);
    }
    EXPECT_EQ(ZqModelController::existing(), nullptr);
}

} // namespace
