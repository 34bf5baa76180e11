#include "widgets/widget_classes.h"

#include "widgets/progressbar/progress_bar.h"

namespace nx {

std::vector<const ClassInfo*> nxwidgetsClasses() {
  return {&NxProgressBar::classTable().info()};
}

}  // namespace nx
