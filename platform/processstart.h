#pragma once

// What a program of this system sets before its first thread starts
// (processstart_posix.cpp, processstart_windows.cpp). Called first thing in
// main.
namespace velmoran::ProcessStart {

void prepare();

} // namespace velmoran::ProcessStart
