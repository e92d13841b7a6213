#pragma once

#include "base/CCAffineTransform.h"
#include "base/CCArray.h"
#include "base/CCGeometry.h"
#include "base/CCObject.h"

namespace cocos2d {

class CCAction;
class CCActionManager;
class CCGLProgram;
class CCScheduler;

// Tag of a node or action nobody tagged. Game code treats only tags > 0 as set.
constexpr int kCCNodeTagInvalid = -1;

// A node of the scene graph.
//
// Geometry is in points, y up. A child's position is relative to the bottom-left of
// its parent's content box. Rotation is in degrees, positive clockwise on screen.
// Node-to-parent = translate(position) * rotate(-rotation) * scale *
// translate(-anchor * content size); with ignoreAnchorPointForPosition the anchor
// offset is added to the position, so position names the bottom-left corner.
//
// Children are kept in (stored z-order, order of arrival) order at all times; a
// reorder moves the child after the others of its new z-order. The array holds one
// reference to each child.
//
// Life cycle: addChild calls child->setParent(this), then, when this node is running,
// child->onEnter() and child->onEnterTransitionDidFinish(). removeChild calls
// onExit (when the child is running), cleanup (when asked), setParent(nullptr), then
// releases the child. onEnter marks the node running, enters its children in order,
// then resumes its timers and actions; onExit pauses them, marks the node not
// running, then exits its children. cleanup stops actions and timers, then cleans the
// children. Children added or removed from inside these callbacks are handled: each
// child is entered or exited once.
//
// Timers and actions scheduled on a node that is not running stay paused until its
// onEnter. A node's destructor unschedules whatever is left for it.
class CCNode : public CCObject {
public:
    // Autoreleased.
    static CCNode* create();

    CCNode();
    ~CCNode() override;
    virtual bool init();

    // --- children
    // child must be non-null and have no parent (otherwise logged and ignored).
    virtual void addChild(CCNode* child);
    virtual void addChild(CCNode* child, int zOrder);
    virtual void addChild(CCNode* child, int zOrder, int tag);
    // Unknown children are ignored.
    virtual void removeChild(CCNode* child, bool cleanup = true);
    virtual void removeChildByTag(int tag, bool cleanup = true);
    virtual void removeAllChildren();
    virtual void removeAllChildrenWithCleanup(bool cleanup);
    virtual void removeFromParent();
    virtual void removeFromParentAndCleanup(bool cleanup);
    // Moves child to the end of the children of zOrder.
    virtual void reorderChild(CCNode* child, int zOrder);
    // The first child with this tag, or null.
    CCNode* getChildByTag(int tag) const;
    // Never null; the node keeps ownership. Do not change it directly.
    CCArray* getChildren() const { return m_pChildren; }
    unsigned int getChildrenCount() const { return m_pChildren->count(); }

    // Called by addChild (parent) and removeChild (null); overridable.
    virtual void setParent(CCNode* parent) { m_pParent = parent; }
    CCNode* getParent() const { return m_pParent; }

    // --- identity and order
    void setTag(int tag) { m_nTag = tag; }
    int getTag() const { return m_nTag; }
    // Moves the node in its parent's children when it has one.
    virtual void setZOrder(int zOrder);
    virtual int getZOrder() const { return m_nZOrder; }
    virtual void setVertexZ(float vertexZ) { m_fVertexZ = vertexZ; }
    virtual float getVertexZ() const { return m_fVertexZ; }
    virtual void setVisible(bool visible) { m_bVisible = visible; }
    virtual bool isVisible() const { return m_bVisible; }

    // Raw pointer, not owned.
    void setUserData(void* userData) { m_pUserData = userData; }
    void* getUserData() const { return m_pUserData; }
    // Retained until replaced or the node dies.
    void setUserObject(CCObject* userObject);
    CCObject* getUserObject() const { return m_pUserObject; }

    // --- geometry
    virtual void setPosition(const CCPoint& position) { m_obPosition = position; }
    void setPosition(float x, float y) { setPosition(CCPoint(x, y)); }
    const CCPoint& getPosition() const { return m_obPosition; }
    void setPositionX(float x) { setPosition(CCPoint(x, m_obPosition.y)); }
    void setPositionY(float y) { setPosition(CCPoint(m_obPosition.x, y)); }
    float getPositionX() const { return m_obPosition.x; }
    float getPositionY() const { return m_obPosition.y; }
    // Degrees, clockwise.
    virtual void setRotation(float degrees) { m_fRotation = degrees; }
    virtual float getRotation() const { return m_fRotation; }
    // Negative factors mirror.
    virtual void setScale(float scale);
    virtual void setScaleX(float scaleX) { m_fScaleX = scaleX; }
    virtual void setScaleY(float scaleY) { m_fScaleY = scaleY; }
    // The x factor (the two are equal unless set apart).
    virtual float getScale() const { return m_fScaleX; }
    virtual float getScaleX() const { return m_fScaleX; }
    virtual float getScaleY() const { return m_fScaleY; }
    // Fractions of the content size; (0,0) is the bottom-left corner.
    virtual void setAnchorPoint(const CCPoint& anchor) { m_obAnchorPoint = anchor; }
    const CCPoint& getAnchorPoint() const { return m_obAnchorPoint; }
    CCPoint getAnchorPointInPoints() const;
    virtual void setContentSize(const CCSize& size) { m_obContentSize = size; }
    const CCSize& getContentSize() const { return m_obContentSize; }
    virtual void ignoreAnchorPointForPosition(bool ignore) { m_bIgnoreAnchorPointForPosition = ignore; }
    bool isIgnoreAnchorPointForPosition() const { return m_bIgnoreAnchorPointForPosition; }
    // The content rectangle in the parent's space (axis-aligned bounds).
    CCRect boundingBox() const;

