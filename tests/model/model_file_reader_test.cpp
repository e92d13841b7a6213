// The model-file reader's own parse loop against msgpack-c's unpack (the map road): bytes
// at the edges of the MessagePack format give the same models, log lines and errors.
#include "loading_support.h"
#include "tools/tools_test_support.h"

#include "attributes/ZqAttributeColor.h"
#include "attributes/ZqAttributePoint.h"
#include "model/loading/ZqModelLoader.h"

#include <ZqFileRead.h>

namespace {

#define FIELD_KINDS_ATTRIBUTES(A, V)                                   \
    V(ZqAttributeInt,    m_int,    "I", 0)                             \
    V(ZqAttributeUInt,   m_uint,   "U", 0u)                            \
    V(ZqAttributeFloat,  m_float,  "F", 0.0f)                          \
    V(ZqAttributeBool,   m_bool,   "B", false)                         \
    V(ZqAttributeString, m_text,   "S", "")                            \
    V(ZqAttributeSize,   m_size,   "Z", cocos2d::CCSize())             \
    V(ZqAttributePoint,  m_point,  "P", cocos2d::CCPoint())            \
    V(ZqAttributeRect,   m_rect,   "R", cocos2d::CCRect())             \
    V(ZqAttributeColor,  m_color,  "C", cocos2d::ccc4f(0, 0, 0, 0))

// One attribute of each kind of plain field, which the visitor road writes from the bytes.
class FieldKindsModel : public ZqModel {
public:
    explicit FieldKindsModel(const std::string& name) : ZqModel(name) { ZQ_ATTRIBUTE_CREATE(FIELD_KINDS_ATTRIBUTES) }
    FieldKindsModel(const FieldKindsModel& source) : ZqModel(source) { ZQ_ATTRIBUTE_REBIND(FIELD_KINDS_ATTRIBUTES) }
    ZQ_MODEL_IDENTITY(FieldKindsModel, ZqModel)
    static std::shared_ptr<FieldKindsModel> create() { return zqCreateModel<FieldKindsModel>("kinds"); }

