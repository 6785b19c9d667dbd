#include "ProgramGlobals.h"

#include "TfrmSaveAll.h"

TFMain_mul* FMain_mul = nullptr;
Tfrm_connect* frm_connect = nullptr;
QPointer<TfrmSaveAll> frmSaveAll;
std::int32_t WindowCounter = 0;
QString NewConnectionKey;
QString NewConnectionUser;
QString NewConnectionPassword;
QString NewConnectionDSN;
