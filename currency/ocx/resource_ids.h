// Resource identifiers of nxcurrency.ocx.
#pragma once

#define IDB_EUROBOX_TOOLBOX 101
