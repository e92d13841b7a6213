// Feeds arbitrary bytes to the controller as the key file, then reads a small model
// file with whatever dictionary came of it. Bad data must end in the controller's failed
// state; a crash, a sanitizer report or an escaping exception is a finding.
#include "attributes/KeyDictionary.h"
#include "attributes/MessagePackMap.h"
#include "model/ZqModelController.h"
#include "model/loading/ZqModelLoader.h"

#include <ZqLog.h>

#include <cstdint>
#include <string_view>

namespace {

// A fixed code as the one byte of a MessagePack positive fixint.
constexpr unsigned char fixedCodeByte(std::string_view name)
{
    return static_cast<unsigned char>(fixedKeyCode(name));
}
static_assert(kHighestFixedKeyCode < 128);

// {id: 1, Class Name: "ZqModelGeneralSettings", User ID: {value: "u"}} with the fixed codes.
const unsigned char kSettings[] = {0x83, fixedCodeByte("id"), 1, fixedCodeByte("Class Name"), 0xb6, 'Z', 'q', 'M', 'o',
                                   'd', 'e', 'l', 'G', 'e', 'n', 'e', 'r', 'a', 'l', 'S', 'e', 't', 't', 'i', 'n', 'g',
                                   's', fixedCodeByte("User ID"), 0x81, fixedCodeByte("value"), 0xa1, 'u'};

} // namespace

// The controller logs every failed load: a line a run would bury libFuzzer's own report.
extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    zqSetLogSink([](const char*) {});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ZqModelController* controller = ZqModelController::shared();
    ZqModelLoader& loader = *ZqModelLoader::shared();
    controller->reset();
    installKeyDictionary({});
    loader.parseModelFile(kSettings, sizeof kSettings, ZqModelLoader::kAttributesFile);
    if (loader.loadKeyFile(data, size))
        loader.parseModelFile(kSettings, sizeof kSettings, ZqModelLoader::kAttributesFile);
    return 0;
}
