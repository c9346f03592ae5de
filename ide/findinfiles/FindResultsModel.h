#pragma once
// The lines of the Find in Files results: one per hit, "file (line): text",
// with the hit's place attached; a line about a skipped file has none.

#include <QAbstractListModel>
#include <QList>
#include <QString>
#include <optional>
#include <vector>

#include "FileSearch.h"

// Where a hit is: what a double click opens and selects.
struct TFindObject {
    int line = 0;    // 1-based
    QString file;    // full path
    int column = 0;  // 1-based, as the editor counts columns
    int length = 0;
};

// A search with a million hits makes a million lines: each keeps its parts,
// and its text is put together only when it is shown.
struct FindResultLine {
    // None on a line that is a note: about a skipped file, or hits not listed.
    std::optional<TFindObject> find;
    // The hit's line, or the part of a long one around the hit (TextHits.h).
    std::string excerpt;
    // The whole text of a note.
    QString note;

    QString text() const;
};

// The result lines of one file's hits (with a note when it has more than
// are listed), or the one line that says it was skipped.
QList<FindResultLine> resultLinesFor(findinfiles::FileHits&& file);
// The note that ends a search stopped by a hit past the last one listed.
FindResultLine tooManyHitsLine(std::size_t maxHits);

class FindResultsModel : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    void append(const QList<FindResultLine>& lines);
    void clear();
    const FindResultLine& lineAt(int row) const { return lines_.at(static_cast<std::size_t>(row)); }

private:
    std::vector<FindResultLine> lines_;
};
