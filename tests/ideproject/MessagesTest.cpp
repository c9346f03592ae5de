#include <QMainWindow>
#include <QPlainTextEdit>
#include <QTextBlock>

#include "DeviceFixture.h"
#include "TFormMessages.h"

namespace {

class MessagesTest : public DeviceFixture {
protected:
    void SetUp() override
    {
        DeviceFixture::SetUp();
        window_.show();
        messages_ = new TFormMessages(&window_, false, std::nullopt, TDockableForm::kDockBottom);
        messages_->SetLocator([this](const QString& text, QString* file, int* line) {
            return binding_->LocateMessage(text, file, line);
        });
        messages_->SetFileOpener(
            [this](const QString& file, int line) { opened_ << file + ":" + QString::number(line); });
    }
    void putCaretOnLine(int line)
    {
        QTextCursor cursor(messages_->Memo()->document()->findBlockByNumber(line));
        messages_->Memo()->setTextCursor(cursor);
    }

    QMainWindow window_;
    TFormMessages* messages_ = nullptr;
    QStringList opened_;
};

TEST_F(MessagesTest, ADoubleClickOpensTheNearestMessageAboveThatTheDevicePlaces)
{
    script_.locations = {{"main.asm(12): error: unknown opcode", {"/work/demo/main.asm", 12}}};
    installAndLoad({{"Fake", FAKE_DEVICE}});
    binding_->SelectDeviceByName("Fake");
    messages_->AddMessage("Compiling...");
    messages_->AddMessage("main.asm(12): error: unknown opcode\r\n    mvo r1, r2");
    messages_->AddMessage("Build Failed.");
    EXPECT_EQ(messages_->Lines(),
              QStringList({"Compiling...", "main.asm(12): error: unknown opcode", "    mvo r1, r2", "Build Failed."}));
    script_.takeCalls();

    putCaretOnLine(2);
    messages_->MemoDblClick();
    EXPECT_EQ(opened_, QStringList({"/work/demo/main.asm:12"}));
    EXPECT_EQ(script_.takeCalls(), std::vector<std::string>({"LocateMessage     mvo r1, r2",
                                                             "LocateMessage main.asm(12): error: unknown opcode"}));

    // Above every placeable line: every line is tried, nothing opens.
    opened_.clear();
    putCaretOnLine(0);
    messages_->MemoDblClick();
    EXPECT_TRUE(opened_.isEmpty());
}

TEST_F(MessagesTest, WithoutADeviceADoubleClickDoesNothing)
{
    messages_->AddMessage("main.asm(12): error");
    messages_->MemoDblClick();
    EXPECT_TRUE(opened_.isEmpty());
}

TEST_F(MessagesTest, ThePopupOffersWhatTheTextAllowsAndClears)
{
    messages_->PopupMenuPopup();
    EXPECT_FALSE(messages_->ClearAction()->isEnabled());
    EXPECT_FALSE(messages_->SelectAllAction()->isEnabled());
    EXPECT_FALSE(messages_->CopyAction()->isEnabled());
    messages_->AddMessage("one");
    messages_->MenuItemSelectAllClick();
    messages_->PopupMenuPopup();
    EXPECT_TRUE(messages_->ClearAction()->isEnabled());
    EXPECT_TRUE(messages_->CopyAction()->isEnabled());
    messages_->MenuItemClearClick();
    EXPECT_TRUE(messages_->Lines().isEmpty());
    EXPECT_EQ(messages_->windowTitle(), "Messages");
    EXPECT_EQ(messages_->Placement(), TDockableForm::kDockBottom);
}

}  // namespace
