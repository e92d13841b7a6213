#include "objects/ZqPGameFieldCamera.h"

ZqPGameFieldCamera* ZqPGameFieldCamera::create()
{
    ZqPGameFieldCamera* camera = new ZqPGameFieldCamera();
    camera->init();
    camera->autorelease();
    return camera;
}
