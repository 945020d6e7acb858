// The program's one application object; the framework's entry takes over
// from it.
#include "DvdGui/source/DvdGuiApp.h"

CDvdGuiApp theApp;
