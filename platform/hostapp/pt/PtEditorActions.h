// What the host knows of the PT module's editor: the controls that a user works to make a
// motion from a file of points, and the script verb `import FILE`, which clicks the editor's
// import button and picks FILE in the file dialog that the click opens.
#pragma once

#include <afxheadlessdriver.h>

#include <string>

// The options of a new motion, as a user would set them in the editor.
struct PtMotionOptions {
    int hostAddress = 0;  // 0: leave the host address alone
    bool keepBuffer = false;
    std::string startFrom;  // "reference", "actual" or empty
    bool onEvent = false;
    bool noWait = false;
};

// The choices of `travex-host import`.
struct PtImportChoices {
    std::string pointsPath;    // the file that the editor's import reads
    std::string positionUnit;  // empty: the unit selected already
    std::string timeUnit;
    PtMotionOptions options;
};

// Queues what a user does in the editor to make the motion, ending with OK; when OK is refused
// the refusal is read and the editor left with Cancel.
void QueuePtImportActions(CHeadlessDriver& driver, const PtImportChoices& choices);

// The options, then OK, as above: for a motion whose points are in place already.
void QueuePtOptionActions(CHeadlessDriver& driver, const PtMotionOptions& options);

// Registers the verb `import FILE` for scripts played on the PT editor.
void RegisterPtEditorVerbs(CHeadlessDriver& driver);
