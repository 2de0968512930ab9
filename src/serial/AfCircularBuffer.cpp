#include "serial/AfCircularBuffer.h"

#include <algorithm>
#include <cstring>

TAfCircularBuffer::TAfCircularBuffer(std::int32_t size) : m_data(std::size_t(std::max(size, 0))) {}

void TAfCircularBuffer::Clear() {
    m_readPos = 0;
    m_writePos = 0;
    m_full = false;
}

std::int32_t TAfCircularBuffer::Used() const {
    if (m_full)
        return Size();
    if (m_writePos >= m_readPos)
        return m_writePos - m_readPos;
    return m_writePos + Size() - m_readPos;
}

std::int32_t TAfCircularBuffer::ContiguousUsed() const {
    if (m_full || m_writePos < m_readPos)
        return Size() - m_readPos;
    return m_writePos - m_readPos;
}

bool TAfCircularBuffer::Write(const void* bytes, std::int32_t n) {
    if (n < 1 || n > Free())
        return false;
    const auto* source = static_cast<const std::uint8_t*>(bytes);
    const std::int32_t first = std::min(n, Size() - m_writePos);
    std::memcpy(m_data.data() + m_writePos, source, std::size_t(first));
    if (n > first)
        std::memcpy(m_data.data(), source + first, std::size_t(n - first));
    m_writePos = advance(m_writePos, n);
    if (m_writePos == m_readPos)
        m_full = true;
    return true;
}

bool TAfCircularBuffer::Remove(std::int32_t n) {
    if (n < 0 || n > Used())
        return false;
    m_readPos = advance(m_readPos, n);
    if (n > 0)
        m_full = false;
    return true;
}

std::int32_t TAfCircularBuffer::advance(std::int32_t position, std::int32_t n) const {
    return position + n < Size() ? position + n : position + n - Size();
}
