// The model base: attribute ownership and destruction, children and parents,
// notifications, and the attributes and connections maps through real bytes.
#include "ModelTestSupport.h"

#include "cocos2d.h"

#include <ZqLog.h>

namespace {

// Counts how often attributes of this class are destroyed.
class CountedAttribute : public ZqAttribute {
public:
    using ZqAttribute::ZqAttribute;
    CountedAttribute(ZqAttributeName name, ZqAttributeOwner* owner, const CountedAttribute& source)
        : ZqAttribute(std::move(name), owner, source)
    {
    }
    ~CountedAttribute() override { ++destroyed; }
    ZQ_ATTRIBUTE_IDENTITY(CountedAttribute)

    static inline int destroyed = 0;
};

// A table whose key is a named constant, so that a test can compare addresses.
constexpr char kRateKey[] = "Rate";
#define ZQ_KEYED_MODEL_ATTRIBUTES(A, V) A(ZqAttributeFloat, m_rate, kRateKey, 1.0f, 0.0f, 2.0f)

class KeyedModel : public ZqModel {
public:
    explicit KeyedModel(const std::string& name) : ZqModel(name) { ZQ_ATTRIBUTE_CREATE(ZQ_KEYED_MODEL_ATTRIBUTES) }
    KeyedModel(const KeyedModel& source) : ZqModel(source) { ZQ_ATTRIBUTE_REBIND(ZQ_KEYED_MODEL_ATTRIBUTES) }
    ZQ_MODEL_IDENTITY(KeyedModel, ZqModel)

