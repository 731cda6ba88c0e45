#pragma once

#include <QLoggingCategory>

// The HD restart's trace of its exchange with the box, for a developer at a
// box that will not restart. Off unless asked for:
//   QT_LOGGING_RULES="velmora.link.trace.debug=true"
Q_DECLARE_LOGGING_CATEGORY(linkTrace)
