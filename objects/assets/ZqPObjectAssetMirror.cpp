#include "objects/assets/ZqPObjectAssetMirror.h"

#include "ZqFileRead.h"
#include "ZqLog.h"
#include "model/ZqModelController.h"
#include "model/objects/ZqModelObjectsEffects.h"
#include "objects/ZqGameField.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <iterator>
#include <string>

using namespace cocos2d;

namespace {

// Texels per unit of "Scale".
constexpr float kTexelsPerScale = 100.0f;
// Bytes of the reflection shader's source. A shader is a few KB; the GL compiler's memory
// grows with its source (60 MiB of plain statements took 7 GB), so a larger file is refused.
constexpr std::uint64_t kMaxShaderSourceSize = 64 << 10;
// The only preprocessor directives a tint needs. Macros are refused: each nested #define
// that doubles the one before doubles the compiler's work (22 of them, 674 bytes, took it
// to 4 GB), and without them no directive expands.
constexpr const char* kAllowedDirectives[] = {"version", "ifdef", "ifndef", "else", "endif"};

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

// The first directive of text that is not allowed ("#define", "#" for a bare one), or "".
// Every '#' outside a comment is taken as a directive, wherever it stands on its line,
// and comments between it and its name are passed over; a line comment ends at CR too.
// A compiler that reads a directive elsewhere would only meet a name checked here.
std::string refusedDirectiveIn(const std::string& text)
{
    size_t i = 0;
    const auto skipBlockComment = [&] {
        const size_t end = text.find("*/", i + 2);
        i = end == std::string::npos ? text.size() : end + 2;
    };
    while (i < text.size()) {
        if (text.compare(i, 2, "//") == 0) {
            while (i < text.size() && text[i] != '\n' && text[i] != '\r')
                ++i;
        } else if (text.compare(i, 2, "/*") == 0) {
            skipBlockComment();
        } else if (text[i] == '#') {
            ++i;
            while (i < text.size() && (isBlank(text[i]) || text.compare(i, 2, "/*") == 0)) {
                if (isBlank(text[i]))
                    ++i;
                else
                    skipBlockComment();
            }
            const size_t start = i;
            while (i < text.size() && (std::isalnum(static_cast<unsigned char>(text[i])) || text[i] == '_'))
                ++i;
            const std::string name = text.substr(start, i - start);
            if (std::find(std::begin(kAllowedDirectives), std::end(kAllowedDirectives), name)
                == std::end(kAllowedDirectives))
                return "#" + name;
        } else {
            ++i;
        }
    }
    return std::string();
}

// The same, for the text as written and with its backslash-newlines joined (a directive
// may be continued, or its name split, across lines; compilers differ on whether a line
// comment is).
std::string refusedDirective(const std::string& source)
{
    std::string joined;
    joined.reserve(source.size());
    for (size_t i = 0; i < source.size(); ++i) {
        if (source[i] == '\\' && source.compare(i + 1, 1, "\n") == 0)
            ++i;
        else if (source[i] == '\\' && source.compare(i + 1, 2, "\r\n") == 0)
            i += 2;
        else
            joined += source[i];
    }
    const std::string refused = refusedDirectiveIn(source);
    return refused.empty() ? refusedDirectiveIn(joined) : refused;
}

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
    if (const std::string directive = refusedDirective(text); !directive.empty()) {
        debugLog("[ZqPObjectAssetMirror] reflection shader %s: holds the directive %s; a reflection shader may hold "
                 "only #version, #ifdef, #ifndef, #else and #endif",
                 zqPrintable(path, kZqLogLineLength).c_str(), zqPrintable(directive).c_str());
        return;
    }
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