    ZQ_ATTRIBUTE_MEMBERS(FIELD_KINDS_ATTRIBUTES)
};

using loading_test::Bytes;

const std::string kLabelClass = "ZqModelObjectLabel";

struct Outcome {
    std::string error;
    std::vector<std::string> log;
    std::map<unsigned, std::string> models;
};

class ModelFileReaderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        keyNameSet().clear();
        ZqModelObjectLabel::create()->collectKeys();
        std::set<std::string> names = keyNameSet();
        keyNameSet().clear();
        names.insert("value");
        keys = loading_test::keyTable(loading_test::keyText(names));
        tracking = keys.at("Tracking");
        text = keys.at("Text");
        zqSetLogSink([this](const char* line) { log.emplace_back(line); });
    }
    void TearDown() override
    {
        zqSetLogSink({});
        loader().setModelFileRoad(ZqModelFileRoad::kVisitor);
        controller().reset();
        installKeyDictionary({});
    }

    static ZqModelController& controller() { return *ZqModelController::shared(); }
    static ZqModelLoader& loader() { return *ZqModelLoader::shared(); }

    // bytes read as an attributes file and then as a connections file.
    Outcome read(ZqModelFileRoad road, const Bytes& bytes)
    {
        controller().reset();
        installKeyDictionary(keys);
        loader().setModelFileRoad(road);
        log.clear();
        loader().parseModelFile(bytes.data(), bytes.size(), ZqModelLoader::kAttributesFile);
        loader().parseModelFile(bytes.data(), bytes.size(), ZqModelLoader::kConnectionsFile);
        return {loader().errorText(), log, tools_test::describeModels(controller())};
    }

    // Every road over bytes: the same outcome, the visitor road's.
    Outcome expectSameRoads(const Bytes& bytes, const std::string& what)
    {
        const Outcome visitor = read(ZqModelFileRoad::kVisitor, bytes);
        for (const ZqModelFileRoad road : {ZqModelFileRoad::kParse, ZqModelFileRoad::kMaps}) {
            const Outcome other = read(road, bytes);
            const std::string which = what + (road == ZqModelFileRoad::kParse ? " (parse)" : " (maps)");
            EXPECT_EQ(visitor.error, other.error) << which;
            EXPECT_EQ(visitor.log, other.log) << which;
            EXPECT_TRUE(visitor.models == other.models) << which << ": the roads read different models";
        }
        return visitor;
    }

    // A label map with id 103 and one more entry: code then the value's bytes.
    Bytes label(int32_t code, const Bytes& value) const
    {
        Bytes bytes = {0x83, 0x2a, 0x67, 0x21, static_cast<unsigned char>(0xa0 | kLabelClass.size())};
        bytes.insert(bytes.end(), kLabelClass.begin(), kLabelClass.end());
        bytes.push_back(static_cast<unsigned char>(code));
        bytes.insert(bytes.end(), value.begin(), value.end());
        return bytes;
    }
    // A label whose attribute of code is the map {"value": value}.
    Bytes labelValue(int32_t code, const Bytes& value) const
    {
        Bytes nested = {0x81, 0x0a};
        nested.insert(nested.end(), value.begin(), value.end());
        return label(code, nested);
    }

    KeyCodeTable keys;
    int32_t tracking = -1;
    int32_t text = -1;
    std::vector<std::string> log;
};

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// Every integer format with non-negative and negative values: as an attribute's value,
// as the model's id (only a positive integer is an id), and as a key.
TEST_F(ModelFileReaderTest, IntegerFormatsReadAsMsgpackReadsThem)
{
    const Bytes numbers[] = {
        {0x05}, {0x7f}, {0xe0}, {0xff},                                             // fixints
        {0xcc, 0xff}, {0xcd, 0xff, 0xfe}, {0xce, 0xff, 0xff, 0xff, 0xfd},           // uint 8 to 32
        {0xcf, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xfc},                     // uint 64
        {0xcf, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x67},                     // uint 64 of 103
        {0xd0, 0x67}, {0xd0, 0x80}, {0xd0, 0x00},                                   // int 8
        {0xd1, 0x01, 0x2c}, {0xd1, 0xfe, 0xd4},                                     // int 16: 300, -300
        {0xd2, 0x00, 0x00, 0x00, 0x67}, {0xd2, 0x80, 0x00, 0x00, 0x00},             // int 32
        {0xd3, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x67},                     // int 64 of 103
        {0xd3, 0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00},                     // int 64 lowest
        {0xca, 0xbf, 0xc0, 0x00, 0x00}, {0xcb, 0x40, 0x09, 0x21, 0xfb, 0x54, 0x44, 0x2d, 0x18}, // floats
    };
    std::size_t i = 0;
    for (const Bytes& number : numbers) {
        const std::string what = "number " + std::to_string(i++);
        expectSameRoads(labelValue(tracking, number), what + " as a value");
        Bytes asId = {0x82, 0x2a};
        asId.insert(asId.end(), number.begin(), number.end());
        asId.insert(asId.end(), {0x21, static_cast<unsigned char>(0xa0 | kLabelClass.size())});
        asId.insert(asId.end(), kLabelClass.begin(), kLabelClass.end());
        expectSameRoads(asId, what + " as the id");
        Bytes asKey = {0x81};
        asKey.insert(asKey.end(), number.begin(), number.end());
        asKey.push_back(0x01);
        expectSameRoads(asKey, what + " as a key");
    }
    // A signed format holding a non-negative number is a positive one: an id, a value.
    const Outcome signedId = expectSameRoads(
        Bytes{0x82, 0xd0, 0x2a, 0xd1, 0x00, 0x67, 0x21, 0xa0 | 18, 'Z', 'q', 'M', 'o', 'd', 'e', 'l', 'O', 'b', 'j', 'e',
              'c', 't', 'L', 'a', 'b', 'e', 'l'},
        "signed id");
    EXPECT_EQ(signedId.error, "");
    EXPECT_EQ(signedId.models.count(103), 1u);
    const Outcome negative = expectSameRoads(labelValue(tracking, {0xd1, 0xfe, 0xd4}), "-300");
    EXPECT_EQ(negative.error, "");
    ASSERT_EQ(negative.models.count(103), 1u);
}

// Strings, bins and exts of every length form, whole and cut one byte short; numbers and
// headers cut by the end of the file.
TEST_F(ModelFileReaderTest, EveryLengthFormWholeAndCut)
{
    const Bytes values[] = {
        {0xa3, 'a', 'b', 'c'},
        {0xd9, 0x03, 'a', 'b', 'c'},
        {0xda, 0x00, 0x03, 'a', 'b', 'c'},
        {0xdb, 0x00, 0x00, 0x00, 0x03, 'a', 'b', 'c'},
        {0xc4, 0x03, 'a', 'b', 'c'},
        {0xc5, 0x00, 0x03, 'a', 'b', 'c'},
        {0xc6, 0x00, 0x00, 0x00, 0x03, 'a', 'b', 'c'},
        {0xd4, 0x01, 'a'},
        {0xd5, 0xff, 'a', 'b'},
        {0xd6, 0x7f, 'a', 'b', 'c', 'd'},
        {0xd7, 0x80, 1, 2, 3, 4, 5, 6, 7, 8},
        {0xd8, 0x00, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16},
        {0xc7, 0x02, 0x05, 'a', 'b'},
        {0xc8, 0x00, 0x02, 0xfb, 'a', 'b'},
        {0xc9, 0x00, 0x00, 0x00, 0x02, 0x05, 'a', 'b'},
        {0xc7, 0x00, 0x05}, // an ext with its type alone
        {0xcd, 0x01, 0x02},
        {0xcb, 0x40, 0x09, 0x21, 0xfb, 0x54, 0x44, 0x2d, 0x18},
        {0xdc, 0x00, 0x02, 0x01, 0x02},
        {0xdf, 0x00, 0x00, 0x00, 0x01, 0x0a, 0x01},
    };
    std::size_t i = 0;
    for (const Bytes& value : values) {
        const std::string what = "value " + std::to_string(i++);
        expectSameRoads(labelValue(text, value), what);
        const Bytes cut(value.begin(), value.end() - 1);
        const Outcome outcome = expectSameRoads(labelValue(text, cut), what + " cut");
        EXPECT_TRUE(contains(outcome.error, "insufficient bytes")) << what << ": " << outcome.error;
    }
    // Empty strings and bins in each form, a whole model after a cut one.
    for (const Bytes& empty : {Bytes{0xa0}, Bytes{0xd9, 0x00}, Bytes{0xda, 0x00, 0x00}, Bytes{0xc4, 0x00}})
        expectSameRoads(labelValue(text, empty), "an empty text");
    Bytes cutThenWhole = labelValue(text, {0xa3, 'a', 'b'});
    const Bytes whole = labelValue(text, {0xa1, 'x'});
    cutThenWhole.insert(cutThenWhole.end(), whole.begin(), whole.end());
    expectSameRoads(cutThenWhole, "a string that swallows the next model");
}

