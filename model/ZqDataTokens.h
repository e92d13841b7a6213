#pragma once

#include "attributes/ZqAttributeToken.h"

#include <cstdint>
#include <iterator>
#include <string_view>

// The token families of the game data: each an enum that ends in its count, its tokens in
// the enum's order, and the attribute class that reads a token into its code once
// (attributes/ZqAttributeToken.h). An empty token, and any token the table does not hold,
// reads as the family's "other" code: the game treats it as it treated such a text before.
// Where that is a code of its own, its token is the empty one.
#define ZQ_TOKEN_FAMILY(Family, CodeType, Other, Count, ...)                                                           \
    ZQ_TOKEN_FAMILY_OF(Family, CodeType, Other, Count, false, __VA_ARGS__)
// A family whose attribute may also hold a text of its own (an id, a name): a text the
// table does not hold reads as the "other" code without a log line.
#define ZQ_FREE_TEXT_TOKEN_FAMILY(Family, CodeType, Other, Count, ...)                                                 \
    ZQ_TOKEN_FAMILY_OF(Family, CodeType, Other, Count, true, __VA_ARGS__)
#define ZQ_TOKEN_FAMILY_OF(Family, CodeType, Other, Count, FreeText, ...)                                              \
    struct Zq##Family##Tokens {                                                                                        \
        using Code = CodeType;                                                                                         \
        static constexpr const char* kName = "ZqAttribute" #Family;                                                    \
        static constexpr Code kOther = Other;                                                                          \
        static constexpr bool kFreeText = FreeText;                                                                    \
        static constexpr std::string_view kTokens[] = {__VA_ARGS__};                                                   \
        static_assert(std::size(kTokens) == Count);                                                                    \
    };                                                                                                                 \
    using ZqAttribute##Family = ZqAttributeToken<Zq##Family##Tokens>;

// Power-ups: what one does when a character takes it ("Powerup Type").
enum ZqPowerupType : uint8_t {
    kPowerupNone,
    kPowerupCoin,
    kPowerupMagnet,
    kPowerupStrike,
    kPowerupInvincibility,
    kPowerupKillAllEnemies,
    kPowerupCheckpoint,
    kPowerupRestartCheckpoint,
    kPowerupNextCheckpoint,
    kPowerupGameplay,
    kPowerupEndGame,
    // Acts as an effect power-up whose effect does nothing.
    kPowerupOther,
    kPowerupTypeCount
};
ZQ_TOKEN_FAMILY(PowerupType, ZqPowerupType, kPowerupOther, kPowerupTypeCount, "kPowerupNone", "kPowerupCoin",
                "kPowerupMagnet", "kPowerupStrike", "kPowerupInvincibility", "kPowerupKillAllEnemies",
                "kPowerupCheckpoint", "kPowerupRestartCheckpoint", "kPowerupNextCheckpoint", "kPowerupGameplay",
                "kPowerupEndGame", "")

// Where a power-up's start animation plays ("Animation Placement").
enum ZqPowerupPlacement : uint8_t {
    kPowerupCharacterConstraint,
    kPowerupScreenConstraint,
    // Where the power-up is.
    kPowerupPlacementOther,
    kPowerupPlacementCount
};
ZQ_TOKEN_FAMILY(PowerupPlacement, ZqPowerupPlacement, kPowerupPlacementOther, kPowerupPlacementCount,
                "kPowerupCharacterConstraint", "kPowerupScreenConstraint", "")

// How a power-up's start animation meets its taker's ("Animation Behaviour").
enum ZqPowerupBehaviour : uint8_t {
    kReplaceBehaviour,
    kOverlayBehaviour,
    // Neither replaces nor overlays.
    kPowerupBehaviourOther,
    kPowerupBehaviourCount
};
ZQ_TOKEN_FAMILY(PowerupBehaviour, ZqPowerupBehaviour, kPowerupBehaviourOther, kPowerupBehaviourCount,
                "kReplaceBehaviour", "kOverlayBehaviour", "")

