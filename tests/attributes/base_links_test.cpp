// Links between attributes: symmetry, notifications, relinking, destruction from either
// side, kind changes, clones and the link entry's two serial forms.
#include "messagepack_support.h"

using namespace cocos2d;

namespace {

int linkNotifications(const std::unique_ptr<CountingOwner>& owner)
{
    return owner->notifications[ZqBaseAttribute::kLinksChanged];
}

ZqAttribute* port(const std::unique_ptr<CountingOwner>& owner, ZqAttributeName name, ZqBaseAttribute::ConnectionType kind)
{
    auto* attribute = new ZqAttribute(std::move(name), owner.get());
    attribute->setConnectionType(kind, true);
    return attribute;
}

class AttributeLinks : public ::testing::Test {
protected:
    void SetUp() override
    {
        KeyCodeTable table = fixedKeyCodeTable();
        table.insert({{"connectedModelId", 1}, {"attributeName", 2}, {"Name", 3}, {"Load", 4}});
        installKeyDictionary(table);
        m1 = std::make_unique<CountingOwner>(1);
        m2 = std::make_unique<CountingOwner>(2);
        m3 = std::make_unique<CountingOwner>(3);
        a = port(m1, "Load", ZqBaseAttribute::kSource);
        b = port(m2, "Load", ZqBaseAttribute::kSource);
        t = port(m3, "In", ZqBaseAttribute::kTarget);
    }
    void TearDown() override
    {
        m1.reset();
        m2.reset();
        m3.reset();
        installKeyDictionary({});
    }

