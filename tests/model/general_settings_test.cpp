// The general settings: the one instance, the MessagePack and dictionary forms with the
// per-platform values, the id counter, the physics defaults, the screen fitting and the
// selected character's delay.
#include "ModelTestSupport.h"

#include "model/ZqModelGeneralSettings.h"
#include "cocos2d.h"

#include <stdexcept>

using namespace cocos2d;

namespace {

class GeneralSettingsTest : public ModelTest {
protected:
    void SetUp() override
    {
        ModelTest::SetUp();
        KeyCodeTable table = fixedKeyCodeTable();
        table.insert({{"platformSpecificValues", 60}, {"ios", 61}, {"adUnit", 62}, {"enum", 63},
                      {"variableValue", 64}, {"isEmpty", 65}, {"android", 66}});
        // Every attribute name of the model gets a code too.
        int32_t code = 100;
        const auto names = ZqModelGeneralSettings::createDetached();
        for (const ZqBaseAttribute* attribute : names->attributes())
            table.emplace(attribute->name(), code++);
        installKeyDictionary(table);
    }

    template <class A>
    static A* attribute(ZqModel& model, const char* name)
    {
        ZqBaseAttribute* found = model.findAttribute(name);
        EXPECT_TRUE(found && found->typeId() == A::staticTypeId()) << name;
        return static_cast<A*>(found);
    }

