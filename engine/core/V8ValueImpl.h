#pragma once
// The native script value behind CefV8Value, shared by the engines. Objects
// keep their named properties in the order first set, with their attributes;
// arrays keep their elements apart from the named properties.

#include "engine/cef/CefV8.h"

#include <string>
#include <unordered_map>
#include <vector>

namespace engine {

class V8ValueImpl : public CefV8Value {
public:
    enum class Kind { Undefined, Null, Bool, Int, Double, String, Object, Array, Function };

    struct Property {
        std::u16string name;
        CefRefPtr<CefV8Value> value;
        cef_v8_propertyattribute_t attribute = V8_PROPERTY_ATTRIBUTE_NONE;
    };

    explicit V8ValueImpl(Kind kind) : m_kind(kind) {}

    static V8ValueImpl* from(const CefRefPtr<CefV8Value>& value)
    {
        return static_cast<V8ValueImpl*>(value.get());
    }

    Kind kind() const { return m_kind; }
    const std::vector<Property>& properties() const { return m_properties; }
    const std::vector<CefRefPtr<CefV8Value>>& elements() const { return m_elements; }

    bool IsUndefined() override { return m_kind == Kind::Undefined; }
    bool IsNull() override { return m_kind == Kind::Null; }
    bool IsBool() override { return m_kind == Kind::Bool; }
    bool IsInt() override { return m_kind == Kind::Int; }
    bool IsDouble() override { return m_kind == Kind::Int || m_kind == Kind::Double; }
    bool IsString() override { return m_kind == Kind::String; }
    bool IsObject() override { return isObjectKind(); }
    bool IsArray() override { return m_kind == Kind::Array; }
    bool IsFunction() override { return m_kind == Kind::Function; }
    bool IsSame(CefRefPtr<CefV8Value> that) override;

    bool GetBoolValue() override { return m_kind == Kind::Bool && m_bool; }
    int GetIntValue() override;
    double GetDoubleValue() override;
    CefString GetStringValue() override;

    bool HasValue(const CefString& key) override;
    bool HasValue(int index) override;
    bool DeleteValue(const CefString& key) override;
    bool DeleteValue(int index) override;
    CefRefPtr<CefV8Value> GetValue(const CefString& key) override;
    CefRefPtr<CefV8Value> GetValue(int index) override;
    bool SetValue(const CefString& key, CefRefPtr<CefV8Value> value,
                  cef_v8_propertyattribute_t attribute) override;
    bool SetValue(int index, CefRefPtr<CefV8Value> value) override;
    bool GetKeys(std::vector<CefString>& keys) override;
    int GetArrayLength() override;
    CefString GetFunctionName() override;
    CefRefPtr<CefV8Handler> GetFunctionHandler() override;

private:
    friend class CefV8Value;

    bool isObjectKind() const
    {
        return m_kind == Kind::Object || m_kind == Kind::Array || m_kind == Kind::Function;
    }

    Kind m_kind;
    bool m_bool = false;
    int m_int = 0;
    double m_double = 0;
    std::u16string m_string;  // string value, or function name
    CefRefPtr<CefV8Handler> m_handler;
    std::vector<Property> m_properties;
    std::unordered_map<std::u16string, std::size_t> m_propertyIndex;
    std::vector<CefRefPtr<CefV8Value>> m_elements;  // arrays; empty slots are holes

    IMPLEMENT_REFCOUNTING(V8ValueImpl);
};

// A number as the page has it: Int when whole and within 32 signed bits,
// else Double.
CefRefPtr<CefV8Value> numberValue(double value);

} // namespace engine
