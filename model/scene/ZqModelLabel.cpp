#include "model/scene/ZqModelLabel.h"

#include <sstream>

ZqBaseModelObjectLabel::ZqBaseModelObjectLabel(const std::string& name)
    : ZqModelObject(name)
{
    ZQ_ATTRIBUTE_CREATE(ZQ_MODEL_OBJECT_LABEL_ATTRIBUTES)
}

ZqBaseModelObjectLabel::ZqBaseModelObjectLabel(const ZqBaseModelObjectLabel& source)
    : ZqModelObject(source)
{
    ZQ_ATTRIBUTE_REBIND(ZQ_MODEL_OBJECT_LABEL_ATTRIBUTES)
}

std::string ZqBaseModelObjectLabel::alignment() const
{
    // A fixed text is always centred.
    if (m_action->value() == "kCustomVector")
        return "kCCTextAlignmentCenter";
    return m_alignment->value();
}

int ZqBaseModelObjectLabel::alignmentIndex() const
{
    const std::string token = alignment();
    if (token == "kCCTextAlignmentLeft")
        return 0;
    if (token == "kCCTextAlignmentRight")
        return 2;
    return 1;
}

int ZqBaseModelObjectLabel::fontId() const
{
    std::istringstream stream(m_font->value());
    int id = 0;
    if (!(stream >> id))
        return 0;
    return id;
}

cocos2d::CCSize ZqBaseModelObjectLabel::contentSize(float) const
{
    return m_calculatedSize->value();
}
