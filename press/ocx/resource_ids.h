// Resource identifiers of nxpress.ocx.
#pragma once

#define IDB_BUTTON_TOOLBOX 101
