// Resource numbers of the custom controls' pictures and templates. A
// program's resource script includes ControlsRes.rc so that the controls
// find them in the program's resources.
#pragma once

// the check box skins: twelve 13 x 13 pictures each, magenta transparent
#define IDB_CHECKBOX_SKIN1 18057
#define IDB_CHECKBOX_SKIN2 18058
