#pragma once
// The source breakpoints as (line, file) rows in the order they were set: the
// one list that the editors' markers mirror, the project file stores, debug
// start sends to the device and the Breakpoints window shows. Files compare
// as canonical paths, exactly; a (file, line) pair is listed once.

#include <QAbstractTableModel>
#include <QList>
#include <QString>
#include <functional>

class AbstractDevice;

struct SourceBreakpoint {
    QString file;
    int line = 0;
};

class BreakpointList : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { LineColumn = 0, FileColumn = 1, ColumnCount = 2 };

    explicit BreakpointList(QObject* parent = nullptr);

    // What an editor reports of its own markers. False when the pair is
    // listed already; the row index removed, or -1 when none matched.
    bool AddBreakpoint(const QString& file, int line);
    int RemoveBreakpoint(const QString& file, int line);
    // A breakpoint that no editor reported (the project's): listed once, and
    // the open editor of the file is asked to show its marker.
    void addMarkedBreakpoint(const QString& file, int line);
    // Removes the rows from the last up; open editors drop their markers.
    void deleteRows(QList<int> rows);
    void RemoveAllBreakpoints();
    // An editor's lines moved: every row of the file takes the line that
    // lineAfter gives for its old one, or goes when that is 0; rows that land
    // on one line become one. The file's path is resolved once, whatever
    // the number of lines.
    void moveLines(const QString& file, const std::function<int(int)>& lineAfter);
    // A file was saved under another name: its rows follow it. Rows of the
    // new name belonged to the text the save replaced and go (their markers
    // with them).
    void renameFile(const QString& from, const QString& to);

    const QList<SourceBreakpoint>& rows() const { return rows_; }
    QList<int> linesIn(const QString& file) const;
    // Clears the device's breakpoints, then sets every row whose line the
    // device maps to an address.
    void ApplyBreakpoints(AbstractDevice& device) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

signals:
    // Every row added, removed or moved: the device follows during a debug
    // run. A move clears every old line before it sets a new one.
    void breakpointChanged(const QString& file, int line, bool set);
    // A change no editor made: the open editor of the file sets or clears its
    // marker without reporting back.
    void markerNeeded(const QString& file, int line, bool set);

private:
    int find(const QString& file, int line) const;
    void dropRow(int row, bool unmark);
    void rowChanged(int row);

    QList<SourceBreakpoint> rows_;
    // Canonical paths of the rows, for comparing.
    QList<QString> canonical_;
};
