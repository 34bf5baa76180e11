#include "widgets/widget_classes.h"

#include "widgets/checkbox/check_box.h"
#include "widgets/gradframe/grad_frame.h"
#include "widgets/hyperlink/hyper_link.h"
#include "widgets/meter/meter.h"
#include "widgets/progressbar/progress_bar.h"

namespace nx {

std::vector<const ClassInfo*> nxwidgetsClasses() {
  return {&NxProgressBar::classTable().info(), &NxCheckBox::classTable().info(),
          &NxHyperLink::classTable().info(), &NxMeter::classTable().info(),
          &NxGradFrame::classTable().info()};
}

}  // namespace nx
