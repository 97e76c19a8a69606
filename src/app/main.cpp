// Tressary: try new looks on a portrait.
#include "app/Program.h"

int main(int argc, char* argv[]) { return RunProgram(argc, argv); }
