#pragma once

// Installs the application's answers to the questions models ask (model/ZqGameQuestions.h):
// saved progress and purchases from the settings controller and the purchase registry.
// Destinations are the screens' to answer (screens/ZqScreenWiring.h). Called once at
// start-up; test fixtures call it too. Safe to call again.
void zqInstallGameAnswers();
