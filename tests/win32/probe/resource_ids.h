// Resource identifiers of nxprobe.ocx.
#pragma once

#define IDB_PROBE_TOOLBOX 101
