#include "wizard/CMyPropertyPage2.h"

#include "res/resource.h"

CMyPropertyPage2::CMyPropertyPage2() : CPropertyPage(IDD_GETTING_STARTED) {
    // The application handles Help, but no page offers it.
    m_psp.dwFlags &= ~PSP_HASHELP;
}
