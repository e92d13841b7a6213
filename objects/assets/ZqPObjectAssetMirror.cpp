#include "objects/assets/ZqPObjectAssetMirror.h"

#include "ZqFileRead.h"
#include "ZqLog.h"
#include "model/ZqModelController.h"
#include "model/objects/ZqModelObjectsEffects.h"
#include "objects/ZqGameField.h"

#include <cstdint>
#include <string>

using namespace cocos2d;

namespace {

// Texels per unit of "Scale".
constexpr float kTexelsPerScale = 100.0f;
// Bytes of the reflection shader's source. A shader is a few KB; the GL compiler's memory
// grows with its source (60 MiB of plain statements took 7 GB), so a larger file is refused.
constexpr std::uint64_t kMaxShaderSourceSize = 64 << 10;

// The program of the shader file's text; null when the text is empty or does not build.
CCGLProgram* reflectionProgram(const std::string& fragmentShader)
{
    if (fragmentShader.empty())
        return nullptr;
    CCGLProgram* program = new CCGLProgram();
    if (!program->initWithVertexShaderByteArray(ccPositionTextureA8Color_vert, fragmentShader.c_str())) {
        program->release();
        return nullptr;
    }
    program->addAttribute("a_position", kCCVertexAttrib_Position);
    program->addAttribute("a_texCoord", kCCVertexAttrib_TexCoords);
    if (!program->link()) {
        program->release();
        return nullptr;
    }
    program->updateUniforms();
    return program;
}

} // namespace

ZqPObjectAssetMirror::ZqPObjectAssetMirror(const std::shared_ptr<ZqModelObjectMirror>& model)
    : ZqPObjectAsset(model)
    , m_mirror(model)
{
    setCollisionKind(0);
    setLinearMovement(true);
    setObjectType(kTypeMirror);
}

ZqPObjectAssetMirror::~ZqPObjectAssetMirror()
{
    // The field it registered with, not whichever is current now: during a teardown that
    // may be another field or none.
    if (m_field)
        m_field->unregisterMirror(this);
    if (m_renderTexture)
        m_renderTexture->release();
}

void ZqPObjectAssetMirror::createRenderTarget()
{
    const CCPoint scale = m_mirror->scale(0.0f, 0);
    m_renderTexture = CCRenderTexture::create(static_cast<int>(scale.x * kTexelsPerScale),
                                              static_cast<int>(scale.y * kTexelsPerScale));
    if (!m_renderTexture)
        return;
    m_renderTexture->retain();
    const std::string path = ZqModelController::shared()->dataDirectory() + "/shaders/WaterReflection.fsh";
    ZqFileBytes bytes;
    // Built from the buffer's length, not read up to a terminator.
    const std::string text = CCFileUtils::sharedFileUtils()->readWhole(path, kMaxShaderSourceSize, bytes)
                                 ? std::string(reinterpret_cast<const char*>(bytes.data.get()), bytes.size)
                                 : std::string();
    CCGLProgram* program = reflectionProgram(text);
    if (!program) {
        if (!text.empty())
            debugLog("[ZqPObjectAssetMirror] reflection shader - fail");
        return;
    }
    program->use();
    m_renderTexture->getSprite()->setShaderProgram(program);
    const ccColor4F& colour = m_mirror->color();
    program->setUniformLocationWith4f(program->getUniformLocationForName("u_shadeColor"), colour.r / 255.0f,
                                      colour.g / 255.0f, colour.b / 255.0f, colour.a / 255.0f);
    program->release();
}

bool ZqPObjectAssetMirror::renderReflection()
{
    if (!m_mirror)
        return false;
    if (!m_prepared) {
        createRenderTarget();
        m_prepared = true;
    }
    if (!m_renderTexture)
        return false;
    setVisible(false);
    m_renderTexture->beginWithClear(0.0f, 0.0f, 0.0f, 0.0f);
    // The model-view is the caller's: endReflectionCapture gives it back.
    kmGLPushMatrix();
    // The camera's origin on the screen, the field layer's shake included: the capture
    // visits the whole scene, so every transform above the camera has to be undone.
    const CCPoint reference = referenceNode() ? referenceNode()->convertToWorldSpace(CCPoint()) : CCPoint();
    const CCPoint scale = m_mirror->scale(0.0f, 0);
    const float rotation = getRotation();
    const float halfWidth = scale.x * kTexelsPerScale * 0.5f;
    const float halfHeight = scale.y * kTexelsPerScale * 0.5f;
    kmGLTranslatef(halfWidth, halfHeight, 0.0f);
    kmGLRotatef(rotation, 0.0f, 0.0f, 1.0f);
    kmGLTranslatef(-halfWidth, -halfHeight, 0.0f);
    const CCPoint up = CCPoint::forAngle((90.0f - rotation) * zqphysics::kRadiansPerDegree);
    const CCPoint focus(halfWidth - scale.y * kTexelsPerScale * up.x, halfHeight - scale.y * kTexelsPerScale * up.y);
    kmGLTranslatef(focus.x - getPositionX() - reference.x, focus.y - getPositionY() - reference.y, 0.0f);
    return true;
}

void ZqPObjectAssetMirror::endReflectionCapture()
{
    if (!m_renderTexture)
        return;
    kmGLPopMatrix();
    m_renderTexture->end();
    setVisible(true);
}

void ZqPObjectAssetMirror::visit()
{
    CCNode::visit();
    if (!isVisible() || !m_renderTexture)
        return;
    m_renderTexture->setPosition(getPosition());
    m_renderTexture->setRotation(getRotation());
    m_renderTexture->setScaleY(-1.0f);
    m_renderTexture->visit();
}
