#include "value/ValueTreeAccess.h"

#include "zem/base/Assert.h"
#include "zem/value/DictionaryValue.h"
#include "zem/value/ListValue.h"

#include <memory>
#include <typeinfo>
#include <utility>

namespace zem {

const ListValue* ValueTreeAccess::asPlainList(const Value* node) {
    if (node->kind() != Value::KIND_LIST || typeid(*node) != typeid(ListValue))
        return nullptr;
    return static_cast<const ListValue*>(node);
}

const DictionaryValue* ValueTreeAccess::asPlainDictionary(const Value* node) {
    if (node->kind() != Value::KIND_DICTIONARY || typeid(*node) != typeid(DictionaryValue))
        return nullptr;
    return static_cast<const DictionaryValue*>(node);
}

void ValueTreeAccess::detachChildren(Value* node, std::vector<Value*>& pending) {
    if (asPlainList(node)) {
        ListValue* list = static_cast<ListValue*>(node);
        pending.insert(pending.end(), list->m_items.begin(), list->m_items.end());
        list->m_items.clear();
        return;
    }
    if (asPlainDictionary(node)) {
        DictionaryValue* dict = static_cast<DictionaryValue*>(node);
        for (DictionaryEntry& entry : dict->m_list)
            pending.push_back(entry.value);
        dict->m_keys.clear();
        dict->m_list.clear();
    }
}

void ValueTreeAccess::destroyAll(std::vector<Value*>& pending) {
    while (!pending.empty()) {
        Value* node = pending.back();
        pending.pop_back();
        // Emptied first, its own destructor has nothing left to recurse into.
        detachChildren(node, pending);
        delete node;
    }
}

const ListValue* ValueTreeAccess::asList(const Value* node, bool plainOnly) {
    return plainOnly ? asPlainList(node) : dynamic_cast<const ListValue*>(node);
}

const DictionaryValue* ValueTreeAccess::asDictionary(const Value* node, bool plainOnly) {
    return plainOnly ? asPlainDictionary(node) : dynamic_cast<const DictionaryValue*>(node);
}

Value* ValueTreeAccess::emptyCopy(const Value* node, bool plainOnly) {
    Value* copy = nullptr;
    if (asList(node, plainOnly))
        copy = new ListValue();
    else if (asDictionary(node, plainOnly))
        copy = new DictionaryValue();
    else
        return nullptr;
    copy->location() = node->location();
    return copy;
}

Value* ValueTreeAccess::cloneTree(const Value* root) {
    // The root is copied here whatever its class (this is its clone); below it, a node of
    // another class than the two plain containers is asked for its own clone.
    std::unique_ptr<Value> rootCopy(emptyCopy(root, false));
    ZEM_ASSERT(rootCopy != nullptr);

    // Each job fills an empty copy, already owned by its parent copy, from its source.
    std::vector<std::pair<const Value*, Value*>> jobs;
    jobs.emplace_back(root, rootCopy.get());
    auto copyChild = [&jobs](const Value* child) {
        Value* copy = emptyCopy(child, true);
        if (!copy)
            return child->clone();
        jobs.emplace_back(child, copy);
        return copy;
    };
    while (!jobs.empty()) {
        std::pair<const Value*, Value*> job = jobs.back();
        jobs.pop_back();
        if (const ListValue* source = asList(job.first, false)) {
            ListValue* target = static_cast<ListValue*>(job.second);
            target->m_items.reserve(source->size());
            for (const Value* child : *source)
                target->append(copyChild(child));
            continue;
        }
        const DictionaryValue* source = asDictionary(job.first, false);
        DictionaryValue* target = static_cast<DictionaryValue*>(job.second);
        for (const DictionaryEntry& entry : *source)
            target->set(entry.key, copyChild(entry.value), 0);
    }
    return rootCopy.release();
}

bool ValueTreeAccess::equalTrees(const Value* root, const Value* other) {
    struct Pair {
        const Value* a;
        const Value* b;
        bool isRoot; // the root is compared here whatever its class
    };
    std::vector<Pair> pairs;
    pairs.push_back(Pair{root, other, true});
    while (!pairs.empty()) {
        Pair pair = pairs.back();
        pairs.pop_back();
        const Value* a = pair.a;
        const Value* b = pair.b;
        if (!b)
            return false;
        if (const ListValue* listA = asList(a, !pair.isRoot)) {
            const ListValue* listB = b->kind() == Value::KIND_LIST ? dynamic_cast<const ListValue*>(b) : nullptr;
            if (!listB || listA->size() != listB->size())
                return false;
            for (size_t i = 0; i < listA->size(); ++i)
                pairs.push_back(Pair{listA->at(i), listB->at(i), false});
            continue;
        }
        if (const DictionaryValue* dictA = asDictionary(a, !pair.isRoot)) {
            const DictionaryValue* dictB =
                b->kind() == Value::KIND_DICTIONARY ? dynamic_cast<const DictionaryValue*>(b) : nullptr;
            if (!dictB || dictA->size() != dictB->size())
                return false;
            for (const DictionaryEntry& entry : *dictA) {
                const Value* found = dictB->find(entry.key);
                if (!found)
                    return false;
                pairs.push_back(Pair{entry.value, found, false});
            }
            continue;
        }
        if (!a->equals(b)) // a scalar, or a node of its own class
            return false;
    }
    return true;
}

} // namespace zem