    TestResolver resolver;
    std::unique_ptr<CountingOwner> m1, m2, m3;
    ZqAttribute *a = nullptr, *b = nullptr, *t = nullptr;
};

TEST_F(AttributeLinks, RelinkingATargetMovesItAndNotifiesEveryOwnerOnce)
{
    t->connect(a);
    EXPECT_EQ(t->links(), std::vector<ZqBaseAttribute*>{a});
    EXPECT_EQ(a->links(), std::vector<ZqBaseAttribute*>{t});
    EXPECT_EQ(linkNotifications(m1), 1);
    EXPECT_EQ(linkNotifications(m3), 1);

    t->connect(b);
    EXPECT_EQ(t->connectedSource(), b);
    EXPECT_TRUE(a->links().empty());
    EXPECT_EQ(b->links(), std::vector<ZqBaseAttribute*>{t});
    EXPECT_EQ(linkNotifications(m1), 2);
    EXPECT_EQ(linkNotifications(m2), 1);
    EXPECT_EQ(linkNotifications(m3), 2);

    t->connect(b); // same pair again: nothing
    b->connect(t);
    EXPECT_EQ(b->links().size(), 1u);
    EXPECT_EQ(linkNotifications(m2), 1);
    EXPECT_EQ(linkNotifications(m3), 2);

    a->connect(t, true); // from the source side, silently
    EXPECT_EQ(t->connectedSource(), a);
    EXPECT_TRUE(b->links().empty());
    EXPECT_EQ(linkNotifications(m1), 2);
    EXPECT_EQ(linkNotifications(m2), 1);
    EXPECT_EQ(linkNotifications(m3), 2);
}

TEST_F(AttributeLinks, ConnectNeedsOneSourceAndOneTarget)
{
    auto* plain = new ZqAttribute("Plain", m1.get());
    t->connect(nullptr);
    t->connect(plain);
    plain->connect(t);
    auto* otherTarget = port(m2, "In", ZqBaseAttribute::kTarget);
    t->connect(otherTarget);
    a->connect(b);
    for (ZqBaseAttribute* attribute : std::vector<ZqBaseAttribute*>{t, plain, otherTarget, a, b})
        EXPECT_TRUE(attribute->links().empty()) << attribute->name();
    EXPECT_EQ(t->connectedSource(), nullptr);
    EXPECT_EQ(a->connectedSource(), nullptr); // a source has no source
}

TEST_F(AttributeLinks, DestroyingASourceUnlinksAndNotifiesItsTargets)
{
    auto m4 = std::make_unique<CountingOwner>(4);
    ZqAttribute* t2 = port(m2, "In", ZqBaseAttribute::kTarget);
    ZqAttribute* t3 = port(m4, "In", ZqBaseAttribute::kTarget);
    for (ZqAttribute* target : {t, t2, t3})
        a->connect(target, true);
    ASSERT_EQ(a->links().size(), 3u);

    m1.reset(); // deletes a with its owner
    for (ZqAttribute* target : {t, t2, t3}) {
        EXPECT_TRUE(target->links().empty());
        EXPECT_EQ(target->connectedSource(), nullptr);
    }
    EXPECT_EQ(linkNotifications(m2), 1);
    EXPECT_EQ(linkNotifications(m3), 1);
    EXPECT_EQ(linkNotifications(m4), 1);
}

TEST_F(AttributeLinks, DestroyingATargetShrinksItsSource)
{
    ZqAttribute* t2 = port(m2, "In", ZqBaseAttribute::kTarget);
    a->connect(t, true);
    a->connect(t2, true);
    delete t; // on its own, the owner stays
    EXPECT_EQ(m3->findAttribute("In"), nullptr);
    EXPECT_EQ(a->links(), std::vector<ZqBaseAttribute*>{t2});
    EXPECT_EQ(linkNotifications(m1), 1);

    m2.reset();
    EXPECT_TRUE(a->links().empty());
    EXPECT_EQ(linkNotifications(m1), 2);
}

// A source's targets stay in linking order, whole, whichever of them leaves: the first,
// one in the middle, the last, one that moves to another source, and ones that come back.
TEST_F(AttributeLinks, TargetsLeaveAndRejoinASourceInAnyOrder)
{
    auto m4 = std::make_unique<CountingOwner>(4);
    std::vector<ZqAttribute*> targets;
    for (int i = 0; i < 5; ++i)
        targets.push_back(port(m4, "In", ZqBaseAttribute::kTarget));
    using Links = std::vector<ZqBaseAttribute*>;
    const auto at = [&](std::initializer_list<int> indices) {
        Links links;
        for (int i : indices)
            links.push_back(targets[i]);
        return links;
    };
    for (ZqAttribute* target : targets)
        a->connect(target, true);
    EXPECT_EQ(a->links(), at({0, 1, 2, 3, 4}));

    a->disconnect(targets[2], true); // the middle
    a->disconnect(targets[0], true); // the first
    a->disconnect(targets[4], true); // the last
    EXPECT_EQ(a->links(), at({1, 3}));
    EXPECT_EQ(targets[0]->connectedSource(), nullptr);
    EXPECT_FALSE(a->contains(targets[2]));

    targets[1]->connect(b, true); // moves to another source
    EXPECT_EQ(a->links(), at({3}));
    EXPECT_EQ(b->links(), at({1}));
    a->disconnect(targets[1], true); // not a's any more: nothing happens
    EXPECT_EQ(b->links(), at({1}));

    targets[4]->connect(a, true);
    a->connect(targets[0], true);
    a->connect(targets[0], true); // already there
    EXPECT_EQ(a->links(), at({3, 4, 0}));
    EXPECT_TRUE(a->contains(targets[0]));
    EXPECT_TRUE(targets[0]->contains(a));
    EXPECT_FALSE(b->contains(targets[0]));

    delete targets[4]; // the middle one goes with its links
    EXPECT_EQ(a->links(), at({3, 0}));
    a->disconnectAll(true);
    EXPECT_TRUE(a->links().empty());
    for (int i : {0, 2, 3})
        EXPECT_EQ(targets[i]->connectedSource(), nullptr);
    targets[3]->connect(a, true); // a source emptied takes targets again
    EXPECT_EQ(a->links(), at({3}));
    // Silent throughout, but for the deleted target, which tells its owner as it goes.
    EXPECT_EQ(linkNotifications(m4), 1);
    EXPECT_EQ(linkNotifications(m1), 1);
}

TEST_F(AttributeLinks, KindChangesDropLinksAndOwnersMoveLists)
{
    a->connect(t, true);
    t->setConnectionType(ZqBaseAttribute::kTarget);
    EXPECT_EQ(t->connectedSource(), a); // same kind: nothing
    t->setConnectionType(ZqBaseAttribute::kSource);
    EXPECT_TRUE(t->links().empty());
    EXPECT_TRUE(a->links().empty());
    EXPECT_EQ(t->connectionType(), ZqBaseAttribute::kSource);
    EXPECT_EQ(linkNotifications(m1), 1);
    EXPECT_EQ(linkNotifications(m3), 1);
    m1->notifications.clear();

    const std::size_t m2Count = m2->attributes().size();
    t->setOwner(m2.get());
    EXPECT_EQ(t->owner(), m2.get());
    EXPECT_EQ(m3->indexOfAttribute(t), -1);
    EXPECT_EQ(m2->indexOfAttribute(t), static_cast<int>(m2Count));
    m1->addAttribute(t, 0);
    EXPECT_EQ(t->owner(), m1.get());
    EXPECT_EQ(m1->indexOfAttribute(t), 0);
    EXPECT_EQ(m2->indexOfAttribute(t), -1);
    EXPECT_TRUE(m1->notifications.empty());

    t->setName("Renamed");
    EXPECT_EQ(m1->notifications[ZqBaseAttribute::kValueChanged], 1);
    t->setName("Again", true);
    EXPECT_EQ(m1->notifications[ZqBaseAttribute::kValueChanged], 1);
    EXPECT_EQ(t->name(), "Again");
}

TEST_F(AttributeLinks, ClonesKeepTheirClassAndATargetsSource)
{
    a->connect(t, true);
    ZqBaseAttribute* targetCopy = t->clone("Copy", m2.get());
    EXPECT_EQ(targetCopy->owner(), m2.get());
    EXPECT_EQ(targetCopy->connectedSource(), a);
    EXPECT_EQ(a->links(), (std::vector<ZqBaseAttribute*>{t, targetCopy}));

    ZqBaseAttribute* sourceCopy = a->cloneForOwner(m3.get());
    EXPECT_EQ(sourceCopy->name(), "Load");
    EXPECT_EQ(sourceCopy->connectionType(), ZqBaseAttribute::kSource);
    EXPECT_TRUE(sourceCopy->links().empty());

    ZqBaseAttribute* renamed = t->cloneWithName("Other");
    EXPECT_EQ(renamed->owner(), m3.get());
    for (ZqBaseAttribute* copy : {targetCopy, sourceCopy, renamed}) {
        EXPECT_STREQ(copy->className(), "ZqAttribute");
        EXPECT_EQ(copy->typeId(), ZqAttribute::staticTypeId());
    }

    // The bare base copies with its plain constructor: kind 0, no links.
    auto* base = new ZqBaseAttribute("Base", m1.get(), 7);
    base->setConnectionType(ZqBaseAttribute::kTarget, true);
    base->connect(b, true);
    ZqBaseAttribute* baseCopy = base->cloneForOwner(m2.get());
    EXPECT_STREQ(baseCopy->className(), "ZqBaseAttribute");
    EXPECT_EQ(baseCopy->flag(), 7u);
    EXPECT_EQ(baseCopy->connectionType(), ZqBaseAttribute::kNone);

    m1.reset(); // the source goes: both linked targets let go
    EXPECT_EQ(t->connectedSource(), nullptr);
    EXPECT_EQ(targetCopy->connectedSource(), nullptr);
}

TEST_F(AttributeLinks, LinkEntryRoundTripsThroughBytes)
{
    m1->setId(17);
    resolver.add(m1.get());
    a->connect(t, true);

    msgpack::zone zone;
    MessagePackMap written(&zone);
    t->packConnections(written);
    msgpack::object_handle keep;
    MessagePackMap read = throughBytes(written, keep);
    ASSERT_EQ(read.size(), 2u);
    EXPECT_EQ(read.find("connectedModelId")->type, msgpack::type::POSITIVE_INTEGER);
    EXPECT_EQ(read.find("connectedModelId")->as<uint32_t>(), 17u);
    EXPECT_EQ(read.find("attributeName")->as<std::string>(), "Load");

    ZqAttribute* fresh = port(m2, "In", ZqBaseAttribute::kTarget);
    fresh->unpackConnections(read);
    EXPECT_EQ(fresh->connectedSource(), a);
    EXPECT_TRUE(m1->notifications.empty()); // reading is silent
    EXPECT_TRUE(m2->notifications.empty());

    // A source or an unlinked target writes nothing; a source ignores the entry.
    MessagePackMap sourceEntry(&zone), unlinkedEntry(&zone);
    a->packConnections(sourceEntry);
    b->packConnections(unlinkedEntry);
    EXPECT_TRUE(sourceEntry.empty());
    EXPECT_TRUE(unlinkedEntry.empty());
    b->unpackConnections(read);
    EXPECT_TRUE(b->links().empty());
}

TEST_F(AttributeLinks, LinkEntryNeedsARegisteredModelWithASourceOfThatName)
{
    m1->setId(17);
    resolver.add(m1.get());
    msgpack::zone zone;
    MessagePackMap entry(&zone);
    entry.setUInt("connectedModelId", 17);
    entry.setString("attributeName", "Load");

    a->setConnectionType(ZqBaseAttribute::kTarget, true); // m1's "Load" is now a target
    t->unpackConnections(entry);
    EXPECT_EQ(t->connectedSource(), nullptr);

    auto* second = port(m1, "Load", ZqBaseAttribute::kSource); // first source of that name
    t->unpackConnections(entry);
    EXPECT_EQ(t->connectedSource(), second);

    MessagePackMap unknown(&zone);
    unknown.setUInt("connectedModelId", 99);
    unknown.setString("attributeName", "Load");
    ZqAttribute* other = port(m2, "In", ZqBaseAttribute::kTarget);
    other->unpackConnections(unknown);
    EXPECT_EQ(other->connectedSource(), nullptr);

    MessagePackMap wrongType(&zone);
    wrongType.setInt("connectedModelId", -17);
    EXPECT_THROW(other->unpackConnections(wrongType), msgpack::type_error);
}

TEST_F(AttributeLinks, LinkEntryDictionaryForm)
{
    m1->setId(17);
    resolver.add(m1.get());
    a->connect(t, true);
    CCDictionary* saved = t->saveConnectionToDictionary();
    EXPECT_STREQ(saved->valueForKey("connectedModelId")->getCString(), "17");
    EXPECT_STREQ(saved->valueForKey("attributeName")->getCString(), "Load");
    EXPECT_EQ(a->saveConnectionToDictionary()->count(), 0u);

    ZqAttribute* fresh = port(m2, "In", ZqBaseAttribute::kTarget);
    fresh->loadConnectionFromDictionary(saved);
    EXPECT_EQ(fresh->connectedSource(), a);
    CCPoolManager::sharedPoolManager()->finalize();
}

} // namespace
