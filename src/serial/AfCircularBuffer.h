#pragma once
// The write queue: a fixed-size byte ring. Not thread-safe; the engine guards it with its write lock.
#include <cstdint>
#include <vector>

class TAfCircularBuffer {
public:
    explicit TAfCircularBuffer(std::int32_t size);

    void Clear();
    std::int32_t Size() const { return std::int32_t(m_data.size()); }
    std::int32_t Used() const;
    std::int32_t Free() const { return Size() - Used(); }
    // The queued bytes that lie in one piece from the read position on.
    std::int32_t ContiguousUsed() const;
    const std::uint8_t* ReadPointer() const { return m_data.data() + m_readPos; }
    // All n bytes or none: fails when n is below 1 or above Free().
    bool Write(const void* bytes, std::int32_t n);
    // Fails, removing nothing, when n is above Used().
    bool Remove(std::int32_t n);

private:
    std::int32_t advance(std::int32_t position, std::int32_t n) const;

    std::vector<std::uint8_t> m_data;
    std::int32_t m_readPos = 0;
    std::int32_t m_writePos = 0;
    bool m_full = false;
};
