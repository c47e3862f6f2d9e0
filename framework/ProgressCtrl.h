// A progress-bar control ("msctls_progress32"), usually bound with DDX_Control.
#pragma once

#include <windows.h>

#include "framework/Wnd.h"

namespace fw {

class CProgressCtrl : public CWnd {
  public:
    void SetRange(short lower, short upper);
    int SetStep(int step);
    int SetPos(int pos);
    int StepIt();
    int GetPos() const;
};

}  // namespace fw
