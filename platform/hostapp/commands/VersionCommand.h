// travex-host --version: the host's version, and the module's from its version record.
#pragma once

#include "HostSession.h"

int ShowVersions(const HostOptions& options);
