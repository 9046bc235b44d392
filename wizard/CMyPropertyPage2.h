// Page 2, getting started: how to put the phone into download mode.
// Everything it shows comes from its template; it has no behaviour of its own.
#pragma once

#include "framework/CPropertyPage.h"

class CMyPropertyPage2 : public CPropertyPage {
public:
    CMyPropertyPage2();
};
