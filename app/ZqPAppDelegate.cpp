#include "app/ZqPAppDelegate.h"

#include "app/ZqAdController.h"
#include "app/ZqPSettingsController.h"
#include "app/ZqServices.h"
#include "model/ZqGameSecrets.h"
#include "model/ZqModelController.h"
#include "model/scene/ZqModelButtons.h"
#include "model/scene/ZqModelComponents.h"
#include "model/scene/ZqModelFont.h"
#include "model/scene/ZqModelMedia.h"
#include "model/scene/ZqModelScreen.h"

#include "audio/AudioEngine.h"
#include "cocos2d.h"

#include <ZqLog.h>

#include <set>

ZqPAppDelegate::ZqPAppDelegate()
    : m_password(kZqArchivePasswordText)
{
}

ZqPAppDelegate::~ZqPAppDelegate() = default;

bool ZqPAppDelegate::applicationDidFinishLaunching()
{
    return true;
}

void ZqPAppDelegate::applicationDidEnterBackground()
{
    ZqPSettingsController::shared()->save();
}

void ZqPAppDelegate::applicationWillEnterForeground()
{
}

void ZqPAppDelegate::loadGame()
{
    ZqModelController* controller = ZqModelController::shared();
    if (m_restartRequested) {
        m_restartRequested = false;
        m_loaded = false;
        m_failed = false;
        m_password = kZqArchivePasswordText;
        controller->reset();
    }
    // Done (or failed): the loading screen keeps calling on every draw, and a new load
    // would replace every model under the live screens.
    if (m_loaded || m_failed)
        return;
    const bool done = controller->isArchiveMode() ? controller->loadNextArchiveFile(m_password)
                                                  : controller->loadNextPlainFile();
    if (!done)
        return;
    if (controller->loadingFailed()) {
        m_failed = true;
        debugLog("[ZqPAppDelegate] loading failed: %s", controller->errorText().c_str());
        if (m_failure)
            m_failure(controller->errorText());
        return;
    }
    m_password.clear();
    controller->closeArchive();
    debugLog("End loading XML");
    m_loaded = true;
    setUpGame();
    if (m_gameReady)
        m_gameReady();
}

void ZqPAppDelegate::setUpGame()
{
    ZqModelController* controller = ZqModelController::shared();
    for (const std::shared_ptr<ZqModelObjectButton>& button : controller->modelsOfKind<ZqModelObjectButton>())
        button->resetInterval();
    for (const std::shared_ptr<ZqModelComponentHealth>& health : controller->modelsOfClass<ZqModelComponentHealth>())
        health->currentLives = health->lives();
    // Loads each font file and its page texture ahead; the label itself is not kept.
    for (const std::shared_ptr<ZqModelFont>& font : controller->modelsOfClass<ZqModelFont>()) {
        if (cocos2d::CCLabelBMFont* label = font->createLabel())
            label->release();
    }

    // The one settings controller of the run reads the progress again, now that the
    // characters it unlocks by default are known.
    ZqPSettingsController::shared()->load();
    ZqServices::shared();
    ZqAdController::shared();

    for (const std::shared_ptr<ZqModelAtlas>& atlas : controller->modelsOfClass<ZqModelAtlas>())
        cocos2d::CCSpriteFrameCache::sharedSpriteFrameCache()->addSpriteFramesWithFile(atlas->plistPath().c_str());

    // Music streams: decoding it whole ahead would only cost memory.
    std::set<const ZqModel*> music;
    for (const std::shared_ptr<ZqModelScreen>& screen : controller->modelsOfKind<ZqModelScreen>()) {
        if (std::shared_ptr<ZqModelSound> sound = screen->music())
            music.insert(sound.get());
    }
    for (const std::shared_ptr<ZqModelSound>& sound : controller->modelsOfClass<ZqModelSound>()) {
        if (music.count(sound.get()) == 0)
            cocos2d::experimental::AudioEngine::preload(sound->soundPath());
    }
}
