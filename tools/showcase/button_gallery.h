// The button gallery of nxshowcase: NxButton in each theme and look on a form of its own.
#pragma once

#include "platform/win32/formhost/form_host.h"

// Places the buttons on `form` from `library` (nxpress.ocx); false when the library refuses one.
bool placeButtonGallery(nx::formhost::Form& form, const nx::formhost::Library& library);
