#ifndef KORVANI_SESSIONEND_H
#define KORVANI_SESSIONEND_H

#include <functional>

class QObject;

namespace Platform {

// Calls handler, on the GUI thread, when the system asks the program to end
// with a signal (SIGTERM, SIGINT, SIGHUP); for as long as context lives.
// Windows ends a program through its session messages only.
void onEndRequest(QObject *context, const std::function<void()> &handler);

} // namespace Platform

#endif
