#pragma once

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

// Expects the window at (x, y) with width x height, in window units.
inline void expectWindowPlace(SDL_Window* window, int x, int y, int width, int height)
{
    int actualX = 0;
    int actualY = 0;
    int actualWidth = 0;
    int actualHeight = 0;
    SDL_GetWindowPosition(window, &actualX, &actualY);
    SDL_GetWindowSize(window, &actualWidth, &actualHeight);
    EXPECT_EQ(actualX, x);
    EXPECT_EQ(actualY, y);
    EXPECT_EQ(actualWidth, width);
    EXPECT_EQ(actualHeight, height);
}
