// The stimulus and data file dialogs and the file dialog's filters.
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <gtest/gtest.h>

#include "TDialogDataFile.h"
#include "TDialogStimulusFile.h"

namespace {

class FakeFileDialog final : public DebugFileDialog {
public:
    std::optional<std::string> openFile(const std::string& filter, const std::string& defaultExtension) override
    {
        requests.push_back(filter + " " + defaultExtension);
        return answer;
    }
    std::vector<std::string> requests;
    std::optional<std::string> answer;
};

template <typename Dialog>
struct DialogWithFake {
    DialogWithFake()
    {
        auto owned = std::make_unique<FakeFileDialog>();
        files = owned.get();
        dialog = std::make_unique<Dialog>(nullptr, std::move(owned));
    }
    QRadioButton* use() const { return dialog->template findChild<QRadioButton*>("useFile"); }
    QRadioButton* none() const { return dialog->template findChild<QRadioButton*>("noFile"); }
    QLineEdit* edit() const { return dialog->template findChild<QLineEdit*>("fileEdit"); }
    QPushButton* browse() const { return dialog->template findChild<QPushButton*>("browse"); }

    FakeFileDialog* files = nullptr;
    std::unique_ptr<Dialog> dialog;
};

TEST(FileChoiceDialogs, StartWithNoFileAndTheirOwnTexts)
{
    DialogWithFake<TDialogDataFile> data;
    EXPECT_EQ(data.dialog->windowTitle(), "Data File Settings");
    EXPECT_EQ(data.use()->text(), "Use data file:");
    EXPECT_EQ(data.none()->text(), "Do not use a data file.");
    EXPECT_TRUE(data.none()->isChecked());
    EXPECT_FALSE(data.edit()->isEnabled());
    EXPECT_FALSE(data.browse()->isEnabled());
    EXPECT_EQ(data.dialog->DataFile(), std::nullopt);

    DialogWithFake<TDialogStimulusFile> stimulus;
    EXPECT_EQ(stimulus.dialog->windowTitle(), "Stimulus File Settings");
    EXPECT_EQ(stimulus.use()->text(), "Use stimulus file:");
    EXPECT_EQ(stimulus.none()->text(), "Do not use a stimulus file.");
    EXPECT_EQ(stimulus.dialog->StimulusFile(), "");
}

TEST(FileChoiceDialogs, SettingAFileUsesItAndEmptyGoesBackToNone)
{
    DialogWithFake<TDialogStimulusFile> stimulus;
    stimulus.dialog->SetStimulusFile("/work/input.stm");
    EXPECT_TRUE(stimulus.use()->isChecked());
    EXPECT_TRUE(stimulus.edit()->isEnabled());
    EXPECT_TRUE(stimulus.browse()->isEnabled());
    EXPECT_EQ(stimulus.dialog->StimulusFile(), "/work/input.stm");

    stimulus.dialog->SetStimulusFile("");
    EXPECT_TRUE(stimulus.none()->isChecked());
    EXPECT_FALSE(stimulus.edit()->isEnabled());
    EXPECT_EQ(stimulus.dialog->StimulusFile(), "");

    stimulus.use()->setChecked(true);
    EXPECT_TRUE(stimulus.edit()->isEnabled());
}

TEST(FileChoiceDialogs, BrowseAsksForTheirOwnKindOfFile)
{
    DialogWithFake<TDialogDataFile> data;
    data.dialog->SetDataFile("/work/old.hex");
    data.browse()->click();
    EXPECT_EQ(data.edit()->text(), "/work/old.hex");
    data.files->answer = "/work/values.hex";
    data.browse()->click();
    EXPECT_EQ(data.dialog->DataFile(), "/work/values.hex");

    DialogWithFake<TDialogStimulusFile> stimulus;
    stimulus.dialog->SetStimulusFile("/work/a.stm");
    stimulus.browse()->click();
    EXPECT_EQ(data.files->requests, (std::vector<std::string>{"Data Files (*.hex)|*.hex|All Files (*.*)|*.* hex",
                                                              "Data Files (*.hex)|*.hex|All Files (*.*)|*.* hex"}));
    EXPECT_EQ(stimulus.files->requests,
              std::vector<std::string>{"Stimulus Files (*.stm)|*.stm|All Files (*.*)|*.* stm"});
}

TEST(FileChoiceDialogs, CancelKeepsTheChoiceTheDialogWasOpenedWith)
{
    DialogWithFake<TDialogDataFile> data;
    data.dialog->SetDataFile("/work/kept.hex");
    data.dialog->show();
    data.none()->setChecked(true);
    data.dialog->reject();
    EXPECT_EQ(data.dialog->DataFile(), "/work/kept.hex");

    data.dialog->show();
    data.edit()->setText("/work/new.hex");
    data.dialog->accept();
    EXPECT_EQ(data.dialog->DataFile(), "/work/new.hex");
}

TEST(FileDialogFilters, PairsBecomeNameFiltersAndStarDotStarMeansEveryFile)
{
    EXPECT_EQ(qtNameFilters("Program Files (*.hex)|*.hex|All Files (*.*)|*.*"),
              (QStringList{"Program Files (*.hex)", "All Files (*)"}));
    EXPECT_EQ(qtNameFilters("Sources|*.asm;*.inc"), QStringList{"Sources (*.asm *.inc)"});
    EXPECT_EQ(qtNameFilters("Dangling"), QStringList{});
}

}  // namespace
