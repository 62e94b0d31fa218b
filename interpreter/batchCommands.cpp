// The commands that steer a batch file: goto, exit, shift, setlocal,
// endlocal and rem.
#include "commands.h"

#include "context.h"
#include "script.h"
#include "text.h"

namespace Cmd {

namespace {

// cmd's limit on setlocal within one batch file or subroutine.
constexpr size_t maxLocalLevels = 32;

} // namespace

int commandEndLocal(Context &context, std::string_view)
{
    if (context.locals.size() > context.frame->localsAtStart)
        context.endLocal();
    return 0;
}

int commandExit(Context &context, std::string_view arguments)
{
    std::string_view text = trim(arguments);
    const bool leaveBatch = startsWithWord(text, "/b");
    if (leaveBatch)
        text = trim(text.substr(2));
    if (!text.empty())
        context.errorLevel = leadingInteger(firstWord(text));
    context.flow = leaveBatch ? Flow::LeaveBatch : Flow::Quit;
    return context.errorLevel;
}

int commandGoto(Context &context, std::string_view arguments)
{
    std::string_view text = trimLeft(arguments);
    const bool colon = !text.empty() && text.front() == ':';
    if (colon)
        text.remove_prefix(1);
    // The label ends where a label line's does: "goto :a:b" goes to a.
    const std::string_view label = labelWord(text);
    // Only ":eof" with its colon means the end of the file; "goto eof" looks
    // for a label of that name.
    if (colon && equalsIgnoreCase(label, "eof")) {
        context.flow = Flow::LeaveBatch;
        return 0;
    }
    const size_t index = label.empty() ? std::string::npos : context.findLabel(*context.frame, label);
    if (index == std::string::npos) {
        // Observed: the batch file ends, but only after the rest of the line
        // has run, "||" after the failed goto included. npm's shims rely on
        // it: "goto #_undefined_# 2>NUL || title %COMSPEC% & "%_prog%" ...".
        context.frame->ending = true;
        if (label.empty())
            return context.fail(1, "No batch label specified to GOTO command.");
        return context.fail(1, labelNotFound + std::string(label));
    }
    context.frame->nextLine = index + 1;
    context.flow = Flow::Jump;
    return 0;
}

int commandRemark(Context &, std::string_view)
{
    return 0;
}

// setlocal /? : given an argument, setlocal sets the error level: 0 when it
// is a valid one, 1 otherwise. Without one it succeeds.
int commandSetLocal(Context &context, std::string_view arguments)
{
    if (context.locals.size() - context.frame->localsAtStart >= maxLocalLevels)
        return context.fail(1, "Maximum setlocal recursion level reached.");
    context.locals.push_back({context.environment.snapshot(), context.directory, context.delayedExpansion});
    std::string_view text = trim(arguments);
    if (text.empty())
        return 0;
    int errorLevel = 0;
    while (!text.empty()) {
        const std::string_view word = firstWord(text);
        if (equalsIgnoreCase(word, "enabledelayedexpansion") || equalsIgnoreCase(word, "disabledelayedexpansion"))
            context.delayedExpansion = toLower(word.front()) == 'e';
        else if (!equalsIgnoreCase(word, "enableextensions") && !equalsIgnoreCase(word, "disableextensions"))
            errorLevel = 1;
        text = trimLeft(text.substr(word.size()));
    }
    return errorLevel;
}

int commandShift(Context &context, std::string_view arguments)
{
    if (!context.frame->parameters.shift(arguments))
        return context.fail(1, syntaxError);
    return 0;
}

} // namespace Cmd
