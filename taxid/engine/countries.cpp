#include "engine/countries.h"

namespace nx::taxid {

using namespace rules;

const std::array<Country, kCountryCount> kCountries = {{
    {"AT", "Austria", "\u00C1ustria", checkAT},      {"BE", "Belgium", "B\u00E9lgica", checkBE},
    {"BG", "Bulgaria", "Bulg\u00E1ria", checkBG},    {"CY", "Cyprus", "Chipre", checkCY},
    {"CZ", "Czech Republic", "Rep. Checa", checkCZ}, {"DE", "Germany", "Alemanha", checkDE},
    {"DK", "Denmark", "Dinamarca", checkDK},         {"EE", "Estonia", "Est\u00F3nia", checkEE},
    {"EL", "Greece", "Gr\u00E9cia", checkEL},        {"ES", "Spain", "Espanha", checkES},
    {"FI", "Finland", "Finl\u00E2ndia", checkFI},    {"FR", "France", "Fran\u00E7a", checkFR},
    {"GB", "U.K.", "Inglaterra", checkGB},           {"HU", "Hungary", "Hungria", checkHU},
    {"IE", "Ireland", "Irlanda", checkIE},           {"IT", "Italy", "It\u00E1lia", checkIT},
    {"LT", "Lithuania", "Litu\u00E2nia", checkLT},   {"LU", "Luxembourg", "Luxemburgo", checkLU},
    {"LV", "Latvia", "Let\u00F3nia", checkLV},       {"MT", "Malta", "Malta", checkMT},
    {"NL", "Netherlands", "Holanda", checkNL},       {"PL", "Poland", "Pol\u00F3nia", checkPL},
    {"PT", "Portugal", "Portugal", checkPT},         {"RO", "Romania", "Rom\u00E9nia", checkRO},
    {"SE", "Sweden", "Su\u00E9cia", checkSE},        {"SI", "Slovenia", "Eslov\u00E9nia", checkSI},
    {"SK", "Slovakia", "Eslov\u00E1quia", checkSK},
}};

}  // namespace nx::taxid