// The reserved byte anywhere, empty containers, two models and a nil end, the end of the
// file inside a container.
TEST_F(ModelFileReaderTest, ReservedByteEmptyContainersAndFileEnds)
{
    for (const Bytes& bytes : {labelValue(tracking, {0xc1}), label(text, {0x81, 0xc1, 0x01}),
                               labelValue(text, {0x92, 0x01, 0xc1}), Bytes{0xc1}, Bytes{0x81, 0x2a, 0xc1}}) {
        const Outcome outcome = expectSameRoads(bytes, "0xc1");
        EXPECT_TRUE(contains(outcome.error, "not MessagePack data")) << outcome.error;
    }
    for (const Bytes& bytes : {Bytes{0x80}, Bytes{0x90}, label(tracking, {0x80}), labelValue(tracking, {0x90}),
                               labelValue(tracking, {0x80}), label(text, {0x90}), Bytes{0xc0}, Bytes{0xde, 0x00, 0x00},
                               Bytes{0xdd, 0x00, 0x00, 0x00, 0x00}})
        expectSameRoads(bytes, "empty");
    Bytes two = labelValue(tracking, {0x05});
    Bytes second = labelValue(tracking, {0x06});
    second[2] = 0x68; // id 104
    two.insert(two.end(), second.begin(), second.end());
    two.push_back(0xc0);
    two.insert(two.end(), {0xc1, 0xc1}); // after the nil: never read
    const Outcome both = expectSameRoads(two, "two models and a nil");
    EXPECT_EQ(both.error, "");
    EXPECT_EQ(both.models.size(), 2u);
    for (const Bytes& bytes : {labelValue(tracking, {0x92, 0x01}), label(tracking, {0x82, 0x0a, 0x01}),
                               label(tracking, {0x81, 0x0a}), Bytes{0x83, 0x2a}, Bytes{0xde, 0x00}})
        EXPECT_NE(expectSameRoads(bytes, "cut container").error, "");
}

// A file may declare no more entries than its objects can be built from in a few times its
// size: a list of nils, one byte an entry, is refused at its header one entry past that
// budget, before anything is built, on every road; one entry less is read.
TEST_F(ModelFileReaderTest, EntriesPastTheBudgetOfTheFileSizeAreRefusedUnbuilt)
{
    constexpr std::size_t kSize = 1 << 20;
    const std::size_t budget = elementBudget(kSize);
    ASSERT_LT(budget, kSize);
    for (const std::size_t past : {0, 1}) {
        // The model map's 3 entries and the attribute map's one count two each.
        const std::size_t nils = budget - 8 + past;
        Bytes list = {0xdd};
        for (int shift = 24; shift >= 0; shift -= 8)
            list.push_back(static_cast<unsigned char>(nils >> shift));
        list.resize(list.size() + nils, 0xc0);
        Bytes bytes = labelValue(tracking, list);
        bytes.push_back(0xc0); // the end of the file's models; the rest is never read
        ASSERT_LE(bytes.size(), kSize);
        bytes.resize(kSize, 0xc1);
        const Outcome outcome = expectSameRoads(bytes, past ? "past the budget" : "at the budget");
        EXPECT_EQ(contains(outcome.error, "claims more entries than the file's size allows"), past == 1)
            << outcome.error;
    }
    // The budget keeps a 64 MiB file's objects to a few times its size.
    EXPECT_LE(elementBudget(kZqMaxDataFileSize) * sizeof(msgpack::object), 5 * kZqMaxDataFileSize);
}

