// One check rule per member state. Each receives the national number without its prefix
// and tests its shape before computing anything.
#pragma once

#include <string_view>

namespace nx::taxid::rules {

using Rule = bool (*)(std::string_view number);

bool checkAT(std::string_view n);
bool checkBE(std::string_view n);
bool checkBG(std::string_view n);
bool checkCY(std::string_view n);
bool checkCZ(std::string_view n);
bool checkDE(std::string_view n);
bool checkDK(std::string_view n);
bool checkEE(std::string_view n);
bool checkEL(std::string_view n);
bool checkES(std::string_view n);
bool checkFI(std::string_view n);
bool checkFR(std::string_view n);
bool checkGB(std::string_view n);
bool checkHU(std::string_view n);
bool checkIE(std::string_view n);
bool checkIT(std::string_view n);
bool checkLT(std::string_view n);
bool checkLU(std::string_view n);
bool checkLV(std::string_view n);
bool checkMT(std::string_view n);
bool checkNL(std::string_view n);
bool checkPL(std::string_view n);
bool checkPT(std::string_view n);
bool checkRO(std::string_view n);
bool checkSE(std::string_view n);
bool checkSI(std::string_view n);
bool checkSK(std::string_view n);

}  // namespace nx::taxid::rules
