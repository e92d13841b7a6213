#pragma once

#include "model/ZqDataTokens.h"

#include <cstdint>

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
// event observer (link), or the "Function" of a screen jump (jump).
enum ZqStartFunction : uint8_t {
    kFunctionKeepScores,
    kFunctionCheckpointButton,
    kFunctionCheckpointJump,
    // Any other token: a fresh game.
    kFunctionOther,
    kStartFunctionCount
};
ZQ_FREE_TEXT_TOKEN_FAMILY(StartFunction, ZqStartFunction, kFunctionOther, kStartFunctionCount, "kStartKeepScores",
                          "kStartCheckpointButton", "kStartCheckpointJump", "")

// The start modes of a function: for a link, and for a jump (which is not stepped after
// its build).
struct ZqStartModes {
    int link;
    int jump;
};
inline constexpr ZqStartModes kStartModesOfFunction[kStartFunctionCount] = {
    {kStartPurchases | kStartStep, kStartPurchases},
    {kStartNone, kStartPurchases | kStartScores},
    {kStartFull, kStartNone},
    {kStartFull, kStartPurchases | kStartScores},
};

constexpr const ZqStartModes& zqStartOf(ZqStartFunction function)
{
    return kStartModesOfFunction[function < kStartFunctionCount ? function : kFunctionOther];
}

// The start a link button's action asks for: kFunctionOther for an action that is no start.
constexpr ZqStartFunction zqStartFunctionOf(ZqButtonAction action)
{
    static_assert(kButtonStartCheckpointButton - kButtonStartKeepScores == kFunctionCheckpointButton &&
                  kButtonStartCheckpointJump - kButtonStartKeepScores == kFunctionCheckpointJump);
    // The start tokens are one list: the button family holds the function family's, in order.
    static_assert([] {
        for (int function = 0; function < kFunctionOther; ++function) {
            const std::string_view asButton = ZqButtonActionTokens::kTokens[kButtonStartKeepScores + function];
            if (asButton != ZqStartFunctionTokens::kTokens[function])
                return false;
        }
        return true;
    }());
    return action >= kButtonStartKeepScores && action <= kButtonStartCheckpointJump
               ? static_cast<ZqStartFunction>(action - kButtonStartKeepScores)
               : kFunctionOther;
}
