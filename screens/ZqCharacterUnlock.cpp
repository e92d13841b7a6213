#include "screens/ZqCharacterUnlock.h"

#include "app/ScoreRegistry.h"
#include "app/ZqAdController.h"
#include "app/ZqPSettingsController.h"
#include "model/ZqModelController.h"
#include "model/ZqModelGeneralSettings.h"
#include "model/objects/ZqModelComponentsBehaviour.h"
#include "model/scene/ZqModelAssets.h"
#include "model/scene/ZqModelMedia.h"
#include "objects/ZqPAnimationObject.h"

#include <ZqLog.h>

std::vector<std::shared_ptr<ZqModelAssetCharacter>> zqCharacters()
{
    return ZqModelController::shared()->modelsOfClass<ZqModelAssetCharacter>();
}

std::shared_ptr<ZqModelComponentCharacterIcon> findCharacterIconComponent(const ZqModelAssetCharacter& character)
{
    return character.firstChildOfClass<ZqModelComponentCharacterIcon>();
}

ZqPAnimationObject* makeCharacterIconView(const std::shared_ptr<ZqModelAnimation>& animation, bool setSpawnSources)
{
    if (!animation || animation->frameCount() == 0)
        return nullptr;
    ZqPAnimationObject* view = ZqPAnimationObject::create(animation, nullptr, setSpawnSources);
    if (view)
        view->setChildrenReferenceNode(nullptr);
    return view;
}

void zqGrantCharacter(int index)
{
    ZqPSettingsController* settings = ZqPSettingsController::shared();
    settings->unlockCharacter(index);
    settings->setSelectedCharacter(index);
    settings->save();
}

ZqCharacterUnlockResult zqUnlockCharacter(const ZqModelAssetCharacter& character, int index,
                                          const ZqCharacterUnlockCallbacks& callbacks)
{
    switch (character.purchaseMethod()) {
    case kPayInGameCurrency:
        if (ScoreRegistry::payCoins(character.price())) {
            zqGrantCharacter(index);
            return ZqCharacterUnlockResult::kPaid;
        }
        debugLog("not enought coins to unlock");
        ZqServices::shared()->showAlert(ZqModelGeneralSettings::shared()->notEnoughCurrencyText(), nullptr);
        return ZqCharacterUnlockResult::kTooFewCoins;
    case kPayInAppPurchase:
        if (!character.storeIdentifier().empty()) {
            PurchaseBridge::shared()->setCallback(callbacks.target, callbacks.purchased);
            PurchaseBridge::shared()->request(character.storeIdentifier());
        }
        return ZqCharacterUnlockResult::kRequested;
    case kPayRewardedVideos: {
        ZqAdController* ads = ZqAdController::shared();
        ads->setRewardCallback(callbacks.target, callbacks.rewarded);
        ads->setRewardCharacter(callbacks.rewardCharacter);
        ads->showRewardedVideo(character.adNetwork());
        return ZqCharacterUnlockResult::kRequested;
    }
    case kPayWebLink:
        if (!character.webLink().empty())
            ZqServices::shared()->openUrl(character.webLink());
        return ZqCharacterUnlockResult::kWebLink;
    case kPurchaseMethodOther:
    case kPurchaseMethodCount:
        break;
    }
    return ZqCharacterUnlockResult::kNone;
}
