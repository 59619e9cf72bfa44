// Process-level queries of the start-up environment.
#pragma once
#include <string>
#include <vector>

namespace corvel {

class System {
public:
    // Appends the arguments of commandLine (the process's own when null or empty), the
    // program name first. When the text cannot be split, logs the failure, appends
    // "corvel.exe" alone and returns false.
    static bool getCommandLine(const wchar_t* commandLine, std::vector<std::wstring>& arguments);
};

} // namespace corvel
