#pragma once

// The generated games the loading benchmarks read, built with the tools in the process-wide
// model controller.
#include "model/ZqModelController.h"
#include "tools/ZqSampleGame.h"

#include <cstddef>
#include <functional>

namespace zqbench {

// Builds the generated game of modelCount models, hands the controller holding it to write
// (which saves it in the forms it wants), then drops it again.
inline void writeGeneratedGame(std::size_t modelCount, const std::function<void(ZqModelController&)>& write)
{
    ZqModelController& controller = *ZqModelController::shared();
    ZqSampleGame::Generated game;
    game.modelCount = modelCount;
    ZqSampleGame::buildGenerated(controller, game);
    write(controller);
    controller.reset();
}

} // namespace zqbench
