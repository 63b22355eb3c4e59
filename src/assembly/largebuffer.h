#pragma once

#include <QByteArray>

#include <algorithm>
#include <cstring>

// Buffers of tens of megabytes (a large template, the finished document).
// Touching fresh memory a 4 KB page at a time costs more than copying into
// it, so large buffers ask the kernel for huge pages; that is a hint, and
// where it is not taken the buffer works as any other.
namespace assembly {

// A QByteArray of `size` bytes whose contents are not initialised.
QByteArray uninitializedBuffer(qsizetype size);

// Grows `buffer` to `size` bytes (contents kept, the rest not initialised),
// with the same hint for the memory it adds.
void growBuffer(QByteArray &buffer, qsizetype size);

// Writes a large text front to back: a raw copy per piece, growing the
// buffer by half again when it is full.
class BufferWriter {
public:
    void start(qsizetype expected)
    {
        m_buffer = uninitializedBuffer(std::max<qsizetype>(expected, 64));
        m_data = m_buffer.data();
    }
    bool started() const { return !m_buffer.isNull(); }
    qsizetype size() const { return m_used; }

    void append(const char *data, qsizetype n)
    {
        if (n > m_buffer.size() - m_used) {
            growBuffer(m_buffer, std::max(m_used + n, m_buffer.size() + m_buffer.size() / 2));
            m_data = m_buffer.data();
        }
        std::memcpy(m_data + m_used, data, size_t(n));
        m_used += n;
    }

    void fill(char c, qsizetype n)
    {
        if (n > m_buffer.size() - m_used) {
            growBuffer(m_buffer, std::max(m_used + n, m_buffer.size() + m_buffer.size() / 2));
            m_data = m_buffer.data();
        }
        std::memset(m_data + m_used, c, size_t(n));
        m_used += n;
    }

    // The text written; the writer is empty afterwards.
    QByteArray take()
    {
        m_buffer.resize(m_used);
        m_used = 0;
        m_data = nullptr;
        return std::move(m_buffer);
    }

private:
    QByteArray m_buffer;
    char *m_data = nullptr;
    qsizetype m_used = 0;
};

} // namespace assembly
