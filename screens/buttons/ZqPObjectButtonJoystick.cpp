#include "screens/buttons/ZqPObjectButtonJoystick.h"

#include "app/ZqPInputController.h"
#include "common/ZqLog.h"
#include "model/objects/ZqModelObjectsControls.h"
#include "objects/ZqPhysicsBody.h"

using namespace cocos2d;

CCRect zqControlArea(const CCPoint& scale)
{
    const float width = scale.x * 100.0f;
    const float height = scale.y * 100.0f;
    return CCRect(-width * 0.5f, -height * 0.5f, width, height);
}

ZqPObjectButtonJoystick* ZqPObjectButtonJoystick::create(const std::shared_ptr<ZqModelObjectManipulator>& model)
{
    ZqPObjectButtonJoystick* joystick = new ZqPObjectButtonJoystick();
    joystick->setModel(model);
    joystick->autorelease();
    return joystick;
}

ZqPObjectButtonJoystick::ZqPObjectButtonJoystick()
{
    if (CCTouchDispatcher* dispatcher = CCDirector::sharedDirector()->getTouchDispatcher())
        dispatcher->addTargetedDelegate(this, 0, true);
}

void ZqPObjectButtonJoystick::setModel(const std::shared_ptr<ZqModelObjectManipulator>& model)
{
    ZqPObjectManipulator::setModel(model);
    if (model)
        setPosition(model->position(0.0f, 0));
}

bool ZqPObjectButtonJoystick::ccTouchBegan(CCTouch* touch, CCEvent*)
{
    const std::shared_ptr<ZqModelObjectManipulator>& model = manipulatorModel();
    CCPoint p = convertToNodeSpace(touch->getLocation());
    debugLog("location :%f %f ", p.x, p.y);
    if (!zqControlArea(model ? model->scale(0.0f, 0) : CCPoint(1.0f, 1.0f)).containsPoint(p))
        return false;
    m_touchStart = touch->getLocationInView();
    return true;
}

void ZqPObjectButtonJoystick::ccTouchMoved(CCTouch* touch, CCEvent*)
{
    const std::shared_ptr<ZqModelObjectManipulator>& model = manipulatorModel();
    float r = (model ? model->rotation(0.0f, 0) : 0.0f) * zqphysics::kRadiansPerDegree;
    float s = sensitivity();
    ZqPInputController* input = ZqPInputController::shared();
    if (isAbsoluteControl()) {
        CCPoint d = touch->getLocationInView() - touch->getPreviousLocationInView();
        d = CCPoint(d.x, -d.y).rotateByAngle(CCPoint(), r); // view y runs downwards
        input->applyJoystickToCharacters(s * d.x * 0.1f, s * d.y * 0.1f);
        return;
    }
    CCPoint d = touch->getLocationInView() - m_touchStart;
    d = CCPoint(d.x, -d.y).rotateByAngle(CCPoint(), r);
    input->updateCharactersDirection(d * (s * 0.01f));
}

void ZqPObjectButtonJoystick::ccTouchEnded(CCTouch*, CCEvent*)
{
    ZqPInputController::shared()->updateCharactersDirection(CCPoint());
}

void ZqPObjectButtonJoystick::ccTouchCancelled(CCTouch* touch, CCEvent* event)
{
    ccTouchEnded(touch, event);
}
