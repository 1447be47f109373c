#pragma once

#include <QtGlobal>

#include <memory>
#include <type_traits>

namespace tavolux {

// Asks for large pages over a big buffer: a list of a million lines would
// otherwise take a few hundred thousand page faults to fill. Only the whole
// large pages inside [data, data + bytes) are advised; elsewhere a no-op.
void adviseLargePages(const void *data, qint64 bytes);

// An array of `size` plain values left uninitialised, so that its pages are
// touched only when written, and advised for large pages before that.
template <typename T>
class LargeArray
{
    static_assert(std::is_trivial_v<T>, "values that need no construction");

public:
    LargeArray() = default;
    explicit LargeArray(qsizetype size)
        : m_data(size > 0 ? new T[size_t(size)] : nullptr), m_size(qMax<qsizetype>(size, 0)), m_capacity(m_size)
    {
        adviseLargePages(m_data.get(), qint64(m_capacity) * qint64(sizeof(T)));
    }

    T *data() { return m_data.get(); }
    const T *data() const { return m_data.get(); }
    T &operator[](qsizetype i) { return m_data[size_t(i)]; }
    const T &operator[](qsizetype i) const { return m_data[size_t(i)]; }
    qsizetype size() const { return m_size; }
    qsizetype capacity() const { return m_capacity; }
    // Keeps the first `size` values (the memory stays).
    void truncate(qsizetype size) { m_size = qBound<qsizetype>(0, size, m_size); }

private:
    std::unique_ptr<T[]> m_data;
    qsizetype m_size = 0;
    qsizetype m_capacity = 0;
};

} // namespace tavolux
