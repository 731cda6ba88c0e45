#include "linktrace.h"

// Warnings only by default: a user's terminal stays quiet.
Q_LOGGING_CATEGORY(linkTrace, "velmora.link.trace", QtWarningMsg)
