#ifndef KORVANI_INTERPRETER_GRAPHICAL_H
#define KORVANI_INTERPRETER_GRAPHICAL_H

#include <string>
#include <vector>

namespace Cmd {

class Environment;

// Tells graphical programs from console programs, from what the system says
// about them, since Linux programs carry no mark like the subsystem of a
// Windows executable:
// - a freedesktop desktop entry of an application (in XDG_DATA_HOME's and
//   XDG_DATA_DIRS' applications folders, hidden ones left out) names the
//   program by its TryExec or by the first word of its Exec (after an "env"
//   and its assignments, which only set variables for the program that
//   follows): graphical if any such entry has Terminal=false (the default),
//   console if all have Terminal=true, whatever the program is linked to;
// - otherwise an ELF executable that needs a windowing-system library itself
//   (libX11, libxcb, libwayland-client) is graphical. Only its own list of
//   needed libraries counts, not those of its libraries: through them media
//   and image libraries bring libX11 to console tools as well, and the
//   toolkits' programs that would be won that way have desktop entries.
// Everything else, scripts included, is a console program.
//
// Links are followed from the program as it was found, each step compared
// with what the entries name, so that a program reached through a link (an
// alternative, a versioned name) is known by the entry of its target, while
// a multi-call program (snap, busybox) does not take on the kind of every
// link that leads to it. Links in the folders on the way are resolved on
// both sides, for merged /usr.
class ProgramKinds
{
public:
    struct NamedProgram
    {
        std::string name; // as the entry gives it
        bool terminal = false;
    };

    // path: an executable file as found on PATH or as given.
    bool isGraphical(const std::string &path, const Environment &environment);

private:
    void readEntries(const Environment &environment);

    bool m_entriesRead = false;
    std::string m_entriesKey; // the variables the entries were read with
    std::vector<NamedProgram> m_named;
};

// True for an ELF executable of this machine's byte order that names a
// windowing-system library among the libraries it needs.
bool linksWindowingSystem(const std::string &path);

} // namespace Cmd

#endif
