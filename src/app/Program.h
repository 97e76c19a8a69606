#pragma once
// The whole program from its start to the end of its message loop, so that the
// program and the tests that drive it run the same code.
#include <functional>

#include "editor/Questionnaires.h"
#include "editor/TemplateBase.h"

// Runs the program with its command line. `afterStartup`, when given, runs once
// the standing windows are up and wired, just before the message loop; the loop
// then runs until the application ends (the hook may end it with an exit code).
// Returns the process's exit code.
int RunProgram(int argc, char* argv[], const std::function<void()>& afterStartup = {});

// What a run keeps of its templates and questionnaires from start to end: the
// windows that show or change them are handed these.
struct TProgramTemplates {
  TTemplateBase Base;
  TQuestionnaires Questionnaires;
};

class TFormMain;
class TCatalogIndex;
struct TMainSettings;

// Registers every standing window's factory, in the start-up's order; the
// windows are made over `settings` and `templates`, which outlive them.
void RegisterProgramWindows(TMainSettings& settings, TProgramTemplates& templates);
// The windows' links and the application's events, handed the main window once
// it is made.
void ConnectProgramWindows(TFormMain& main, TMainSettings& settings, TCatalogIndex& catalog);

// Gives the online hub the main window's desk: whether a work is on it, and the
// picture and work file the gallery upload sends.
void ConnectOnlineServices(TFormMain& main);