// Maps (and arrays) nested to the depth limit are read; one more level is refused.
TEST_F(ModelFileReaderTest, NestingToTheDepthLimitAndOnePast)
{
    const auto nested = [&](std::size_t depth, unsigned char header) {
        // The model map and the attribute's map are two levels; the rest nest in "value".
        Bytes inner = {0x01};
        for (std::size_t level = 2; level < depth; ++level) {
            Bytes outer = header == 0x81 ? Bytes{0x81, 0x0a} : Bytes{header};
            outer.insert(outer.end(), inner.begin(), inner.end());
            inner = outer;
        }
        return labelValue(tracking, inner);
    };
    for (const unsigned char header : {0x81, 0x91}) {
        const Outcome atLimit = expectSameRoads(nested(32, header), "at the limit");
        EXPECT_FALSE(contains(atLimit.error, "nested too deeply")) << atLimit.error;
        const Outcome past = expectSameRoads(nested(33, header), "one past the limit");
        EXPECT_TRUE(contains(past.error, "nested too deeply")) << past.error;
    }
}

// An attribute reads its nested map entry by entry as it is parsed: the first value under
// a code stays, the order of the entries does not matter, an entry it does not read is
// told, and a bad entry after good ones fails the file, as when the map is read whole.
TEST_F(ModelFileReaderTest, NestedEntriesReadOneByOneKeepTheMapRules)
{
    const auto code = [&](const char* name) { return static_cast<unsigned char>(keys.at(name)); };
    const auto tracking = [&]() {
        const auto model = controller().getModel<ZqModelObjectLabel>(103);
        return model ? std::pair(model->m_tracking->value(), model->m_tracking->variableValue())
                     : std::pair(-1.0f, -1.0f);
    };
    const auto labelText = [&]() {
        const auto model = controller().getModel<ZqModelObjectLabel>(103);
        return model ? model->m_text->value() : std::string("(none)");
    };

    const Outcome twice = expectSameRoads(label(this->tracking, {0x82, code("value"), 0x03, code("value"), 0x07}),
                                          "a value given twice");
    EXPECT_EQ(twice.error, "");
    EXPECT_EQ(tracking(), std::pair(3.0f, 0.0f));

    const Outcome reversed = expectSameRoads(
        label(this->tracking, {0x83, code("isEmpty"), 0xc3, code("variableValue"), 0x02, code("value"), 0x05}),
        "entries in another order");
    EXPECT_EQ(reversed.error, "");
    EXPECT_EQ(tracking(), std::pair(5.0f, 2.0f));

    const Outcome unread =
        expectSameRoads(label(this->tracking, {0x82, code("value"), 0x04, code("Text"), 0xa1, 'x'}), "an unread entry");
    EXPECT_EQ(unread.error, "");
    EXPECT_EQ(tracking().first, 4.0f);
    // Told once a reading of the file (attributes, connections), naming the model's own id;
    // read as links, the map's "Class Name" is told too.
    ASSERT_EQ(unread.log.size(), 3u);
    EXPECT_TRUE(contains(unread.log[0], "model 103 (ZqModelObjectLabel), attribute \"Tracking\" has no \"Text\" - not read"))
        << unread.log[0];

    for (const Bytes& bad : {Bytes{0x82, code("value"), 0x03, code("isEmpty"), 0xa1, 'x'},
                             Bytes{0x82, code("value"), 0xa1, 'x', code("value"), 0x03},
                             Bytes{0x82, code("value"), 0x03, 0xa1, 'k', 0x01}})
        EXPECT_NE(expectSameRoads(label(this->tracking, bad), "a bad entry after a good one").error, "");

    // A nested key past the int32 range is no code of the key file: told, read by nothing,
    // and the model read as on the map road (the reader once sized a table by it and failed).
    const Outcome farKey = expectSameRoads(
        label(this->tracking, {0x82, code("value"), 0x06, 0xce, 0xce, 0xce, 0xce, 0xce, 0x01}), "a key past int32");
    EXPECT_EQ(farKey.error, "");
    EXPECT_EQ(tracking().first, 6.0f);

    const Outcome firstText = expectSameRoads(
        label(text, {0x82, code("value"), 0xa2, 'a', 'b', code("value"), 0xa2, 'c', 'd'}), "a text given twice");
    EXPECT_EQ(firstText.error, "");
    EXPECT_EQ(labelText(), "ab");
}

