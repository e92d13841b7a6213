#include "touch/CCTouchDispatcher.h"

#include "director/CCDirector.h"
#include "director/CCEGLViewProtocol.h"

#include <ZqLog.h>

#include <algorithm>

namespace cocos2d {

CCTouchDispatcher::~CCTouchDispatcher()
{
    std::vector<Handler> handlers;
    handlers.swap(m_handlers);
    for (Handler& handler : handlers)
        releaseHandler(handler);
    for (auto& [id, touch] : m_activeTouches)
        touch->release();
}

void CCTouchDispatcher::addTargetedDelegate(CCTouchDelegate* delegate, int priority, bool swallowsTouches)
{
    if (!delegate)
        return;
    Change change{Change::Kind::Add, delegate, priority, swallowsTouches};
    if (m_dispatchDepth > 0)
        m_pending.push_back(change);
    else
        applyChange(change);
}

void CCTouchDispatcher::removeDelegate(CCTouchDelegate* delegate)
{
    if (!delegate)
        return;
    Change change{Change::Kind::Remove, delegate, 0, false};
    if (m_dispatchDepth > 0) {
        // No further call in this dispatch; the entry goes when it ends.
        if (Handler* handler = findHandler(delegate))
            handler->removed = true;
        m_pending.push_back(change);
    } else {
        applyChange(change);
    }
}

void CCTouchDispatcher::removeAllDelegates()
{
    Change change{Change::Kind::RemoveAll, nullptr, 0, false};
    if (m_dispatchDepth > 0) {
        for (Handler& handler : m_handlers)
            handler.removed = true;
        m_pending.push_back(change);
    } else {
        applyChange(change);
    }
}

void CCTouchDispatcher::setPriority(int priority, CCTouchDelegate* delegate)
{
    Change change{Change::Kind::SetPriority, delegate, priority, false};
    if (m_dispatchDepth > 0)
        m_pending.push_back(change);
    else
        applyChange(change);
}

CCTouchDispatcher::Handler* CCTouchDispatcher::findHandler(CCTouchDelegate* delegate)
{
    for (Handler& handler : m_handlers) {
        if (handler.delegate == delegate && !handler.removed)
            return &handler;
    }
    return nullptr;
}

bool CCTouchDispatcher::takeHandler(CCTouchDelegate* delegate, Handler& taken)
{
    auto it = std::find_if(m_handlers.begin(), m_handlers.end(),
                           [delegate](const Handler& handler) { return handler.delegate == delegate; });
    if (it == m_handlers.end())
        return false;
    taken = std::move(*it);
    m_handlers.erase(it);
    return true;
}

void CCTouchDispatcher::insertHandler(Handler handler)
{
    // After every handler of the same or a lower priority: equal priorities keep
    // their order of arrival.
    auto at = std::upper_bound(m_handlers.begin(), m_handlers.end(), handler.priority,
                               [](int priority, const Handler& other) { return priority < other.priority; });
    m_handlers.insert(at, std::move(handler));
}

void CCTouchDispatcher::releaseHandler(Handler& handler)
{
    for (CCTouch* touch : handler.claimed)
        touch->release();
    handler.claimed.clear();
    // Last: this may destroy the delegate, whose destructor may call back in here.
    CC_SAFE_RELEASE_NULL(handler.object);
}

void CCTouchDispatcher::applyChange(const Change& change)
{
    switch (change.kind) {
    case Change::Kind::Add: {
        if (findHandler(change.delegate)) {
            debugLog("[CCTouchDispatcher] delegate already registered, ignored");
            return;
        }
        Handler handler;
        handler.delegate = change.delegate;
        handler.object = dynamic_cast<CCObject*>(change.delegate);
        CC_SAFE_RETAIN(handler.object);
        handler.priority = change.priority;
        handler.swallows = change.swallows;
        insertHandler(std::move(handler));
        break;
    }
    case Change::Kind::Remove: {
        Handler handler;
        if (takeHandler(change.delegate, handler))
            releaseHandler(handler);
        break;
    }
    case Change::Kind::RemoveAll: {
        std::vector<Handler> handlers;
        handlers.swap(m_handlers);
        for (Handler& handler : handlers)
            releaseHandler(handler);
        break;
    }
    case Change::Kind::SetPriority: {
        Handler handler;
        if (!takeHandler(change.delegate, handler))
            return;
        handler.priority = change.priority;
        insertHandler(std::move(handler));
        break;
    }
    }
}

void CCTouchDispatcher::dispatch(Phase phase, const std::vector<CCTouch*>& touches, CCEvent* event)
{
    if (!m_dispatchEvents)
        return;
    // The handler list does not change while callbacks run (changes wait in
    // m_pending), so indices stay valid; entries are looked up again after every
    // callback all the same.
    ++m_dispatchDepth;
    const size_t count = m_handlers.size();
    for (CCTouch* touch : touches) {
        for (size_t i = 0; i < count; ++i) {
            if (m_handlers[i].removed)
                continue;
            CCTouchDelegate* delegate = m_handlers[i].delegate;
            if (phase == Phase::Began) {
                if (!delegate->ccTouchBegan(touch, event))
                    continue;
                Handler& handler = m_handlers[i];
                if (!handler.removed) {
                    touch->retain();
                    handler.claimed.push_back(touch);
                }
                if (handler.swallows)
                    break;
                continue;
            }
            std::vector<CCTouch*>& claimed = m_handlers[i].claimed;
            auto claim = std::find(claimed.begin(), claimed.end(), touch);
            if (claim == claimed.end())
                continue;
            const bool swallows = m_handlers[i].swallows;
            if (phase == Phase::Moved) {
                delegate->ccTouchMoved(touch, event);
            } else {
                claimed.erase(claim);
                if (phase == Phase::Ended)
                    delegate->ccTouchEnded(touch, event);
                else
                    delegate->ccTouchCancelled(touch, event);
                touch->release();
            }
            if (swallows)
                break;
        }
    }
    if (--m_dispatchDepth == 0) {
        while (!m_pending.empty()) {
            Change change = m_pending.front();
            m_pending.erase(m_pending.begin());
            applyChange(change);
        }
    }
}

void CCTouchDispatcher::touchesBegan(const std::vector<CCTouch*>& touches, CCEvent* event)
{
    dispatch(Phase::Began, touches, event);
}

void CCTouchDispatcher::touchesMoved(const std::vector<CCTouch*>& touches, CCEvent* event)
{
    dispatch(Phase::Moved, touches, event);
}

void CCTouchDispatcher::touchesEnded(const std::vector<CCTouch*>& touches, CCEvent* event)
{
    dispatch(Phase::Ended, touches, event);
}

void CCTouchDispatcher::touchesCancelled(const std::vector<CCTouch*>& touches, CCEvent* event)
{
    dispatch(Phase::Cancelled, touches, event);
}

namespace {

// Frame pixels (y down) to design points (y down) through the view's viewport and scale.
CCPoint viewToDesign(float x, float y)
{
    CCEGLViewProtocol* view = CCDirector::sharedDirector()->getOpenGLView();
    if (!view || view->getScaleX() == 0.0f || view->getScaleY() == 0.0f)
        return CCPoint(x, y);
    const CCRect viewport = view->getViewPortRect();
    return CCPoint((x - viewport.origin.x) / view->getScaleX(), (y - viewport.origin.y) / view->getScaleY());
}

} // namespace

std::vector<CCTouch*> CCTouchDispatcher::updateTouches(int num, const int ids[], const float xs[], const float ys[])
{
    std::vector<CCTouch*> touches;
    for (int i = 0; i < num; ++i) {
        auto it = m_activeTouches.find(ids[i]);
        if (it == m_activeTouches.end())
            continue;
        const CCPoint point = viewToDesign(xs[i], ys[i]);
        it->second->setTouchInfo(ids[i], point.x, point.y);
        touches.push_back(it->second);
    }
    return touches;
}

std::vector<CCTouch*> CCTouchDispatcher::takeTouches(int num, const int ids[], const float xs[], const float ys[])
{
    // The caller owns the references that the active list held.
    std::vector<CCTouch*> touches = updateTouches(num, ids, xs, ys);
    for (CCTouch* touch : touches)
        m_activeTouches.erase(touch->getID());
    return touches;
}

void CCTouchDispatcher::handleTouchesBegin(int num, const int ids[], const float xs[], const float ys[])
{
    // A touch whose end never arrived (the window lost the mouse) must not block the
    // new one: cancel it first.
    std::vector<CCTouch*> stale;
    for (int i = 0; i < num; ++i) {
        auto it = m_activeTouches.find(ids[i]);
        if (it != m_activeTouches.end()) {
            stale.push_back(it->second);
            m_activeTouches.erase(it);
        }
    }
    touchesCancelled(stale, nullptr);
    for (CCTouch* touch : stale)
        touch->release();

    std::vector<CCTouch*> began;
    for (int i = 0; i < num; ++i) {
        if (m_activeTouches.count(ids[i]))
            continue;
        CCTouch* touch = new CCTouch();
        const CCPoint point = viewToDesign(xs[i], ys[i]);
        touch->setTouchInfo(ids[i], point.x, point.y);
        m_activeTouches[ids[i]] = touch;
        began.push_back(touch);
    }
    touchesBegan(began, nullptr);
}

void CCTouchDispatcher::handleTouchesMove(int num, const int ids[], const float xs[], const float ys[])
{
    touchesMoved(updateTouches(num, ids, xs, ys), nullptr);
}

void CCTouchDispatcher::handleTouchesEnd(int num, const int ids[], const float xs[], const float ys[])
{
    std::vector<CCTouch*> touches = takeTouches(num, ids, xs, ys);
    touchesEnded(touches, nullptr);
    for (CCTouch* touch : touches)
        touch->release();
}

void CCTouchDispatcher::handleTouchesCancel(int num, const int ids[], const float xs[], const float ys[])
{
    std::vector<CCTouch*> touches = takeTouches(num, ids, xs, ys);
    touchesCancelled(touches, nullptr);
    for (CCTouch* touch : touches)
        touch->release();
}

} // namespace cocos2d
