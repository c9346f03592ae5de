// The tool-window table with plain windows that count their refreshes.
#include <QAction>
#include <QApplication>
#include <QMainWindow>
#include <gtest/gtest.h>

#include "ToolWindows.h"

namespace {

class CountingWindow : public TDockableForm {
public:
    CountingWindow(QMainWindow& owner, std::optional<QRect> rect, int placement, QStringList& log, QString name)
        : TDockableForm(&owner, false, rect, placement, name), log_(log), name_(std::move(name))
    {}
    void RefreshView() override { log_ << "refresh " + name_; }
    void ResetView() override { log_ << "reset " + name_; }

private:
    QStringList& log_;
    QString name_;
};

class ToolWindowsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        owner_.resize(900, 600);
        owner_.show();
        for (int id : {23, 24, 28})
            register_(id, id != 28);
    }
    void register_(int id, bool refreshed)
    {
        ToolWindows::Kind kind;
        kind.id = id;
        kind.defaultPlacement = id == 24 ? TDockableForm::kDockBottom : TDockableForm::kDockRight;
        kind.refreshed = refreshed;
        kind.create = [this, id](QMainWindow& owner, std::optional<QRect> rect, int placement) {
            ++created_;
            return new CountingWindow(owner, rect, placement, log_, QString::number(id));
        };
        kind.saveAtClose = [this, id](TDockableForm&) { log_ << "save " + QString::number(id); };
        windows_.registerKind(std::move(kind));
    }

    QMainWindow owner_;
    QAction show24_{QStringLiteral("Registers")};
    ToolWindows windows_{owner_, {{24, &show24_}}};
    QStringList log_;
    int created_ = 0;
};

TEST_F(ToolWindowsTest, ShowMakesAWindowOnceAtItsDefaultPlaceAndRaisesIt)
{
    show24_.trigger();
    TDockableForm* registers = windows_.openWindow(24);
    ASSERT_NE(registers, nullptr);
    EXPECT_EQ(registers->Placement(), TDockableForm::kDockBottom);
    registers->close();
    show24_.trigger();
    EXPECT_EQ(windows_.openWindow(24), registers);
    EXPECT_TRUE(registers->isVisible());
    EXPECT_EQ(created_, 1);
    EXPECT_EQ(windows_.create(99, std::nullopt, TDockableForm::kFloat), nullptr);
    EXPECT_EQ(windows_.openWindow(99), nullptr);
}

TEST_F(ToolWindowsTest, RefreshedWindowsFollowTheOrderTheyWereMadeIn)
{
    windows_.show(24);
    windows_.show(28);
    windows_.show(23);
    log_.clear();
    windows_.RefreshDebugWindows();
    windows_.ClearDebugWindows();
    EXPECT_EQ(log_, QStringList({"refresh 24", "refresh 23", "reset 24", "reset 23"}));

    // Made again from a project line, a window joins at the end; one the
    // device closes leaves.
    windows_.create(24, QRect(10, 10, 200, 100), TDockableForm::kFloat);
    windows_.close(23);
    EXPECT_EQ(windows_.openWindow(23), nullptr);
    log_.clear();
    windows_.RefreshDebugWindows();
    EXPECT_EQ(log_, QStringList{"refresh 24"});

    log_.clear();
    windows_.saveAtClose();
    EXPECT_EQ(log_, QStringList({"save 24", "save 28"}));
}

}  // namespace