// A map that gives a code twice is malformed: one line names the file's model and the key
// (the smallest code given twice), on every road; the first value is read. A code of an
// attribute's map at the top of the model map is no attribute of it: told as unread.
TEST_F(ModelFileReaderTest, RepeatedAndMisplacedKeysAreTold)
{
    const auto code = [&](const char* name) { return static_cast<unsigned char>(keys.at(name)); };
    const auto trackingValue = [&]() {
        const auto model = controller().getModel<ZqModelObjectLabel>(103);
        return model ? model->m_tracking->value() : -1.0f;
    };
    const std::string repeated = "model 103 (ZqModelObjectLabel) gives \"value\" twice in one map";

    const Outcome nested = expectSameRoads(label(tracking, {0x82, code("value"), 0x03, code("value"), 0x07}),
                                           "a value given twice");
    EXPECT_EQ(trackingValue(), 3.0f);
    // Once for each reading of the file (attributes, connections).
    EXPECT_EQ(std::count_if(nested.log.begin(), nested.log.end(),
                            [&](const std::string& line) { return contains(line, repeated); }),
              2);

    Bytes top = label(tracking, {0x81, code("value"), 0x03});
    top[0] = 0x84;
    top.insert(top.end(), {static_cast<unsigned char>(tracking), 0x81, code("value"), 0x07});
    const Outcome twice = expectSameRoads(top, "an attribute given twice");
    EXPECT_EQ(twice.error, "");
    EXPECT_EQ(trackingValue(), 3.0f);
    ASSERT_FALSE(twice.log.empty());
    EXPECT_TRUE(contains(twice.log[0], "model 103 (ZqModelObjectLabel) gives \"Tracking\" twice in one map"))
        << twice.log[0];

    const Outcome misplaced = expectSameRoads(label(code("value"), {0x05}), "a value at the top");
    EXPECT_EQ(misplaced.error, "");
    ASSERT_FALSE(misplaced.log.empty());
    EXPECT_TRUE(contains(misplaced.log[0], "model 103 (ZqModelObjectLabel) has no \"value\" - not read"))
        << misplaced.log[0];
}

// A damaged key file can give two keys one code: the entry then sets both fields, on
// both roads.
TEST_F(ModelFileReaderTest, TwoKeysOfOneCodeBothReadTheEntry)
{
    keys["variableValue"] = keys.at("value");
    const Outcome shared = expectSameRoads(labelValue(tracking, {0x06}), "value and spread of one code");
    EXPECT_EQ(shared.error, "");
    const auto model = controller().getModel<ZqModelObjectLabel>(103);
    ASSERT_TRUE(model);
    EXPECT_EQ(model->m_tracking->value(), 6.0f);
    EXPECT_EQ(model->m_tracking->variableValue(), 6.0f);
}

// Its attribute "Shifting" is a number or, while textFirst is set, a text followed by a
// number "Extra": models of one class made with other attributes.
class ShiftingModel : public ZqModel {
public:
    explicit ShiftingModel(const std::string& name) : ZqModel(name)
    {
        if (textFirst) {
            new ZqAttributeString("Shifting", this);
            new ZqAttributeFloat("Extra", this);
        } else {
            new ZqAttributeFloat("Shifting", this);
        }
    }
    ShiftingModel(const ShiftingModel& source) : ZqModel(source) {}
    ZQ_MODEL_IDENTITY(ShiftingModel, ZqModel)
    static std::shared_ptr<ShiftingModel> create() { return zqCreateModel<ShiftingModel>("shifting"); }

    static inline bool textFirst = false;
};

// Two ports: "Output", a source, and "Input", a target.
class PortModel : public ZqModel {
public:
    explicit PortModel(const std::string& name) : ZqModel(name)
    {
        (new ZqAttribute("Output", this))->setConnectionType(ZqBaseAttribute::kSource, true);
        (new ZqAttribute("Input", this))->setConnectionType(ZqBaseAttribute::kTarget, true);
    }
    PortModel(const PortModel& source) : ZqModel(source) {}
    ZQ_MODEL_IDENTITY(PortModel, ZqModel)
    static std::shared_ptr<PortModel> create() { return zqCreateModel<PortModel>("ports"); }
};

// The plain road's own tests: a controller whose registry holds FieldKindsModel,
// ShiftingModel and PortModel, and their keys.
class PlainRoadTest : public ModelFileReaderTest {
protected:
    using Entries = std::vector<std::pair<std::string, Bytes>>;

    void SetUp() override
    {
        ModelFileReaderTest::SetUp();
        delete ZqModelController::shared();
        m_own = std::make_unique<ZqModelController>();
        static const ZqModelClass rows[] = {zqModelClassRow<FieldKindsModel>(), zqModelClassRow<ShiftingModel>(),
                                            zqModelClassRow<PortModel>()};
        m_own->addModelClasses(rows);
        keyNameSet().clear();
        FieldKindsModel::create()->collectKeys();
        ShiftingModel::textFirst = true;
        ShiftingModel::create()->collectKeys();
        ShiftingModel::textFirst = false;
        PortModel::create()->collectKeys();
        std::set<std::string> names = keyNameSet();
        names.insert({"connectedModelId", "attributeName", "children"});
        keyNameSet().clear();
        keys = loading_test::keyTable(loading_test::keyText(names));
    }
    void TearDown() override
    {
        ModelFileReaderTest::TearDown();
        m_own.reset();
        ShiftingModel::textFirst = false;
    }

