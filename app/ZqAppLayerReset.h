#pragma once

// The services' process-wide objects back to a fresh game, then those below
// (zqResetModelLayer): every live sound freed, the input and settings controllers
// dropped, the scores and purchase flags emptied (the store keeps them), and no poster of
// window messages.
void zqResetAppLayer();
