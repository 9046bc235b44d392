// Page 4, the notice page: makes sure Next is enabled for the Updating page
// and that it carries its ordinary caption when the page is left.
#pragma once

#include "framework/CPropertyPage.h"

class CMyPropertySheet;

class CMyPropertyPage4 : public CPropertyPage {
public:
    CMyPropertyPage4();

    BOOL OnSetActive() override;
    BOOL OnKillActive() override;

    CMyPropertySheet* m_pSheet;
};
