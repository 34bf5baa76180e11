// Resource identifiers of nxwidgets.ocx.
#pragma once

#define IDB_PROGRESSBAR_TOOLBOX 101
