#pragma once

#include "attributes/ZqAttributeFundamental.h"
#include "attributes/ZqAttributeValue.h"
#include "model/ZqAttributeTable.h"
#include "model/ZqDataTokens.h"
#include "model/ZqModelRegistry.h"
#include "model/scene/ZqModelObject.h"
#include "cocos2d.h"

#include <string>

namespace cocos2d {
class CCLabelBMFont;
}

#define ZQ_MODEL_OBJECT_LABEL_ATTRIBUTES(A, V)                                                     \
    V(ZqAttributeLabelAction, m_action,        "Action",          "")                              \
    V(ZqAttributeScoreWorld,  m_world,         "World",           "")                              \
    V(ZqAttributeScoreKind,   m_scoreType,     "Score Type",      "")                              \
    V(ZqAttributeScoreAmount, m_amount,        "Amount",          "")                              \
    V(ZqAttributeInt,        m_scoreModifier,  "Score Modifier",  0)                               \
    V(ZqAttributeStringList, m_alignment,      "Alignment",       "")                              \
    V(ZqAttributeString,     m_text,           "Text",            "")                              \
    V(ZqAttributeStringList, m_font,           "Font",            "")                              \
    V(ZqAttributeFloat,      m_tracking,       "Tracking",        0.0f)                            \
    V(ZqAttributeBool,       m_stickToEdge,    "Stick To Edge",   false)                           \
    V(ZqAttributeFloat,      m_autohide,       "Autohide",        0.0f)                            \
    V(ZqAttributeSize,       m_calculatedSize, "Calculated Size", cocos2d::CCSize(100.0f, 100.0f))

// A text on an interface screen: a fixed text ("Action" "kCustomVector"), the name of the
// level section where the next game starts ("kStartSceneName"), or a live value that the
// on-screen text control fills (the other "Action" tokens with "World", "Score Type",
// "Amount" and "Score Modifier"). Shown with the bitmap font whose model id is "Font".
class ZqBaseModelObjectLabel : public ZqModelObject {
public:
    explicit ZqBaseModelObjectLabel(const std::string& name);
    ZqBaseModelObjectLabel(const ZqBaseModelObjectLabel& source);

    ZqLabelAction action() const { return m_action->code(); }
    ZqScoreWorld world() const { return m_world->code(); }
    ZqScoreKind scoreType() const { return m_scoreType->code(); }
    ZqScoreAmount amount() const { return m_amount->code(); }
    int scoreModifier() const { return m_scoreModifier->value(); }
    const std::string& text() const { return m_text->value(); }
    bool stickToEdge() const { return m_stickToEdge->value(); }
    // Seconds until the label hides; 0 never.
    float autohide() const { return m_autohide->value(); }

    // "kCCTextAlignmentCenter" for a fixed text, else "Alignment".
    std::string alignment() const;
    // 0 left, 2 right, 1 for anything else.
    int alignmentIndex() const;
    // "Font" read as a decimal integer; 0 when it does not start with one.
    int fontId() const;
    // "Calculated Size" whatever the time.
    cocos2d::CCSize contentSize(float time) const override;

    // The engine label for this model (model/scene/ZqModelLabelEngine.cpp): the font's
    // label with this model's anchor, tracking and text. The caller owns the label (it is
    // returned retained, not autoreleased) and releases it once it has added it to the
    // scene graph or no longer needs it. Null when there is no such font model or its
    // file cannot be read.
    cocos2d::CCLabelBMFont* createLabel() const;

    ZQ_ATTRIBUTE_MEMBERS(ZQ_MODEL_OBJECT_LABEL_ATTRIBUTES)
};

class ZqModelObjectLabel : public ZqBaseModelObjectLabel {
public:
    using ZqBaseModelObjectLabel::ZqBaseModelObjectLabel;
    ZQ_MODEL_IDENTITY(ZqModelObjectLabel, ZqModelObject)
    ZQ_MODEL_FACTORY(ZqModelObjectLabel)
};
