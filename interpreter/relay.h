#ifndef KORVANI_INTERPRETER_RELAY_H
#define KORVANI_INTERPRETER_RELAY_H

#include <string>
#include <vector>

#include <sys/types.h>

namespace Cmd {

// One stream that a relay copies: what arrives on input goes to output, or is
// kept (its last keptLimit bytes) while keep is set.
struct RelayChannel
{
    static constexpr size_t keptLimit = 64 * 1024;

    int input = -1; // a non-blocking read end, -1 once it has ended
    int output = -1; // -1: what arrives is dropped
    bool keep = false;
    std::string kept;
};

// Waits up to timeout milliseconds (-1: without limit) for input on the
// channels or on wake, and moves what arrived. True when wake is readable.
bool relayInput(std::vector<RelayChannel> &channels, int wake, int timeout);

// Moves what the channels hold right now, without waiting for more.
void relayReady(std::vector<RelayChannel> &channels);

bool anyChannelOpen(const std::vector<RelayChannel> &channels);

// Stands between the programs this interpreter starts and the reader of its
// standard output and error, when these are pipes.
//
// Programs inherit their output streams from the interpreter. Were those the
// reader's pipes, a program would die of SIGPIPE, or block on a full pipe,
// once the reader stops reading: when Korvani kills the interpreter, when the
// interpreter ends before a program it started, when Korvani quits. So the
// first start of a program (or redirection, which would hide the reader's
// pipes behind saved handles) puts a relay in between: a process in its own
// session, that alone holds the
// reader's pipes, ignores SIGPIPE, and copies what arrives on pipes of its
// own, which the interpreter puts in place of its standard output and error.
// Once a write to the reader fails, it reads on and drops what arrives; it
// ends when every writer (the interpreter and every program) has closed its
// end. The interpreter's own output goes through the relay too, so that it
// keeps its order with the programs' output; and before the interpreter ends,
// flush() waits until the relay has passed everything on, since the reader
// stops reading when the interpreter ends. The reader sees its process end
// when the interpreter ends, as the relay holds none of its handles but the
// two output pipes.
class Relay
{
public:
    // Starts the relay if standard output or error is a pipe and there is no
    // relay yet; without one, programs write to the streams as they are.
    void start();

    // True when handle writes into the relay.
    bool carries(int handle) const;

    // Returns once the relay has passed on what was written to it so far.
    void flush();

private:
    struct Pipe
    {
        dev_t device = 0;
        ino_t inode = 0;
    };

    bool m_checked = false;
    int m_request = -1; // flush requests, to the relay
    int m_answer = -1; // the relay's answers
    std::vector<Pipe> m_pipes;
};

} // namespace Cmd

#endif
