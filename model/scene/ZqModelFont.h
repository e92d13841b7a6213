#pragma once

#include "attributes/ZqAttributeFundamental.h"
#include "model/ZqAttributeModel.h"
#include "model/ZqAttributeTable.h"
#include "model/ZqModelRegistry.h"
#include "model/scene/ZqModelObject.h"

#include <memory>
#include <string>

namespace cocos2d {
class CCLabelBMFont;
}

// One bitmap font of the game. It has only a "Name": its id names the font file in the
// data directory, and it makes engine labels in that font.
class ZqBaseModelFont : public ZqModel {
public:
    using ZqModel::ZqModel;

    // "<data directory>/fonts/ZqModelFont_ID<id>.fnt", e.g. "data/fonts/ZqModelFont_ID12.fnt".
    virtual std::string fontFilePath() const;
    // A new label with the text "0" in this font: no wrapping width, left-aligned, anchored
    // at (0, 0.5). Null when the font file cannot be read.
    // Ownership: the label carries the single reference of its creation and is NOT
    // autoreleased. The caller owns it and must release() it once it is done with it,
    // typically right after adding it to a parent node, which keeps its own reference.
    cocos2d::CCLabelBMFont* createLabel() const;
};

class ZqModelFont : public ZqBaseModelFont {
public:
    using ZqBaseModelFont::ZqBaseModelFont;
    ZQ_MODEL_IDENTITY(ZqModelFont, ZqModel)
    ZQ_MODEL_FACTORY(ZqModelFont)
};

#define ZQ_MODEL_LINKER_ATTRIBUTES(A, V)                                                           \
    V(ZqAttributeObject, m_objectA,         "Object A",         nullptr)                           \
    V(ZqAttributeObject, m_objectB,         "Object B",         nullptr)                           \
    V(ZqAttributeFloat,  m_speed,           "Speed",            0.0f)                              \
    V(ZqAttributeFloat,  m_torque,          "Torque",           200.0f)                            \
    V(ZqAttributeBool,   m_buttonActivated, "Button Activated", false)

// A joint between two placed objects of a level section: a motor speed and torque, and
// whether an on-screen button drives it. The objects are shared with the section.
class ZqBaseModelLinker : public ZqModel {
public:
    explicit ZqBaseModelLinker(const std::string& name);
    // Re-binds the five attributes by name; the copy joins the same two objects.
    ZqBaseModelLinker(const ZqBaseModelLinker& source);

    std::shared_ptr<ZqModelObject> objectA() const { return m_objectA->value(); }
    std::shared_ptr<ZqModelObject> objectB() const { return m_objectB->value(); }
    float speed() const { return m_speed->value(); }
    float torque() const { return m_torque->value(); }
    bool isButtonActivated() const { return m_buttonActivated->value(); }

    // Points the linker at two objects, each reference changed only when it differs and
    // without attribute notifications; unless silent, one model notification follows.
    void setObjects(const std::shared_ptr<ZqModelObject>& objectA, const std::shared_ptr<ZqModelObject>& objectB,
                    bool silent);

    ZQ_ATTRIBUTE_MEMBERS(ZQ_MODEL_LINKER_ATTRIBUTES)
};

class ZqModelLinker : public ZqBaseModelLinker {
public:
    using ZqBaseModelLinker::ZqBaseModelLinker;
    ZQ_MODEL_IDENTITY(ZqModelLinker, ZqModel)
    ZQ_MODEL_FACTORY(ZqModelLinker)
};
