#pragma once

namespace hc {

struct Game;

// Career mode: the garage and shift after shift. "Go to work" drives a four-minute
// shift in a new city with the car as the garage left it; when it ends the player is
// back in the garage with the new balance. Leaving the garage returns to the menu.
// The career resumes from the save (or from what this run kept of it); it is saved
// after every shift and on "Save and exit". A window closed at any point returns at
// once (keys.quit) with the career saved: a shift cut short counts as ended by the exit
// key, and purchases in the garage are kept.
// Opens its own music: track 2 in the garage, a random track at work.
void runCareer(Game& game);

}  // namespace hc
