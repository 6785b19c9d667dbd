// The program's process-wide values that live beside the settings: the frame, the connect dialog
// while it is shown, the window counter and the connection just made in the connect dialog.
#pragma once

#include <QPointer>
#include <QString>

#include <cstdint>

class TFMain_mul;
class Tfrm_connect;
class TfrmSaveAll;

// The frame of the running program; none before it is created and after it is gone.
extern TFMain_mul* FMain_mul;
// The connect dialog while one is shown.
extern Tfrm_connect* frm_connect;
// The save question of the frame's closing, created at start-up; gone with the frame.
extern QPointer<TfrmSaveAll> frmSaveAll;

// The N of the next title "无标题" + N: 0 at frame creation, one more before every new query
// window, never reset.
extern std::int32_t WindowCounter;

// The connection just made in the connect dialog.
extern QString NewConnectionKey;
extern QString NewConnectionUser;
extern QString NewConnectionPassword;
extern QString NewConnectionDSN;