// How a unit moves ("Movement Type").
enum ZqMovementType : uint8_t {
    kMovementPhysics,
    kMovementLinear,
    // Stays where it is placed.
    kMovementOther,
    kMovementTypeCount
};
ZQ_TOKEN_FAMILY(MovementType, ZqMovementType, kMovementOther, kMovementTypeCount, "kMovementPhysics", "kMovementLinear",
                "")

// What fires a spawner ("Spawn Action").
enum ZqSpawnAction : uint8_t {
    kPermanentSpawning,
    kShootingSpawning,
    kJumpingSpawning,
    kNonResetShootingSpawning,
    // Never fires.
    kSpawnActionOther,
    kSpawnActionCount
};
ZQ_TOKEN_FAMILY(SpawnAction, ZqSpawnAction, kSpawnActionOther, kSpawnActionCount, "kPermanentSpawning",
                "kShootingSpawning", "kJumpingSpawning", "kNonResetShootingSpawning", "")

// How a value meets the current one ("Mathematical Operation", "Affect operation").
enum ZqOperation : uint8_t {
    kOperationAdd,
    kOperationMultiply,
    kOperationReplace,
    kOperationNone,
    // Each reader says what it does with it.
    kOperationOther,
    kOperationCount
};
ZQ_TOKEN_FAMILY(Operation, ZqOperation, kOperationOther, kOperationCount, "kAdd", "kMultiply", "kReplace", "kNone", "")

// What starts a component ("Event" of motors and slides).
enum ZqComponentEvent : uint8_t {
    kComponentOnButton,
    kComponentOnCollision,
    kComponentOnStart,
    // No event of these: a control's event text, or none.
    kComponentOnOther,
    kComponentEventCount
};
ZQ_TOKEN_FAMILY(ComponentEvent, ZqComponentEvent, kComponentOnOther, kComponentEventCount, "kEventButton",
                "kEventCollision", "kEventStart", "")

// A manipulator's control ("Control Style"): absolute places the character, anything else
// steers it.
enum ZqControlStyle : uint8_t { kControlStyleAbsolute, kControlStyleRelative, kControlStyleOther, kControlStyleCount };
ZQ_TOKEN_FAMILY(ControlStyle, ZqControlStyle, kControlStyleOther, kControlStyleCount, "kControlStyleAbsolute",
                "kControlStyleRelative", "")

// What an accelerometer's tilt does ("Control Type"): move, anything else leans.
enum ZqControlType : uint8_t { kControlTypeMove, kControlTypeTilt, kControlTypeOther, kControlTypeCount };
ZQ_TOKEN_FAMILY(ControlType, ZqControlType, kControlTypeOther, kControlTypeCount, "kControlTypeMove",
                "kControlTypeTilt", "")

// The axes an accelerometer moves along ("Active Axes"): anything else, both.
enum ZqActiveAxes : uint8_t { kActiveAxeX, kActiveAxeY, kActiveAxesOther, kActiveAxesCount };
ZQ_TOKEN_FAMILY(ActiveAxes, ZqActiveAxes, kActiveAxesOther, kActiveAxesCount, "kActiveAxeX", "kActiveAxeY", "")

// How a path runs its points ("Play Mode"): anything else runs them once.
enum ZqPathPlayMode : uint8_t { kPlayModeSingle, kPlayModeLoop, kPlayModePingPong, kPlayModeOther, kPlayModeCount };
ZQ_TOKEN_FAMILY(PathPlayMode, ZqPathPlayMode, kPlayModeOther, kPlayModeCount, "kPlayModeSingle", "kPlayModeLoop",
                "kPlayModePingPong", "")

