// A points file read as `import` reads it, for every command that takes one: the reader's options,
// the units (the command line's, else the header's), and the table that the editor's import makes
// of the rows, with what it changed.
#pragma once

#include <DriveSetup.h>

#include <string>
#include <string_view>

#include "pt/NewMotionFromTable.h"
#include "pt/PointsFileReader.h"
#include "pt/PtImportPreview.h"

struct PointsReading {
    PointsFileOptions options;
    std::string separator;  // as the command line gives it
};

// Reads the rows of `bytes` (a byte order mark skipped already); kExitSuccess, or the failure
// told.
int ReadPointsRows(std::string_view bytes, PointsReading reading, const std::string& name,
                   PointsFile& file);

// Takes the header's units where `named` has none, and previews the editor's import of the rows
// in them; kExitSuccess, or the failure told. `roundedTable` as PreviewPtImport takes it.
int PreviewPointsImport(CDriveSetup& setup, const PointsFile& file, const std::string& name,
                        NewMotionUnits& named, PtImportUnits& units, PtImportPreview& preview,
                        bool roundedTable = true);
