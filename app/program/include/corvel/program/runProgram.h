// The whole program behind wWinMain: a test can run a complete start in a child process
// through the same call.
#pragma once
#include <windows.h>

namespace corvel {

// Runs Corvel with the module's instance handle and a command line (null: the process's
// own). Returns the process's exit code: the message loop's result, 0 after handing the
// command line to a running instance, 1 when the program could not start or the
// running instance did not answer.
int runProgram(HINSTANCE instance, const wchar_t* commandLine);

} // namespace corvel
