#ifndef KORVANI_FUZZSUPPORT_H
#define KORVANI_FUZZSUPPORT_H

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// The application object that records and templates need; made once, on first use.
void ensureApplication();

inline QByteArray bytesOf(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), int(size));
}

// Ends the run when an invariant of the entry point does not hold.
inline void check(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

#endif
