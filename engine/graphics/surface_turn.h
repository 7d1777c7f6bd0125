#pragma once
// Half turns of whole surfaces, for switching between the two quarter-turn screen rotations.
class Application;
class SurfaceBase;

// Reverses the pixels (and an own alpha plane) of a turned surface and gives it the new
// orientation; surfaces with orientation 0, or already in the new one, stay as they are.
void TurnSurface180(SurfaceBase* surface, int newOrientation);
// From rotation 1 to 2 or back: stores the rotation and turns the screen surface, the draw target
// and every surface of the image list once each.
void SwitchScreenRotation(Application* application, int rotation);
