// The breakpoint list on its own: rows, paths, removal order and what it
// hands the device; needs Qt Core only.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

#include "BreakpointList.h"
#include "DecliningDevice.h"

namespace {

class RecordingDevice : public DecliningDevice {
public:
    std::vector<std::string> calls;
    std::map<std::pair<std::string, int>, unsigned> addresses;

    int LineToAddress(const char* file, int line, unsigned* address) override
    {
        const auto found = addresses.find({file, line});
        if (found == addresses.end())
            return tolvane::kStatusFailed;
        *address = found->second;
        return tolvane::kStatusDone;
    }
    int ClearAllBreakpoints() override
    {
        calls.push_back("ClearAllBreakpoints");
        return tolvane::kStatusDone;
    }
    int SetBreakpoint(unsigned address) override
    {
        calls.push_back("SetBreakpoint " + std::to_string(address));
        return tolvane::kStatusDone;
    }
};

class BreakpointListTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder_.isValid());
        QFile(path("main.asm")).open(QIODevice::WriteOnly);
        QFile(path("Main.asm")).open(QIODevice::WriteOnly);
        QDir(folder_.path()).mkdir("sub");
        QFile::link(path("main.asm"), path("linked.asm"));
        QObject::connect(&list_, &BreakpointList::breakpointChanged, [this](const QString& file, int line, bool set) {
            changes_ << QStringLiteral("%1 %2:%3")
                            .arg(set ? "set" : "clear", QDir(folder_.path()).relativeFilePath(file))
                            .arg(line);
        });
        QObject::connect(&list_, &BreakpointList::markerNeeded, [this](const QString& file, int line, bool set) {
            markers_ << QStringLiteral("%1 %2:%3")
                            .arg(set ? "mark" : "unmark", QDir(folder_.path()).relativeFilePath(file))
                            .arg(line);
        });
    }
    QString path(const char* name) const { return folder_.filePath(QLatin1String(name)); }
    QStringList rows() const
    {
        QStringList texts;
        for (int row = 0; row < list_.rowCount(); ++row)
            texts << list_.index(row, BreakpointList::LineColumn).data().toString() + QLatin1Char(' ')
                         + QDir(folder_.path())
                               .relativeFilePath(list_.index(row, BreakpointList::FileColumn).data().toString());
        return texts;
    }

    QTemporaryDir folder_;
    BreakpointList list_;
    QStringList changes_;
    QStringList markers_;
};

TEST_F(BreakpointListTest, APairIsListedOnceWhicheverWayItsPathIsSpelled)
{
    EXPECT_TRUE(list_.AddBreakpoint(path("main.asm"), 4));
    const struct {
        const char* spelling;
        bool same;
    } spellings[] = {
        {"main.asm", true},
        {"sub/../main.asm", true},
        {"./main.asm", true},
        {"linked.asm", true},
        // Linux names are case-sensitive: another file.
        {"Main.asm", false},
    };
    for (const auto& spelling : spellings) {
        EXPECT_EQ(list_.AddBreakpoint(path(spelling.spelling), 4), !spelling.same) << spelling.spelling;
        EXPECT_EQ(list_.linesIn(path(spelling.spelling)), QList<int>{4}) << spelling.spelling;
    }
    EXPECT_TRUE(list_.AddBreakpoint(path("main.asm"), 5));
    EXPECT_EQ(rows(), QStringList({"4 main.asm", "4 Main.asm", "5 main.asm"}));
    EXPECT_EQ(list_.headerData(0, Qt::Horizontal).toString(), "Line");
    EXPECT_EQ(list_.headerData(1, Qt::Horizontal).toString(), "File");

    // Removing by another spelling finds the row; a second time finds none.
    EXPECT_EQ(list_.RemoveBreakpoint(path("linked.asm"), 4), 0);
    EXPECT_EQ(list_.RemoveBreakpoint(path("main.asm"), 4), -1);
    EXPECT_EQ(changes_, QStringList({"set main.asm:4", "set Main.asm:4", "set main.asm:5", "clear main.asm:4"}));
    // What editors report needs no marker of theirs set.
    EXPECT_TRUE(markers_.isEmpty());
}

TEST_F(BreakpointListTest, RowsLeaveFromTheLastUpAndOpenEditorsDropTheirMarkers)
{
    for (int line = 1; line <= 5; ++line)
        list_.AddBreakpoint(path("main.asm"), line);
    changes_.clear();
    list_.deleteRows({1, 3, 2, 3, 9});
    EXPECT_EQ(rows(), QStringList({"1 main.asm", "5 main.asm"}));
    EXPECT_EQ(markers_, QStringList({"unmark main.asm:4", "unmark main.asm:3", "unmark main.asm:2"}));
    EXPECT_EQ(changes_, QStringList({"clear main.asm:4", "clear main.asm:3", "clear main.asm:2"}));

    // The project's breakpoints are marked even when already listed.
    markers_.clear();
    list_.addMarkedBreakpoint(path("main.asm"), 5);
    list_.addMarkedBreakpoint(path("main.asm"), 7);
    EXPECT_EQ(markers_, QStringList({"mark main.asm:5", "mark main.asm:7"}));
    EXPECT_EQ(rows(), QStringList({"1 main.asm", "5 main.asm", "7 main.asm"}));

    markers_.clear();
    list_.RemoveAllBreakpoints();
    EXPECT_EQ(list_.rowCount(), 0);
    EXPECT_EQ(markers_, QStringList({"unmark main.asm:7", "unmark main.asm:5", "unmark main.asm:1"}));
}

TEST_F(BreakpointListTest, ApplyingClearsTheDeviceThenSetsEveryRowItMaps)
{
    RecordingDevice device;
    device.addresses = {{{path("main.asm").toStdString(), 2}, 0x20}, {{path("main.asm").toStdString(), 9}, 0x90}};
    list_.AddBreakpoint(path("main.asm"), 9);
    list_.AddBreakpoint(path("main.asm"), 3);
    list_.AddBreakpoint(path("main.asm"), 2);
    list_.ApplyBreakpoints(device);
    EXPECT_EQ(device.calls, (std::vector<std::string>{"ClearAllBreakpoints", "SetBreakpoint 144", "SetBreakpoint 32"}));
}

}  // namespace
