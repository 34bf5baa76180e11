#include "taxid/taxid_classes.h"

#include "taxid/vatbox/vatnumber.h"

namespace nx {

std::vector<const ClassInfo*> nxtaxidClasses() {
  return {&NxVATNumber::classTable().info()};
}

}  // namespace nx
