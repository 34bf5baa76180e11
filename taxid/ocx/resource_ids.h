// Resource identifiers of nxtaxid.ocx.
#pragma once

#define IDB_VATNUMBER_TOOLBOX 101
