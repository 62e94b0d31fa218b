#ifndef KORVANI_DESKTOP_EXECCOMMAND_H
#define KORVANI_DESKTOP_EXECCOMMAND_H

#include <string>
#include <string_view>
#include <vector>

namespace Desktop {

// The words of an Exec value whose string escapes are already undone: the
// program, then its arguments, with the quoting undone and without field
// codes. Empty when a quote is left open, since what the command means is
// then unknown.
//
// - Blanks (spaces, tabs) separate words; a line break does not, so that it
//   stays visible in the word that holds it.
// - Double quotes group, also inside a word; in them a backslash makes the
//   next " ` $ or \ plain and stays before any other character. Outside
//   quotes a backslash is a plain character.
// - Field codes stand for files, URLs, and the entry's name, icon and place,
//   none of which a launch from Korvani has: each is taken out, and "%%" is a
//   percent sign. Quoting is undone first, as the specification orders, so
//   codes in quotes go too. A word that held only codes goes with them; a
//   quoted empty word ("") is an empty argument.
std::vector<std::string> splitExec(std::string_view command);

} // namespace Desktop

#endif
