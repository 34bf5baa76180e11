#include "currency/currency_classes.h"

#include "currency/eurobox/eurobox.h"

namespace nx {

std::vector<const ClassInfo*> nxcurrencyClasses() {
  return {&NxEuroBox::classTable().info()};
}

}  // namespace nx
