#include "RecordingPrompter.h"
#include "SaveFileChoice.h"
#include "ScriptedFileChooser.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QString AddCsv(const QString& name, int) { return name.endsWith(".csv") ? name : name + ".csv"; }

class SaveFileChoiceTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        existing = dir.path() + "/kept.csv";
        QFile file(existing);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        request.Name = "SaveDialog_test";
        request.Title = "保存";
    }

    QTemporaryDir dir;
    QString existing;
    FileChooser::Request request;
    RecordingPrompter prompter;
    ScriptedFileChooser files;
};

TEST_F(SaveFileChoiceTest, ANewNameIsTakenWithoutAQuestionAndCompleted)
{
    files.Accept(dir.path() + "/new", 1);
    const SaveFileChoice::Result result = SaveFileChoice::Choose(request, AddCsv);
    EXPECT_TRUE(result.Accepted);
    EXPECT_EQ(result.Path, dir.path() + "/new.csv");
    EXPECT_EQ(result.FilterIndex, 1);
    EXPECT_TRUE(prompter.Prompts.empty());
    ASSERT_EQ(files.Requests.size(), 1u);
    EXPECT_EQ(files.Requests[0].Kind, FileChooser::Mode::Save);
}

TEST_F(SaveFileChoiceTest, AnExistingCompletedNameIsReplacedOnlyAfterYes)
{
    // "kept" completes to the existing kept.csv: that name is the one asked about.
    prompter.Answers = {Prompter::No, Prompter::Yes};
    files.Accept(dir.path() + "/kept", 0);
    files.Accept(dir.path() + "/kept.csv", 0);
    const SaveFileChoice::Result result = SaveFileChoice::Choose(request, AddCsv);
    EXPECT_TRUE(result.Accepted);
    EXPECT_EQ(result.Path, existing);
    ASSERT_EQ(prompter.Prompts.size(), 2u);
    EXPECT_EQ(prompter.Prompts[0].Text, existing + " 已存在。\n要替换它吗？");
    EXPECT_EQ(prompter.Prompts[0].Caption, "保存");
    EXPECT_EQ(prompter.Prompts[0].Icon, Prompter::Icon::Exclamation);
    EXPECT_EQ(prompter.Prompts[0].Buttons, Prompter::Yes | Prompter::No);
    // After No the dialog comes back where the user was, with the name chosen.
    ASSERT_EQ(files.Requests.size(), 2u);
    EXPECT_EQ(files.Requests[1].Folder, dir.path());
    EXPECT_EQ(files.Requests[1].FileName, "kept.csv");
}

TEST_F(SaveFileChoiceTest, NoThenCancelChoosesNothing)
{
    prompter.Answers = {Prompter::No};
    files.Accept(existing);
    files.Cancel();
    const SaveFileChoice::Result result = SaveFileChoice::Choose(request);
    EXPECT_FALSE(result.Accepted);
    EXPECT_TRUE(result.Path.isEmpty());
    EXPECT_EQ(files.Requests.size(), 2u);
}

} // namespace
