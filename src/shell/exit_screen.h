#pragma once

namespace hc {

struct Game;

// The picture shown on the console when the game ends: 18 rows of 40 colour codes, a
// hexadecimal digit per console colour and a space for blue; 39 of each row are shown.
constexpr int ExitPictureRows = 18;
extern const char* const ExitPicture[ExitPictureRows];

// The farewell line printed below the picture.
extern const char* const FarewellLine;

// Closes the window, draws the picture and the farewell line on the console, shuts
// the audio down and ends the process with status 0.
[[noreturn]] void showExitScreen(Game& game);

}  // namespace hc
