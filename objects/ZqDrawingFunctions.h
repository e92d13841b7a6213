#pragma once

#include "cocos2d.h"

// Free functions shared by the screens and the game objects.

// An autoreleased sprite of size that shows one colour (bytes red, green, blue, alpha),
// stretched from a 1 x 1 texture. The sprite holds the only reference to the texture.
cocos2d::CCSprite* makeSolidColorSprite(const cocos2d::CCSize& size, cocos2d::GLubyte red, cocos2d::GLubyte green, cocos2d::GLubyte blue,
                                        cocos2d::GLubyte alpha);

// The foot of the perpendicular from p onto the line through a and b. The line's x is
// nudged by 0.00001 so that a vertical line stays finite; computed in double.
cocos2d::CCPoint projectPointOnLine(const cocos2d::CCPoint& a, const cocos2d::CCPoint& b, const cocos2d::CCPoint& p);

// One-dimensional gradient noise in [-1, 1], 0 at every whole number. Its tables are drawn
// from the project generator on the first call, so it is fixed within a run.
double gradientNoise1D(double x);
