// Page 1, the welcome page: advises backing up the phone's data.
// Everything it shows comes from its template; it has no behaviour of its own.
#pragma once

#include "framework/CPropertyPage.h"

class CMyPropertyPage1 : public CPropertyPage {
public:
    CMyPropertyPage1();
};
