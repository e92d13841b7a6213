#include "app/ZqPAppDelegate.h"

#include "app/ZqAdController.h"
#include "app/ZqGameAnswers.h"
#include "app/ZqPSettingsController.h"
#include "app/ZqServices.h"
#include "app/ZqSound.h"
#include "model/ZqModelGeneralSettings.h"
#include "model/loading/ZqGameSecrets.h"
#include "model/ZqModelController.h"
#include "model/loading/ZqModelLoader.h"
#include "model/scene/ZqModelButtons.h"
#include "model/scene/ZqModelComponents.h"
#include "model/scene/ZqModelFont.h"
#include "model/scene/ZqModelMedia.h"
#include "model/scene/ZqModelScreen.h"

#include "audio/AudioEngine.h"
#include "cocos2d.h"
#include "platform/CCEGLViewSDL.h"

#include <ZqClock.h>
#include <ZqLog.h>
#include <ZqRandom.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <filesystem>
#include <set>

namespace {

constexpr const char* kArchivePath = "data/data.pkg";
constexpr const char* kDataDirectory = "data";
// The share of the display's usable area the window opens at.
constexpr float kWindowShareOfDisplay = 0.8f;
// The share of the design size the window may shrink to.
constexpr float kMinimumWindowShareOfDesign = 0.5f;

} // namespace

// Times the first scene from its start to the end of its first drawn frame: the
// scheduler's first tick comes before that frame is drawn, its second after.
class ZqPAppDelegate::FirstFrameTimer : public cocos2d::CCObject {
public:
    explicit FirstFrameTimer(ZqPAppDelegate& delegate) : m_delegate(delegate) {}
    void update(float) override
    {
        if (++m_ticks < 2)
            return;
        cocos2d::CCDirector::sharedDirector()->getScheduler()->unscheduleUpdateForTarget(this);
        m_delegate.firstFrameDrawn(std::chrono::duration<double>(std::chrono::steady_clock::now() - m_start).count());
    }

private:
    ZqPAppDelegate& m_delegate;
    const std::chrono::steady_clock::time_point m_start = std::chrono::steady_clock::now();
    int m_ticks = 0;
};

ZqPAppDelegate::ZqPAppDelegate()
    : m_password(kZqArchivePasswordText)
{
}

ZqPAppDelegate::~ZqPAppDelegate()
{
    if (m_firstFrameTimer)
        m_firstFrameTimer->release();
}

bool ZqPAppDelegate::startUp(const std::string& executableDirectory, std::string& error)
{
    namespace fs = std::filesystem;
    std::error_code ignored;
    const std::string workingDirectory = fs::current_path(ignored).string();
    std::string root;
    for (const std::string& candidate : {executableDirectory, workingDirectory}) {
        if (!candidate.empty() && fs::exists(fs::path(candidate) / kDataDirectory, ignored)) {
            root = candidate;
            break;
        }
    }
    if (root.empty()) {
        error = "No game data: there is no \"data\" directory beside the program (" + executableDirectory +
                ") or in the working directory (" + workingDirectory + ")";
        return false;
    }
    cocos2d::CCFileUtils::sharedFileUtils()->setResourceRoot(root);

    zqInstallGameAnswers();
    ZqModelLoader* loader = ZqModelLoader::shared();
    const bool archive = ZqModelLoader::archiveIsPresent(kArchivePath);
    loader->setArchiveMode(archive);
    debugLog("[ZqPAppDelegate] game data: %s", cocos2d::CCFileUtils::sharedFileUtils()
                                                   ->fullPathForFilename(archive ? kArchivePath : kDataDirectory)
                                                   .c_str());
    loader->preload(kArchivePath, m_password);
    if (loader->loadingFailed()) {
        error = loader->errorText();
        return false;
    }
    cocos2d::CCFileUtils::sharedFileUtils()->setApplicationName(ZqModelGeneralSettings::shared()->applicationName());
    ZqPSettingsController::shared();
    return true;
}

cocos2d::CCSize ZqPAppDelegate::windowSize(const cocos2d::CCSize& usableDisplay) const
{
    cocos2d::CCSize design(1136.0f, 640.0f);
    ZqModelGeneralSettings::shared()->designResolution(design);
    if (usableDisplay.width <= 0.0f || usableDisplay.height <= 0.0f)
        return design;
    const float scale = kWindowShareOfDisplay * std::min(usableDisplay.width / design.width,
                                                         usableDisplay.height / design.height);
    return cocos2d::CCSize(std::max(1.0f, std::round(design.width * scale)),
                           std::max(1.0f, std::round(design.height * scale)));
}

cocos2d::CCSize ZqPAppDelegate::minimumWindowSize(const cocos2d::CCSize& opening) const
{
    cocos2d::CCSize design(1136.0f, 640.0f);
    ZqModelGeneralSettings::shared()->designResolution(design);
    return cocos2d::CCSize(std::min(opening.width, std::round(design.width * kMinimumWindowShareOfDesign)),
                           std::min(opening.height, std::round(design.height * kMinimumWindowShareOfDesign)));
}

void ZqPAppDelegate::applySavedFullscreen()
{
    if (m_view && ZqPSettingsController::shared()->isFullscreen())
        m_view->setFullscreen(true);
}

