#pragma once

#include <string_view>

// How a game field starts when a restart or a switch to a linked screen asks for it: a
// set of bits. kStartNone restarts nothing: the field goes on, or is entered at its kept
// checkpoint; any other value builds the field again at its next update.
enum ZqStartMode : int {
    kStartNone = 0,
    // Built again, keeping the scores, the purchases and the checkpoint.
    kStartRebuild = 1,
    // The per-game purchases reset.
    kStartPurchases = 2,
    // New session scores; the kept checkpoint dropped.
    kStartScores = 4,
    // One field step after the build (a build at the checkpoint is stepped once).
    kStartStep = 8,
    // A fresh game, stepped once.
    kStartFull = kStartPurchases | kStartScores | kStartStep,
};

// The start a data token asks for: the "Action" of a link button and the "Function" of an
// event observer (link), or the "Function" of a screen jump (jump). The jump is not
// stepped after its build.
struct ZqStartToken {
    std::string_view token;
    int link;
    int jump;
};

inline constexpr ZqStartToken kStartTokens[] = {
    {"kStartKeepScores", kStartPurchases | kStartStep, kStartPurchases},
    {"kStartCheckpointButton", kStartNone, kStartPurchases | kStartScores},
    {"kStartCheckpointJump", kStartFull, kStartNone},
};

// The start of any other token: a fresh game.
inline constexpr ZqStartToken kStartOtherToken{{}, kStartFull, kStartPurchases | kStartScores};

// The row of token; kStartOtherToken when the table has none.
constexpr const ZqStartToken& zqStartOfToken(std::string_view token)
{
    for (const ZqStartToken& row : kStartTokens) {
        if (row.token == token)
            return row;
    }
    return kStartOtherToken;
}
