// Every kind of the value tree, its factories and its exceptions in one include.
#pragma once
#include "zem/value/AbstractDictionaryValue.h"
#include "zem/value/DictionaryValue.h"
#include "zem/value/ListValue.h"
#include "zem/value/RegExpValue.h"
#include "zem/value/ScalarValue.h"
#include "zem/value/StringValue.h"
#include "zem/value/Value.h"
#include "zem/value/ValueException.h"
