#pragma once

#include "attributes/ZqAttributeFundamental.h"
#include "attributes/ZqAttributePoint.h"
#include "attributes/ZqAttributeValue.h"
#include "model/ZqAttributeModel.h"
#include "model/ZqAttributeTable.h"
#include "model/ZqChildList.h"
#include "model/ZqModelRegistry.h"
#include "model/scene/ZqModelCompound.h"
#include "cocos2d.h"

#include <memory>
#include <string>
#include <vector>

class ZqModelComponentDeletionThreshold;
class ZqModelComponentForcedMovement;
class ZqModelLevelSection;
class ZqModelObject;
class ZqModelScreen;
class ZqModelSound;

#define ZQ_MODEL_SCREEN_ATTRIBUTES(A, V)                                                           \
    V(ZqAttributeString,     m_key,                      "Key",                    "")             \
    V(ZqAttributeStringList, m_adBanner,                 "Ad Banner",              "")             \
    V(ZqAttributeStringList, m_adInterstitial,           "Ad Interstitial",        "")             \
    V(ZqAttributeFloat,      m_adBannerFrequency,        "Ad Banner Freq.",        1.0f)           \
    V(ZqAttributeFloat,      m_adInterstitialsFrequency, "Ad Interstitials Freq.", 1.0f)           \
    V(ZqAttributeSound,      m_music,                    "Music",                  nullptr)        \
    V(ZqAttributeBool,       m_loopMusic,                "Loop Music",             true)           \
    V(ZqAttributeBool,       m_stopBgmOnDeath,           "Stop BGM on Death",      false)          \
    V(ZqAttributeStringList, m_backgroundScene,          "Background Scene",       "")             \
    V(ZqAttributeBool,       m_idleAnimationLoop,        "Idle Animation Loop",    false)          \
    V(ZqAttributeInt,        m_openAnimationFrames,      "Open Animation Frames",  40)             \
    V(ZqAttributeInt,        m_idleAnimationFrames,      "Idle Animation Frames",  40)             \
    V(ZqAttributeInt,        m_closeAnimationFrames,     "Close Animation Frames", 0)              \
    V(ZqAttributeBool,       m_muted,                    "Muted",                  false)

// One screen of the game: the key navigation finds it by (exact bytes), its advertising
// networks and frequencies (every n-th showing), its music, and its open, idle and close
// animation lengths in frames of 1/30 s. Its children are the objects placed on it and
// its components. Hangs as a child of a flow-graph node (model/scene/ZqNode.h).
class ZqBaseModelScreen : public ZqModelCompound {
public:
    explicit ZqBaseModelScreen(const std::string& name);
    // Re-binds the attributes and copies both counters; the object list is refilled when
    // the children come (copyChildrenFrom).
    ZqBaseModelScreen(const ZqBaseModelScreen& source);

    void childAdded(const std::shared_ptr<ZqModel>& child) override;
    void childRemoved(const std::shared_ptr<ZqModel>& child) override;
    void childrenCleared() override;

    // Whether the model is a direct child.
    virtual bool containsModel(const std::shared_ptr<ZqModel>& model) const;
    // The children that are object models, in the order they were added.
    virtual std::vector<std::shared_ptr<ZqModelObject>> objectModels() const;

    const std::string& key() const { return m_key->value(); }
    // Advertising network tokens; "kNoAds" shows no banner.
    const std::string& adBanner() const { return m_adBanner->value(); }
    const std::string& adInterstitial() const { return m_adInterstitial->value(); }
    // The frequencies truncated toward zero (saturating).
    int adBannerFrequency() const;
    int adInterstitialsFrequency() const;
    std::shared_ptr<ZqModelSound> music() const;
    bool isLoopMusic() const { return m_loopMusic->value(); }
    bool isStopBgmOnDeath() const { return m_stopBgmOnDeath->value(); }
    bool isIdleAnimationLoop() const { return m_idleAnimationLoop->value(); }
    int openAnimationFrames() const { return m_openAnimationFrames->value(); }
    int idleAnimationFrames() const { return m_idleAnimationFrames->value(); }
    int closeAnimationFrames() const { return m_closeAnimationFrames->value(); }
    bool isMuted() const { return m_muted->value(); }

