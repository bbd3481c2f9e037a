#pragma once

namespace velmoran {

class Screens;

// Registers the main window and the factory of every screen of the program.
void registerScreens(Screens& screens);

} // namespace velmoran
