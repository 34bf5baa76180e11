// Word wrapping of a caption as NxCheckBox and NxHyperLink print it: the caption split at single
// blanks, lines built word by word against a wrap width measured by the caller.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace nx {

// The text without blanks at either end (tabs and other characters are kept).
std::string_view trimBlanks(std::string_view text);

// The caption split at every single blank; two blanks in a row give an empty word.
std::vector<std::string> splitAtBlanks(std::string_view caption);

// The lines of `caption` (trimmed first) for a wrap width, `width` measuring a text in the same
// unit. A candidate line is the trimmed current line, a blank and the next word; when it is wider
// than the wrap width the current line (or, when that is empty, the word alone) becomes a line.
// A word wider than the wrap width stands alone on its line and is never broken. Empty for a
// caption of blanks only.
std::vector<std::string> wrapCaption(std::string_view caption, double wrapWidth,
                                     const std::function<double(std::string_view)>& width);

}  // namespace nx
