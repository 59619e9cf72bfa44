#include "corvel/editor/EditorContext.h"

namespace corvel {

EditorContext& EditorContext::get() {
    static EditorContext context;
    return context;
}

} // namespace corvel
