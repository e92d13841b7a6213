#pragma once

namespace cocos2d {

// One colour channel byte; the same type GL uses, declared here so that no GL header leaks in.
typedef unsigned char GLubyte;

// An RGB colour, 0..255 a channel.
struct ccColor3B {
    GLubyte r = 0;
    GLubyte g = 0;
    GLubyte b = 0;
};

// An RGBA colour, 0..255 a channel.
struct ccColor4B {
    GLubyte r = 0;
    GLubyte g = 0;
    GLubyte b = 0;
    GLubyte a = 0;
};

// An RGBA colour, 0..1 a channel.
struct ccColor4F {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
    float a = 0.0f;
};

constexpr ccColor3B ccc3(GLubyte r, GLubyte g, GLubyte b) { return ccColor3B{r, g, b}; }
constexpr ccColor4B ccc4(GLubyte r, GLubyte g, GLubyte b, GLubyte a) { return ccColor4B{r, g, b, a}; }
constexpr ccColor4F ccc4f(float r, float g, float b, float a) { return ccColor4F{r, g, b, a}; }

// Opaque colour (alpha 1) of a byte triple.
constexpr ccColor4F ccc4FFromccc3B(ccColor3B c)
{
    return ccColor4F{c.r / 255.0f, c.g / 255.0f, c.b / 255.0f, 1.0f};
}

constexpr ccColor4F ccc4FFromccc4B(ccColor4B c)
{
    return ccColor4F{c.r / 255.0f, c.g / 255.0f, c.b / 255.0f, c.a / 255.0f};
}

constexpr bool operator==(const ccColor3B& a, const ccColor3B& b) { return a.r == b.r && a.g == b.g && a.b == b.b; }
constexpr bool operator!=(const ccColor3B& a, const ccColor3B& b) { return !(a == b); }

inline constexpr ccColor3B ccWHITE{255, 255, 255};
inline constexpr ccColor3B ccYELLOW{255, 255, 0};
inline constexpr ccColor3B ccBLUE{0, 0, 255};
inline constexpr ccColor3B ccGREEN{0, 255, 0};
inline constexpr ccColor3B ccRED{255, 0, 0};
inline constexpr ccColor3B ccMAGENTA{255, 0, 255};
inline constexpr ccColor3B ccBLACK{0, 0, 0};
inline constexpr ccColor3B ccORANGE{255, 127, 0};
inline constexpr ccColor3B ccGRAY{166, 166, 166};

// Source and destination blend factors (GL enum values).
struct ccBlendFunc {
    unsigned int src = 0;
    unsigned int dst = 0;
};

// A texture coordinate.
struct ccTex2F {
    float u = 0.0f;
    float v = 0.0f;
};

struct ccVertex2F {
    float x = 0.0f;
    float y = 0.0f;
};

struct ccVertex3F {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
};

} // namespace cocos2d
