#pragma once

#include "base/CCGeometry.h"

#include <string>

namespace cocos2d {

// How the design resolution is fitted into the frame (values are the game data's).
enum ResolutionPolicy {
    // Stretched to fill the frame: x and y scaled apart.
    kResolutionExactFit = 0,
    // Uniform scale filling the frame; the overflow is cropped, so the visible area
    // is a centred part of the design area.
    kResolutionNoBorder = 1,
    // Uniform scale showing the whole design area, letterboxed.
    kResolutionShowAll = 2,
    // Scaled to the frame's height; the design width is widened to the frame's aspect.
    kResolutionFixedHeight = 3,
    // Scaled to the frame's width; the design height is heightened to the frame's aspect.
    kResolutionFixedWidth = 4,
    // No policy chosen: fitted like kResolutionShowAll.
    kResolutionUnKnown = 5,
};

// The surface the director draws into. Frame sizes are in pixels, design sizes and
// visible areas in points; the scale factors turn points into pixels.
class CCEGLViewProtocol {
public:
    CCEGLViewProtocol() = default;
    CCEGLViewProtocol(const CCEGLViewProtocol&) = delete;
    CCEGLViewProtocol& operator=(const CCEGLViewProtocol&) = delete;
    virtual ~CCEGLViewProtocol() = default;

    // Closes the surface; isOpenGLReady() is false from then on.
    virtual void end() = 0;
    virtual bool isOpenGLReady() = 0;
    // Shows the frame just drawn.
    virtual void swapBuffers() = 0;
    // Handles the window system's pending events (input, window messages); the
    // application's main loop calls it before every frame.
    virtual void pollEvents() {}
    // Prepares the surface for drawing a frame (a GL view clears it and sets the
    // viewport to the design area); the director calls it before visiting the scene.
    virtual void beginFrame() {}

    const CCSize& getFrameSize() const { return m_obScreenSize; }
    // Re-fits the design resolution to the new frame; without one, the design size
    // follows the frame size.
    virtual void setFrameSize(float width, float height);

    // Sizes of zero or less are logged and ignored.
    virtual void setDesignResolutionSize(float width, float height, ResolutionPolicy policy);
    // As adjusted by the policy.
    const CCSize& getDesignResolutionSize() const { return m_obDesignResolutionSize; }
    ResolutionPolicy getResolutionPolicy() const { return m_eResolutionPolicy; }

    // The part of the design area that shows in the frame, in points.
    CCSize getVisibleSize() const;
    CCPoint getVisibleOrigin() const;
    // Where the design area lands in the frame, in pixels (negative origin: cropped).
    const CCRect& getViewPortRect() const { return m_obViewPortRect; }
    float getScaleX() const { return m_fScaleX; }
    float getScaleY() const { return m_fScaleY; }

    void setViewName(const char* name) { m_viewName = name ? name : ""; }
    const char* getViewName() const { return m_viewName.c_str(); }

protected:
    void applyDesignResolution();

    CCSize m_obScreenSize;
    // As the game asked for it, kept to re-fit after a frame change.
    CCSize m_obRequestedDesignSize;
    CCSize m_obDesignResolutionSize;
    CCRect m_obViewPortRect;
    ResolutionPolicy m_eResolutionPolicy = kResolutionUnKnown;
    bool m_bDesignRequested = false;
    float m_fScaleX = 1.0f;
    float m_fScaleY = 1.0f;
    std::string m_viewName;
};

} // namespace cocos2d
