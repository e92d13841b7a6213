#include "director/CCDirector.h"

#include "actions/CCActionManager.h"
#include "base/CCAutoreleasePool.h"
#include "director/CCEGLViewProtocol.h"
#include "director/CCScheduler.h"
#include "gl/ccGLMatrix.h"
#include "gl/ccGLStateCache.h"
#include "sprite_nodes/CCQuadRenderer.h"
#include "nodes/CCScene.h"
#include "touch/CCAccelerometer.h"
#include "touch/CCKeypadDispatcher.h"
#include "touch/CCTouchDispatcher.h"

#include <ZqClock.h>
#include <ZqLog.h>

#include <algorithm>

namespace cocos2d {

namespace {

CCDirector* sharedInstance = nullptr;

// The main loop never runs faster than this (the game takes one physics step a frame).
constexpr double kMinAnimationInterval = 1.0 / 60.0;
constexpr double kClockTicksPerSecond = 1e7;

template <class T>
void replaceRetained(T*& member, T* value)
{
    CC_SAFE_RETAIN(value);
    CC_SAFE_RELEASE(member);
    member = value;
}

} // namespace

CCDirector* CCDirector::sharedDirector()
{
    if (!sharedInstance)
        sharedInstance = new CCDirector();
    return sharedInstance;
}

CCDirector::CCDirector()
    : m_pScheduler(new CCScheduler()), m_pActionManager(new CCActionManager()),
      m_pTouchDispatcher(new CCTouchDispatcher()), m_pKeypadDispatcher(new CCKeypadDispatcher()),
      m_pAccelerometer(new CCAccelerometer())
{
    m_pScheduler->scheduleUpdateForTarget(m_pActionManager, kCCPrioritySystem, false);
}

CCDirector::~CCDirector()
{
    CC_SAFE_RELEASE(m_pAccelerometer);
    CC_SAFE_RELEASE(m_pKeypadDispatcher);
    CC_SAFE_RELEASE(m_pTouchDispatcher);
    m_pActionManager->release();
    m_pScheduler->release();
}

void CCDirector::runWithScene(CCScene* scene)
{
    if (!scene)
        return;
    if (m_pRunningScene) {
        debugLog("[CCDirector] runWithScene with a scene running: replacing it");
        replaceScene(scene);
        return;
    }
    scene->retain();
    m_pRunningScene = scene;
    scene->onEnter();
    scene->onEnterTransitionDidFinish();
}

void CCDirector::replaceScene(CCScene* scene)
{
    if (!scene)
        return;
    if (!m_pRunningScene) {
        runWithScene(scene);
        return;
    }
    m_bSendCleanupToScene = true;
    replaceRetained(m_pNextScene, scene);
}

void CCDirector::pushScene(CCScene* scene)
{
    if (!scene)
        return;
    if (!m_pRunningScene) {
        runWithScene(scene);
        return;
    }
    m_bSendCleanupToScene = false;
    replaceRetained(m_pNextScene, scene);
}

void CCDirector::popScene()
{
    if (m_scenesStack.empty()) {
        end();
        return;
    }
    CC_SAFE_RELEASE(m_pNextScene);
    // The stack's reference moves to the waiting scene.
    m_pNextScene = m_scenesStack.back();
    m_scenesStack.pop_back();
    m_bSendCleanupToScene = true;
}

void CCDirector::setNextScene()
{
    if (m_pRunningScene) {
        m_pRunningScene->onExit();
        if (m_bSendCleanupToScene) {
            m_pRunningScene->cleanup();
            m_pRunningScene->release();
        } else {
            m_scenesStack.push_back(m_pRunningScene);
        }
    }
    m_pRunningScene = m_pNextScene;
    m_pNextScene = nullptr;
    m_pRunningScene->onEnter();
    m_pRunningScene->onEnterTransitionDidFinish();
}

void CCDirector::setOpenGLView(CCEGLViewProtocol* view)
{
    m_pobOpenGLView = view;
}

CCSize CCDirector::getWinSize() const
{
    return m_pobOpenGLView ? m_pobOpenGLView->getDesignResolutionSize() : CCSizeZero;
}

CCSize CCDirector::getWinSizeInPixels() const
{
    // One pixel per point: the desktop has no content scale.
    return getWinSize();
}

CCSize CCDirector::getVisibleSize() const
{
    return m_pobOpenGLView ? m_pobOpenGLView->getVisibleSize() : CCSizeZero;
}

CCPoint CCDirector::getVisibleOrigin() const
{
    return m_pobOpenGLView ? m_pobOpenGLView->getVisibleOrigin() : CCPointZero;
}

void CCDirector::setAnimationInterval(double interval)
{
    m_dAnimationInterval = std::max(interval, kMinAnimationInterval);
}

float CCDirector::measureDeltaTime()
{
    const int64_t now = zqClockTicks();
    const int64_t last = m_lastTicks;
    m_lastTicks = now;
    if (last < 0)
        return 0.0f;
    const float dt = static_cast<float>(static_cast<double>(now - last) / kClockTicksPerSecond);
    // The clock is wall time: it may step back, or jump after a stall.
    if (dt < 0.0f)
        return 0.0f;
    if (dt > kCCMaxFrameDelta)
        return static_cast<float>(m_dAnimationInterval);
    return dt;
}

void CCDirector::runFrame(float dt)
{
    m_fDeltaTime = dt;
    if (!m_bPaused)
        m_pScheduler->update(dt);
    if (m_pNextScene)
        setNextScene();
    g_uNumberOfDraws = 0;
    if (m_pobOpenGLView)
        m_pobOpenGLView->beginFrame();
    setProjection();
    if (m_pRunningScene)
        m_pRunningScene->visit();
    // Sprites' quads wait in batches: draw the last one before the frame is shown.
    ccFlushQuads();
    ++m_uTotalFrames;
    if (m_pobOpenGLView)
        m_pobOpenGLView->swapBuffers();
}

void CCDirector::setProjection()
{
    // Set every frame, so that a frame-size change (which re-fits the design size) and
    // an unbalanced push in game code cannot outlive one frame.
    const CCSize size = getWinSize();
    kmGLResetStacks();
    kmGLMatrixMode(KM_GL_PROJECTION);
    if (size.width > 0.0f && size.height > 0.0f) {
        kmMat4 projection;
        kmMat4OrthographicProjection(&projection, 0.0f, size.width, 0.0f, size.height, -1024.0f, 1024.0f);
        kmGLLoadMatrix(&projection);
    }
    kmGLMatrixMode(KM_GL_MODELVIEW);
}

void CCDirector::drawScene()
{
    runFrame(measureDeltaTime());
}

void CCDirector::mainLoop()
{
    if (m_bPurgeDirectorInNextLoop) {
        purgeDirector();
        return;
    }
    drawScene();
    CCPoolManager::sharedPoolManager()->pop();
}

void CCDirector::mainLoopWithDelta(float dt)
{
    if (m_bPurgeDirectorInNextLoop) {
        purgeDirector();
        return;
    }
    runFrame(std::max(0.0f, dt));
    CCPoolManager::sharedPoolManager()->pop();
}

void CCDirector::pause()
{
    m_bPaused = true;
}

void CCDirector::resume()
{
    m_bPaused = false;
}

void CCDirector::end()
{
    m_bPurgeDirectorInNextLoop = true;
}

void CCDirector::purgeDirector()
{
    m_bPurgeDirectorInNextLoop = false;
    if (m_pRunningScene) {
        m_pRunningScene->onExit();
        m_pRunningScene->cleanup();
        CC_SAFE_RELEASE_NULL(m_pRunningScene);
    }
    CC_SAFE_RELEASE_NULL(m_pNextScene);
    std::vector<CCScene*> suspended;
    suspended.swap(m_scenesStack);
    for (CCScene* scene : suspended) {
        scene->cleanup();
        scene->release();
    }
    m_pScheduler->unscheduleAll();
    m_pActionManager->removeAllActions();
    if (m_pobOpenGLView) {
        m_pobOpenGLView->end();
        m_pobOpenGLView = nullptr;
    }
    CCPoolManager::sharedPoolManager()->finalize();
    sharedInstance = nullptr;
    release();
}

void CCDirector::setTouchDispatcher(CCTouchDispatcher* dispatcher)
{
    replaceRetained(m_pTouchDispatcher, dispatcher);
}

void CCDirector::setKeypadDispatcher(CCKeypadDispatcher* dispatcher)
{
    replaceRetained(m_pKeypadDispatcher, dispatcher);
}

void CCDirector::setAccelerometer(CCAccelerometer* accelerometer)
{
    replaceRetained(m_pAccelerometer, accelerometer);
}

} // namespace cocos2d
