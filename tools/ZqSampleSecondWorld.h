#pragma once

class ZqGameBuilder;

// The second world's node: the menu's lock button leads to it.
inline constexpr unsigned kZqSampleSecondWorldNode = 122;
// The coins of one game that open the second world: the most coins of a game are a figure
// of the player's own record, the one the menu shows and the game over's observer reads.
inline constexpr int kZqSampleSecondWorldCoins = 20;

// The models of the rest of the sample (ZqSampleGame.cpp) that the second world uses.
struct ZqSampleSecondWorldIds {
    unsigned hudNode;       // the HUD over the fields
    unsigned gameOverNode;  // its game over, whose restart plays this world again
    unsigned heroAsset;     // the character asset
    unsigned coinAsset;
};

// Adds the second world "World2" (node kZqSampleSecondWorldNode, screen scene 226): a
// desert of its own under a dusk sky, with pits, cacti that cost a life at a touch, ledges
// over a wide pit and a scorpion, in pictures of its own; its own score component and the
// first world's HUD. Its ids are listed in the source.
void zqBuildSampleSecondWorld(ZqGameBuilder& game, const ZqSampleSecondWorldIds& ids);
