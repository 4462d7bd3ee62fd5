#pragma once
// The program's four libraries, each told when the program starts and ends.

namespace vantorico {

void RegisterLibraries();

}  // namespace vantorico
