#ifndef TYPEDVARIANT_H
#define TYPEDVARIANT_H

#include <QtCore/QMetaType>
#include <QtCore/QVariant>

// A variant of the meta type `type` holding a copy of the value at `data`, or the type's
// default value for null. Qt 6 takes the type as a QMetaType, Qt 5 as its id.
inline QVariant typedVariant(int type, const void *data)
{
#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
    return QVariant(type, data);
#else
    return QVariant(QMetaType(type), data);
#endif
}

#endif // TYPEDVARIANT_H
