#include "app/ZqPSettingsController.h"

ZqPSettingsController* ZqPSettingsController::shared()
{
    // Lives to the end of the process, like the saved progress it stands for.
    static ZqPSettingsController* instance = new ZqPSettingsController();
    return instance;
}
