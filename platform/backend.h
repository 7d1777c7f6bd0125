#pragma once
// Start-up of the virtual handheld: picks the back end and reads the device profile.
// KELO_HEADLESS=1 selects the null back end (no window, no sound card); anything else the SDL one.

// False, after saying why on stderr, when the environment asks for a run that cannot work.
bool PlatformStartup();
void PlatformShutdown();
