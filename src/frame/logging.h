#ifndef LOGGING_H
#define LOGGING_H

#include <QtCore/QLoggingCategory>

// Every line the library logs goes to the category "vorn.keyboard", so a host can filter
// it apart from its own, for example QT_LOGGING_RULES="vorn.keyboard.debug=false".
Q_DECLARE_LOGGING_CATEGORY(lcKeyboard)

#endif // LOGGING_H
