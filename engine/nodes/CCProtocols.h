#pragma once

#include "base/ccTypes.h"

namespace cocos2d {

// Colour and opacity of a node that has them (sprites, labels, menu items, coloured
// layers). Plain CCNodes do not: game code reaches the protocol from a CCNode* with
// dynamic_cast<CCRGBAProtocol*>(node), which gives null for a plain node.
//
// The real values are the node's own; the displayed values are what it shows, the
// real ones multiplied by the parent's displayed values when the parent cascades.
// Opacity 0..255; colour components 0..255, multiplied into the node's pixels.
class CCRGBAProtocol {
public:
    virtual ~CCRGBAProtocol() = default;

    virtual void setColor(const ccColor3B& color) = 0;
    virtual const ccColor3B& getColor() const = 0;
    virtual const ccColor3B& getDisplayedColor() const = 0;
    virtual GLubyte getOpacity() const = 0;
    virtual GLubyte getDisplayedOpacity() const = 0;
    virtual void setOpacity(GLubyte opacity) = 0;

    // Whether the colour is premultiplied by the opacity when drawn.
    virtual void setOpacityModifyRGB(bool value) = 0;
    virtual bool isOpacityModifyRGB() const = 0;

    // Whether this node passes its displayed colour / opacity on to its children.
    virtual bool isCascadeColorEnabled() const = 0;
    virtual void setCascadeColorEnabled(bool enabled) = 0;
    virtual bool isCascadeOpacityEnabled() const = 0;
    virtual void setCascadeOpacityEnabled(bool enabled) = 0;

    // Called by a cascading parent with its displayed value.
    virtual void updateDisplayedColor(const ccColor3B& parentColor) = 0;
    virtual void updateDisplayedOpacity(GLubyte parentOpacity) = 0;
};

} // namespace cocos2d