// Whom a path pulls ("Affected Asset"): anything else, every object.
enum ZqPathAffected : uint8_t {
    kPathAffectsAll,
    kPathAffectsCharacters,
    kPathAffectsAssets,
    kPathAffectsOther,
    kPathAffectedCount
};
ZQ_TOKEN_FAMILY(PathAffected, ZqPathAffected, kPathAffectsOther, kPathAffectedCount, "kAll", "kCharacter", "kAssets",
                "")

// How an object turns on a path ("Image Transition"): kFlip mirrors it, anything else not.
enum ZqImageTransition : uint8_t { kImageTransitionFlip, kImageTransitionOther, kImageTransitionCount };
ZQ_TOKEN_FAMILY(ImageTransition, ZqImageTransition, kImageTransitionOther, kImageTransitionCount, "kFlip", "")

// What a label shows ("Action"): its "Text", the next game's level section, or a live
// value; anything else, the font's "0" until something sets a text.
enum ZqLabelAction : uint8_t {
    kLabelCustomText,
    kLabelStartSceneName,
    kLabelScore,
    kLabelLoadingCounter,
    kLabelUnlockedCharacters,
    kLabelAllCharacters,
    kLabelActionOther,
    kLabelActionCount
};
ZQ_TOKEN_FAMILY(LabelAction, ZqLabelAction, kLabelActionOther, kLabelActionCount, "kCustomVector", "kStartSceneName",
                "kScoreVector", "kLoadingCounter", "kUnlockedCharactersCount", "kAllCharactersCount", "")

// Whose scores a label shows ("World"): anything else, the current scene's.
enum ZqScoreWorld : uint8_t { kScoreWorldGlobal, kScoreWorldCurrent, kScoreWorldOther, kScoreWorldCount };
ZQ_TOKEN_FAMILY(ScoreWorld, ZqScoreWorld, kScoreWorldOther, kScoreWorldCount, "kGlobal", "kCurrentWorld", "")

// Which score a label shows ("Score Type"): anything else, the coins.
enum ZqScoreKind : uint8_t { kScoreKindDistance, kScoreKindPoints, kScoreKindCoins, kScoreKindOther, kScoreKindCount };
ZQ_TOKEN_FAMILY(ScoreKind, ZqScoreKind, kScoreKindOther, kScoreKindCount, "kScoreDistance", "kScorePoints",
                "kScoreCoins", "")

// Which value of the score ("Amount"): anything else, the current game's.
enum ZqScoreAmount : uint8_t {
    kScoreAmountBest,
    kScoreAmountTotal,
    kScoreAmountSession,
    kScoreAmountOther,
    kScoreAmountCount
};
ZQ_TOKEN_FAMILY(ScoreAmount, ZqScoreAmount, kScoreAmountOther, kScoreAmountCount, "kScoreBest", "kScoreTotal",
                "current", "")

// What a unit is ("Object Type"); anything else is none of these.
enum ZqObjectType : uint8_t {
    kPlatformObjectType,
    kDecorationObjectType,
    kEnemyObjectType,
    kPhysicsObjectType,
    kBulletObjectType,
    kBulletCharacterObjectType,
    kWheelObjectType,
    kObjectTypeOther,
    kObjectTypeCount
};
ZQ_TOKEN_FAMILY(ObjectType, ZqObjectType, kObjectTypeOther, kObjectTypeCount, "kPlatformObjectType",
                "kDecorationObjectType", "kEnemyObjectType", "kPhysicsObjectType", "kBulletObjectType",
                "kBulletCharacterObjectType", "kWheelObjectType", "")

// Whether a unit collides with characters ("Collision Type"); anything else does not.
enum ZqCollisionType : uint8_t { kNoCollision, kCharacterCollision, kCollisionTypeCount };
ZQ_TOKEN_FAMILY(CollisionType, ZqCollisionType, kNoCollision, kCollisionTypeCount, "kNoCollision",
                "kCharacterCollision")

