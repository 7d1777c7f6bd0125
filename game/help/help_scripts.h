#pragma once
// The four help pages' demonstrations, queued on a fresh scene from the display mode's layout
// table: 0 a spinning coin, 1 a chain that opens, takes a shot and explodes (twice, the second
// time with a follow-up combo), 2 swapping the frog's balls with a tap, 3 aiming and shooting.
class HelpScene;
class Surface;

// Resets the scene and queues its page's steps; pages outside 0..3 queue nothing. The tap image
// and caption are the help screen's. Always true: a step that could not be queued is missing
// from the demonstration.
bool RunHelpScript(HelpScene& scene, int page, Surface* tapImage, const char* caption);