    ZQ_ATTRIBUTE_MEMBERS(ZQ_KEYED_MODEL_ATTRIBUTES)
};

using Model = std::shared_ptr<TableModel>;
Model make(const std::string& name = "model") { return zqCreateModel<TableModel>(name); }

TEST_F(ModelTest, DestroyingAModelDeletesEachAttributeOnce)
{
    CountedAttribute::destroyed = 0;
    Model other = make("other");
    auto* source = new CountedAttribute("Port", other.get());
    source->setConnectionType(ZqBaseAttribute::kSource);
    {
        Model model = make();
        auto* first = new CountedAttribute("A", model.get());
        first->setConnectionType(ZqBaseAttribute::kSource);
        for (const char* name : {"B", "C", "D"}) {
            auto* target = new CountedAttribute(std::string_view(name), model.get());
            target->setConnectionType(ZqBaseAttribute::kTarget);
            target->connect(name[0] == 'D' ? static_cast<ZqBaseAttribute*>(source) : first);
        }
        controller().addModel(model);
        controller().addModel(other);
        ASSERT_EQ(source->links().size(), 1u);
    }
    EXPECT_EQ(CountedAttribute::destroyed, 0); // still registered
    controller().reset();
    EXPECT_EQ(CountedAttribute::destroyed, 4);
    EXPECT_TRUE(source->links().empty());
    other.reset();
    EXPECT_EQ(CountedAttribute::destroyed, 5);
}

TEST_F(ModelTest, AttributesAreOrderedAndFoundByName)
{
    Model model = make("Hero");
    ASSERT_EQ(model->attributes().size(), 5u);
    EXPECT_EQ(model->attributes()[0], model->nameAttribute());
    EXPECT_EQ(model->indexOfAttribute(model->m_title), 4);
    EXPECT_EQ(model->findAttribute("Speed"), model->m_speed);
    EXPECT_EQ(model->findAttribute("speed"), nullptr);
    EXPECT_EQ(model->name(), "Hero");

    auto* inserted = new ZqAttribute("Inserted", nullptr);
    model->addAttribute(inserted, 1);
    model->addAttribute(inserted, 3); // already present: nothing
    EXPECT_EQ(model->indexOfAttribute(inserted), 1);
    model->removeAttribute(inserted);
    EXPECT_EQ(model->indexOfAttribute(inserted), -1);
    delete inserted; // removal does not delete
}

TEST_F(ModelTest, ChildrenStayInStepWithParents)
{
    Model parent = make("parent"), child = make("child"), stranger = make("stranger");
    CountingObserver observer;
    parent->addObserver(&observer);

    parent->addChild(child);
    parent->addChild(child);
    EXPECT_EQ(parent->children().size(), 1u);
    EXPECT_EQ(child->parent(), parent);
    EXPECT_EQ(parent->indexOfChild(stranger.get()), 1);
    EXPECT_EQ(observer.added, 1);
    EXPECT_EQ(observer.changes, 1);

    parent->insertChild(stranger, 7, true); // past the end appends; silent
    EXPECT_EQ(parent->indexOfChild(stranger.get()), 1);
    EXPECT_EQ(observer.changes, 1);

    child->removeParent(parent); // from the child's side
    EXPECT_FALSE(parent->hasChild(child.get()));
    EXPECT_FALSE(child->hasParent(parent.get()));
    EXPECT_EQ(observer.removed, 1);

    stranger->addParent(parent); // already linked: nothing
    EXPECT_EQ(parent->children().size(), 1u);
    child->addParent(parent); // from the child's side
    EXPECT_EQ(parent->indexOfChild(child.get()), 1);

    parent->removeAllChildren();
    EXPECT_TRUE(parent->children().empty());
    EXPECT_TRUE(child->parents().empty());
    EXPECT_TRUE(stranger->parents().empty());
    EXPECT_EQ(observer.cleared, 1);
    parent->removeObserver(&observer);
}

TEST_F(ModelTest, AChildHasALiveParentUntilItsLastParentIsGone)
{
    Model child = make("child");
    EXPECT_EQ(child->parent(), nullptr);
    Model first = make("first"), second = make("second");
    first->addChild(child);
    second->addChild(child);
    EXPECT_EQ(child->parent(), first);

    // The parents go while the child is held elsewhere: their entries expire in its list.
    first.reset();
    EXPECT_EQ(child->parent(), second);
    second.reset();
    EXPECT_EQ(child->parent(), nullptr);
}

TEST_F(ModelTest, RemovingTheLastReferenceThroughTheParentIsSafe)
{
    Model parent = make("parent");
    parent->addChild(make("only held by the parent"));
    parent->removeChild(parent->children()[0]);
    EXPECT_TRUE(parent->children().empty());
}

namespace fake {
// Answers the general settings' identity.
class ZqModelGeneralSettings : public ZqModel {
public:
    ZqModelGeneralSettings() : ZqModel("settings") {}
    ZqModelGeneralSettings(const ZqModelGeneralSettings& source) : ZqModel(source) {}
    ZQ_MODEL_IDENTITY(ZqModelGeneralSettings, ZqModel)
};
} // namespace fake

TEST_F(ModelTest, RefusedChildren)
{
    std::vector<std::string> lines;
    zqSetLogSink([&](const char* line) { lines.emplace_back(line); });
    Model top = make("top"), middle = make("middle"), bottom = make("bottom");
    top->addChild(middle);
    middle->addChild(bottom);
    CountingObserver observer;
    bottom->addObserver(&observer);

    bottom->addChild(top);    // would make top its own ancestor
    bottom->addChild(bottom);
    top->addParent(bottom);   // the same from the other side
    bottom->addChild(zqCreateModel<fake::ZqModelGeneralSettings>());
    zqSetLogSink(nullptr);

    EXPECT_TRUE(bottom->children().empty());
    EXPECT_TRUE(top->parents().empty());
    EXPECT_EQ(observer.added + observer.changes, 0);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_NE(lines[0].find("[ZqModel]"), std::string::npos);
    bottom->removeObserver(&observer);
}

TEST_F(ModelTest, AttributesMapRoundTripsThroughBytes)
{
    Model model = make("Hero");
    model->m_speed->setValue(7.5f);
    model->m_title->setValue("Level 1");
    msgpack::zone zone;
    MessagePackMap written(&zone);
    model->packAttributes(written);

    msgpack::object_handle keep;
    MessagePackMap read = throughBytes(written, keep);
    EXPECT_EQ(read.find("id")->as<uint32_t>(), model->id());
    EXPECT_EQ(read.find("Class Name")->as<std::string>(), "TableModel");
    MessagePackMap speed;
    ASSERT_TRUE(read.getMap("Speed", speed));
    EXPECT_EQ(speed.find("value")->type, msgpack::type::FLOAT32);

    Model fresh = make("fresh");
    CountingObserver observer;
    fresh->addObserver(&observer);
    fresh->unpackAttributes(read);
    EXPECT_EQ(fresh->id(), model->id());
    EXPECT_EQ(fresh->name(), "Hero");
    EXPECT_EQ(fresh->m_speed->value(), 7.5f);
    EXPECT_EQ(fresh->m_title->value(), "Level 1");
    EXPECT_EQ(observer.attributeChanges, 0);
    fresh->removeObserver(&observer);

    MessagePackMap noId(&zone);
    noId.setString("Class Name", "TableModel");
    fresh->unpackAttributes(noId);
    EXPECT_EQ(fresh->id(), 0xFFFFFFFFu);

    MessagePackMap badId(&zone);
    badId.setInt("id", -3);
    EXPECT_THROW(fresh->unpackAttributes(badId), msgpack::type_error);
}

// The loader finds a class's key codes once from its first model; a model whose attributes
// no longer match its class (renamed, inserted, removed) reads those by name, and another
// key dictionary drops the codes.
TEST_F(ModelTest, ClassKeyCodesHoldOnlyWhileTheAttributesAreTheClasss)
{
    Model written = make("written");
    written->m_speed->setValue(7.5f);
    written->m_title->setValue("Level 1");
    msgpack::zone zone;
    MessagePackMap map(&zone);
    written->packAttributes(map);
    msgpack::object_handle keep;
    const MessagePackMap read = throughBytes(map, keep);

    Model first = make("first");
    first->markClassLayout();
    ASSERT_EQ(first->classLayoutSize(), first->attributes().size());
    first->unpackAttributes(read);
    EXPECT_EQ(first->m_speed->value(), 7.5f);

    // "Title" renamed "Speed" and "Speed" renamed "Title": each reads what its new name holds.
    Model renamed = make("renamed");
    renamed->markClassLayout();
    renamed->m_title->setName("Speed", true);
    renamed->m_speed->setName("Title", true);
    EXPECT_EQ(renamed->classLayoutSize(), static_cast<std::size_t>(renamed->indexOfAttribute(renamed->m_speed)));
    EXPECT_THROW(renamed->unpackAttributes(read), msgpack::type_error); // a float for a string
    // An attribute inserted in front shifts the others: every code is then found by name.
    Model inserted = make("inserted");
    inserted->markClassLayout();
    inserted->addAttribute(new ZqAttributeInt("Lives", nullptr), 0);
    EXPECT_EQ(inserted->classLayoutSize(), 0u);
    inserted->unpackAttributes(read);
    EXPECT_EQ(inserted->m_speed->value(), 7.5f);
    EXPECT_EQ(inserted->m_title->value(), "Level 1");
    // Removing one shortens the class part at its place.
    Model removed = make("removed");
    removed->markClassLayout();
    delete removed->m_lives;
    removed->m_lives = nullptr;
    EXPECT_EQ(removed->classLayoutSize(), static_cast<std::size_t>(removed->indexOfAttribute(removed->m_speed)) + 1);
    removed->unpackAttributes(read);
    EXPECT_EQ(removed->m_title->value(), "Level 1");

    // Another dictionary gives "Speed" and "Title" each other's codes.
    KeyCodeTable swapped = KeyDictionary::shared().nameToCode;
    std::swap(swapped["Speed"], swapped["Title"]);
    installKeyDictionary(swapped);
    Model later = make("later");
    later->markClassLayout();
    MessagePackMap titled(&zone);
    MessagePackMap title(&zone);
    title.setString("value", "Level 2");
    titled.setUInt("id", later->id());
    titled.setMap("Title", title);
    msgpack::object_handle keepTitled;
    later->unpackAttributes(throughBytes(titled, keepTitled));
    EXPECT_EQ(later->m_title->value(), "Level 2");
}

TEST_F(ModelTest, ConnectionsMapCarriesChildrenAndLinks)
{
    Model parent = make("parent"), first = make("first"), second = make("second");
    parent->addChild(first);
    parent->addChild(second);
    auto* source = new ZqAttribute("Port", first.get());
    source->setConnectionType(ZqBaseAttribute::kSource);
    auto* target = new ZqAttribute("Port", parent.get());
    target->setConnectionType(ZqBaseAttribute::kTarget);
    target->connect(source);
    for (const Model& model : {parent, first, second})
        controller().addModel(model);

    msgpack::zone zone;
    MessagePackMap written(&zone);
    parent->packConnections(written);
    msgpack::object_handle keep;
    MessagePackMap read = throughBytes(written, keep);
    EXPECT_EQ(read.size(), 3u); // id, Port, children
    EXPECT_EQ(read.find("children")->as<std::vector<uint32_t>>(),
              (std::vector<uint32_t>{first->id(), second->id()}));

    // A copy reads the map: the unregistered id is skipped, the others keep their order.
    Model copy = make("copy");
    auto* copyTarget = new ZqAttribute("Port", copy.get());
    copyTarget->setConnectionType(ZqBaseAttribute::kTarget);
    controller().removeModel(first);
    copy->unpackConnections(read);
    EXPECT_EQ(copy->children(), std::vector<std::shared_ptr<ZqModel>>{second});
    EXPECT_EQ(copyTarget->connectedSource(), nullptr); // its model is no longer registered

    MessagePackMap childless(&zone);
    first->packConnections(childless);
    EXPECT_EQ(childless.size(), 1u); // only "id"

    MessagePackMap notAnArray(&zone);
    notAnArray.setUInt("children", 3);
    EXPECT_THROW(copy->unpackConnections(notAnArray), msgpack::type_error);

    // A list with an element that is no id: the ids before it are linked, then the error.
    Model partial = make("partial");
    MessagePackMap badElement(&zone);
    badElement.setArray("children", {msgpack::object(second->id()), msgpack::object(-3), msgpack::object(parent->id())});
    EXPECT_THROW(partial->unpackConnections(badElement), msgpack::type_error);
    EXPECT_EQ(partial->children(), std::vector<std::shared_ptr<ZqModel>>{second});
}

TEST_F(ModelTest, NotificationsReachObservers)
{
    Model model = make();
    CountingObserver observer;
    model->addObserver(&observer);
    model->m_lives->setValue(3);
    model->m_lives->setValue(3);
    model->m_lives->setValue(4, true);
    EXPECT_EQ(observer.attributeChanges, 1);
    model->setName("Renamed");
    EXPECT_EQ(observer.attributeChanges, 2);
    model->removeObserver(&observer);
    model->setName("Again");
    EXPECT_EQ(observer.attributeChanges, 2);
}

TEST_F(ModelTest, DeepAndShallowCopies)
{
    Model parent = make("parent"), child = make("child");
    parent->addChild(child);
    parent->m_speed->setValue(4.0f);
    controller().addModel(parent);

    std::shared_ptr<ZqModel> shallow = parent->duplicate(false, false);
    EXPECT_NE(shallow->id(), parent->id());
    EXPECT_EQ(shallow->children(), parent->children());
    EXPECT_EQ(child->parents().size(), 2u);
    EXPECT_FALSE(controller().modelById(shallow->id()));

    std::shared_ptr<ZqModel> deep = parent->duplicate(true, true);
    ASSERT_EQ(deep->children().size(), 1u);
    EXPECT_NE(deep->children()[0], child);
    EXPECT_EQ(deep->children()[0]->name(), "child");
    EXPECT_EQ(controller().modelById(deep->id()), deep);
    EXPECT_EQ(controller().modelById(deep->children()[0]->id()), deep->children()[0]);
    auto* copy = static_cast<TableModel*>(deep.get());
    EXPECT_EQ(copy->m_speed->value(), 4.0f);
    EXPECT_NE(copy->m_speed, parent->m_speed);
}

TEST_F(ModelTest, CopiesShareLiteralNamesAndCopyOwnedOnes)
{
    auto keyed = zqCreateModel<KeyedModel>("keyed");
    EXPECT_EQ(keyed->m_rate->name().data(), kRateKey);
    auto keyedCopy = std::static_pointer_cast<KeyedModel>(keyed->duplicate(false, false));
    ASSERT_TRUE(keyedCopy->m_rate);
    EXPECT_EQ(keyedCopy->m_rate->name().data(), kRateKey);

    Model source = make("source");
    source->m_title->setName(std::string("Caption"), true);
    std::shared_ptr<ZqModel> copy = source->duplicate(false, false);
    const ZqAttributeList& original = source->attributes();
    ASSERT_EQ(copy->attributes().size(), original.size());
    for (std::size_t i = 0; i < original.size(); ++i) {
        const ZqBaseAttribute* attribute = copy->attributes()[i];
        EXPECT_EQ(attribute->name(), original[i]->name());
        if (original[i] == source->m_title)
            EXPECT_NE(attribute->name().data(), original[i]->name().data());
        else
            EXPECT_EQ(attribute->name().data(), original[i]->name().data()) << attribute->name();
    }
    source.reset();
    EXPECT_TRUE(copy->findAttribute("Caption"));
    EXPECT_TRUE(copy->findAttribute("Speed"));
}

} // namespace

namespace {

TEST_F(ModelTest, DictionaryFormsRoundTrip)
{
    Model model = make("Hero"), child = make("child");
    model->addChild(child);
    model->m_lives->setValue(3);
    controller().addModel(model);

    cocos2d::CCDictionary* attributes = model->saveAttributesToDictionary();
    EXPECT_STREQ(attributes->valueForKey("className")->getCString(), "TableModel");
    EXPECT_EQ(attributes->valueForKey("id")->uintValue(), model->id());
    cocos2d::CCDictionary* connections = model->saveConnectionsToDictionary();
    EXPECT_EQ(connections->objectForKey("Name"), nullptr); // no link entry

    Model fresh = make("fresh");
    fresh->loadAttributesFromDictionary(attributes);
    fresh->loadConnectionsFromDictionary(connections);
    EXPECT_EQ(fresh->id(), model->id());
    EXPECT_EQ(fresh->name(), "Hero");
    EXPECT_EQ(fresh->m_lives->value(), 3);
    EXPECT_EQ(fresh->children(), std::vector<std::shared_ptr<ZqModel>>{child});
    cocos2d::CCPoolManager::sharedPoolManager()->finalize();
}

} // namespace