// Whom an object's contacts destroy ("Destroy Type"); anything else, no one.
enum ZqDestroyType : uint8_t {
    kDestroyNo,
    kDestroyCollision,
    kDestroyEnemyCollision,
    kDestroyAllCollision,
    kDestroyTypeCount
};
ZQ_TOKEN_FAMILY(DestroyType, ZqDestroyType, kDestroyNo, kDestroyTypeCount, "kDestroyNo", "kDestroyCollision",
                "kDestroyEnemyCollision", "kDestroyAllCollision")

// What wakes a unit ("Wake Up"); anything else, the distance to the characters.
enum ZqWakeUpType : uint8_t { kNoWakeup, kTimeBasedWakeup, kCollisionBasedWakeup, kWakeUpTypeCount };
ZQ_TOKEN_FAMILY(WakeUpType, ZqWakeUpType, kNoWakeup, kWakeUpTypeCount, "kNoWakeup", "kTimeBasedWakeup",
                "kCollisionBasedWakeup")

// Whether a unit sleeps again ("Sleep"); anything else, never.
enum ZqSleepType : uint8_t { kNoSleep, kDistanceBasedSleep, kSleepTypeCount };
ZQ_TOKEN_FAMILY(SleepType, ZqSleepType, kNoSleep, kSleepTypeCount, "kNoSleep", "kDistanceBasedSleep")

// How a purchase, a character or a lock is paid ("Purchase Method", "Unlock"); anything
// else is no way of paying.
enum ZqPurchaseMethod : uint8_t {
    kPayInGameCurrency,
    kPayInAppPurchase,
    kPayRewardedVideos,
    kPayWebLink,
    kPurchaseMethodOther,
    kPurchaseMethodCount
};
ZQ_TOKEN_FAMILY(PurchaseMethod, ZqPurchaseMethod, kPurchaseMethodOther, kPurchaseMethodCount, "kInGameCurrency",
                "kInAppPurchase", "kRewardedVideos", "kWebLink", "")

// What a purchase button sells ("Type"): a power-up, the removal of ads; anything else is
// an item with no effect of its own.
enum ZqPurchaseType : uint8_t {
    kPurchaseTypePowerup,
    kPurchaseTypeRemoveAds,
    kPurchaseTypeCoin,
    kPurchaseTypeDefault,
    kPurchaseTypeOther,
    kPurchaseTypeCount
};
ZQ_TOKEN_FAMILY(PurchaseType, ZqPurchaseType, kPurchaseTypeOther, kPurchaseTypeCount, "kPurchasePowerup",
                "kPurchaseRemoveAds", "kPowerupCoin", "kDefault", "")

// How often an item sells ("One Time Purchase"): kDefault always; anything else once,
// kPerGamePurchase once a game.
enum ZqOneTimePurchase : uint8_t {
    kSellAlways,
    kSellOnce,
    kSellOncePerGame,
    kOneTimePurchaseOther,
    kOneTimePurchaseCount
};
ZQ_TOKEN_FAMILY(OneTimePurchase, ZqOneTimePurchase, kOneTimePurchaseOther, kOneTimePurchaseCount, "kDefault",
                "kOneTimePurchase", "kPerGamePurchase", "")

// Where an unlocked lock button sends the next game ("Destination"); anything else leaves
// the destination as it is.
enum ZqLockDestination : uint8_t {
    kDestinationScene,
    kDestinationNextScene,
    kLockDestinationOther,
    kLockDestinationCount
};
ZQ_TOKEN_FAMILY(LockDestination, ZqLockDestination, kLockDestinationOther, kLockDestinationCount,
                "kSceneDestination", "kNextSceneDestination", "")