    // Both notify only on a change.
    void setMusic(const std::shared_ptr<ZqModelSound>& sound);
    void setMuted(bool muted) { m_muted->setValue(muted); }

    // False when ads were bought away, when "Ad Banner Freq." exceeds bannerCounter + 1 or
    // when the banner is "kNoAds"; else logs and answers true.
    bool shouldShowBanner() const;

    // The first plain screen (exact class ZqModelScreen) that holds the model as a direct
    // child; empty when none.
    static std::shared_ptr<ZqModelScreen> findScreenContaining(const std::shared_ptr<ZqModel>& model);

    // Showings since the last banner and since the last interstitial. The runtime screen
    // counts them; the purchase button resets the interstitial count after a rewarded
    // video. Kept in the model so that they outlive a rebuild of the runtime screen.
    int bannerCounter = 0;
    int interstitialCounter = 0;

    ZQ_ATTRIBUTE_MEMBERS(ZQ_MODEL_SCREEN_ATTRIBUTES)

private:
    ZqChildList<ZqModelObject, ZqChildMatch::kKind> m_objectModels;
};

class ZqModelScreen : public ZqBaseModelScreen {
public:
    using ZqBaseModelScreen::ZqBaseModelScreen;
    ZQ_MODEL_IDENTITY(ZqModelScreen, ZqModelCompound)
    ZQ_MODEL_FACTORY(ZqModelScreen)

    // The first registered plain screen with that key; else a new one with that key,
    // registered at the end. Screen scenes are not searched.
    static std::shared_ptr<ZqModelScreen> findOrCreateWithKey(const std::string& key);
};

#define ZQ_MODEL_SCREEN_SCENE_ATTRIBUTES(A, V)                                                                      \
    V(ZqAttributePoint,          m_gravity,                "Gravity",                  cocos2d::CCPoint(0.0f, -50.0f)) \
    V(ZqAttributeFloat,          m_timeWarp,               "Time Warp",                1.0f)                        \
    V(ZqAttributeFloat,          m_gameSpeedMin,           "Game Speed Min",           0.0f)                        \
    V(ZqAttributeFloat,          m_gameSpeedMax,           "Game Speed Max",           0.0f)                        \
    V(ZqAttributeFloat,          m_speedIncrease,          "Speed Increase",           0.0f)                        \
    V(ZqAttributeFloat,          m_friction,               "Friction",                 0.0f)                        \
    V(ZqAttributeFloat,          m_velocityDrag,           "Velocity Drag",            1.0f)                        \
    V(ZqAttributeFloat,          m_bounce,                 "Bounce",                   0.0f)                        \
    V(ZqAttributeFloat,          m_scoreMultiplier,        "Score Multiplier",         1.0f)                        \
    V(ZqAttributeFloat,          m_gameDirection,          "Game Direction",           0.0f)                        \
    V(ZqAttributeFloat,          m_cameraSmooth,           "Camera Smooth",            0.2f)                        \
    V(ZqAttributeBool,           m_alignCameraBorders,     "Align Camera Borders",     false)                       \
    V(ZqAttributeFloat,          m_backDeletionThreshold,  "Back Deletion Threshold",  300.0f)                      \
    V(ZqAttributeFloat,          m_sidesDeletionThreshold, "Sides Deletion Threshold", 550.0f)                      \
    V(ZqAttributeRect,           m_objectFrameRect,        "Object Frame Rect",        cocos2d::CCRect(0, 0, 1, 1)) \
    V(ZqAttributeFrameEdgeState, m_objectFrameState1,      "Object Frame State 1",     ZqObjectFrameEdgeState{0})   \
    V(ZqAttributeFrameEdgeState, m_objectFrameState2,      "Object Frame State 2",     ZqObjectFrameEdgeState{0})   \
    V(ZqAttributeFrameEdgeState, m_objectFrameState3,      "Object Frame State 3",     ZqObjectFrameEdgeState{0})   \
    V(ZqAttributeFrameEdgeState, m_objectFrameState4,      "Object Frame State 4",     ZqObjectFrameEdgeState{0})