    Bytes code(const std::string& name) const
    {
        const int32_t value = keys.at(name);
        return value < 0x80 ? Bytes{static_cast<unsigned char>(value)}
                            : Bytes{0xcd, static_cast<unsigned char>(value >> 8), static_cast<unsigned char>(value)};
    }
    // The map of model id of the class with each attribute's entries, in order.
    Bytes modelMap(unsigned char id, const std::vector<std::pair<std::string, Entries>>& attributes,
                   const std::string& className = "FieldKindsModel") const
    {
        Bytes bytes = {static_cast<unsigned char>(0x80 | (attributes.size() + 2))};
        for (const Bytes& part : {code("id"), Bytes{id}, code("Class Name"),
                                  Bytes{static_cast<unsigned char>(0xa0 | className.size())},
                                  Bytes(className.begin(), className.end())})
            bytes.insert(bytes.end(), part.begin(), part.end());
        for (const auto& [attribute, entries] : attributes) {
            const Bytes name = code(attribute);
            bytes.insert(bytes.end(), name.begin(), name.end());
            bytes.push_back(static_cast<unsigned char>(0x80 | entries.size()));
            for (const auto& [key, value] : entries) {
                const Bytes keyCode = code(key);
                bytes.insert(bytes.end(), keyCode.begin(), keyCode.end());
                bytes.insert(bytes.end(), value.begin(), value.end());
            }
        }
        return bytes;
    }

    std::unique_ptr<ZqModelController> m_own;
};

// Every kind of plain field under every form of value, well formed or not: the plain road,
// the parse and the map road read the same models, log and error.
TEST_F(PlainRoadTest, PlainFieldsTakeEveryFormAsTheParseDoes)
{
    const Bytes values[] = {
        {0x05}, {0x7f}, {0xff}, {0xe0},                                                 // fixints
        {0xcc, 0xff}, {0xcd, 0xff, 0xfe}, {0xce, 0x7f, 0xff, 0xff, 0xff}, {0xce, 0xff, 0xff, 0xff, 0xff},
        {0xcf, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x07},                         // uint 64
        {0xd0, 0x80}, {0xd0, 0x05}, {0xd1, 0xfe, 0xd4}, {0xd2, 0x80, 0x00, 0x00, 0x00}, // int 8 to 32
        {0xd3, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xfe},                         // int 64
        {0xca, 0x3f, 0xc0, 0x00, 0x00}, {0xca, 0x7f, 0xc0, 0x00, 0x01},                 // 1.5, a NaN
        {0xcb, 0x40, 0x04, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00},                         // 2.5
        {0xcb, 0x7e, 0x37, 0xe4, 0x3c, 0x88, 0x00, 0x75, 0x9c},                         // 1e300
        {0xc0}, {0xc2}, {0xc3}, {0xc1},                                                 // nil, flags, reserved
        {0xa3, 'a', 'b', 'c'}, {0xa0}, {0xd9, 0x00}, {0xda, 0x00, 0x01, 'x'},           // texts
        {0xdb, 0x00, 0x00, 0x00, 0x01, 'y'}, {0xc4, 0x01, 'z'},                         // and a bin
        {0x92, 0xca, 0x3f, 0x80, 0x00, 0x00, 0xca, 0x40, 0x00, 0x00, 0x00},             // two floats
        {0x92, 0x05, 0xff}, {0x92, 0xc3, 0x05}, {0x92, 0xa1, 'a', 0x01}, {0x90},        // other pairs
        {0x93, 0x01, 0x02, 0x03},                                                       // three numbers
        {0x94, 0xca, 0x3f, 0x80, 0x00, 0x00, 0x02, 0xcb, 0x40, 0x04, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xe0},
        {0x94, 0x01, 0x02, 0x03, 0x92, 0x01, 0x02},                                     // an array inside
        {0xdc, 0x00, 0x02, 0x01, 0x02}, {0xdd, 0x00, 0x00, 0x00, 0x02, 0x01, 0x02},     // long headers
        {0x81, 0x01, 0x02}, {0xd4, 0x01, 0x00},                                         // a map, an ext
        {0x92, 0x01}, {0xca, 0x3f}, {0xa3, 'a'}, {0xdc, 0xff, 0xff},                    // cut by the end
    };
    for (const char* attribute : {"I", "U", "F", "B", "S", "Z", "P", "R", "C"}) {
        for (const char* key : {"value", "variableValue", "isEmpty", "isXEmpty"}) {
            for (std::size_t i = 0; i < std::size(values); ++i)
                expectSameRoads(modelMap(0x67, {{attribute, {{key, values[i]}}}}),
                                std::string(attribute) + "/" + key + " value " + std::to_string(i));
        }
    }
    // A well-formed value is read, not refused.
    const Bytes size = modelMap(0x67, {{"Z", {{"value", {0x92, 0xca, 0x3f, 0x80, 0x00, 0x00, 0xca, 0x40, 0x00, 0x00, 0x00}}}}});
    EXPECT_EQ(expectSameRoads(size, "a size").error, "");
    const auto model = m_own->getModel<FieldKindsModel>(103);
    ASSERT_TRUE(model);
    EXPECT_EQ(model->m_size->value(), cocos2d::CCSize(1.0f, 2.0f));
}

