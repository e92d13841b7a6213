#include "CCGL.h"

#include <ZqLog.h>

namespace cocos2d {

bool ccGLLoadEntryPoints()
{
    glewExperimental = GL_TRUE;
    const GLenum status = glewInit();
    if (status != GLEW_OK && status != GLEW_ERROR_NO_GLX_DISPLAY) {
        debugLog("[ccGL] glewInit failed: %u", static_cast<unsigned int>(status));
        return false;
    }
    // Core 1.1 calls link directly; these come through GLEW and stay null when the
    // context lacks them.
    const struct {
        const char* name;
        const void* entry;
    } required[] = {
        {"glCreateShader", reinterpret_cast<const void*>(glCreateShader)},
        {"glShaderSource", reinterpret_cast<const void*>(glShaderSource)},
        {"glCompileShader", reinterpret_cast<const void*>(glCompileShader)},
        {"glCreateProgram", reinterpret_cast<const void*>(glCreateProgram)},
        {"glLinkProgram", reinterpret_cast<const void*>(glLinkProgram)},
        {"glUseProgram", reinterpret_cast<const void*>(glUseProgram)},
        {"glGetUniformLocation", reinterpret_cast<const void*>(glGetUniformLocation)},
        {"glUniformMatrix4fv", reinterpret_cast<const void*>(glUniformMatrix4fv)},
        {"glVertexAttribPointer", reinterpret_cast<const void*>(glVertexAttribPointer)},
        {"glEnableVertexAttribArray", reinterpret_cast<const void*>(glEnableVertexAttribArray)},
        {"glBindAttribLocation", reinterpret_cast<const void*>(glBindAttribLocation)},
        {"glActiveTexture", reinterpret_cast<const void*>(glActiveTexture)},
        {"glBindBuffer", reinterpret_cast<const void*>(glBindBuffer)},
        {"glGenFramebuffers", reinterpret_cast<const void*>(glGenFramebuffers)},
        {"glBindFramebuffer", reinterpret_cast<const void*>(glBindFramebuffer)},
        {"glFramebufferTexture2D", reinterpret_cast<const void*>(glFramebufferTexture2D)},
        {"glCheckFramebufferStatus", reinterpret_cast<const void*>(glCheckFramebufferStatus)},
        {"glDeleteFramebuffers", reinterpret_cast<const void*>(glDeleteFramebuffers)},
    };
    for (const auto& entry : required) {
        if (!entry.entry) {
            debugLog("[ccGL] missing GL entry point %s", entry.name);
            return false;
        }
    }
    return true;
}

} // namespace cocos2d
