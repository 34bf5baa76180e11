#include "press/press_classes.h"

#include "press/button/button.h"

namespace nx {

std::vector<const ClassInfo*> nxpressClasses() {
  return {&NxButton::classTable().info()};
}

}  // namespace nx
