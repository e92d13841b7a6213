#pragma once

class ZqGameBuilder;

// The second world's node: the menu's lock button leads to it.
inline constexpr unsigned kZqSampleSecondWorldNode = 122;

// The models of the rest of the sample (ZqSampleGame.cpp) that the second world uses.
struct ZqSampleSecondWorldIds {
    unsigned hudNode;       // the HUD over the fields
    unsigned gameOverNode;  // the game over, the first world's
    unsigned heroAsset;     // the character asset
    unsigned rockAsset;
    unsigned ledgeAsset;    // solid from above only
    unsigned coinAsset;
    unsigned sandAsset;     // the ground obstacle, 568 x 64 points
};

// Adds the second world "World2" (node kZqSampleSecondWorldNode, screen scene 226): a
// field of its own under a dusk sky, on sand, with its own score component and the first
// world's HUD and game over; its sections from 421, its placed objects from 1711.
void zqBuildSampleSecondWorld(ZqGameBuilder& game, const ZqSampleSecondWorldIds& ids);
