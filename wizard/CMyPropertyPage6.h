// Page 6, the completion page: hides Next and turns Cancel into the wizard's
// only button, "Finish", which closes the wizard through the cancel path.
#pragma once

#include "framework/CPropertyPage.h"

class CMyPropertySheet;

class CMyPropertyPage6 : public CPropertyPage {
public:
    CMyPropertyPage6();

    BOOL OnSetActive() override;

    CMyPropertySheet* m_pSheet;
};
