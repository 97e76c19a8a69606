#pragma once
// The work files of the running program: loading and saving works on the main
// window's desk, with the program's message box, cursor and windows.
#include <memory>

#include "exchange/WorkFiles.h"

class TFormMain;

// Hands the program's main window in, once it is made.
void ConnectProgramWorkFiles(TFormMain& main);
// The work files over that window's desk, made on first use; null when there is
// no main window with a desk.
TWorkFiles* ProgramWorkFiles();
// The desk's work as a compressed work file, for the windows that send it;
// Empty without a desk.
TFileResult<std::vector<std::uint8_t>> ProgramCompressedWork();
// The ports over a main window (for tests that make their own window).
std::unique_ptr<IWorkPorts> MakeWorkPorts(TFormMain& main);
// A work named on the command line, or opened by the file manager, loads onto the desk.
void RegisterWorkFileOpening();
