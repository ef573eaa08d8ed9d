#pragma once

// Gives the profile graphics the file names of its marker, alarm and gas
// icons (the program's resources). Must run before the first profile view is
// made: each profile item loads the images when it is created.
void registerProfileIcons();
