// Resource identifiers of nxwidgets.ocx.
#pragma once

#define IDB_PROGRESSBAR_TOOLBOX 101
#define IDB_CHECKBOX_TOOLBOX 102
#define IDB_HYPERLINK_TOOLBOX 103
#define IDB_METER_TOOLBOX 104
#define IDB_GRADFRAME_TOOLBOX 105
