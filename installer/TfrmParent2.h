// The base of every page but the welcome page: the banner in a short top panel, the greyed
// "安装向导" label and a separator line over the buttons. Its close box ends the program.
#pragma once

#include "TfrmParent.h"

class PictureBox;
class QLabel;

class TfrmParent2 : public TfrmParent {
    Q_OBJECT
public:
    explicit TfrmParent2(QWidget* parent = nullptr);

    PictureBox* Image1;
    QLabel* Label1;
    QFrame* Panel2;

protected:
    void FormClose() override;
};
