// The removal page: Unstall takes away what the installation recorded, with the same progress
// display as the installation page, says what stayed, thanks the user and ends the program.
#pragma once

#include "InstallationRemoval.h"
#include "TfrmStep6.h"

#include <memory>

class Tfrm_unstall : public TfrmStep6 {
    Q_OBJECT
public:
    explicit Tfrm_unstall(QWidget* parent = nullptr);
    ~Tfrm_unstall() override;

    void FormCreate() override;
    void UpdateProgress() override;

    // The progress steps of the removal, from the record as it is now.
    int CountRemovalItems();
    // Removes with an item step per recorded file; what stayed, one line each.
    QStringList RemoveInstalledFiles();

    int RemovalItemTotal = 0;
    QString RemovalProgressPrefix;

public slots:
    void btn_nextClick() override;
    void btn_backClick() override;
    void btn_cancelClick() override;

private:
    // Where an installation recorded in the system's hive lies, when this process has no record of
    // its own but that one is there; empty otherwise.
    QString InstallationOfOtherRights() const;

    std::unique_ptr<InstallationRemoval> removal_;
};

extern Tfrm_unstall* frm_unstall;
