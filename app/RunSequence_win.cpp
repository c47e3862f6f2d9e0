#include "app/LinkApp.h"
#include "app/ResultCode.h"

// The conditions dialog is not part of the program yet: without it the user cannot
// choose the business category and the output file, so the run cannot go on and ends as
// failed. The steps that follow the dialog (progress window, aggregation, export, result
// message) are wired here together with it.
BOOL ClLinkApp::RunSequence() {
    SetResult(velnor::kResultFailed);
    return FALSE;
}
