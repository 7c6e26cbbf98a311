#pragma once
// A pool of codec objects. It only grows: objects handed out stay valid when
// the pool adds more, and all of them live until the pool is destroyed.

#include <memory>
#include <mutex>
#include <vector>

namespace tovrik::net {

template <class T>
class CComPressPool {
public:
    explicit CComPressPool(int capacity)
    {
        Grow(capacity > 0 ? capacity : 1);
    }
    CComPressPool(const CComPressPool&) = delete;
    CComPressPool& operator=(const CComPressPool&) = delete;

    // A free object; when none is free the pool first doubles its capacity.
    // Null only when memory runs out.
    T* NewInstance()
    {
        std::lock_guard lock(m_Lock);
        if (m_Free.empty()) Grow(static_cast<int>(m_Objects.size()));
        if (m_Free.empty()) return nullptr;
        T* object = m_Free.back();
        m_Free.pop_back();
        return object;
    }

    void FreeInstance(T* object)
    {
        if (!object) return;
        std::lock_guard lock(m_Lock);
        m_Free.push_back(object);
    }

    // Puts every object back on the free stack, the last one first.
    void FreeAll()
    {
        std::lock_guard lock(m_Lock);
        m_Free.clear();
        for (auto it = m_Objects.rbegin(); it != m_Objects.rend(); ++it) m_Free.push_back(it->get());
    }

    int GetCapacity() const
    {
        std::lock_guard lock(m_Lock);
        return static_cast<int>(m_Objects.size());
    }

private:
    void Grow(int count)
    {
        for (int i = 0; i < count; ++i) {
            m_Objects.push_back(std::make_unique<T>());
            m_Free.push_back(m_Objects.back().get());
        }
    }

    mutable std::mutex m_Lock;
    std::vector<std::unique_ptr<T>> m_Objects;
    std::vector<T*> m_Free;
};

}  // namespace tovrik::net
