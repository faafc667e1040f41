#ifndef FUZZINPUT_H
#define FUZZINPUT_H

#include <QtCore/QByteArray>
#include <QtCore/QtEndian>

#include <cstdint>
#include <cstring>

// A fuzz input read front to back: little-endian numbers and chunks of bytes behind a
// 16-bit length. Reads past the end yield zeros and empty chunks, so every input is a
// complete program. The put functions write what the reads read, for seeds.
class FuzzInput
{
public:
    FuzzInput(const uint8_t *data, size_t size) : m_data(data), m_size(size) { }

    bool atEnd() const { return m_pos >= m_size; }

    template<typename T>
    T take()
    {
        T value = 0;
        const size_t count = qMin(sizeof(T), m_size - m_pos);
        std::memcpy(&value, m_data + m_pos, count);
        m_pos += count;
        return qFromLittleEndian(value);
    }

    QByteArray chunk()
    {
        const quint16 length = take<quint16>();
        const size_t count = qMin<size_t>(length, m_size - m_pos);
        const QByteArray bytes(reinterpret_cast<const char *>(m_data + m_pos), int(count));
        m_pos += count;
        return bytes;
    }

    template<typename T>
    static void put(QByteArray &out, T value)
    {
        value = qToLittleEndian(value);
        out.append(reinterpret_cast<const char *>(&value), int(sizeof(T)));
    }

    static void putChunk(QByteArray &out, const QByteArray &bytes)
    {
        const QByteArray cut = bytes.left(0xffff);
        put(out, quint16(cut.size()));
        out += cut;
    }

private:
    const uint8_t *m_data;
    size_t m_size;
    size_t m_pos = 0;
};

#endif // FUZZINPUT_H
