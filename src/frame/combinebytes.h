#ifndef COMBINEBYTES_H
#define COMBINEBYTES_H

#include <utility_manage.h>

// The host's byte combiner, kept to the 16 bits every caller works with.
inline quint16 combineBytes(uchar high, uchar low)
{
    return quint16(Utility_Manage::combineTwoByte(high, low));
}

#endif // COMBINEBYTES_H
