// A progress bar ("msctls_progress32"), usually a template control bound
// with DDX_Control.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "framework/CWnd.h"

class CProgressCtrl : public CWnd {
public:
    void SetRange(short nLower, short nUpper);     // PBM_SETRANGE
    void GetRange(int& nLower, int& nUpper) const; // PBM_GETRANGE
    int SetPos(int nPos);                          // PBM_SETPOS; the previous position
    int GetPos() const;                            // PBM_GETPOS
};
