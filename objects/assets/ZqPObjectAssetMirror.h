#pragma once

#include "objects/assets/ZqPObjectAsset.h"

#include <memory>

class ZqGameField;
class ZqModelObjectMirror;

// A water reflection: the field renders itself once a frame into the mirror's render
// texture (renderReflection, a visit of the whole scene, endReflectionCapture), and the
// mirror draws that texture upside down at its own place, tinted by the shader
// "/shaders/WaterReflection.fsh" (untinted when the file is missing, empty, over 64 KiB,
// holds a preprocessor directive other than #version, #ifdef, #ifndef, #else and #endif,
// or does not compile). The texture is "Scale" x 100 pixels; a scale under one pixel gives no
// reflection.
class ZqPObjectAssetMirror : public ZqPObjectAsset {
public:
    explicit ZqPObjectAssetMirror(const std::shared_ptr<ZqModelObjectMirror>& model);
    // Leaves the field it was registered with.
    ~ZqPObjectAssetMirror() override;

    // The field whose mirror pass renders this mirror; set by the field when it registers
    // the mirror, null when the field lets go of it. Not owned.
    void setField(ZqGameField* field) { m_field = field; }
    ZqGameField* field() const { return m_field; }

    // Hides the mirror and starts the capture, the model-view pushed and moved so that the
    // area above the mirror lands in the texture. False, with nothing begun, when there is
    // no render texture.
    bool renderReflection();
    // Ends the capture begun by renderReflection and shows the mirror.
    void endReflectionCapture();
    // The node, then the reflection upside down at the mirror's place.
    void visit() override;

    // Null until the first capture, and when it could not be made.
    cocos2d::CCRenderTexture* renderTexture() const { return m_renderTexture; }

private:
    void createRenderTarget();

    std::shared_ptr<ZqModelObjectMirror> m_mirror;
    ZqGameField* m_field = nullptr;
    // Retained.
    cocos2d::CCRenderTexture* m_renderTexture = nullptr;
    bool m_prepared = false;
};
