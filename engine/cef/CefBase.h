#pragma once
// Reference counting of the engine's objects.
//
// Every engine interface derives virtually from CefBase, so a class that
// implements several handler interfaces has one count. The implementing class
// adds IMPLEMENT_REFCOUNTING(ClassName): the count is atomic (any thread may
// add or release) and the object deletes itself when it falls to zero.
// CefRefPtr holds one reference for as long as it points at the object.

#include <atomic>
#include <cstddef>
#include <utility>

class CefBase {
public:
    virtual int AddRef() = 0;
    virtual int Release() = 0;
    virtual int GetRefCt() = 0;

protected:
    virtual ~CefBase() = default;
};

// Implements CefBase in a concrete class. Objects of such a class are created
// with new and owned through CefRefPtr (or AddRef/Release) only.
#define IMPLEMENT_REFCOUNTING(ClassName)                                      \
public:                                                                       \
    int AddRef() override { return ++m_cefRefCount; }                         \
    int Release() override                                                    \
    {                                                                         \
        const int count = --m_cefRefCount;                                    \
        if (count == 0)                                                       \
            delete this;                                                      \
        return count;                                                         \
    }                                                                         \
    int GetRefCt() override { return m_cefRefCount.load(); }                  \
                                                                              \
private:                                                                      \
    std::atomic<int> m_cefRefCount{0}

// Smart pointer holding one reference. Converts to the plain pointer, so it
// can be tested, compared and passed where a pointer is expected.
template <class T>
class CefRefPtr {
public:
    CefRefPtr() = default;
    CefRefPtr(std::nullptr_t) {}
    CefRefPtr(T* object) : m_object(object) { addRef(); }
    CefRefPtr(const CefRefPtr& other) : m_object(other.m_object) { addRef(); }
    CefRefPtr(CefRefPtr&& other) noexcept : m_object(std::exchange(other.m_object, nullptr)) {}
    template <class U>
    CefRefPtr(const CefRefPtr<U>& other) : m_object(other.get()) { addRef(); }
    ~CefRefPtr() { release(); }

    CefRefPtr& operator=(T* object)
    {
        CefRefPtr(object).swap(*this);
        return *this;
    }
    CefRefPtr& operator=(const CefRefPtr& other)
    {
        CefRefPtr(other).swap(*this);
        return *this;
    }
    CefRefPtr& operator=(CefRefPtr&& other) noexcept
    {
        CefRefPtr(std::move(other)).swap(*this);
        return *this;
    }
    template <class U>
    CefRefPtr& operator=(const CefRefPtr<U>& other)
    {
        CefRefPtr(other.get()).swap(*this);
        return *this;
    }

    T* get() const { return m_object; }
    operator T*() const { return m_object; }
    T* operator->() const { return m_object; }
    T& operator*() const { return *m_object; }
    void swap(CefRefPtr& other) noexcept { std::swap(m_object, other.m_object); }

private:
    void addRef()
    {
        if (m_object)
            m_object->AddRef();
    }
    void release()
    {
        if (m_object)
            m_object->Release();
    }

    T* m_object = nullptr;
};
