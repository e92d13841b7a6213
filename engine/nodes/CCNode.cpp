#include "nodes/CCNode.h"

#include "actions/CCAction.h"
#include "actions/CCActionManager.h"
#include "director/CCDirector.h"
#include "director/CCScheduler.h"
#include "gl/CCGLProgram.h"
#include "gl/CCShaderCache.h"
#include "gl/ccGLMatrix.h"

#include <ZqLog.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace cocos2d {

namespace {

// The children at the time of the call, each retained: callbacks may add, remove or
// free children while the caller walks the copy.
class ChildrenSnapshot {
public:
    explicit ChildrenSnapshot(const CCArray* children) : m_nodes(children->data())
    {
        for (CCObject* node : m_nodes)
            node->retain();
    }
    ~ChildrenSnapshot()
    {
        for (CCObject* node : m_nodes)
            node->release();
    }
    ChildrenSnapshot(const ChildrenSnapshot&) = delete;
    ChildrenSnapshot& operator=(const ChildrenSnapshot&) = delete;

    template <class Fn>
    void forEach(Fn fn) const
    {
        for (CCObject* node : m_nodes)
            fn(static_cast<CCNode*>(node));
    }

private:
    std::vector<CCObject*> m_nodes;
};

} // namespace

CCNode* CCNode::create()
{
    CCNode* node = new CCNode();
    node->init();
    node->autorelease();
    return node;
}

CCNode::CCNode() : m_pChildren(new CCArray())
{
    CCDirector* director = CCDirector::sharedDirector();
    m_pScheduler = director->getScheduler();
    m_pScheduler->retain();
    m_pActionManager = director->getActionManager();
    m_pActionManager->retain();
}

CCNode::~CCNode()
{
    // A node dropped without cleanup must not leave callbacks behind.
    m_pScheduler->unscheduleAllForTarget(this);
    m_pActionManager->removeAllActionsFromTarget(this);
    CC_SAFE_RELEASE(m_pUserObject);
    CC_SAFE_RELEASE(m_pShaderProgram);
    for (CCObject* child : m_pChildren->data())
        static_cast<CCNode*>(child)->setParent(nullptr);
    m_pChildren->release();
    m_pActionManager->release();
    m_pScheduler->release();
}

bool CCNode::init()
{
    return true;
}

void CCNode::addChild(CCNode* child)
{
    addChild(child, child ? child->m_nZOrder : 0);
}

void CCNode::addChild(CCNode* child, int zOrder)
{
    addChild(child, zOrder, child ? child->m_nTag : kCCNodeTagInvalid);
}

void CCNode::addChild(CCNode* child, int zOrder, int tag)
{
    if (!child || child == this || child->m_pParent) {
        debugLog("[CCNode] addChild of a null, own or already parented node ignored");
        return;
    }
    insertChild(child, zOrder);
    child->m_nTag = tag;
    child->setParent(this);
    if (m_bRunning && !child->m_bRunning) {
        child->onEnter();
        child->onEnterTransitionDidFinish();
    }
}

unsigned int CCNode::insertionIndex(int zOrder) const
{
    const std::vector<CCObject*>& children = m_pChildren->data();
    size_t index = children.size();
    while (index > 0 && static_cast<CCNode*>(children[index - 1])->m_nZOrder > zOrder)
        --index;
    return static_cast<unsigned int>(index);
}

void CCNode::insertChild(CCNode* child, int zOrder)
{
    child->m_nZOrder = zOrder;
    m_pChildren->insertObject(child, insertionIndex(zOrder));
}

void CCNode::removeChild(CCNode* child, bool cleanup)
{
    if (!child || !m_pChildren->containsObject(child))
        return;
    // Callbacks below may remove the child themselves or drop other references.
    child->retain();
    if (child->m_bRunning)
        child->onExit();
    if (cleanup)
        child->cleanup();
    if (m_pChildren->containsObject(child)) {
        child->setParent(nullptr);
        m_pChildren->removeObject(child);
    }
    child->release();
}

void CCNode::removeChildByTag(int tag, bool cleanup)
{
    removeChild(getChildByTag(tag), cleanup);
}

void CCNode::removeAllChildren()
{
    removeAllChildrenWithCleanup(true);
}

void CCNode::removeAllChildrenWithCleanup(bool cleanup)
{
    ChildrenSnapshot snapshot(m_pChildren);
    snapshot.forEach([this, cleanup](CCNode* child) { removeChild(child, cleanup); });
}

