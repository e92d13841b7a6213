// Feeds arbitrary bytes to the controller as an attributes file and then as a
// connections file. Bad data must end in the controller's failed state; a crash, a
// sanitizer report or an escaping exception is a finding.
#include "attributes/KeyDictionary.h"
#include "model/ZqModelController.h"
#include "model/ZqModelGeneralSettings.h"

#include <cstdint>

namespace {

// Codes for the fixed names and every attribute of the registered classes.
const KeyCodeTable& keyTable()
{
    static const KeyCodeTable table = [] {
        KeyCodeTable codes = {{"value", 10}, {"Class Name", 33}, {"id", 42}, {"User ID", 50},
                              {"children", 1}, {"connectedModelId", 2}, {"attributeName", 3},
                              {"variableValue", 4}, {"isEmpty", 5}, {"enum", 6}, {"animations", 7},
                              {"platformSpecificValues", 8}};
        int32_t code = 60;
        for (const std::string& className : ZqModelController::shared()->registry().classNames()) {
            const std::shared_ptr<ZqModel> model = ZqModelController::shared()->registry().create(className);
            for (const ZqBaseAttribute* attribute : model ? model->attributes() : std::vector<ZqBaseAttribute*>())
                codes.emplace(attribute->name(), code++);
        }
        return codes;
    }();
    return table;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ZqModelController* controller = ZqModelController::shared();
    controller->reset();
    installKeyDictionary(keyTable());
    controller->parseModelFile(data, size, 0);
    controller->parseModelFile(data, size, 1);
    return 0;
}
