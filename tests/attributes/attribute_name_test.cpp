// Attribute names: literal names are views that no copy of the attribute copies again;
// every other name owns its text and outlives the string it came from.
#include "messagepack_support.h"

#include "attributes/ZqAttributeFundamental.h"

#include <type_traits>

namespace {

constexpr char kSpeedKey[] = "Speed";

// A pointer says nothing about its storage: it must be named as a view or a copy.
static_assert(!std::is_convertible_v<const char*, ZqAttributeName>);
static_assert(std::is_convertible_v<std::string, ZqAttributeName>);
static_assert(std::is_convertible_v<std::string_view, ZqAttributeName>);

using AttributeNames = AttributeTest;

TEST_F(AttributeNames, LiteralNamesPointIntoTheLiteralThroughEveryCopy)
{
    auto* speed = new ZqAttributeFloat(kSpeedKey, owner.get());
    EXPECT_EQ(speed->name().data(), kSpeedKey);
    EXPECT_EQ(speed->name().size(), 5u);
    EXPECT_STREQ(speed->storedName().c_str(), "Speed");

    CountingOwner other(2);
    ZqBaseAttribute* forOwner = speed->cloneForOwner(&other);
    ZqBaseAttribute* sameName = speed->clone(speed->storedName(), &other);
    EXPECT_EQ(forOwner->name().data(), kSpeedKey);
    EXPECT_EQ(sameName->name().data(), kSpeedKey);

    // Renamed to another literal: a view again, and the copies keep the old one.
    constexpr static char kRateKey[] = "Rate";
    speed->setName(kRateKey, true);
    EXPECT_EQ(speed->name().data(), kRateKey);
    EXPECT_EQ(forOwner->name(), "Speed");
}

TEST_F(AttributeNames, NamesFromStringsOwnTheirTextAndOutliveTheSource)
{
    auto* port = new ZqAttribute("Port", owner.get());
    ZqBaseAttribute* renamedClone = port->cloneWithName(std::string("Temporary ") + "clone");
    ZqBaseAttribute* movedClone = port->clone(std::string_view(std::string(40, 'x')), owner.get());
    EXPECT_EQ(renamedClone->name(), "Temporary clone");
    EXPECT_EQ(movedClone->name(), std::string(40, 'x'));
    EXPECT_EQ(movedClone->name().data()[40], '\0');

    port->setName(std::string("Read ") + "from data", true);
    EXPECT_EQ(port->name(), "Read from data");
    EXPECT_STREQ(port->storedName().c_str(), "Read from data");

    // A copy of an owned name owns a text of its own: the source may go first.
    CountingOwner other(2);
    ZqBaseAttribute* copy = port->cloneForOwner(&other);
    EXPECT_NE(copy->name().data(), port->name().data());
    delete port;
    EXPECT_EQ(copy->name(), "Read from data");
}

TEST_F(AttributeNames, RenamingToTheSameOrAnEmptyText)
{
    auto* flag = new ZqAttributeBool("Visible", owner.get());
    const char* const literal = flag->name().data();

    // The same text from a string: nothing is renamed and the view stays.
    flag->setName(std::string("Visible"));
    EXPECT_EQ(owner->renames, 0);
    EXPECT_EQ(owner->valueChanges, 1);
    EXPECT_EQ(flag->name().data(), literal);

    flag->setName(std::string(), true);
    EXPECT_EQ(owner->renames, 1);
    EXPECT_TRUE(flag->name().empty());
    EXPECT_STREQ(flag->storedName().c_str(), "");
    EXPECT_EQ(owner->findAttribute(""), flag);

    flag->setName(std::string("Shown"), true);
    flag->setName(flag->storedName(), true); // its own name: a copy first, no rename
    EXPECT_EQ(owner->renames, 2);
    EXPECT_EQ(flag->name(), "Shown");
}

TEST(AttributeNameValue, CopiesMovesAndAssignmentsKeepTheirKind)
{
    ZqAttributeName view(kSpeedKey);
    ZqAttributeName owned(std::string("Owned"));
    ZqAttributeName viewCopy(view);
    ZqAttributeName ownedCopy(owned);
    EXPECT_EQ(viewCopy.c_str(), kSpeedKey);
    EXPECT_NE(ownedCopy.c_str(), owned.c_str());

    ZqAttributeName moved(std::move(owned));
    EXPECT_EQ(moved.view(), "Owned");
    EXPECT_STREQ(owned.c_str(), ""); // a moved-from name is empty

    moved = view;
    EXPECT_EQ(moved.c_str(), kSpeedKey);
}

} // namespace
