// Named substitution for the fixed blocks of generated text. A block is written once, verbatim,
// with "{name}" where a value goes; Fill puts the values in, in one pass, so a value that
// itself reads "{className}" is never expanded again. Braces around anything that is not a
// plain name (a GUID, say) are literal text.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

namespace vbgen {

// A placeholder's name and its value. The name is a placeholder name, as the generators write
// them: a letter, then letters and digits.
using TVar = std::pair<std::string_view, std::string_view>;

// Throws std::logic_error for a placeholder without a value (a fault in the generator).
std::string Fill(std::string_view block, std::initializer_list<TVar> vars);
// The same, appended to out: a form is built from thousands of blocks, each without a copy.
void FillInto(std::string& out, std::string_view block, std::initializer_list<TVar> vars);

// Every LF becomes CR LF: blocks are written with plain line ends and converted once.
std::string CrLf(std::string_view text);

}  // namespace vbgen
