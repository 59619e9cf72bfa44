// The program's command-line switches: files and projects to open, and the text a second
// instance hands over to the running one.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace corvel {

struct CommandLineSwitch {
    enum Id : int { FILE = 0, PROJECT = 1 };
    enum ParameterKind : int { KIND_TEXT = 0, KIND_PATH = 1 };

    const wchar_t* name; // null for the row of plain arguments, which ends the table
    int id;
    int switchWords; // arguments the switch itself takes
    int parameters;  // arguments that follow it
    int parameterKind;
};

struct CommandLineEntry {
    int id;
    size_t index; // of the entry's first parameter in the argument list
    const CommandLineSwitch* row;
};

class CommandLine {
public:
    // The row whose name equals argument exactly (case-sensitive), or the plain-argument row.
    static const CommandLineSwitch* findSwitch(const std::wstring& argument);
    // The entries in the order met, the program name skipped. A switch without its
    // parameters logs and ends the parsing; the entries before it stay.
    static void parse(const std::vector<std::wstring>& arguments, std::vector<CommandLineEntry>& entries);
    // The program path, then every switch and parameter, path parameters made full paths;
    // System::getCommandLine splits the text back into the same arguments.
    static void buildHandOverText(const std::vector<std::wstring>& arguments, std::wstring& text);
};

} // namespace corvel
