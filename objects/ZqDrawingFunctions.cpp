#include "objects/ZqDrawingFunctions.h"

#include "ZqRandom.h"

#include <array>

using namespace cocos2d;

CCSprite* makeSolidColorSprite(const CCSize& size, GLubyte red, GLubyte green, GLubyte blue, GLubyte alpha)
{
    CCSprite* sprite = CCSprite::create();
    const GLubyte pixel[4] = {red, green, blue, alpha};
    CCTexture2D* texture = new CCTexture2D();
    if (texture->initWithData(pixel, kCCTexture2DPixelFormat_RGBA8888, 1, 1, size)) {
        sprite->setTexture(texture);
        sprite->setTextureRect(CCRect(0.0f, 0.0f, size.width, size.height));
    }
    // The sprite retains the texture; this reference would otherwise leak it.
    texture->release();
    return sprite;
}

CCPoint projectPointOnLine(const CCPoint& a, const CCPoint& b, const CCPoint& p)
{
    // In float the slope of a nearly vertical line (1e5 and more) squared loses every
    // digit of the foot's position.
    const double x1 = static_cast<double>(a.x) + 0.00001;
    const double m = (static_cast<double>(b.y) - a.y) / (static_cast<double>(b.x) - x1);
    const double c = a.y - m * x1;
    const double m2 = m * m + 1.0;
    const double x = (p.y * m + p.x - c * m) / m2;
    const double y = (m * m * p.y + p.x * m + c) / m2;
    return CCPoint(static_cast<float>(x), static_cast<float>(y));
}

namespace {

constexpr int kLattice = 256;
constexpr int kTableSize = kLattice + kLattice + 2;

struct NoiseTables {
    std::array<int, kTableSize> permutation{};
    std::array<double, kTableSize> gradient{};

    NoiseTables()
    {
        for (int i = 0; i < kLattice; ++i) {
            permutation[i] = i;
            gradient[i] = static_cast<double>((zqRand() % (kLattice + kLattice)) - kLattice) / kLattice;
            // The two- and three-component gradients of the same table step; never read
            // here, but drawn so the generator's sequence stays as the game data expects.
            for (int extra = 0; extra < 5; ++extra)
                zqRand();
        }
        for (int i = kLattice - 1; i > 0; --i) {
            const int j = zqRand() % kLattice;
            std::swap(permutation[i], permutation[j]);
        }
        for (int i = 0; i < kLattice + 2; ++i) {
            permutation[kLattice + i] = permutation[i];
            gradient[kLattice + i] = gradient[i];
        }
    }
};

} // namespace

double gradientNoise1D(double x)
{
    static const NoiseTables tables;
    const double t = x + 4096.0;
    // Beyond the int range the truncation below is undefined; the noise has no meaning there.
    if (!(t > -2.0e9 && t < 2.0e9))
        return 0.0;
    const int whole = static_cast<int>(t);
    const int i0 = whole & (kLattice - 1);
    const int i1 = (i0 + 1) & (kLattice - 1);
    const double r0 = t - whole;
    const double r1 = r0 - 1.0;
    const double s = r0 * r0 * (3.0 - 2.0 * r0);
    const double u = r0 * tables.gradient[tables.permutation[i0]];
    const double v = r1 * tables.gradient[tables.permutation[i1]];
    return u + s * (v - u);
}