// A game field: its physics and pacing values (gravity in points/s², game speeds, drags,
// direction of play in degrees), camera smoothing, the distances (points) behind and
// beside the view at which objects are deleted, the object frame, and its level sections.
// A forced-movement component child replaces the three game speeds, a deletion-threshold
// component child the two thresholds; the first such child in child order is in force,
// after loading and after a copy alike (a later add takes over until then).
class ZqBaseModelScreenScene : public ZqModelScreen {
public:
    explicit ZqBaseModelScreenScene(const std::string& name);
    ZqBaseModelScreenScene(const ZqBaseModelScreenScene& source);

    void unpackConnections(const MessagePackMap& map) override;
    // The first forced-movement and deletion-threshold children take effect.
    void childrenLinked() override;
    void loadConnectionsFromDictionary(cocos2d::CCDictionary* dictionary) override;
    // The children as for any model; a deep copy then shares the init section's character
    // objects in the groups of its other sections (matched by "Z Depth").
    void copyChildrenFrom(const ZqModel& source, bool deep, bool flag, bool silent) override;
    void childAdded(const std::shared_ptr<ZqModel>& child) override;
    void childRemoved(const std::shared_ptr<ZqModel>& child) override;
    void childrenCleared() override;

    // A direct child or a child of one of the level sections.
    bool containsModel(const std::shared_ptr<ZqModel>& model) const override;
    // The scene's own objects, then each level section's, in section order.
    std::vector<std::shared_ptr<ZqModelObject>> objectModels() const override;

    const cocos2d::CCPoint& gravity() const { return m_gravity->value(); }
    float timeWarp() const { return m_timeWarp->value(); }
    float gameSpeedMin() const;
    float gameSpeedMax() const;
    float speedIncrease() const;
    float friction() const { return m_friction->value(); }
    float velocityDrag() const { return m_velocityDrag->value(); }
    float bounce() const { return m_bounce->value(); }
    float scoreMultiplier() const { return m_scoreMultiplier->value(); }
    float gameDirection() const { return m_gameDirection->value(); }
    float cameraSmooth() const { return m_cameraSmooth->value(); }
    bool alignCameraBorders() const { return m_alignCameraBorders->value(); }
    float backDeletionThreshold() const;
    float sidesDeletionThreshold() const;
    const cocos2d::CCRect& objectFrameRect() const { return m_objectFrameRect->value(); }
    // "Object Frame State 1" to "4" for index 0 to 3; 0 for any other index.
    int objectFrameState(unsigned index) const;

    // The first level section marked "Init Section"; empty when none.
    std::shared_ptr<ZqModelLevelSection> initSection() const;
    const std::vector<std::shared_ptr<ZqModelLevelSection>>& levelSections() const { return m_levelSections.list(); }
    const std::shared_ptr<ZqModelComponentForcedMovement>& forcedMovement() const { return m_forcedMovement; }
    const std::shared_ptr<ZqModelComponentDeletionThreshold>& deletionThreshold() const { return m_deletionThreshold; }

    ZQ_ATTRIBUTE_MEMBERS(ZQ_MODEL_SCREEN_SCENE_ATTRIBUTES)

private:
    // The links to the first component of each class among the children.
    void linkFirstComponents();
    // In each non-init section's groups, the character objects are replaced by the init
    // section's character object of the same "Z Depth".
    void shareInitCharacters();

    std::shared_ptr<ZqModelComponentForcedMovement> m_forcedMovement;
    std::shared_ptr<ZqModelComponentDeletionThreshold> m_deletionThreshold;
    ZqChildList<ZqModelLevelSection, ZqChildMatch::kClass> m_levelSections;
};

class ZqModelScreenScene : public ZqBaseModelScreenScene {
public:
    using ZqBaseModelScreenScene::ZqBaseModelScreenScene;
    ZQ_MODEL_IDENTITY(ZqModelScreenScene, ZqModelScreen)
    ZQ_MODEL_FACTORY(ZqModelScreenScene)

    // The first registered scene with that key; else a new one with that key, registered
    // at the end.
    static std::shared_ptr<ZqModelScreenScene> modelForKey(const std::string& key);
};