void CCNode::removeFromParent()
{
    removeFromParentAndCleanup(true);
}

void CCNode::removeFromParentAndCleanup(bool cleanup)
{
    if (m_pParent)
        m_pParent->removeChild(this, cleanup);
}

void CCNode::reorderChild(CCNode* child, int zOrder)
{
    if (!child || !m_pChildren->containsObject(child))
        return;
    child->retain();
    m_pChildren->removeObject(child);
    insertChild(child, zOrder);
    child->release();
}

CCNode* CCNode::getChildByTag(int tag) const
{
    for (CCObject* child : m_pChildren->data()) {
        if (static_cast<CCNode*>(child)->m_nTag == tag)
            return static_cast<CCNode*>(child);
    }
    return nullptr;
}

void CCNode::setZOrder(int zOrder)
{
    if (m_pParent)
        m_pParent->reorderChild(this, zOrder);
    else
        m_nZOrder = zOrder;
}

void CCNode::setUserObject(CCObject* userObject)
{
    CC_SAFE_RETAIN(userObject);
    CC_SAFE_RELEASE(m_pUserObject);
    m_pUserObject = userObject;
}

void CCNode::setScale(float scale)
{
    m_fScaleX = scale;
    m_fScaleY = scale;
}

CCPoint CCNode::getAnchorPointInPoints() const
{
    return CCPoint(m_obAnchorPoint.x * m_obContentSize.width, m_obAnchorPoint.y * m_obContentSize.height);
}

CCRect CCNode::boundingBox() const
{
    const CCRect content(0.0f, 0.0f, m_obContentSize.width, m_obContentSize.height);
    return CCRectApplyAffineTransform(content, nodeToParentTransform());
}

CCAffineTransform CCNode::nodeToParentTransform() const
{
    const CCPoint anchor = getAnchorPointInPoints();
    CCPoint position = m_obPosition;
    if (m_bIgnoreAnchorPointForPosition)
        position = position + anchor;
    // Clockwise degrees on screen are a negative angle in the y-up space.
    const float radians = m_fRotation * std::numbers::pi_v<float> / 180.0f;
    const float c = std::cos(radians);
    const float s = std::sin(radians);
    const float a = c * m_fScaleX;
    const float b = -s * m_fScaleX;
    const float cc = s * m_fScaleY;
    const float d = c * m_fScaleY;
    return CCAffineTransformMake(a, b, cc, d, position.x - (a * anchor.x + cc * anchor.y),
                                 position.y - (b * anchor.x + d * anchor.y));
}

CCAffineTransform CCNode::parentToNodeTransform() const
{
    return CCAffineTransformInvert(nodeToParentTransform());
}

CCAffineTransform CCNode::nodeToWorldTransform() const
{
    CCAffineTransform t = nodeToParentTransform();
    for (const CCNode* p = m_pParent; p; p = p->m_pParent)
        t = CCAffineTransformConcat(t, p->nodeToParentTransform());
    return t;
}

CCAffineTransform CCNode::worldToNodeTransform() const
{
    return CCAffineTransformInvert(nodeToWorldTransform());
}

CCPoint CCNode::convertToNodeSpace(const CCPoint& worldPoint) const
{
    return CCPointApplyAffineTransform(worldPoint, worldToNodeTransform());
}

CCPoint CCNode::convertToWorldSpace(const CCPoint& nodePoint) const
{
    return CCPointApplyAffineTransform(nodePoint, nodeToWorldTransform());
}

CCPoint CCNode::convertToNodeSpaceAR(const CCPoint& worldPoint) const
{
    return convertToNodeSpace(worldPoint) - getAnchorPointInPoints();
}

CCPoint CCNode::convertToWorldSpaceAR(const CCPoint& nodePoint) const
{
    return convertToWorldSpace(nodePoint + getAnchorPointInPoints());
}

void CCNode::onEnter()
{
    // Marked running first, so that a child added by a sibling's onEnter is entered by
    // addChild and not a second time here.
    m_bRunning = true;
    ChildrenSnapshot snapshot(m_pChildren);
    snapshot.forEach([this](CCNode* child) {
        if (child->m_pParent == this && !child->m_bRunning)
            child->onEnter();
    });
    resumeSchedulerAndActions();
}

void CCNode::onEnterTransitionDidFinish()
{
    ChildrenSnapshot snapshot(m_pChildren);
    snapshot.forEach([this](CCNode* child) {
        if (child->m_pParent == this)
            child->onEnterTransitionDidFinish();
    });
}