std::string ZqPAppDelegate::noStartScreenMessage()
{
    std::string message = "The game has no start screen: its data is damaged";
    const ZqModelLoader* loader = ZqModelLoader::shared();
    // The screens' files: fonts, labels and loading bars are not what a start screen needs.
    const std::string screens = std::string(ZqModelScreen::staticClassName()) + ".";
    std::vector<std::string> missing;
    for (const std::string& file : loader->missingPreloadFiles()) {
        if (file.starts_with(screens))
            missing.push_back(file);
    }
    if (missing.empty())
        return message;
    message += loader->isArchiveMode() ? " (the archive has no member named" : " (no file";
    for (size_t i = 0; i < missing.size(); ++i)
        message += (i == 0 ? " \"" : ", \"") + missing[i] + "\"";
    return message + (loader->isArchiveMode() ? "; its members are found by their exact names)" : ")");
}

bool ZqPAppDelegate::applicationDidFinishLaunching()
{
    const int64_t ticks = zqClockTicks();
    zqSrand(m_seed ? *m_seed : static_cast<uint32_t>(ticks ^ (ticks >> 32)));
    applyDesignResolution();
    cocos2d::CCDirector* director = cocos2d::CCDirector::sharedDirector();
    cocos2d::CCScene* scene = m_startScene ? m_startScene() : nullptr;
    const bool noStartScreen = m_startScene && !scene;
    if (!scene)
        scene = cocos2d::CCScene::create();
    if (m_firstFrameTimer)
        m_firstFrameTimer->release();
    m_firstFrameTimer = new FirstFrameTimer(*this);
    director->runWithScene(scene);
    director->getScheduler()->scheduleUpdateForTarget(m_firstFrameTimer, INT_MIN, false);
    // Nothing would ever load or show: a black window for ever.
    if (noStartScreen)
        fail(noStartScreenMessage());
    return true;
}

void ZqPAppDelegate::firstFrameDrawn(double seconds)
{
    const bool slow = seconds > kSlowFirstFrame;
    ZqPSettingsController::shared()->setSlowDevice(slow);
    debugLog("[ZqPAppDelegate] first frame after %.0f ms%s", seconds * 1000.0, slow ? ": slow device" : "");
}

void ZqPAppDelegate::applicationDidEnterBackground()
{
    m_input.releaseAll();
    ZqPSettingsController::shared()->save();
    cocos2d::CCDirector* director = cocos2d::CCDirector::sharedDirector();
    // The game may have paused the director itself; that pause is not ours to lift.
    m_pausedDirector = !director->isPaused();
    director->pause();
    ZqSoundRegistry::shared().pauseAll();
}

void ZqPAppDelegate::applicationWillEnterForeground()
{
    if (m_pausedDirector)
        cocos2d::CCDirector::sharedDirector()->resume();
    m_pausedDirector = false;
    ZqSoundRegistry::shared().resumeAll();
}

void ZqPAppDelegate::applyDesignResolution()
{
    cocos2d::CCEGLViewProtocol* view = cocos2d::CCDirector::sharedDirector()->getOpenGLView();
    const auto settings = ZqModelGeneralSettings::shared();
    cocos2d::CCSize design;
    if (!view || !settings->designResolution(design))
        return;
    view->setDesignResolutionSize(design.width, design.height, settings->resolutionPolicy(view->getFrameSize()));
}

void ZqPAppDelegate::handleMessage(int message, std::intptr_t parameter)
{
    switch (message) {
    case ZqServices::kMessageFullscreen:
        ZqPSettingsController::shared()->save();
        debugLog("[ZqPAppDelegate] %s", parameter ? "fullscreen" : "windowed");
        if (m_view)
            m_view->setFullscreen(parameter != 0);
        applyDesignResolution();
        break;
    case ZqServices::kMessageClose:
        cocos2d::CCDirector::sharedDirector()->end();
        break;
    default:
        debugLog("[ZqPAppDelegate] unknown window message %d", message);
        break;
    }
}

void ZqPAppDelegate::finish()
{
    m_input.releaseAll();
    ZqPSettingsController::shared()->save();
    ZqModelController::shared()->reset();
}

void ZqPAppDelegate::fail(const std::string& message)
{
    m_exitStatus = 1;
    if (m_errorReporter)
        m_errorReporter(message);
    cocos2d::CCDirector::sharedDirector()->end();
}

void ZqPAppDelegate::loadGame()
{
    ZqModelController* controller = ZqModelController::shared();
    ZqModelLoader* loader = ZqModelLoader::shared();
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
    const bool done = loader->isArchiveMode() ? loader->loadNextArchiveFile(m_password) : loader->loadNextPlainFile();
    if (!done)
        return;
    if (loader->loadingFailed()) {
        m_failed = true;
        debugLog("[ZqPAppDelegate] loading failed: %s", loader->errorText().c_str());
        fail(loader->errorText());
        if (m_failure)
            m_failure(loader->errorText());
        return;
    }
    m_password.clear();
    loader->closeArchive();
    debugLog("End loading XML");
    // What was read, so that a game smaller than its data shows in the log.
    std::size_t models = 0;
    std::size_t classes = 0;
    for (const auto& [type, list] : controller->modelsByType()) {
        models += list.size();
        classes += list.empty() ? 0 : 1;
    }
    debugLog("[ZqPAppDelegate] loaded %zu models of %zu classes from %d model files in %d loading steps", models,
             classes, loader->loadingState().filesRead, loader->loadingState().steps);
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
