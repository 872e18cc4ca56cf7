#include "engine/core/V8ValueImpl.h"

#include <cmath>
#include <limits>

namespace engine {

using Kind = V8ValueImpl::Kind;

bool V8ValueImpl::IsSame(CefRefPtr<CefV8Value> that)
{
    auto* other = from(that);
    if (!other)
        return false;
    if (other == this)
        return true;
    if (isObjectKind() || other->m_kind != m_kind)
        return false;
    switch (m_kind) {
    case Kind::Bool: return m_bool == other->m_bool;
    case Kind::Int: return m_int == other->m_int;
    case Kind::Double: return m_double == other->m_double;
    case Kind::String: return m_string == other->m_string;
    default: return true;  // undefined, null
    }
}

int V8ValueImpl::GetIntValue()
{
    if (m_kind == Kind::Int)
        return m_int;
    if (m_kind == Kind::Double && std::isfinite(m_double)
        && m_double > double(std::numeric_limits<int>::min()) - 1
        && m_double < double(std::numeric_limits<int>::max()) + 1)
        return int(m_double);
    return 0;
}

double V8ValueImpl::GetDoubleValue()
{
    if (m_kind == Kind::Int)
        return m_int;
    return m_kind == Kind::Double ? m_double : 0;
}

CefString V8ValueImpl::GetStringValue()
{
    return m_kind == Kind::String ? CefString(m_string) : CefString();
}

bool V8ValueImpl::HasValue(const CefString& key)
{
    return isObjectKind() && m_propertyIndex.count(key.ToString16()) != 0;
}

bool V8ValueImpl::HasValue(int index)
{
    return isObjectKind() && index >= 0 && std::size_t(index) < m_elements.size()
           && m_elements[std::size_t(index)];
}

bool V8ValueImpl::DeleteValue(const CefString& key)
{
    if (!isObjectKind())
        return false;
    const auto found = m_propertyIndex.find(key.ToString16());
    if (found == m_propertyIndex.end())
        return false;
    m_properties.erase(m_properties.begin() + std::ptrdiff_t(found->second));
    m_propertyIndex.clear();
    for (std::size_t i = 0; i < m_properties.size(); ++i)
        m_propertyIndex[m_properties[i].name] = i;
    return true;
}

bool V8ValueImpl::DeleteValue(int index)
{
    if (!HasValue(index))
        return false;
    m_elements[std::size_t(index)] = nullptr;
    while (!m_elements.empty() && !m_elements.back())
        m_elements.pop_back();
    return true;
}

CefRefPtr<CefV8Value> V8ValueImpl::GetValue(const CefString& key)
{
    if (isObjectKind()) {
        const auto found = m_propertyIndex.find(key.ToString16());
        if (found != m_propertyIndex.end())
            return m_properties[found->second].value;
    }
    return CefV8Value::CreateUndefined();
}

CefRefPtr<CefV8Value> V8ValueImpl::GetValue(int index)
{
    if (HasValue(index))
        return m_elements[std::size_t(index)];
    return CefV8Value::CreateUndefined();
}

bool V8ValueImpl::SetValue(const CefString& key, CefRefPtr<CefV8Value> value,
                           cef_v8_propertyattribute_t attribute)
{
    if (!isObjectKind() || !value)
        return false;
    const std::u16string& name = key.ToString16();
    const auto found = m_propertyIndex.find(name);
    if (found != m_propertyIndex.end()) {
        m_properties[found->second].value = value;
        m_properties[found->second].attribute = attribute;
    } else {
        m_propertyIndex[name] = m_properties.size();
        m_properties.push_back({name, value, attribute});
    }
    return true;
}

bool V8ValueImpl::SetValue(int index, CefRefPtr<CefV8Value> value)
{
    // Arrays only; a bound keeps a stray index from allocating gigabytes.
    constexpr int kMaxIndex = 1 << 26;
    if (m_kind != Kind::Array || !value || index < 0 || index >= kMaxIndex)
        return false;
    if (std::size_t(index) >= m_elements.size())
        m_elements.resize(std::size_t(index) + 1);
    m_elements[std::size_t(index)] = value;
    return true;
}

bool V8ValueImpl::GetKeys(std::vector<CefString>& keys)
{
    keys.clear();
    if (!isObjectKind())
        return false;
    for (std::size_t i = 0; i < m_elements.size(); ++i)
        if (m_elements[i])
            keys.emplace_back(std::to_string(i));
    for (const auto& property : m_properties)
        keys.emplace_back(property.name);
    return true;
}

int V8ValueImpl::GetArrayLength()
{
    return m_kind == Kind::Array ? int(m_elements.size()) : 0;
}

CefString V8ValueImpl::GetFunctionName()
{
    return m_kind == Kind::Function ? CefString(m_string) : CefString();
}

CefRefPtr<CefV8Handler> V8ValueImpl::GetFunctionHandler()
{
    return m_kind == Kind::Function ? m_handler : nullptr;
}

CefRefPtr<CefV8Value> numberValue(double value)
{
    if (std::isfinite(value) && std::trunc(value) == value
        && value >= double(std::numeric_limits<int>::min())
        && value <= double(std::numeric_limits<int>::max()) && !(value == 0 && std::signbit(value)))
        return CefV8Value::CreateInt(int(value));
    return CefV8Value::CreateDouble(value);
}

} // namespace engine

using engine::V8ValueImpl;
using Kind = engine::V8ValueImpl::Kind;

CefRefPtr<CefV8Value> CefV8Value::CreateUndefined() { return new V8ValueImpl(Kind::Undefined); }
CefRefPtr<CefV8Value> CefV8Value::CreateNull() { return new V8ValueImpl(Kind::Null); }

CefRefPtr<CefV8Value> CefV8Value::CreateBool(bool value)
{
    auto* result = new V8ValueImpl(Kind::Bool);
    result->m_bool = value;
    return result;
}

CefRefPtr<CefV8Value> CefV8Value::CreateInt(int value)
{
    auto* result = new V8ValueImpl(Kind::Int);
    result->m_int = value;
    return result;
}

CefRefPtr<CefV8Value> CefV8Value::CreateDouble(double value)
{
    auto* result = new V8ValueImpl(Kind::Double);
    result->m_double = value;
    return result;
}

CefRefPtr<CefV8Value> CefV8Value::CreateString(const CefString& value)
{
    auto* result = new V8ValueImpl(Kind::String);
    result->m_string = value.ToString16();
    return result;
}

CefRefPtr<CefV8Value> CefV8Value::CreateObject() { return new V8ValueImpl(Kind::Object); }
CefRefPtr<CefV8Value> CefV8Value::CreateArray() { return new V8ValueImpl(Kind::Array); }

CefRefPtr<CefV8Value> CefV8Value::CreateFunction(const CefString& name,
                                                 CefRefPtr<CefV8Handler> handler)
{
    auto* result = new V8ValueImpl(Kind::Function);
    result->m_string = name.ToString16();
    result->m_handler = handler;
    return result;
}
