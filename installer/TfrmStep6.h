// The installation page: Install copies everything into place with a progress bar and a
// percentage, thanks the user and ends the program; a failure is reported instead of the thanks.
#pragma once

#include "InstallationRun.h"
#include "TfrmParent2.h"

class QLabel;
class QLineEdit;

class TfrmStep6 : public TfrmParent2, private InstallationRun::Observer {
    Q_OBJECT
public:
    explicit TfrmStep6(QWidget* parent = nullptr);

    void FormCreate() override;

    QLabel* Label2;
    QLineEdit* edit_1;        // the white box: the whole width
    QLineEdit* Edit_progress; // the blue box over it: its width is the bar

    int InstallItemTotal = 0;
    QString ProgressPrefix;
    int ItemsDone = 0;

    // Writes the two boxes from ItemsDone, the prefix and the total, and paints them at once.
    virtual void UpdateProgress();

public slots:
    virtual void btn_nextClick();
    virtual void btn_backClick() {}
    virtual void btn_cancelClick() {}

protected:
    void ShowProgress(int total, const QString& prefix);
    // Puts the blue box over the white one with no width, shows both and draws the first state.
    void StartProgress();
    // One more item: the display, then a short pause so that the bar is seen to move.
    void Step();
    // Whether the record names this installation's folder, written once more when it does not; the
    // user is told when it still cannot be written.
    bool RecordHoldsInstallation();

private:
    void ItemDone() override;
    void FilesMissing() override;
    void LinkFolderNotRecorded() override;
};

extern TfrmStep6* frmStep6;
