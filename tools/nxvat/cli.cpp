#include "cli.h"

#include <string>

#include "engine/nif_validator.h"

namespace nx::nxvat {

namespace {

constexpr std::string_view kUsage =
    "Usage:\n"
    "  nxvat check CC NUMBER        print \"valid\" (exit 0) or \"invalid\" (exit 1)\n"
    "  nxvat complete CC NUMBER     print the number with its \"?\" (or missing last\n"
    "                               character) completed (exit 0); nothing and exit 1\n"
    "                               when no completion exists\n"
    "  nxvat countries [--lang en|pt]\n"
    "                               list index, code and name of the member states\n"
    "  nxvat check --batch          read lines CC<TAB>NUMBER (LF or CRLF) from standard\n"
    "                               input, print 1 or 0 per line\n"
    "  nxvat complete --batch       same input, print the completed number or an empty\n"
    "                               line per line\n"
    "  nxvat --help                 this text\n"
    "\n"
    "CC is a country code in any letter case (AT, be, EL, ...); \"-\" or an unknown code\n"
    "means no country: every number is valid, and completion searches the countries in\n"
    "table order. The number is checked exactly as given (no prefix, no blanks).\n"
    "In batch mode a line without a tab is reported on standard error with its line\n"
    "number and gives an empty output line; the exit code is then 1, otherwise 0.\n"
    "Wrong arguments exit with 2.\n";

int usageError(Output& err, std::string_view message) {
  err.write("nxvat: ");
  err.write(message);
  err.write("\nTry 'nxvat --help'.\n");
  return kExitUsage;
}

int listCountries(std::span<const std::string_view> args, Output& out, Output& err) {
  int lang = taxid::NX_EN;
  if (args.size() == 2 && args[0] == "--lang" && (args[1] == "en" || args[1] == "pt")) {
    lang = args[1] == "pt" ? taxid::NX_PT : taxid::NX_EN;
  } else if (!args.empty()) {
    return usageError(err, "countries takes only --lang en or --lang pt");
  }
  std::string text;
  for (int i = 0; i < taxid::kCountryCount; ++i) {
    text += std::to_string(i);
    text += '\t';
    text += taxid::countryCode(i);
    text += '\t';
    text += taxid::countryName(i, lang);
    text += '\n';
  }
  out.write(text);
  return kExitOk;
}

}  // namespace

int parseCountry(std::string_view code) {
  return code == "-" ? -1 : taxid::countryIndex(code);
}

int run(std::span<const std::string_view> args, Input& in, Output& out, Output& err) {
  if (args.empty()) return usageError(err, "missing command");
  const std::string_view command = args[0];
  const auto rest = args.subspan(1);
  if (command == "--help" || command == "-h" || command == "help") {
    out.write(kUsage);
    return kExitOk;
  }
  if (command == "countries") return listCountries(rest, out, err);
  if (command != "check" && command != "complete")
    return usageError(err, "unknown command '" + std::string(command) + "'");

  const bool check = command == "check";
  if (rest.size() == 1 && rest[0] == "--batch")
    return check ? checkBatch(in, out, err) : completeBatch(in, out, err);
  if (rest.size() != 2)
    return usageError(err, std::string(command) + " takes CC NUMBER or --batch");
  if (rest[0].starts_with("--") || rest[1].starts_with("--"))
    return usageError(err, "unexpected option with " + std::string(command));

  const int country = parseCountry(rest[0]);
  if (check) {
    const bool valid = taxid::checkNumber(rest[1], country);
    out.write(valid ? "valid\n" : "invalid\n");
    return valid ? kExitOk : kExitNegative;
  }
  const std::string completed = taxid::completeNumber(rest[1], country);
  if (completed.empty()) return kExitNegative;
  out.write(completed + "\n");
  return kExitOk;
}

}  // namespace nx::nxvat
