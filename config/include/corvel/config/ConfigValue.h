// One declared setting: a typed value with its change flags, owned by the Config. Setters
// convert into the value's own type; a declared type never changes through a setter.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace corvel {

class ConfigNamespace;
class JasmineValue;

class ConfigValue {
public:
    enum Type : uint32_t {
        TYPE_UNSET = 0,
        TYPE_INT = 1,
        TYPE_UNSIGNED = 2,
        TYPE_BOOL = 3,
        TYPE_STRING = 4,
        TYPE_FLOAT = 5,
        TYPE_LIST = 6,
        TYPE_JASMINE = 7, // a structured setting: an owned JasmineValue
    };
    enum Flags : uint32_t {
        FLAG_CHANGED = 0x100,     // not yet delivered to the name space's listeners
        FLAG_HOLDS_VALUE = 0x200, // owns a payload
        FLAG_MODIFIED = 0x400,    // differs from what the file last held
        TYPE_MASK = 0xFF,
    };
    typedef std::vector<ConfigValue> List;

    // The widest member: on 64-bit builds a 32-bit member would leave half a pointer unset.
    ConfigValue() { m_payload.text = nullptr; }
    explicit ConfigValue(Type type);
    ConfigValue(ConfigValue&& other) noexcept;
    ConfigValue& operator=(ConfigValue&& other) noexcept;
    ConfigValue(const ConfigValue&) = delete;
    ConfigValue& operator=(const ConfigValue&) = delete;
    ~ConfigValue();

    Type getType() const { return static_cast<Type>(m_typeFlags & TYPE_MASK); }
    uint32_t getFlags() const { return m_typeFlags & ~uint32_t(TYPE_MASK); }
    bool hasFlags(uint32_t flags) const { return (m_typeFlags & flags) == flags; }
    void setFlags(uint32_t flags) { m_typeFlags |= flags & ~uint32_t(TYPE_MASK); }
    void clearFlags(uint32_t flags) { m_typeFlags &= ~(flags & ~uint32_t(TYPE_MASK)); }

    ConfigNamespace* getNamespace() const { return m_namespace; }
    const std::wstring& getName() const { return m_name; }

    // Each marks the value changed, holding a value and modified, then stores by the
    // value's type (an unset value takes the setter's type).
    void setBool(bool value);
    void setInt(int32_t value);
    void setUnsigned(uint32_t value);
    void setFloat(float value);
    void setString(const wchar_t* text);
    void setString(const std::wstring& text) { setString(text.c_str()); }
    void setList(const List& values);
    void setJasmine(const JasmineValue& value);
    // Calls the setter of source's type with its payload: this value keeps its type.
    void assign(const ConfigValue& source);

    bool asBool() const;
    int32_t asInt() const;
    uint32_t asUnsigned() const;
    // The text of a string value ("" when it holds none); "" for other types.
    const wchar_t* getString() const;
    float getFloat() const;
    // The elements of a list value; empty for others.
    const List& getList() const;
    // The structured value of a Jasmine value; null when it holds none or is another type.
    const JasmineValue* getJasmine() const;

    // Frees the payload (the type stays) and marks the value changed and modified.
    void clear();
    void toJasmine(JasmineValue& out) const;
    // Takes the Jasmine value's type and payload; null, raw text and regular expressions
    // are refused (false), leaving the value cleared.
    bool fromJasmineValue(const JasmineValue& value);

    // First character only: 0 F f false, 1 T t true; others by the parity of their code.
    static bool parseBoolText(const wchar_t* text);

private:
    friend class Config;
    void setType(Type type) { m_typeFlags = (m_typeFlags & ~uint32_t(TYPE_MASK)) | type; }
    void freePayload();
    void markSet() { m_typeFlags |= FLAG_CHANGED | FLAG_HOLDS_VALUE | FLAG_MODIFIED; }
    void storeText(const std::wstring& text);
    // setInt and setUnsigned: ownType is what an unset value becomes, text the decimal form.
    void setInteger(Type ownType, uint32_t bits, const std::wstring& text);

    uint32_t m_typeFlags = 0;
    union {
        int32_t i;
        uint32_t u;
        bool b;
        float f;
        wchar_t* text;          // malloc'd, may be null
        List* list;             // may be null after clear
        JasmineValue* jasmine;  // may be null
    } m_payload;
    ConfigNamespace* m_namespace = nullptr;
    std::wstring m_name; // the key's last component
};

} // namespace corvel
