#pragma once

// Installs the game's answers to the questions models ask (model/ZqGameQuestions.h): saved
// progress and purchases from the settings controller and the purchase registry,
// destinations from the screen navigator. Called once at start-up; test fixtures call it
// too. Safe to call again.
void zqInstallGameAnswers();
