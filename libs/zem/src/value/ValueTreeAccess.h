// Whole-tree operations on lists and dictionaries that run with an explicit work list
// instead of recursion: a tree built by code can be far deeper than the stack allows.
#pragma once
#include <vector>

namespace zem {

class Value;
class ListValue;
class DictionaryValue;

class ValueTreeAccess {
public:
    // Deletes every node in pending and every node below them.
    static void destroyAll(std::vector<Value*>& pending);
    // Deep copy of a list or dictionary (or a class derived from them), locations
    // included. Dictionaries come out in key order with key tokens 0.
    static Value* cloneTree(const Value* root);
    // Structural equality of root (a list or dictionary) with other.
    static bool equalTrees(const Value* root, const Value* other);

private:
    // Moves the children of a plain list or dictionary into pending, leaving it empty.
    // A derived class is left whole: its own destructor may still look at its entries.
    static void detachChildren(Value* node, std::vector<Value*>& pending);
    // An empty list or dictionary with node's location; null when node is neither. With
    // plainOnly, only the two container classes themselves count, not classes derived
    // from them, which clone themselves.
    static Value* emptyCopy(const Value* node, bool plainOnly);
    static const ListValue* asPlainList(const Value* node);
    static const DictionaryValue* asPlainDictionary(const Value* node);
    static const ListValue* asList(const Value* node, bool plainOnly);
    static const DictionaryValue* asDictionary(const Value* node, bool plainOnly);
};

} // namespace zem
