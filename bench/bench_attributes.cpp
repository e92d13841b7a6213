// Unpacking and reading 10,000 generic models of 20 attributes each, against a bare
// msgpack-c unpack of the same bytes: the first figure of the loader's speed. Prints both
// times and their ratio after the runs.
#include "attributes/KeyDictionary.h"
#include "attributes/MessagePackMap.h"
#include "attributes/ZqAttributeFundamental.h"
#include "attributes/ZqAttributeValue.h"
#include "model/ZqModelController.h"
#include "model/ZqModelIdentity.h"
#include "bench/bench_support.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <initializer_list>
#include <memory>
#include <vector>

namespace {

constexpr int kModelCount = 10000;

// A generic model with the usual mix: 20 attributes, "Name" included, two with curves.
class BenchModel : public ZqModel {
public:
    explicit BenchModel(const std::string& name)
        : ZqModel(name)
    {
        for (const ZqAttributeName& key : std::initializer_list<ZqAttributeName>{"Speed", "Jump", "Gravity", "Scale", "Alpha", "Delay"})
            new ZqAttributeFloat(key, this);
        for (const ZqAttributeName& key : std::initializer_list<ZqAttributeName>{"Count", "Score", "Layer"})
            new ZqAttributeInt(key, this);
        new ZqAttributeUInt("Lives", this);
        new ZqAttributeKey("Key", this);
        for (const ZqAttributeName& key : std::initializer_list<ZqAttributeName>{"Visible", "Enabled", "Solid"})
            new ZqAttributeBool(key, this);
        new ZqAttributeStringList("Mode", this);
        new ZqAttributeString("Title", this);
        new ZqAttributeRect("Frame", this);
        new ZqAttributeSize("Size", this);
        new ZqAttributeFrameEdgeState("Edge", this);
    }
    BenchModel(const BenchModel& source)
        : ZqModel(source)
    {
    }
    ZQ_MODEL_IDENTITY(BenchModel, ZqModel)

    // Distinct values per model, so that the bytes are not all alike.
    void fill(int seed)
    {
        for (ZqBaseAttribute* attribute : attributes()) {
            if (auto* f = dynamic_cast<ZqAttributeFloat*>(attribute)) {
                f->setValue(seed * 0.25f, true);
                f->setVariableValue(0.5f);
            } else if (auto* i = dynamic_cast<ZqAttributeInt*>(attribute)) {
                i->setValue(seed - 5000, true);
            } else if (auto* u = dynamic_cast<ZqAttributeUInt*>(attribute)) {
                u->setValue(static_cast<unsigned>(seed), true);
            } else if (auto* b = dynamic_cast<ZqAttributeBool*>(attribute)) {
                b->setValue(seed % 2 == 0, true);
            } else if (auto* r = dynamic_cast<ZqAttributeRect*>(attribute)) {
                r->setValue(cocos2d::CCRect(seed, 2, 30, 40), true);
            } else if (auto* s = dynamic_cast<ZqAttributeSize*>(attribute)) {
                s->setValue(cocos2d::CCSize(seed, 64), true);
            } else if (auto* e = dynamic_cast<ZqAttributeFrameEdgeState*>(attribute)) {
                e->setValue(ZqObjectFrameEdgeState{seed % 4}, true);
            }
        }
        static_cast<ZqAttributeString*>(findAttribute("Title"))->setValue("Level " + std::to_string(seed), true);
        static_cast<ZqAttributeString*>(findAttribute("Mode"))->setValue("kAboveCharacter", true);
        for (const char* key : {"Speed", "Alpha"}) {
            auto curve = std::make_unique<ZqAnimationCurve>();
            for (int k = 0; k < 4; ++k)
                curve->addPoint(static_cast<float>((seed + k) % 7), static_cast<float>(k));
            std::vector<std::unique_ptr<ZqAnimationCurve>> curves;
            curves.push_back(std::move(curve));
            findAttribute(key)->setCurvesForState(std::move(curves), 1);
        }
    }
};

// The key file a writer would make: every key the model writes, with the fixed codes.
void installBenchKeys(const BenchModel& model)
{
    keyNameSet().clear();
    model.collectKeys();
    ZqAnimationCurve().collectKeys();
    KeyCodeTable table = fixedKeyCodeTable();
    int32_t code = 0;
    for (const std::string& name : keyNameSet()) {
        if (table.count(name))
            continue;
        while (isFixedKeyCode(code))
            ++code;
        table[name] = code++;
    }
    installKeyDictionary(table);
}

struct Fixture {
    std::vector<char> bytes;
    std::vector<std::shared_ptr<BenchModel>> models;

    Fixture()
    {
        auto prototype = zqCreateModel<BenchModel>("prototype");
        installBenchKeys(*prototype);
        msgpack::sbuffer buffer;
        for (int i = 0; i < kModelCount; ++i) {
            auto model = zqCreateModel<BenchModel>("Model " + std::to_string(i));
            model->fill(i);
            msgpack::zone zone;
            MessagePackMap map(&zone);
            model->packAttributes(map);
            packObject(buffer, map.toObject());
            models.push_back(zqCreateModel<BenchModel>("reader"));
        }
        bytes.assign(buffer.data(), buffer.data() + buffer.size());
    }
};

Fixture& fixture()
{
    static Fixture instance;
    return instance;
}

// Mean wall time per iteration of each benchmark, for the ratio printed at the end.
double bareSeconds = 0;
double readSeconds = 0;

template <class Body>
void timed(benchmark::State& state, double& mean, Body body)
{
    double total = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        body();
        total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    mean = total / static_cast<double>(state.iterations());
    state.counters["models"] = kModelCount;
    state.counters["MB"] = static_cast<double>(fixture().bytes.size()) / 1e6;
}

void BM_BareMsgpackUnpack(benchmark::State& state)
{
    const std::vector<char>& bytes = fixture().bytes;
    timed(state, bareSeconds, [&] {
        std::size_t offset = 0;
        while (offset < bytes.size()) {
            msgpack::object_handle handle = msgpack::unpack(bytes.data(), bytes.size(), offset);
            benchmark::DoNotOptimize(handle.get().type);
        }
    });
}

void BM_UnpackAndReadModels(benchmark::State& state)
{
    Fixture& data = fixture();
    timed(state, readSeconds, [&] {
        std::size_t offset = 0;
        for (const auto& model : data.models) {
            msgpack::object_handle handle = unpackBounded(data.bytes.data(), data.bytes.size(), offset);
            model->unpackAttributes(MessagePackMap::fromObject(handle.get()));
        }
    });
}

BENCHMARK(BM_BareMsgpackUnpack)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_UnpackAndReadModels)->Unit(benchmark::kMillisecond)->MinTime(1.0);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    zqbench::printRatio("unpack and read " + std::to_string(kModelCount) + " models", readSeconds,
                        "bare msgpack-c unpack", bareSeconds);
    fixture().models.clear();
    return 0;
}
