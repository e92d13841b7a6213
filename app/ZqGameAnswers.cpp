#include "app/ZqGameAnswers.h"

#include "app/ZqPSettingsController.h"
#include "app/ZqPurchaseRegistry.h"
#include "model/ZqGameQuestions.h"

namespace {

// Asks the instances of the moment: the settings controller may be dropped and made again.
class ProgressAnswers final : public ZqProgressQuestions {
public:
    bool adsRemoved() const override { return ZqPSettingsController::shared()->adsRemoved(); }
    int selectedCharacter() const override { return ZqPSettingsController::shared()->selectedCharacter(); }
    void unlockCharacter(int index) override
    {
        ZqPSettingsController* settings = ZqPSettingsController::shared();
        settings->unlockCharacter(index);
        settings->save();
    }
    void setPurchasedItemFlag(const std::string& item, bool purchased) override
    {
        purchasedItemFlag(item) = purchased;
    }
};

ProgressAnswers s_progress;

} // namespace

void zqInstallGameAnswers()
{
    zqInstallProgressQuestions(&s_progress);
}
