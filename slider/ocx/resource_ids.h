// Resource identifiers of nxslider.ocx.
#pragma once

#define IDB_TRACKER_TOOLBOX 101
