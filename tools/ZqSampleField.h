#pragma once

class ZqGameBuilder;

// The sample game's bonus room and the field pieces around it, built after the rest of
// the sample (ZqSampleGame.cpp), whose models it finds by these ids.
struct ZqSampleFieldIds {
    unsigned gameNode;      // the main world's node
    unsigned hudNode;       // the HUD over the fields
    unsigned gameOverNode;  // the game over
    unsigned startSection;  // the main world's first section
    unsigned heroAsset;     // the character asset
    unsigned runnerAsset;   // the second character, a copy of the hero
    unsigned groundAsset;   // the ground obstacle, 568 x 64 points
    unsigned checkpointAsset;
    unsigned coinSound;
    unsigned powerupSound;
    unsigned idleAnimation;    // the hero's idle and run animations, its character icons
    unsigned runAnimation;
    unsigned runnerIdleAnimation;
    unsigned runnerRunAnimation;
    unsigned runnerLockedAnimation;  // the runner's icon while it is locked
};

// Adds, with ids from 3001 on: a door behind the hero's start in the start section (a
// screen jump, reached by running back) into the "Bonus" world and its one room, and back
// to the main world by a door at the room's end; in the room round coins, a checkpoint with a waving flag,
// a sorted group of flowers and an instance of one, a turning plank on a motor linker, a
// wheel rolled by a motor whose frames follow its angle, a gate that rises as the hero
// nears and stops at a logic trigger, a gatekeeper, a frog that hops when the hero slides,
// and a turret firing fireballs that hurt; the room's own speed and deletion thresholds;
// the accelerometer of the main world (at rest without a tilt source); the characters'
// icons.
void zqBuildSampleField(ZqGameBuilder& game, const ZqSampleFieldIds& ids);
