#pragma once

#include "nodes/CCNode.h"
#include "nodes/CCProtocols.h"

namespace cocos2d {

// Base of coloured nodes: white, fully opaque, cascading nothing by default.
// Setting a value recomputes the displayed value from the parent (when the parent
// cascades) and passes it on to the children when this node cascades.
class CCNodeRGBA : public CCNode, public CCRGBAProtocol {
public:
    // Autoreleased.
    static CCNodeRGBA* create();

    void setColor(const ccColor3B& color) override;
    const ccColor3B& getColor() const override { return m_realColor; }
    const ccColor3B& getDisplayedColor() const override { return m_displayedColor; }
    GLubyte getOpacity() const override { return m_realOpacity; }
    GLubyte getDisplayedOpacity() const override { return m_displayedOpacity; }
    void setOpacity(GLubyte opacity) override;

    void setOpacityModifyRGB(bool value) override { m_bOpacityModifyRGB = value; }
    bool isOpacityModifyRGB() const override { return m_bOpacityModifyRGB; }

    bool isCascadeColorEnabled() const override { return m_bCascadeColorEnabled; }
    void setCascadeColorEnabled(bool enabled) override { m_bCascadeColorEnabled = enabled; }
    bool isCascadeOpacityEnabled() const override { return m_bCascadeOpacityEnabled; }
    void setCascadeOpacityEnabled(bool enabled) override { m_bCascadeOpacityEnabled = enabled; }

    void updateDisplayedColor(const ccColor3B& parentColor) override;
    void updateDisplayedOpacity(GLubyte parentOpacity) override;

protected:
    // The parent's protocol when it cascades the value, else null.
    CCRGBAProtocol* cascadingParent(bool forOpacity) const;

    ccColor3B m_realColor = ccWHITE;
    ccColor3B m_displayedColor = ccWHITE;
    GLubyte m_realOpacity = 255;
    GLubyte m_displayedOpacity = 255;
    bool m_bOpacityModifyRGB = false;
    bool m_bCascadeColorEnabled = false;
    bool m_bCascadeOpacityEnabled = false;
};

} // namespace cocos2d