// A map that repeats the codes of the last map of its class takes the decisions made for
// that one; a map that differs anywhere (another order, an entry more or fewer, a code
// twice, a value its field cannot take) is read as itself, the same on every road, and so
// is the map after it.
TEST_F(PlainRoadTest, AMapUnlikeTheLastOfItsClassIsReadAsItself)
{
    using Map = std::vector<std::pair<std::string, Entries>>;
    const Bytes one = {0x01}, two = {0x02}, yes = {0xc3}, no = {0xc2}, text = {0xa1, 'x'};
    const Bytes half = {0xca, 0x3f, 0x00, 0x00, 0x00};
    const std::pair<std::string, Entries> i = {"I", {{"value", one}, {"variableValue", two}, {"isEmpty", yes}}};
    const std::pair<std::string, Entries> f = {"F", {{"value", half}, {"variableValue", half}}};
    const std::pair<std::string, Entries> t = {"S", {{"value", text}}};
    const std::pair<std::string, Entries> p = {"P", {{"value", {0x92, 0x01, 0x02}}, {"isXEmpty", no}}};
    const Map base = {i, f, t, p};
    const std::vector<std::pair<std::string, Map>> variants = {
        {"the same", base},
        {"attributes in another order", {f, i, t, p}},
        {"an attribute fewer", {i, f, t}},
        {"an attribute more", {i, f, t, p, {"U", {{"value", one}}}}},
        {"an attribute twice", {i, f, {"I", {{"value", two}}}, p}},
        {"an attribute's map empty", {i, {"F", {}}, t, p}},
        {"entries in another order", {{"I", {{"variableValue", two}, {"value", one}, {"isEmpty", yes}}}, f, t, p}},
        {"an entry twice", {{"I", {{"value", one}, {"value", two}, {"isEmpty", yes}}}, f, t, p}},
        {"an entry fewer", {{"I", {{"value", one}, {"variableValue", two}}}, f, t, p}},
        {"an entry no attribute reads", {{"I", {{"value", one}, {"variableValue", two}, {"isEmpty", yes}, {"isXEmpty", no}}}, f, t, p}},
        {"an entry its field cannot take", {{"I", {{"value", text}, {"variableValue", two}, {"isEmpty", yes}}}, f, t, p}},
        {"an entry in another form", {{"I", {{"value", {0xd1, 0x01, 0x2c}}, {"variableValue", two}, {"isEmpty", yes}}}, f, t, p}},
        {"a point of three numbers", {i, f, t, {"P", {{"value", {0x93, 0x01, 0x02, 0x03}}, {"isXEmpty", no}}}}},
    };
    for (const auto& [what, variant] : variants) {
        Bytes file = modelMap(0x67, base);
        for (const Bytes& next : {modelMap(0x68, variant), modelMap(0x69, base)})
            file.insert(file.end(), next.begin(), next.end());
        expectSameRoads(file, what);
    }
    // The plan changes no value: every model reads what its own map says.
    Bytes file = modelMap(0x67, base);
    const Bytes other = modelMap(0x68, {{"I", {{"value", two}, {"variableValue", one}, {"isEmpty", no}}}, f, t, p});
    file.insert(file.end(), other.begin(), other.end());
    EXPECT_EQ(expectSameRoads(file, "two models").error, "");
    EXPECT_EQ(m_own->getModel<FieldKindsModel>(103)->m_int->value(), 1);
    EXPECT_EQ(m_own->getModel<FieldKindsModel>(104)->m_int->value(), 2);
    EXPECT_FALSE(m_own->getModel<FieldKindsModel>(104)->m_int->isEmpty());
}

// A model whose class made it with other attributes than the models before it is read as
// itself, the same on every road: a number refuses a text where the last map of its class
// read a text, and an entry for an attribute it lacks is its own to read (and tell).
TEST_F(PlainRoadTest, AModelMadeWithOtherAttributesIsReadAsItself)
{
    const auto map = [&](unsigned char id, const std::string& attribute, const Bytes& value) {
        return modelMap(id, {{attribute, {{"value", value}}}}, "ShiftingModel");
    };
    const Bytes text = {0xa1, 'x'};
    const Bytes number = {0xca, 0x3f, 0x80, 0x00, 0x00};
    // The first model has a text and an extra number, the second only a number.
    const auto readBoth = [&](ZqModelFileRoad road, const Bytes& second) {
        controller().reset();
        installKeyDictionary(keys);
        loader().setModelFileRoad(road);
        log.clear();
        ShiftingModel::textFirst = true;
        const Bytes first = map(0x67, "Shifting", text);
        loader().parseModelFile(first.data(), first.size(), ZqModelLoader::kAttributesFile);
        ShiftingModel::textFirst = false;
        loader().parseModelFile(second.data(), second.size(), ZqModelLoader::kAttributesFile);
        return Outcome{loader().errorText(), log, tools_test::describeModels(controller())};
    };
    for (const auto& [what, second] : {std::pair<std::string, Bytes>{"a text for a number", map(0x68, "Shifting", text)},
                                       {"an attribute it lacks", map(0x68, "Extra", number)}}) {
        const Outcome visitor = readBoth(ZqModelFileRoad::kVisitor, second);
        for (const ZqModelFileRoad road : {ZqModelFileRoad::kParse, ZqModelFileRoad::kMaps}) {
            const Outcome other = readBoth(road, second);
            EXPECT_EQ(visitor.error, other.error) << what;
            EXPECT_EQ(visitor.log, other.log) << what;
            EXPECT_TRUE(visitor.models == other.models) << what;
        }
        if (what == "a text for a number")
            EXPECT_TRUE(contains(visitor.error, "a value has the wrong type")) << visitor.error;
        else
            EXPECT_EQ(visitor.models.count(104), 1u);
    }
}

