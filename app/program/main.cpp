// Program entry: everything happens in runProgram, which tests can run in a child process.
#include "corvel/program/runProgram.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    return corvel::runProgram(instance, nullptr);
}
