// The wizard under test: its places in a scratch folder, the prompter and the folder dialog
// answered by the test, and the pages driven as a user drives them.
#pragma once

#include "InstallerGlobals.h"
#include "InstallerTestSupport.h"
#include "PageSwitch.h"
#include "RecordingPrompter.h"
#include "ScriptedFileChooser.h"
#include "TfrmStep1.h"
#include "TfrmStep2.h"
#include "TfrmStep2B.h"
#include "TfrmStep4.h"
#include "TfrmStep5.h"
#include "TfrmStep6.h"
#include "Tfrm_unstall.h"
#include "WidgetTestApp.h"
#include "WizardPages.h"
#include "WizardTermination.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

class WizardTest : public testing::Test {
protected:
    void SetUp() override { places.WriteSmallMedium(); }
    void TearDown() override { WizardPages::DeleteAll(); }

public:
    // The program's start: the welcome page made and shown.
    void Start()
    {
        WizardPages::DeleteAll();
        InstallerGlobals::Reset(places.Environment);
        WizardTermination::Reset();
        SwitchPage(nullptr, frmStep1);
    }

    static void Click(QAbstractButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

    // The page on the screen; a test fails when there is not exactly one.
    static QWidget* Shown()
    {
        QWidget* shown = nullptr;
        int count = 0;
        for (QWidget* page : std::initializer_list<QWidget*>{frmStep1, frmStep2, frmStep2B, frmStep5, frmStep4, frmStep6,
                                                              frm_unstall})
            if (page && page->isVisible()) {
                shown = page;
                ++count;
            }
        EXPECT_EQ(count, 1) << "one page at a time";
        return shown;
    }

    void ToChoicePage()
    {
        Start();
        Click(frmStep1->btn_next);
        Click(frmStep2->RadioButton_agree);
        Click(frmStep2->btn_next);
    }
    void ToFolderPage()
    {
        ToChoicePage();
        Click(frmStep2B->btn_next);
    }
    void ToUserPage()
    {
        ToFolderPage();
        Click(frmStep5->btn_next);
    }
    void ToInstallPage(const QString& user = QStringLiteral("张伟"), const QString& company = QStringLiteral("北京公司"))
    {
        ToUserPage();
        frmStep4->Edit_user->insert(user);
        frmStep4->Edit_company->insert(company);
        Click(frmStep4->btn_next);
    }
    void ToRemovalPage()
    {
        ToChoicePage();
        Click(frmStep2B->rb_unstall);
        Click(frmStep2B->btn_next);
    }

    QStringList PromptTexts() const
    {
        QStringList texts;
        for (const PromptRecord& p : prompter.Prompts) texts << p.Text;
        return texts;
    }

    InstallerTest::Places places;
    RecordingPrompter prompter;
    ScriptedFileChooser chooser;
};
