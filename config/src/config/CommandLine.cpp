#include "corvel/config/CommandLine.h"

#include "zem/files/FileIO.h"
#include "zem/files/Path.h"
#include "zem/files/WorkString.h"
#include "zem/log/LogManager.h"

#include <cwchar>

namespace corvel {

namespace {

const CommandLineSwitch kSwitches[] = {
    {L"-p", CommandLineSwitch::PROJECT, 1, 1, CommandLineSwitch::KIND_PATH},
    {L"--project", CommandLineSwitch::PROJECT, 1, 1, CommandLineSwitch::KIND_PATH},
    {L"-f", CommandLineSwitch::FILE, 1, 1, CommandLineSwitch::KIND_PATH},
    {L"--file", CommandLineSwitch::FILE, 1, 1, CommandLineSwitch::KIND_PATH},
    {nullptr, CommandLineSwitch::FILE, 0, 1, CommandLineSwitch::KIND_PATH},
};

bool needsQuotes(const std::wstring& argument) {
    if (argument.empty() || argument.find_first_of(L"\t\"") != std::wstring::npos)
        return true;
    zem::WorkString probe(argument.c_str());
    zem::quotePathIfNeeded(probe);
    return probe.c_str()[0] == L'"';
}

// Writes one argument so that the system's splitting gives it back unchanged: inside
// quotes, backslashes before a quote (or before the closing quote) are doubled and a quote
// is escaped.
void appendArgument(std::wstring& text, const std::wstring& argument) {
    if (!needsQuotes(argument)) {
        text += argument;
        return;
    }
    text += L'"';
    size_t backslashes = 0;
    for (wchar_t unit : argument) {
        if (unit == L'\\') {
            ++backslashes;
            continue;
        }
        if (unit == L'"') {
            text.append(backslashes * 2 + 1, L'\\');
        } else {
            text.append(backslashes, L'\\');
        }
        backslashes = 0;
        text += unit;
    }
    text.append(backslashes * 2, L'\\');
    text += L'"';
}

} // namespace

const CommandLineSwitch* CommandLine::findSwitch(const std::wstring& argument) {
    const CommandLineSwitch* row = kSwitches;
    for (; row->name; ++row) {
        if (argument == row->name)
            return row;
    }
    return row;
}

void CommandLine::parse(const std::vector<std::wstring>& arguments, std::vector<CommandLineEntry>& entries) {
    if (arguments.size() < 2)
        return;
    size_t index = 1;
    while (index < arguments.size()) {
        const CommandLineSwitch* row = findSwitch(arguments[index]);
        size_t taken = static_cast<size_t>(row->switchWords + row->parameters);
        if (index + taken > arguments.size()) {
            zem::logMessage(zem::LOG_INFO, zem::LOG_UNKNOWN_SOURCE,
                            L"CommandLine: Not enough params for command line switch '%s'\n",
                            row->name ? row->name : arguments[index].c_str());
            return;
        }
        entries.push_back(CommandLineEntry{row->id, index + static_cast<size_t>(row->switchWords), row});
        index += taken;
    }
}

void CommandLine::buildHandOverText(const std::vector<std::wstring>& arguments, std::wstring& text) {
    text.clear();
    if (arguments.empty())
        return;
    std::vector<CommandLineEntry> entries;
    parse(arguments, entries);
    // The program name is split by its own rule (up to the closing quote, no escapes).
    zem::WorkString program(arguments[0].c_str());
    zem::quotePathIfNeeded(program);
    text = program.c_str();
    for (const CommandLineEntry& entry : entries) {
        if (entry.row->name) {
            text += L' ';
            text += entry.row->name;
        }
        for (int i = 0; i < entry.row->parameters; ++i) {
            std::wstring parameter = arguments[entry.index + static_cast<size_t>(i)];
            zem::WorkString full;
            if (entry.row->parameterKind == CommandLineSwitch::KIND_PATH &&
                zem::fileGetFullPath(parameter.c_str(), full))
                parameter = full.c_str();
            text += L' ';
            appendArgument(text, parameter);
        }
    }
}

} // namespace corvel