// A connections map of the usual shape is read straight from its bytes; one of any other
// shape is read by the parse. Every road makes the same links and children, and tells and
// fails the same.
TEST_F(PlainRoadTest, ConnectionsMapsOfEveryShapeLinkAsTheParseDoes)
{
    const auto join = [](std::initializer_list<Bytes> parts) {
        Bytes bytes;
        for (const Bytes& part : parts)
            bytes.insert(bytes.end(), part.begin(), part.end());
        return bytes;
    };
    const Bytes attributes = join({modelMap(0x67, {}, "PortModel"), modelMap(0x68, {}, "PortModel")});
    const Bytes output = {0xa6, 'O', 'u', 't', 'p', 'u', 't'};
    const Bytes link = join({{0x82}, code("connectedModelId"), {0x67}, code("attributeName"), output});
    // Model 0x68's map: its "Input" entry and its children.
    const auto links = [&](const Bytes& input, const Bytes& children) {
        return join({{0x83}, code("id"), {0x68}, code("Input"), input, code("children"), children});
    };
    const Bytes usual = links(link, {0x91, 0x67});
    const std::pair<std::string, Bytes> cases[] = {
        {"the usual shape", usual},
        {"an id in a signed format", links(join({{0x82}, code("connectedModelId"), {0xd0, 0x67}, code("attributeName"), output}),
                                           {0x91, 0x67})},
        {"a map inside the link", links(join({{0x82}, code("connectedModelId"), {0x67}, code("attributeName"), {0x81, 0x01, 0x02}}),
                                        {0x91, 0x67})},
        {"an ext in the link", links(join({{0x82}, code("connectedModelId"), {0x67}, code("attributeName"), {0xd4, 0x01, 0x00}}),
                                     {0x91, 0x67})},
        {"an unknown code in the link", links(join({{0x82}, code("connectedModelId"), {0x67}, {0x7e, 0x01}}), {0x91, 0x67})},
        {"a child that is no id", links(link, {0x92, 0x67, 0xa1, 'x'})},
        {"children that are no array", links(link, {0x67})},
        {"a link given twice", join({{0x84}, code("id"), {0x68}, code("Input"), link, code("Input"), link, code("children"), {0x90}})},
        {"a key in a signed format", join({{0x82}, {0xd0}, code("id"), {0x68}, code("Input"), link})},
        {"a link cut by the end", Bytes(usual.begin(), usual.end() - 3)},
        {"more entries than bytes", join({{0xdf, 0x00, 0x01, 0x00, 0x00}, code("id"), {0x68}})},
    };
    const auto readBoth = [&](ZqModelFileRoad road, const Bytes& connections) {
        controller().reset();
        installKeyDictionary(keys);
        loader().setModelFileRoad(road);
        log.clear();
        loader().parseModelFile(attributes.data(), attributes.size(), ZqModelLoader::kAttributesFile);
        loader().parseModelFile(connections.data(), connections.size(), ZqModelLoader::kConnectionsFile);
        return Outcome{loader().errorText(), log, tools_test::describeModels(controller())};
    };
    for (const auto& [what, connections] : cases) {
        const Outcome visitor = readBoth(ZqModelFileRoad::kVisitor, connections);
        for (const ZqModelFileRoad road : {ZqModelFileRoad::kParse, ZqModelFileRoad::kMaps}) {
            const Outcome other = readBoth(road, connections);
            EXPECT_EQ(visitor.error, other.error) << what;
            EXPECT_EQ(visitor.log, other.log) << what;
            EXPECT_TRUE(visitor.models == other.models) << what;
        }
    }
    // The usual shape makes its link and its child.
    EXPECT_EQ(readBoth(ZqModelFileRoad::kVisitor, usual).error, "");
    const std::shared_ptr<ZqModel> target = m_own->modelById(0x68);
    const std::shared_ptr<ZqModel> source = m_own->modelById(0x67);
    ASSERT_TRUE(target && source);
    EXPECT_EQ(target->findAttribute("Input")->connectedSource(), source->findAttribute("Output"));
    ASSERT_EQ(target->children().size(), 1u);
    EXPECT_EQ(target->children()[0], source);
}

} // namespace
