#include "model_vornparam.h"

#include <cstring>

quint64 Model_VOrnParam::gOledLength = 10;

Model_VOrnParam::Model_VOrnParam()
{
    std::memset(static_cast<void *>(this), 0, PlainBlockSize);
}

Model_VOrnParam::Model_VOrnParam(const Model_VOrnParam &other) : keyMap(other.keyMap)
{
    std::memcpy(static_cast<void *>(this), &other, PlainBlockSize);
}

Model_VOrnParam &Model_VOrnParam::operator=(const Model_VOrnParam &other)
{
    std::memmove(static_cast<void *>(this), &other, PlainBlockSize);
    keyMap = other.keyMap;
    return *this;
}
