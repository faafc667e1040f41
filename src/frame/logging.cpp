#include "logging.h"

Q_LOGGING_CATEGORY(lcKeyboard, "vorn.keyboard")
