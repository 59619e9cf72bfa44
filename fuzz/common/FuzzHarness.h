// The one loop every fuzzing program runs: it makes inputs from the seed folder, feeds
// each to the program's target and reports what must never happen: a crash, an input
// that runs past the time limits (a hang), an exception other than the reader's own, and a
// value that changes when written and read back. Each such input is saved to a file for
// the test that will hold it.
//
//     fuzz_NAME ITERATIONS SEED_FOLDER [--seed N] [--time-limit CPU_MS] [--wall-limit MS] [--out FOLDER]
//     fuzz_NAME --replay FILE
#pragma once
#include "Mutator.h"

#include <functional>
#include <string>
#include <vector>

namespace fuzz {

enum Verdict { ACCEPTED, REJECTED };

// Thrown by a target when the reader accepted an input whose value changed on its way
// through the writer and back.
struct Changed {
    std::string what;
};

// The target runs one input: ACCEPTED when the reader took it (and the round trip held),
// REJECTED when the reader refused it in its own documented way. Anything it lets escape
// is a foreign exception.
typedef std::function<Verdict(const std::string& input)> TargetFunction;

struct Target {
    const char* name;
    std::vector<std::string> tokens; // pieces of the format the mutator puts in
    TargetFunction run;
};

// Runs the program; the process's exit code (0 when nothing went wrong).
int runFuzzer(int argc, char** argv, const Target& target);

// UTF-16 text of the units in bytes, two bytes a unit (an odd last byte is dropped), for
// readers that take text rather than bytes.
std::wstring bytesAsUnits(const std::string& bytes);
// Every byte as the unit of the same number: ASCII-heavy seeds stay readable.
std::wstring bytesAsLatin1(const std::string& bytes);
// Bytes for failure messages: printable ASCII kept, the rest escaped, cut at limit.
std::string printable(const std::string& bytes, size_t limit = 200);
std::string printable(const std::wstring& text, size_t limit = 200);
// Where two texts part: a few units before it, then each text's next units.
std::string difference(const std::wstring& before, const std::wstring& after);

} // namespace fuzz
