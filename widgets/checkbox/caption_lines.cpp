#include "widgets/checkbox/caption_lines.h"

namespace nx {

std::string_view trimBlanks(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const std::size_t last = text.find_last_not_of(' ');
  return text.substr(first, last - first + 1);
}

std::vector<std::string> splitAtBlanks(std::string_view caption) {
  std::vector<std::string> words;
  std::size_t start = 0;
  while (true) {
    const std::size_t pos = caption.find(' ', start);
    if (pos == std::string_view::npos) {
      words.emplace_back(caption.substr(start));
      return words;
    }
    words.emplace_back(caption.substr(start, pos - start));
    start = pos + 1;
  }
}

std::vector<std::string> wrapCaption(std::string_view caption, double wrapWidth,
                                     const std::function<double(std::string_view)>& width) {
  std::vector<std::string> lines;
  const std::string_view text = trimBlanks(caption);
  if (text.empty()) return lines;
  std::string current;
  for (const std::string& word : splitAtBlanks(text)) {
    const std::string trimmed(trimBlanks(current));
    const std::string candidate = trimmed + " " + word;
    if (width(candidate) > wrapWidth) {
      if (trimmed.empty()) {
        lines.push_back(word);
        current.clear();
      } else {
        lines.push_back(trimmed);
        current = word;
      }
    } else {
      current += " " + word;
    }
  }
  const std::string_view rest = trimBlanks(current);
  if (!rest.empty()) lines.emplace_back(rest);
  return lines;
}

}  // namespace nx
