// What the host knows of the PT module's editor: the controls that a user works to make a
// motion from a file of points, and the script verb `import FILE`, which clicks the editor's
// import button and picks FILE in the file dialog that the click opens.
#pragma once

#include <afxheadlessdriver.h>

#include <string>

// The choices of `travex-host import`, as a user would make them in the editor.
struct PtImportChoices {
    std::string pointsPath;    // the file that the editor's import reads
    std::string positionUnit;  // empty: the unit selected already
    std::string timeUnit;
    int hostAddress = 0;  // 0: leave the host address alone
    bool keepBuffer = false;
    std::string startFrom;  // "reference", "actual" or empty
    bool onEvent = false;
    bool noWait = false;
};

// Queues what a user does in the editor to make the motion, ending with OK; when OK is refused
// the refusal is read and the editor left with Cancel.
void QueuePtImportActions(CHeadlessDriver& driver, const PtImportChoices& choices);

// Registers the verb `import FILE` for scripts played on the PT editor.
void RegisterPtEditorVerbs(CHeadlessDriver& driver);
