#pragma once

// The terminal a program writes to (console_posix.cpp, console_windows.cpp).
namespace velmoran::Console {

// Makes the console show the UTF-8 the programs write, their bytes as they
// are: Windows' console shows the code page it is told (65001), and its C
// library turns LF into CR LF unless told not to; a terminal elsewhere
// reads UTF-8 bytes as they come.
void useUtf8();

// A program that opens windows, started from a console with --help or
// --version, answers there: on Windows it has no console of its own and
// takes its parent's; elsewhere nothing to do.
void attachToParent();

} // namespace velmoran::Console