void CCNode::onExit()
{
    pauseSchedulerAndActions();
    m_bRunning = false;
    ChildrenSnapshot snapshot(m_pChildren);
    snapshot.forEach([this](CCNode* child) {
        if (child->m_pParent == this && child->m_bRunning)
            child->onExit();
    });
}

void CCNode::cleanup()
{
    stopAllActions();
    unscheduleAllSelectors();
    ChildrenSnapshot snapshot(m_pChildren);
    snapshot.forEach([this](CCNode* child) {
        if (child->m_pParent == this)
            child->cleanup();
    });
}

void CCNode::setShaderProgram(CCGLProgram* program)
{
    CC_SAFE_RETAIN(program);
    CC_SAFE_RELEASE(m_pShaderProgram);
    m_pShaderProgram = program;
}

CCGLProgram* CCNode::shaderProgramOr(const char* key) const
{
    return m_pShaderProgram ? m_pShaderProgram : CCShaderCache::sharedShaderCache()->programForKey(key);
}

void CCNode::transform()
{
    const CCAffineTransform t = nodeToParentTransform();
    kmMat4 m;
    CGAffineToGL(&t, m.mat);
    m.mat[14] = m_fVertexZ;
    kmGLMultMatrix(&m);
}

void CCNode::visit()
{
    if (!m_bVisible)
        return;
    kmGLPushMatrix();
    transform();
    // Walked by index with the count re-read, each child retained during its visit, so
    // a draw that changes the children cannot make the walk read freed memory.
    unsigned int i = 0;
    for (; i < m_pChildren->count(); ++i) {
        CCNode* child = static_cast<CCNode*>(m_pChildren->objectAtIndex(i));
        if (child->m_nZOrder >= 0)
            break;
        child->retain();
        child->visit();
        child->release();
    }
    draw();
    for (; i < m_pChildren->count(); ++i) {
        CCNode* child = static_cast<CCNode*>(m_pChildren->objectAtIndex(i));
        child->retain();
        child->visit();
        child->release();
    }
    kmGLPopMatrix();
}

void CCNode::scheduleUpdate()
{
    scheduleUpdateWithPriority(0);
}

void CCNode::scheduleUpdateWithPriority(int priority)
{
    m_pScheduler->scheduleUpdateForTarget(this, priority, !m_bRunning);
}

void CCNode::unscheduleUpdate()
{
    m_pScheduler->unscheduleUpdateForTarget(this);
}

void CCNode::schedule(SEL_SCHEDULE selector)
{
    schedule(selector, 0.0f, kCCRepeatForever, 0.0f);
}

void CCNode::schedule(SEL_SCHEDULE selector, float interval)
{
    schedule(selector, interval, kCCRepeatForever, 0.0f);
}

void CCNode::schedule(SEL_SCHEDULE selector, float interval, unsigned int repeat, float delay)
{
    m_pScheduler->scheduleSelector(selector, this, interval, repeat, delay, !m_bRunning);
}

void CCNode::scheduleOnce(SEL_SCHEDULE selector, float delay)
{
    schedule(selector, 0.0f, 0, delay);
}

void CCNode::unschedule(SEL_SCHEDULE selector)
{
    m_pScheduler->unscheduleSelector(selector, this);
}

void CCNode::unscheduleAllSelectors()
{
    m_pScheduler->unscheduleAllForTarget(this);
}

void CCNode::pauseSchedulerAndActions()
{
    m_pScheduler->pauseTarget(this);
    m_pActionManager->pauseTarget(this);
}

void CCNode::resumeSchedulerAndActions()
{
    m_pScheduler->resumeTarget(this);
    m_pActionManager->resumeTarget(this);
}

CCAction* CCNode::runAction(CCAction* action)
{
    if (action)
        m_pActionManager->addAction(action, this, !m_bRunning);
    return action;
}

void CCNode::stopAllActions()
{
    m_pActionManager->removeAllActionsFromTarget(this);
}

void CCNode::stopAction(CCAction* action)
{
    m_pActionManager->removeAction(action);
}

void CCNode::stopActionByTag(int tag)
{
    m_pActionManager->removeActionByTag(tag, this);
}

CCAction* CCNode::getActionByTag(int tag)
{
    return m_pActionManager->getActionByTag(tag, this);
}

unsigned int CCNode::numberOfRunningActions()
{
    return m_pActionManager->numberOfRunningActionsInTarget(this);
}

} // namespace cocos2d
