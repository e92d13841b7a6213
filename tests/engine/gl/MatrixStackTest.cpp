#include "engine/director/DirectorFixture.h"

#include <cmath>

using namespace cocos2d;

namespace {

void expectMatrixNear(const kmMat4& actual, const kmMat4& expected, float tolerance = 1e-5f)
{
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(actual.mat[i], expected.mat[i], tolerance) << "element " << i;
}

kmMat4 top(unsigned int mode = KM_GL_MODELVIEW)
{
    kmMat4 m;
    kmGLGetMatrix(mode, &m);
    return m;
}

// Transforms (x, y, 0, 1) by m.
CCPoint apply(const kmMat4& m, float x, float y)
{
    return CCPoint(m.mat[0] * x + m.mat[4] * y + m.mat[12], m.mat[1] * x + m.mat[5] * y + m.mat[13]);
}

class MatrixStackTest : public ::testing::Test {
protected:
    void SetUp() override { kmGLResetStacks(); }
    void TearDown() override { kmGLResetStacks(); }
};

TEST_F(MatrixStackTest, PushPopRestoresAndStacksAreSeparate)
{
    kmMat4 identity;
    kmMat4Identity(&identity);
    kmGLPushMatrix();
    kmGLTranslatef(10.0f, 20.0f, 0.0f);
    kmGLMatrixMode(KM_GL_PROJECTION);
    kmGLScalef(2.0f, 2.0f, 1.0f);
    kmGLMatrixMode(KM_GL_MODELVIEW);
    EXPECT_FLOAT_EQ(top().mat[12], 10.0f);
    EXPECT_FLOAT_EQ(top(KM_GL_PROJECTION).mat[0], 2.0f);
    kmGLPopMatrix();
    expectMatrixNear(top(), identity);
    // The last matrix is never popped: the stack keeps a current matrix.
    kmGLPopMatrix();
    kmGLTranslatef(1.0f, 0.0f, 0.0f);
    EXPECT_FLOAT_EQ(top().mat[12], 1.0f);
}

TEST_F(MatrixStackTest, MultipliedStepsApplyToVerticesLastFirst)
{
    kmGLTranslatef(100.0f, 50.0f, 0.0f);
    kmGLRotatef(90.0f, 0.0f, 0.0f, 1.0f);
    kmGLScalef(2.0f, 3.0f, 1.0f);
    // (1, 1) -> scaled (2, 3) -> rotated counter-clockwise (-3, 2) -> moved (97, 52).
    const CCPoint p = apply(top(), 1.0f, 1.0f);
    EXPECT_NEAR(p.x, 97.0f, 1e-4f);
    EXPECT_NEAR(p.y, 52.0f, 1e-4f);

    kmMat4 translate;
    kmMat4Identity(&translate);
    translate.mat[13] = -2.0f;
    kmGLMultMatrix(&translate);
    const CCPoint q = apply(top(), 1.0f, 1.0f);
    EXPECT_NEAR(q.x, 97.0f + 6.0f, 1e-4f);
    EXPECT_NEAR(q.y, 52.0f, 1e-4f);
}

TEST_F(MatrixStackTest, OrthographicProjectionMapsTheBoxOntoTheCube)
{
    kmMat4 m;
    kmMat4OrthographicProjection(&m, 0.0f, 480.0f, 0.0f, 320.0f, -1024.0f, 1024.0f);
    const CCPoint bottomLeft = apply(m, 0.0f, 0.0f);
    const CCPoint topRight = apply(m, 480.0f, 320.0f);
    EXPECT_FLOAT_EQ(bottomLeft.x, -1.0f);
    EXPECT_FLOAT_EQ(bottomLeft.y, -1.0f);
    EXPECT_FLOAT_EQ(topRight.x, 1.0f);
    EXPECT_FLOAT_EQ(topRight.y, 1.0f);
}

// Records the model-view before and after multiplying its own inverse transform in,
// the way the game's light and flag effects undo a node's placement.
class InverseNode : public CCNode {
public:
    void draw() override
    {
        kmGLGetMatrix(KM_GL_MODELVIEW, &inDraw);
        const CCAffineTransform inverse = CCAffineTransformInvert(nodeToParentTransform());
        kmMat4 m;
        CGAffineToGL(&inverse, m.mat);
        m.mat[14] = -getVertexZ();
        kmGLPushMatrix();
        kmGLMultMatrix(&m);
        kmGLGetMatrix(KM_GL_MODELVIEW, &cancelled);
        kmGLPopMatrix();
    }
    kmMat4 inDraw{};
    kmMat4 cancelled{};
};

class ParentNode : public CCNode {
public:
    void draw() override { kmGLGetMatrix(KM_GL_MODELVIEW, &inDraw); }
    kmMat4 inDraw{};
};

class NodeMatrixTest : public DirectorFixture {};

TEST_F(NodeMatrixTest, InverseTransformCancelsTheVisit)
{
    ParentNode* parent = new ParentNode();
    parent->autorelease();
    parent->setPosition(30.0f, 40.0f);
    parent->setRotation(15.0f);
    InverseNode* node = new InverseNode();
    node->autorelease();
    node->setContentSize(CCSize(50.0f, 20.0f));
    node->setAnchorPoint(CCPoint(0.25f, 0.75f));
    node->setPosition(12.0f, -7.0f);
    node->setRotation(33.0f);
    node->setScaleX(1.5f);
    node->setScaleY(-0.5f);
    node->setVertexZ(3.0f);
    parent->addChild(node);
    runScene()->addChild(parent);
    frame();
    expectMatrixNear(node->cancelled, parent->inDraw, 1e-4f);
    // The visit placed the node: its anchor lands at its position in the parent.
    const CCPoint anchorInParent = CCPointApplyAffineTransform(node->getAnchorPointInPoints(),
                                                               node->nodeToParentTransform());
    EXPECT_NEAR(anchorInParent.x, 12.0f, 1e-4f);
    EXPECT_NEAR(node->inDraw.mat[14], 3.0f, 1e-5f);
    // Balanced pushes and pops: after the frame the model-view is the identity again.
    kmMat4 identity;
    kmMat4Identity(&identity);
    expectMatrixNear(top(), identity);
}

} // namespace