    static CCDictionary* platformEntry(const char* field, const char* text)
    {
        CCDictionary* entry = CCDictionary::create();
        entry->setObject(CCString::create(text), field);
        return entry;
    }
};

TEST_F(GeneralSettingsTest, OneInstanceRegisteredWithTheController)
{
    auto settings = ZqModelGeneralSettings::shared();
    EXPECT_EQ(ZqModelGeneralSettings::shared(), settings);
    EXPECT_EQ(controller().modelById(settings->id()), settings);
    EXPECT_EQ(settings->duplicate(true, true), settings);
    EXPECT_TRUE(settings->isKindOf(ZqModel::staticTypeId()));
    EXPECT_FALSE(settings->isKindOf(zqTypeIdOf("ZqBaseModelGeneralSettings")));

    ZqModelGeneralSettings::reset();
    EXPECT_EQ(controller().modelById(settings->id()), nullptr);
    auto fresh = ZqModelGeneralSettings::shared();
    EXPECT_NE(fresh, settings);
    EXPECT_EQ(controller().modelById(fresh->id()), fresh);
    EXPECT_EQ(fresh->applicationName(), "Untitled");
    EXPECT_EQ(fresh->jumpKey(), 'J');
    EXPECT_EQ(fresh->moveUpKey(), 0x01000013);
    EXPECT_EQ(fresh->resetText(),
              "PLEASE NOTE:  You are about to reset all your game progress and start completely over.  "
              "Are you sure you want to do that?");
    EXPECT_EQ(fresh->attributes().size(), 33u); // "Name" and the table
    ASSERT_EQ(fresh->attributes()[22]->name(), "Icon");
    EXPECT_TRUE(static_cast<ZqAttributeSprite*>(fresh->attributes()[22])->isExcludedFromAtlas());
}

TEST_F(GeneralSettingsTest, PackedAndReadBackWithPlatformValues)
{
    auto source = ZqModelGeneralSettings::createDetached();
    attribute<ZqAttributeString>(*source, "Application Name")->setValue("Runner");
    attribute<ZqAttributeUInt>(*source, "Last ID")->setValue(500);
    attribute<ZqBaseModelGeneralSettings::ZqAttributeScreenAdjustment>(*source, "Screen Adjustment")
        ->setValue(ZqBaseModelGeneralSettings::ScreenAdjustment::kByAspect);
    attribute<ZqAttributeKey>(*source, "Shoot Key")->setValue('K');
    source->platformSpecificValues()->setObject(platformEntry("adUnit", "unit-9"), "ios");

    msgpack::zone zone;
    MessagePackMap packed(&zone);
    source->packAttributes(packed);
    msgpack::object_handle keep;
    const MessagePackMap map = throughBytes(packed, keep);

    auto target = ZqModelGeneralSettings::createDetached();
    target->platformSpecificValues()->setObject(platformEntry("adUnit", "old"), "android");
    target->unpackAttributes(map);
    EXPECT_EQ(target->id(), source->id());
    EXPECT_EQ(target->applicationName(), "Runner");
    EXPECT_EQ(target->screenAdjustment(), 3);
    EXPECT_EQ(target->shootKey(), 'K');
    EXPECT_EQ(target->platformSpecificValues()->count(), 1u);
    auto* ios = dynamic_cast<CCDictionary*>(target->platformSpecificValues()->objectForKey("ios"));
    ASSERT_NE(ios, nullptr);
    EXPECT_STREQ(ios->valueForKey("adUnit")->getCString(), "unit-9");
    // "Last ID" drives the id counter; the physics members are not in the data.
    EXPECT_EQ(controller().nextModelId(), 501u);
    EXPECT_EQ(target->physics().gravity, CCPoint(0.0f, -50.0f));
    EXPECT_TRUE(target->physics().forcedMovement);

    // Without platform values, or with an empty map, the held values stay.
    MessagePackMap bare(&zone);
    bare.setUInt("id", 7);
    target->unpackAttributes(bare);
    bare.setMap("platformSpecificValues", MessagePackMap(&zone));
    target->unpackAttributes(bare);
    EXPECT_NE(target->platformSpecificValues()->objectForKey("ios"), nullptr);
}

TEST_F(GeneralSettingsTest, BadPlatformValuesAreRefusedAndTheHeldOnesKept)
{
    auto settings = ZqModelGeneralSettings::createDetached();
    settings->platformSpecificValues()->setObject(platformEntry("adUnit", "kept"), "ios");

    // An entry or a field under a code the key file lacks fails, as the key file and the
    // data do not belong together: {platformSpecificValues: {66: {62: "z"}, 999: {62: "x"}}},
    // then {platformSpecificValues: {66: {998: "y"}}}.
    msgpack::sbuffer buffer;
    msgpack::packer<msgpack::sbuffer> packer(buffer);
    packer.pack_map(1).pack(60).pack_map(2);
    packer.pack(66).pack_map(1).pack(62).pack("z");
    packer.pack(999).pack_map(1).pack(62).pack("x");
    msgpack::object_handle unknownEntry = msgpack::unpack(buffer.data(), buffer.size());
    EXPECT_THROW(settings->unpackAttributes(MessagePackMap::fromObject(unknownEntry.get())), std::out_of_range);
    buffer.clear();
    packer.pack_map(1).pack(60).pack_map(1).pack(66).pack_map(1).pack(998).pack("y");
    msgpack::object_handle unknownField = msgpack::unpack(buffer.data(), buffer.size());
    EXPECT_THROW(settings->unpackAttributes(MessagePackMap::fromObject(unknownField.get())), std::out_of_range);
    EXPECT_EQ(settings->platformSpecificValues()->count(), 1u);
    EXPECT_NE(settings->platformSpecificValues()->objectForKey("ios"), nullptr);

    // A field that is not a text fails and keeps what was there.
    buffer.clear();
    packer.pack_map(1).pack(60).pack_map(1).pack(66).pack_map(1).pack(62).pack(5);
    msgpack::object_handle number = msgpack::unpack(buffer.data(), buffer.size());
    EXPECT_THROW(settings->unpackAttributes(MessagePackMap::fromObject(number.get())), msgpack::type_error);
    EXPECT_NE(settings->platformSpecificValues()->objectForKey("ios"), nullptr);
    EXPECT_EQ(settings->platformSpecificValues()->objectForKey("android"), nullptr);
}

TEST_F(GeneralSettingsTest, DictionaryForm)
{
    auto settings = ZqModelGeneralSettings::createDetached();
    settings->platformSpecificValues()->setObject(platformEntry("adUnit", "unit-1"), "ios");
    CCDictionary* saved = settings->saveAttributesToDictionary();
    EXPECT_EQ(saved->objectForKey("platformSpecificValues"), settings->platformSpecificValues());

    // The held dictionary itself given back: retained before the old one is released.
    auto physics = [](const char* text) {
        CCDictionary* entry = CCDictionary::create();
        entry->setObject(CCString::create(text), "value");
        return entry;
    };
    saved->setObject(physics("{1,-9.5}"), "Gravity");
    saved->setObject(physics("0.5"), "Jump Timeout");
    saved->setObject(physics("false"), "Forced Movement");
    saved->setObject(physics(""), "Friction");
    settings->loadAttributesFromDictionary(saved);
    EXPECT_EQ(settings->platformSpecificValues()->count(), 1u);
    EXPECT_EQ(settings->physics().gravity, CCPoint(1.0f, -9.5f));
    EXPECT_FLOAT_EQ(settings->physics().jumpTimeout, 0.5f);
    EXPECT_FALSE(settings->physics().forcedMovement);
    EXPECT_FLOAT_EQ(settings->physics().friction, 0.0f);
}

TEST_F(GeneralSettingsTest, ScreenFitting)
{
    using Settings = ZqBaseModelGeneralSettings;
    EXPECT_EQ(Settings::resolutionPolicy(3, 1, CCSize(1920, 1080)), kResolutionFixedHeight);
    EXPECT_EQ(Settings::resolutionPolicy(3, 1, CCSize(1024, 768)), kResolutionFixedWidth);
    EXPECT_EQ(Settings::resolutionPolicy(3, 0, CCSize(1080, 1920)), kResolutionFixedWidth);
    EXPECT_EQ(Settings::resolutionPolicy(3, 0, CCSize(768, 1024)), kResolutionFixedHeight);
    EXPECT_EQ(Settings::resolutionPolicy(0, 1, CCSize(1, 1)), kResolutionNoBorder);
    EXPECT_EQ(Settings::resolutionPolicy(1, 1, CCSize(1, 1)), kResolutionFixedHeight);
    EXPECT_EQ(Settings::resolutionPolicy(2, 1, CCSize(1, 1)), kResolutionFixedWidth);
    EXPECT_EQ(Settings::resolutionPolicy(7, 1, CCSize(1, 1)), kResolutionUnKnown);

    auto settings = ZqModelGeneralSettings::createDetached();
    CCSize size;
    ASSERT_TRUE(settings->designResolution(size));
    EXPECT_EQ(size, CCSize(640, 1136));
    attribute<Settings::ZqAttributeOrientation>(*settings, "Orientation")->setValue(Settings::Orientation::kLandscape);
    ASSERT_TRUE(settings->designResolution(size));
    EXPECT_EQ(size, CCSize(1136, 640));
    attribute<Settings::ZqAttributeOrientation>(*settings, "Orientation")->setValue(Settings::Orientation{2});
    EXPECT_FALSE(settings->designResolution(size));
}

TEST_F(GeneralSettingsTest, SelectedCharacterMaxValue)
{
    auto character = zqCreateModel<TableModel>("hero");
    auto* flash = new ZqAttributeFloat("Camera Flash", character.get());
    auto* delay = new ZqAttributeFloat("Game Over Delay", character.get());
    flash->setValue(0.5f);
    delay->setValue(2.0f);
    const std::vector<std::shared_ptr<ZqModel>> characters = {character};
    EXPECT_FLOAT_EQ(selectedCharacterMaxValue(characters, 0), 2.0f);
    EXPECT_FLOAT_EQ(selectedCharacterMaxValue(characters, 1), 1.0f);
    EXPECT_FLOAT_EQ(selectedCharacterMaxValue(characters, -1), 1.0f);
    EXPECT_FLOAT_EQ(selectedCharacterMaxValue({}, 0), 1.0f);
    // Without character assets in the controller.
    EXPECT_FLOAT_EQ(selectedCharacterMaxValue(), 1.0f);
}

} // namespace
