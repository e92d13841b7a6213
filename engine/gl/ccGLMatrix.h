#pragma once

// The model-view and projection matrix stacks every node draws with, kept on the CPU.
// Matrices are 4x4, column-major (mat[12..14] is the translation), as GL takes them.
// The current matrix of a stack is its top; each stack starts as one identity.

struct kmMat4 {
    float mat[16];
};

constexpr unsigned int KM_GL_MODELVIEW = 0x1700;
constexpr unsigned int KM_GL_PROJECTION = 0x1701;

// Selects the stack the other calls work on (unknown modes are logged and ignored).
void kmGLMatrixMode(unsigned int mode);
// Duplicates the top of the current stack.
void kmGLPushMatrix();
// Drops the top; the last matrix of a stack is never popped (logged instead).
void kmGLPopMatrix();
void kmGLLoadIdentity();
void kmGLLoadMatrix(const kmMat4* matrix);
// top = top * matrix: matrix applies to vertices first.
void kmGLMultMatrix(const kmMat4* matrix);
void kmGLTranslatef(float x, float y, float z);
// Counter-clockwise about the axis (x, y, z) when looking against it; degrees.
void kmGLRotatef(float angleDegrees, float x, float y, float z);
void kmGLScalef(float x, float y, float z);
// Copies the top of the stack of mode into out.
void kmGLGetMatrix(unsigned int mode, kmMat4* out);
// Resets both stacks to one identity each and selects the model-view stack.
void kmGLResetStacks();

// --- plain matrix helpers
kmMat4* kmMat4Identity(kmMat4* out);
// out = a * b (out may alias a or b).
kmMat4* kmMat4Multiply(kmMat4* out, const kmMat4* a, const kmMat4* b);
// Maps the box left..right, bottom..top, nearZ..farZ onto GL's -1..1 cube.
kmMat4* kmMat4OrthographicProjection(kmMat4* out, float left, float right, float bottom, float top,
                                     float nearZ, float farZ);
