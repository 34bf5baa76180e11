#include "slider/slider_classes.h"

#include "slider/tracker/tracker.h"

namespace nx {

std::vector<const ClassInfo*> nxsliderClasses() {
  return {&NxTracker::classTable().info()};
}

}  // namespace nx
