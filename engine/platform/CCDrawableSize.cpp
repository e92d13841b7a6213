#include "CCDrawableSize.h"

// Kept apart from GLEW's declarations, which clash with the window systems' own headers.
#include <EGL/egl.h>
#include <GL/glx.h>

namespace cocos2d {

bool ccCurrentDrawableSize(int& width, int& height)
{
    const EGLDisplay display = eglGetCurrentDisplay();
    const EGLSurface surface = display != EGL_NO_DISPLAY ? eglGetCurrentSurface(EGL_DRAW) : EGL_NO_SURFACE;
    EGLint eglWidth = 0;
    EGLint eglHeight = 0;
    if (surface != EGL_NO_SURFACE && eglQuerySurface(display, surface, EGL_WIDTH, &eglWidth) &&
        eglQuerySurface(display, surface, EGL_HEIGHT, &eglHeight)) {
        width = eglWidth;
        height = eglHeight;
        return width > 0 && height > 0;
    }
    const GLXDrawable drawable = glXGetCurrentDrawable();
    Display* x11 = glXGetCurrentDisplay();
    if (!drawable || !x11)
        return false;
    unsigned int glxWidth = 0;
    unsigned int glxHeight = 0;
    glXQueryDrawable(x11, drawable, GLX_WIDTH, &glxWidth);
    glXQueryDrawable(x11, drawable, GLX_HEIGHT, &glxHeight);
    width = static_cast<int>(glxWidth);
    height = static_cast<int>(glxHeight);
    return width > 0 && height > 0;
}

} // namespace cocos2d
