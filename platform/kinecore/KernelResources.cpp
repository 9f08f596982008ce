#include <afxrestable.h>

const CResourceTable& KernelResourceTable();

// The kernel's dialog templates are found through the resource chain for as long as the library
// is loaded. Both the table and the chain are built on first use, here at the latest.
static CModuleResources theKernelResources(KernelResourceTable());
