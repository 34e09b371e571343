// CShdObjArray: growable array of individually allocated elements that it owns.
#pragma once

#include <algorithm>
#include <cassert>
#include <new>

template <class T> class CShdObjArray
{
public:
    CShdObjArray() = default;
    CShdObjArray(const CShdObjArray&) = delete;
    CShdObjArray& operator=(const CShdObjArray&) = delete;
    ~CShdObjArray() { RemoveAll(); }

    int GetSize() const { return m_count; }
    bool IsEmpty() const { return m_count == 0; }

    T& operator[](int index)
    {
        assert(index >= 0 && index < m_count);
        return *m_items[index];
    }
    const T& operator[](int index) const
    {
        assert(index >= 0 && index < m_count);
        return *m_items[index];
    }
    T* GetAt(int index) const { return (index >= 0 && index < m_count) ? m_items[index] : nullptr; }

    // Copies value into a new last element; returns its index, or -1 when memory runs out.
    int Add(const T& value)
    {
        if (!Reserve(m_count + 1))
            return -1;
        T* item = new (std::nothrow) T(value);
        if (!item)
            return -1;
        m_items[m_count] = item;
        return m_count++;
    }

    // A larger size creates default elements, a smaller one deletes the surplus.
    bool SetSize(int size)
    {
        if (size < 0)
            return false;
        if (size < m_count) {
            RemoveAt(size, m_count - size);
            return true;
        }
        if (!Reserve(size))
            return false;
        while (m_count < size) {
            T* item = new (std::nothrow) T();
            if (!item)
                return false;
            m_items[m_count++] = item;
        }
        return true;
    }

    // Deletes count elements from index on and closes the gap.
    void RemoveAt(int index, int count = 1)
    {
        if (index < 0 || count <= 0 || index >= m_count)
            return;
        if (count > m_count - index)
            count = m_count - index;
        for (int i = index; i < index + count; ++i)
            delete m_items[i];
        for (int i = index + count; i < m_count; ++i)
            m_items[i - count] = m_items[i];
        m_count -= count;
    }

    void RemoveAll()
    {
        RemoveAt(0, m_count);
        delete[] m_items;
        m_items = nullptr;
        m_capacity = 0;
    }

    // Orders the elements with less(a, b), keeping equal ones in their order; only the
    // pointers move, so references to elements stay valid.
    template <class Less> void Sort(Less less)
    {
        std::stable_sort(m_items, m_items + m_count, [&](const T* a, const T* b) { return less(*a, *b); });
    }

private:
    bool Reserve(int size)
    {
        if (size <= m_capacity)
            return true;
        int capacity = m_capacity < 8 ? 8 : m_capacity * 2;
        if (capacity < size)
            capacity = size;
        T** items = new (std::nothrow) T*[capacity];
        if (!items)
            return false;
        for (int i = 0; i < m_count; ++i)
            items[i] = m_items[i];
        delete[] m_items;
        m_items = items;
        m_capacity = capacity;
        return true;
    }

    T** m_items = nullptr;
    int m_count = 0;
    int m_capacity = 0;
};
