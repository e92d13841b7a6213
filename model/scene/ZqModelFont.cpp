#include "model/scene/ZqModelFont.h"

#include "model/ZqModelController.h"
#include "cocos2d.h"
#include "label_nodes/CCLabelBMFont.h"

#include <sstream>

using namespace cocos2d;

std::string ZqBaseModelFont::fontFilePath() const
{
    std::ostringstream path;
    path << ZqModelController::shared()->dataDirectory() << "/fonts/ZqModelFont_ID" << id() << ".fnt";
    return path.str();
}

CCLabelBMFont* ZqBaseModelFont::createLabel() const
{
    auto* label = new CCLabelBMFont();
    if (!label->initWithString("0", fontFilePath().c_str(), -1.0f, kCCTextAlignmentLeft, CCPointZero)) {
        // Nobody else holds the half-made label.
        label->release();
        return nullptr;
    }
    label->setAlignment(kCCTextAlignmentLeft);
    label->setAnchorPoint(ccp(0.0f, 0.5f));
    return label;
}

ZqBaseModelLinker::ZqBaseModelLinker(const std::string& name)
    : ZqModel(name)
{
    ZQ_ATTRIBUTE_CREATE(ZQ_MODEL_LINKER_ATTRIBUTES)
}

ZqBaseModelLinker::ZqBaseModelLinker(const ZqBaseModelLinker& source)
    : ZqModel(source)
{
    ZQ_ATTRIBUTE_REBIND(ZQ_MODEL_LINKER_ATTRIBUTES)
}

void ZqBaseModelLinker::setObjects(const std::shared_ptr<ZqModelObject>& objectA,
                                   const std::shared_ptr<ZqModelObject>& objectB, bool silent)
{
    m_objectA->setValue(objectA, true);
    m_objectB->setValue(objectB, true);
    if (!silent)
        notifyChanged();
}
