#include "ProgramGlobals.h"

TFMain_mul* FMain_mul = nullptr;
Tfrm_connect* frm_connect = nullptr;
std::int32_t WindowCounter = 0;
QString NewConnectionKey;
QString NewConnectionUser;
QString NewConnectionPassword;
QString NewConnectionDSN;