    // --- transforms (computed on each call from the current geometry)
    virtual CCAffineTransform nodeToParentTransform() const;
    CCAffineTransform parentToNodeTransform() const;
    // Up to the root of the tree this node is in (the scene's parent space).
    CCAffineTransform nodeToWorldTransform() const;
    CCAffineTransform worldToNodeTransform() const;
    CCPoint convertToNodeSpace(const CCPoint& worldPoint) const;
    CCPoint convertToWorldSpace(const CCPoint& nodePoint) const;
    // The same, with node points measured from the anchor point.
    CCPoint convertToNodeSpaceAR(const CCPoint& worldPoint) const;
    CCPoint convertToWorldSpaceAR(const CCPoint& nodePoint) const;

    // --- life cycle
    virtual void onEnter();
    virtual void onEnterTransitionDidFinish();
    virtual void onExit();
    virtual void cleanup();
    bool isRunning() const { return m_bRunning; }

    // --- drawing
    // Skips invisible nodes and their subtrees; otherwise pushes the model-view
    // matrix, transform(), then children with z < 0, draw(), then the other children,
    // and pops the matrix again.
    virtual void visit();
    virtual void draw() {}
    // Multiplies this node's node-to-parent transform (with its vertex z as the z
    // translation) into the current model-view matrix.
    virtual void transform();
    // The program the node draws with; retained. Null until a drawing node sets one.
    CCGLProgram* getShaderProgram() const { return m_pShaderProgram; }
    virtual void setShaderProgram(CCGLProgram* program);

    // --- timers (through the scheduler this node was made with)
    CCScheduler* getScheduler() const { return m_pScheduler; }
    // update(dt) every frame; lower priorities run first.
    void scheduleUpdate();
    void scheduleUpdateWithPriority(int priority);
    void unscheduleUpdate();
    // Every interval seconds (0: every frame); a scheduled selector gets its new interval.
    void schedule(SEL_SCHEDULE selector);
    void schedule(SEL_SCHEDULE selector, float interval);
    // Fires repeat + 1 times (kCCRepeatForever: until unscheduled), the first after delay.
    void schedule(SEL_SCHEDULE selector, float interval, unsigned int repeat, float delay);
    void scheduleOnce(SEL_SCHEDULE selector, float delay);
    void unschedule(SEL_SCHEDULE selector);
    void unscheduleAllSelectors();
    void pauseSchedulerAndActions();
    void resumeSchedulerAndActions();

    // --- actions (through the action manager this node was made with)
    CCActionManager* getActionManager() const { return m_pActionManager; }
    // Starts action on this node (from time 0) and returns it; the manager retains it.
    CCAction* runAction(CCAction* action);
    void stopAllActions();
    void stopAction(CCAction* action);
    void stopActionByTag(int tag);
    CCAction* getActionByTag(int tag);
    unsigned int numberOfRunningActions();

protected:
    // The node's own program, else the shader cache's built-in one of key; null when
    // neither exists.
    CCGLProgram* shaderProgramOr(const char* key) const;
    // Index at which a child of zOrder goes: after every child of lower or equal z.
    unsigned int insertionIndex(int zOrder) const;
    void insertChild(CCNode* child, int zOrder);

    CCPoint m_obPosition;
    float m_fRotation = 0.0f;
    float m_fScaleX = 1.0f;
    float m_fScaleY = 1.0f;
    float m_fVertexZ = 0.0f;
    CCPoint m_obAnchorPoint;
    CCSize m_obContentSize;
    bool m_bIgnoreAnchorPointForPosition = false;

    CCArray* m_pChildren;
    CCNode* m_pParent = nullptr;
    int m_nTag = kCCNodeTagInvalid;
    // The stored z-order used for sorting; getZOrder may be overridden.
    int m_nZOrder = 0;
    bool m_bVisible = true;
    bool m_bRunning = false;

    void* m_pUserData = nullptr;
    CCObject* m_pUserObject = nullptr;
    CCGLProgram* m_pShaderProgram = nullptr;

    CCScheduler* m_pScheduler;
    CCActionManager* m_pActionManager;
};

} // namespace cocos2d
