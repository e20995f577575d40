// A growable array of T by value. Allocation failures never throw: the array keeps its contents
// and the call reports false.
#pragma once
#include <windows.h>
#include <new>

template <class T>
class CArray {
public:
    CArray() : m_p(nullptr), m_size(0), m_cap(0) {}
    ~CArray() { RemoveAll(); ::operator delete(m_p, std::nothrow); }
    CArray(const CArray&) = delete;
    CArray& operator=(const CArray&) = delete;

    int GetSize() const { return m_size; }
    bool IsEmpty() const { return m_size == 0; }
    bool IsValidIndex(int i) const { return i >= 0 && i < m_size; }
    // Callers check the index; an index outside the array is a programming error.
    T& ElementAt(int i) { return m_p[i]; }
    const T& ElementAt(int i) const { return m_p[i]; }
    T& operator[](int i) { return m_p[i]; }
    const T& operator[](int i) const { return m_p[i]; }
    T* begin() { return m_p; }
    T* end() { return m_p + m_size; }
    const T* begin() const { return m_p; }
    const T* end() const { return m_p + m_size; }

    // Grows with default-constructed elements or shrinks to n.
    bool SetSize(int n)
    {
        if (n < 0 || !Reserve(n))
            return false;
        while (m_size > n)
            m_p[--m_size].~T();
        while (m_size < n)
            new (&m_p[m_size++]) T();
        return true;
    }

    bool Add(T&& value)
    {
        if (!Reserve(m_size + 1))
            return false;
        new (&m_p[m_size++]) T(static_cast<T&&>(value));
        return true;
    }
    bool Add(const T& value)
    {
        T copy(value);
        return Add(static_cast<T&&>(copy));
    }

    void RemoveAt(int i)
    {
        if (!IsValidIndex(i))
            return;
        for (int k = i; k + 1 < m_size; ++k)
            m_p[k] = static_cast<T&&>(m_p[k + 1]);
        m_p[--m_size].~T();
    }

    void RemoveAll()
    {
        while (m_size > 0)
            m_p[--m_size].~T();
    }

    bool Reserve(int n)
    {
        if (n <= m_cap)
            return true;
        int cap = m_cap ? m_cap : 4;
        while (cap < n) {
            if (cap > 0x3FFFFFFF / int(sizeof(T) > 8 ? sizeof(T) : 8))
                return false;
            cap *= 2;
        }
        T* p = static_cast<T*>(::operator new(sizeof(T) * size_t(cap), std::nothrow));
        if (!p)
            return false;
        for (int k = 0; k < m_size; ++k) {
            new (&p[k]) T(static_cast<T&&>(m_p[k]));
            m_p[k].~T();
        }
        ::operator delete(m_p, std::nothrow);
        m_p = p;
        m_cap = cap;
        return true;
    }

private:
    T* m_p;
    int m_size;
    int m_cap;
};
