// The pictures all NxVATNumber instances of a thread draw with: the drop-down button's three
// looks, loaded with the first instance, and the 27 flags of the list, loaded when a list is
// first opened. The last instance to go releases both.
#pragma once

#include <array>
#include <vector>

#include "core/control/thread_shared.h"
#include "core/runtime/picture.h"

namespace nx::vatbox {

struct VatPictures {
  std::array<PictureRef, 3> buttons;  // "BT_0", "BT_1", "BT_2"
  std::vector<PictureRef> flags;      // "FLG_" + code, in the country table's order
  bool flagsLoaded = false;
};

struct VatNumberTag {};
using VatShared = ThreadShared<VatNumberTag, VatPictures>;
using VatLease = ThreadSharedLease<VatNumberTag, VatPictures>;

}  // namespace nx::vatbox
