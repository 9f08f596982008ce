// A module for the loader's tests: it exports the seven functions or, built with
// FAKE_MODULE_WITHOUT_EDIT or FAKE_MODULE_CLASS_ONLY, only some of them, so that the host's
// report of a missing export can be checked.
#define FAKE_EXPORT extern "C" __attribute__((visibility("default")))

class CMC_Setup;
class CMC_Motion;
class CString;

FAKE_EXPORT const char* GetClassName() { return "FakeClass"; }

#ifndef FAKE_MODULE_CLASS_ONLY
FAKE_EXPORT const char* GetName() { return "Fake"; }
FAKE_EXPORT int GetOrderID() { return 77; }
FAKE_EXPORT int IsEnabled(CMC_Setup&) { return 1; }
FAKE_EXPORT void GetDefaultParameters(CMC_Setup&, CMC_Motion&, CString&) {}
#ifndef FAKE_MODULE_WITHOUT_EDIT
FAKE_EXPORT int EditMotionSequence(CMC_Setup&, CMC_Motion&, CString&) { return 0; }
#endif
FAKE_EXPORT int TranslateMotionSequence(CMC_Setup&, CMC_Motion&, CString&, CString&) { return 0; }
#endif
