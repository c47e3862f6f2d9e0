#include "framework/ProgressCtrl.h"

#include <commctrl.h>

namespace fw {

void CProgressCtrl::SetRange(short lower, short upper) {
    SendMessage(PBM_SETRANGE, 0, MAKELPARAM(lower, upper));
}

int CProgressCtrl::SetStep(int step) { return static_cast<int>(SendMessage(PBM_SETSTEP, step)); }

int CProgressCtrl::SetPos(int pos) { return static_cast<int>(SendMessage(PBM_SETPOS, pos)); }

int CProgressCtrl::StepIt() { return static_cast<int>(SendMessage(PBM_STEPIT)); }

int CProgressCtrl::GetPos() const { return static_cast<int>(SendMessage(PBM_GETPOS)); }

}  // namespace fw
