#include "corvel/projects/ProjectVirtualFolder.h"

#include "corvel/jasmine/JasmineValue.h"
#include "zem/base/Format.h"

namespace corvel {

void ProjectVirtualFolder::writeTo(JasmineValue& out) const {
    out.getOrAddEntry(L"vdir").setString(name());
    JasmineValue& content = out.getOrAddEntry(L"content");
    content.initPayload(JasmineValue::TYPE_LIST);
    for (size_t i = 0; i < childCount(); ++i) {
        JasmineValue& entry = content.appendElement();
        entry.initPayload(JasmineValue::TYPE_DICTIONARY);
        childAt(i)->writeTo(entry);
    }
}

void ProjectVirtualFolder::readFrom(const JasmineValue& in) {
    readTree(in, 0);
}

void ProjectVirtualFolder::readTree(const JasmineValue& in, int depth) {
    const JasmineValue& title = in.find(L"vdir");
    if (title.getType() != JasmineValue::TYPE_STRING)
        return;
    setName(title.asString(L""));
    const JasmineValue* first = nullptr;
    const JasmineValue* last = nullptr;
    in.find(L"content").listRange(first, last);
    for (const JasmineValue* element = first; element && element != last; ++element) {
        if (element->find(L"vdir").getType() == JasmineValue::TYPE_STRING) {
            // A file crafted to nest without end must not exhaust the stack.
            if (depth + 1 >= MAX_DEPTH)
                continue;
            ProjectVirtualFolder* folder = new ProjectVirtualFolder(getProject());
            appendChild(folder);
            folder->readTree(*element, depth + 1);
        } else if (element->find(L"dir").getType() == JasmineValue::TYPE_STRING) {
            ProjectFolder* folder = new ProjectFolder(getProject());
            appendChild(folder);
            folder->readFrom(*element);
        } else if (element->find(L"file").getType() == JasmineValue::TYPE_STRING) {
            ProjectItem* file = new ProjectItem(getProject());
            appendChild(file);
            file->readFrom(*element);
        }
    }
}

void ProjectVirtualFolder::getPath(std::wstring& out) const {
    out = zem::format(L".\\VirtualFolder_%p %s", static_cast<const void*>(this), getName());
}

bool ProjectVirtualFolder::overlapsPath(const wchar_t* path) const {
    for (size_t i = 0; i < childCount(); ++i) {
        if (childAt(i)->overlapsPath(path))
            return true;
    }
    return false;
}

ProjectItem* ProjectVirtualFolder::clone(uint32_t indexedFlag) const {
    ProjectVirtualFolder* copy = new ProjectVirtualFolder(*this, indexedFlag);
    cloneChildrenInto(copy, indexedFlag);
    return copy;
}

} // namespace corvel
