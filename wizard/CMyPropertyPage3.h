// Page 3, the image file page: the user chooses the image with Browse, and
// Next stays disabled until a file has been chosen.
#pragma once

#include "framework/CPropertyPage.h"

class CMyPropertySheet;

class CMyPropertyPage3 : public CPropertyPage {
public:
    CMyPropertyPage3();

    BOOL OnSetActive() override;

    CMyPropertySheet* m_pSheet;

protected:
    void OnBrowse();

    DECLARE_MESSAGE_MAP()
};
