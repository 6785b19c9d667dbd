#include "WizardPages.h"

#include "TfrmStep1.h"
#include "TfrmStep2.h"
#include "TfrmStep2B.h"
#include "TfrmStep4.h"
#include "TfrmStep5.h"
#include "TfrmStep6.h"
#include "Tfrm_unstall.h"

namespace {

template <class Page>
void Delete(Page*& formVariable)
{
    delete formVariable;
    formVariable = nullptr;
}

} // namespace

namespace WizardPages {

void DeleteAll()
{
    Delete(frm_unstall);
    Delete(frmStep6);
    Delete(frmStep4);
    Delete(frmStep5);
    Delete(frmStep2B);
    Delete(frmStep2);
    Delete(frmStep1);
}

} // namespace WizardPages
