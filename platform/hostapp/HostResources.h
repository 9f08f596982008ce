// The stand-in host's own resources: the strings that modules load through the resource chain.
#pragma once

#include "afxrestable.h"

// Built from HostResources.rc on first use.
const CResourceTable& HostResourceTable();
