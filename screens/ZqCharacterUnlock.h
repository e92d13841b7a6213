#pragma once

#include "app/ZqServices.h"
#include "cocos2d.h"

#include <memory>
#include <vector>

class ZqModelAnimation;
class ZqModelAssetCharacter;
class ZqModelComponentCharacterIcon;
class ZqPAnimationObject;

// What the character selector and the unlock-character button share: the characters'
// list, their icons, and the unlock by a character's own "Purchase Method".

// The characters in the model controller's order; an index here is the saved progress's.
std::vector<std::shared_ptr<ZqModelAssetCharacter>> zqCharacters();
// The character's first icon component; empty when it has none.
std::shared_ptr<ZqModelComponentCharacterIcon> findCharacterIconComponent(const ZqModelAssetCharacter& character);
// A view of the animation, autoreleased, with no owner and no reference node; null when the
// animation is missing or has no frame.
ZqPAnimationObject* makeCharacterIconView(const std::shared_ptr<ZqModelAnimation>& animation, bool setSpawnSources);

// Where an unlock went.
enum class ZqCharacterUnlockResult {
    kPaid,        // coins paid; unlocked, selected and saved
    kTooFewCoins, // logged and told; nothing changed
    kRequested,   // a purchase or a rewarded video asked for; its callback completes it
    kWebLink,     // the link opened; the caller completes it 10 frames later
    kNone,        // no unlock method
};

// The callbacks of the purchase bridge and the ad controller, on target (not retained;
// the target clears them before it dies).
struct ZqCharacterUnlockCallbacks {
    cocos2d::CCObject* target = nullptr;
    PurchaseBridge::Callback purchased = nullptr;
    cocos2d::SEL_CallFunc rewarded = nullptr;
    // The character the ad controller grants when no callback is there to do it.
    int rewardCharacter = -1;
};

// Runs the character's unlock method for the character at index.
ZqCharacterUnlockResult zqUnlockCharacter(const ZqModelAssetCharacter& character, int index,
                                          const ZqCharacterUnlockCallbacks& callbacks);
// The character at index unlocked, selected and saved.
void zqGrantCharacter(int index);
