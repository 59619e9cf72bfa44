// Views that went out of use while their own code may still be on the stack: a tab closed
// by a key its editor received, a drop handler that replaced its own tab. They are deleted
// once the main loop is back at its top, where no handler of theirs can still be running.
// Main thread only.
#pragma once
#include <cstddef>

namespace corvel {

class ObjectNode;

namespace afDeferredDelete {

// Takes node from its owner (whose end would delete it too soon) and keeps it for flush.
void add(ObjectNode* node);
// Deletes what was added, first added first. The main loop runs it after each message.
void flush();
size_t pending();

} // namespace afDeferredDelete

} // namespace corvel
