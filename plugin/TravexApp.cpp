#include "plugin/TravexApp.h"

// Built when the module is loaded and destroyed when it is unloaded. The resources join the
// host's resource chain for as long, so that the host's dialog base finds template 214 here and
// this module finds the host's strings.
CTravexApp theApp;
static CModuleResources theResources(TravexResourceTable());
