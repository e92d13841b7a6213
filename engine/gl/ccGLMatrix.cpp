#include "gl/ccGLMatrix.h"

#include <ZqLog.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace {

struct MatrixStacks {
    std::vector<kmMat4> modelView;
    std::vector<kmMat4> projection;
    std::vector<kmMat4>* current;

    MatrixStacks() : modelView(1), projection(1), current(&modelView)
    {
        kmMat4Identity(&modelView[0]);
        kmMat4Identity(&projection[0]);
    }
};

MatrixStacks& stacks()
{
    static MatrixStacks instance;
    return instance;
}

kmMat4& top()
{
    return stacks().current->back();
}

} // namespace

kmMat4* kmMat4Identity(kmMat4* out)
{
    for (int i = 0; i < 16; ++i)
        out->mat[i] = (i % 5 == 0) ? 1.0f : 0.0f;
    return out;
}

kmMat4* kmMat4Multiply(kmMat4* out, const kmMat4* a, const kmMat4* b)
{
    // Computed into a temporary so that out may be one of the operands.
    kmMat4 r;
    for (int col = 0; col < 4; ++col) {
        for (int row = 0; row < 4; ++row) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k)
                sum += a->mat[k * 4 + row] * b->mat[col * 4 + k];
            r.mat[col * 4 + row] = sum;
        }
    }
    *out = r;
    return out;
}

kmMat4* kmMat4OrthographicProjection(kmMat4* out, float left, float right, float bottom, float top,
                                     float nearZ, float farZ)
{
    kmMat4Identity(out);
    out->mat[0] = 2.0f / (right - left);
    out->mat[5] = 2.0f / (top - bottom);
    out->mat[10] = -2.0f / (farZ - nearZ);
    out->mat[12] = -(right + left) / (right - left);
    out->mat[13] = -(top + bottom) / (top - bottom);
    out->mat[14] = -(farZ + nearZ) / (farZ - nearZ);
    return out;
}

void kmGLMatrixMode(unsigned int mode)
{
    if (mode == KM_GL_MODELVIEW)
        stacks().current = &stacks().modelView;
    else if (mode == KM_GL_PROJECTION)
        stacks().current = &stacks().projection;
    else
        debugLog("[kmGL] unknown matrix mode 0x%x", mode);
}

void kmGLPushMatrix()
{
    std::vector<kmMat4>& stack = *stacks().current;
    stack.push_back(stack.back());
}

void kmGLPopMatrix()
{
    std::vector<kmMat4>& stack = *stacks().current;
    // An unbalanced pop would leave the stack without a current matrix.
    if (stack.size() <= 1) {
        debugLog("[kmGL] pop on a stack with one matrix: ignored");
        return;
    }
    stack.pop_back();
}

void kmGLLoadIdentity()
{
    kmMat4Identity(&top());
}

void kmGLLoadMatrix(const kmMat4* matrix)
{
    top() = *matrix;
}

void kmGLMultMatrix(const kmMat4* matrix)
{
    kmMat4Multiply(&top(), &top(), matrix);
}

void kmGLTranslatef(float x, float y, float z)
{
    kmMat4 m;
    kmMat4Identity(&m);
    m.mat[12] = x;
    m.mat[13] = y;
    m.mat[14] = z;
    kmGLMultMatrix(&m);
}

void kmGLRotatef(float angleDegrees, float x, float y, float z)
{
    const float length = std::sqrt(x * x + y * y + z * z);
    if (length == 0.0f)
        return;
    x /= length;
    y /= length;
    z /= length;
    const float radians = angleDegrees * std::numbers::pi_v<float> / 180.0f;
    const float c = std::cos(radians);
    const float s = std::sin(radians);
    const float t = 1.0f - c;
    kmMat4 m;
    kmMat4Identity(&m);
    m.mat[0] = t * x * x + c;
    m.mat[1] = t * x * y + s * z;
    m.mat[2] = t * x * z - s * y;
    m.mat[4] = t * x * y - s * z;
    m.mat[5] = t * y * y + c;
    m.mat[6] = t * y * z + s * x;
    m.mat[8] = t * x * z + s * y;
    m.mat[9] = t * y * z - s * x;
    m.mat[10] = t * z * z + c;
    kmGLMultMatrix(&m);
}

void kmGLScalef(float x, float y, float z)
{
    kmMat4 m;
    kmMat4Identity(&m);
    m.mat[0] = x;
    m.mat[5] = y;
    m.mat[10] = z;
    kmGLMultMatrix(&m);
}

void kmGLGetMatrix(unsigned int mode, kmMat4* out)
{
    if (mode == KM_GL_MODELVIEW)
        *out = stacks().modelView.back();
    else if (mode == KM_GL_PROJECTION)
        *out = stacks().projection.back();
    else
        debugLog("[kmGL] unknown matrix mode 0x%x", mode);
}

void kmGLResetStacks()
{
    MatrixStacks& s = stacks();
    s.modelView.assign(1, kmMat4{});
    s.projection.assign(1, kmMat4{});
    kmMat4Identity(&s.modelView[0]);
    kmMat4Identity(&s.projection[0]);
    s.current = &s.modelView;
}
