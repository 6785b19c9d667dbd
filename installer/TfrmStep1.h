// The welcome page, the program's main form: the side picture and the welcome text.
#pragma once

#include "TfrmParent.h"

class PictureBox;
class QTextEdit;

class TfrmStep1 : public TfrmParent {
    Q_OBJECT
public:
    static inline const QString Heading = QStringLiteral("欢迎安装Tarnvale企业版");

    explicit TfrmStep1(QWidget* parent = nullptr);

    void FormCreate() override;

    PictureBox* Image1;
    QTextEdit* RichEdit1;

public slots:
    void btn_nextClick();
    void btn_cancelClick();

protected:
    void FormShow() override;
    void FormClose() override;

private:
    // Selects the heading in RichEdit1's cursor; false when the text lacks it.
    bool SelectHeading(class QTextCursor& cursor) const;
};

extern TfrmStep1* frmStep1;