// What an event observer waits for ("Event Type"): the game over, a count of the screen's
// showings, the last level of a world, a time-out, or a score reaching "Limit Number" (the
// nine score codes in order: session, total, best, each distance, points, coins); anything
// else, nothing.
enum ZqObserverEvent : uint8_t {
    kObserveGameOver,
    kObserveSecondPlay,
    kObserveRequestReview,
    kObserveLastScene,
    kObserveTimeout,
    kObserveSessionDistance,
    kObserveSessionPoints,
    kObserveSessionCoins,
    kObserveTotalDistance,
    kObserveTotalPoints,
    kObserveTotalCoins,
    kObserveBestDistance,
    kObserveBestPoints,
    kObserveBestCoins,
    kObserverEventOther,
    kObserverEventCount
};
ZQ_TOKEN_FAMILY(ObserverEvent, ZqObserverEvent, kObserverEventOther, kObserverEventCount, "kGameOver", "kSecondPlay",
                "kRequestReview", "kLastScene", "kTimeout", "kScoreSessionDistance", "kScoreSessionPoints",
                "kScoreSessionCoins", "kScoreTotalDistance", "kScoreTotalPoints", "kScoreTotalCoins",
                "kScoreBestDistance", "kScoreBestPoints", "kScoreBestCoins", "")

// The kind of a component's control event, its "Event" text up to the first "-": a
// control button, a switch or a swipe; kEventStart and kEventCollision count only as the
// whole text (components/ZqControlEvent.h). Anything else binds nothing.
enum ZqControlKind : uint8_t {
    kControlButton,
    kControlSwitch,
    kControlSwipe,
    kControlOnStart,
    kControlOnCollision,
    kControlKindOther,
    kControlKindCount
};
ZQ_TOKEN_FAMILY(ControlKind, ZqControlKind, kControlKindOther, kControlKindCount, "kButton", "kSwitch", "kSwipe",
                "kEventStart", "kEventCollision", "")

// What a button does when pressed ("Action"): a screen command, an input of the character,
// a window or shop command, or the start a link button asks of the next game (in the order
// of ZqStartFunction). The text may be an id or a name of the data's own (a power-up
// button's power-up, a link's label): that reads as kButtonActionOther.
enum ZqButtonAction : uint8_t {
    kButtonBack,
    kButtonBackTo,
    kButtonReset,
    kButtonReview,
    kButtonShare,
    kButtonExit,
    kButtonPause,
    kButtonRestart,
    kButtonRestartCheckpoint,
    kButtonCustom,
    kButtonInputAction,
    kButtonMoveUp,
    kButtonMoveDown,
    kButtonMoveRight,
    kButtonMoveLeft,
    kButtonJump,
    kButtonRotateLeft,
    kButtonRotateRight,
    kButtonShoot,
    kButtonMotorClockwise,
    kButtonMotorCounterClockwise,
    kButtonGameServices,
    kButtonUnlockCharacter,
    kButtonFullscreen,
    kButtonWindowed,
    kButtonRemoveAds,
    kButtonStartKeepScores,
    kButtonStartCheckpointButton,
    kButtonStartCheckpointJump,
    kButtonActionOther,
    kButtonActionCount
};
ZQ_FREE_TEXT_TOKEN_FAMILY(ButtonAction, ZqButtonAction, kButtonActionOther, kButtonActionCount, "kBackButton",
                          "kBackToButton", "kResetButton", "kReviewButton", "kShareButton", "kExitButton",
                          "kPauseButton", "kRestartButton", "kRestartCheckpointButton", "kCustom",
                          "kInputControllerActionButton", "kCharacterMoveUpButton", "kCharacterMoveDownButton",
                          "kCharacterMoveRightButton", "kCharacterMoveLeftButton", "kCharacterJumpButton",
                          "kCharacterRotateLeftButton", "kCharacterRotateRightButton", "kCharacterShootButton",
                          "kMotorSpinCWButton", "kMotorSpinCCWButton", "kGameServices", "kUnlockCharacter",
                          "kFullscreen", "kWindowed", "kPurchaseRemoveAds", "kStartKeepScores",
                          "kStartCheckpointButton", "kStartCheckpointJump", "")

